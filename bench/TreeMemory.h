#pragma once

namespace tw {

// The memory of a process and every process below it, in MiB. pss is the
// sum of the processes' PSS, which falls while other programs on the machine
// map the same pages: another copy of the web engine would halve the
// engine's library. quietPss is the same PSS with every other process that
// maps the web engine left out. It needs root to see the pages; otherwise it
// is pss.
struct TreeMemory {
  double quietPssMiB = 0;
  double pssMiB = 0;
};

TreeMemory MeasureTreeMemory(long pid);

}  // namespace tw
