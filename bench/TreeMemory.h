#pragma once

namespace tw {

// The memory of a process and every process below it, in MiB. pss is the
// sum of the processes' PSS, which falls while other programs map the same
// libraries (another copy of the web engine on a shared machine, say).
// alone counts every page the tree holds once: what its PSS would be with
// nothing else running, give or take the few pages it shares with the X
// server. It needs root to see the pages; otherwise it is pss.
struct TreeMemory {
  double aloneMiB = 0;
  double pssMiB = 0;
};

TreeMemory MeasureTreeMemory(long pid);

}  // namespace tw
