#include "TreeMemory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

namespace tw {
namespace {

std::vector<long> ProcessTree(long pid) {
  std::vector<long> tree{pid};
  for (size_t i = 0; i < tree.size(); ++i) {
    // Each thread lists the children it started.
    const std::string tasks = "/proc/" + std::to_string(tree[i]) + "/task/";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) continue;
    while (const dirent* task = readdir(dir)) {
      if (task->d_name[0] == '.') continue;
      std::ifstream children(tasks + task->d_name + "/children");
      for (long child = 0; children >> child;) tree.push_back(child);
    }
    closedir(dir);
  }
  return tree;
}

long PssKiB(long pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  for (std::string line; std::getline(rollup, line);) {
    if (line.rfind("Pss:", 0) == 0) return std::strtol(line.c_str() + 4, nullptr, 10);
  }
  return 0;
}

// The resident pages of a process, by page frame; false when the frames
// cannot be seen (not root).
bool AddPages(long pid, std::unordered_set<uint64_t>* frames) {
  const int pagemap = open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY);
  if (pagemap < 0) return false;
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  const long pageSize = sysconf(_SC_PAGESIZE);
  bool seen = false;
  std::vector<uint64_t> entries;
  for (std::string line; std::getline(maps, line);) {
    unsigned long from = 0;
    unsigned long to = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx", &from, &to) != 2 || line.find("[vsyscall]") != std::string::npos) continue;
    entries.resize((to - from) / static_cast<unsigned long>(pageSize));
    const ssize_t bytes = pread(pagemap, entries.data(), entries.size() * sizeof(uint64_t),
                                static_cast<off_t>(from / static_cast<unsigned long>(pageSize) * sizeof(uint64_t)));
    for (ssize_t i = 0; i < bytes / static_cast<ssize_t>(sizeof(uint64_t)); ++i) {
      const uint64_t entry = entries[static_cast<size_t>(i)];
      const uint64_t frame = entry & ((uint64_t{1} << 55) - 1);
      if (!(entry >> 63 & 1) || frame == 0) continue;  // not resident, or frames hidden
      frames->insert(frame);
      seen = true;
    }
  }
  close(pagemap);
  return seen;
}

}  // namespace

TreeMemory MeasureTreeMemory(long pid) {
  long pss = 0;
  std::unordered_set<uint64_t> frames;
  bool framesSeen = true;
  for (const long p : ProcessTree(pid)) {
    pss += PssKiB(p);
    framesSeen = AddPages(p, &frames) && framesSeen;
  }
  TreeMemory memory;
  memory.pssMiB = static_cast<double>(pss) / 1024;
  memory.aloneMiB = framesSeen ? static_cast<double>(frames.size()) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                                     (1024 * 1024)
                               : memory.pssMiB;
  return memory;
}


}  // namespace tw
