#include "TreeMemory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unordered_map>
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

using FrameCounts = std::unordered_map<uint64_t, uint32_t>;

// Counts the resident pages of a process's mappings, by page frame: every
// frame when frames is to be filled, else only frames already in it, and
// then only in mappings that can share pages with other processes (files,
// shared memory). False when the frames cannot be seen (not root).
bool CountPages(long pid, FrameCounts* counts, bool fill) {
  const int pagemap = open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY);
  if (pagemap < 0) return false;
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  const uint64_t pageSize = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  bool seen = false;
  std::vector<uint64_t> entries;
  for (std::string line; std::getline(maps, line);) {
    unsigned long from = 0;
    unsigned long to = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx", &from, &to) != 2 || line.find("[vsyscall]") != std::string::npos) continue;
    if (!fill && line.find('/') == std::string::npos) continue;
    entries.resize((to - from) / pageSize);
    const ssize_t bytes =
        pread(pagemap, entries.data(), entries.size() * sizeof(uint64_t), static_cast<off_t>(from / pageSize * 8));
    for (ssize_t i = 0; i < bytes / 8; ++i) {
      const uint64_t entry = entries[static_cast<size_t>(i)];
      const uint64_t frame = entry & ((uint64_t{1} << 55) - 1);
      if (!(entry >> 63 & 1) || frame == 0) continue;  // not resident, or frames hidden
      seen = true;
      if (fill) {
        ++(*counts)[frame];
      } else if (auto it = counts->find(frame); it != counts->end()) {
        ++it->second;
      }
    }
  }
  close(pagemap);
  return seen;
}

bool MapsWebEngine(long pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("libQt6WebEngineCore") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

TreeMemory MeasureTreeMemory(long pid) {
  const std::vector<long> tree = ProcessTree(pid);
  long pss = 0;
  FrameCounts inTree;
  bool framesSeen = true;
  for (const long p : tree) {
    pss += PssKiB(p);
    framesSeen = CountPages(p, &inTree, true) && framesSeen;
  }
  TreeMemory memory;
  memory.pssMiB = static_cast<double>(pss) / 1024;
  memory.quietPssMiB = memory.pssMiB;
  if (!framesSeen) return memory;

  // Who else maps the tree's pages, other copies of the web engine aside.
  FrameCounts everyone = inTree;
  if (DIR* proc = opendir("/proc")) {
    while (const dirent* entry = readdir(proc)) {
      char* end = nullptr;
      const long other = std::strtol(entry->d_name, &end, 10);
      if (*end != '\0' || other <= 0 || std::find(tree.begin(), tree.end(), other) != tree.end()) continue;
      if (!MapsWebEngine(other)) CountPages(other, &everyone, false);
    }
    closedir(proc);
  }
  double pages = 0;
  for (const auto& [frame, count] : inTree) pages += static_cast<double>(count) / everyone[frame];
  memory.quietPssMiB = pages * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
  return memory;
}

}  // namespace tw
