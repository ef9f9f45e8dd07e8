// The lift's own cost at sizes Wine cannot reach: a lift and a flatten of
// ENTRIES files on the in-memory disk, with no listener work beyond counting.
// Prints the time per entry and the peak memory beyond the tree itself.
//   memory_benchmark ENTRIES
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lift/lift.h"
#include "lift/paths.h"
#include "memory_disk.h"

namespace {

const char Parent[] = "M:\\P";
const char Folder[] = "M:\\P\\X";
// A flatten's tree: this many folders, each holding one more, the files spread over them all.
const int FlattenFolders = 100;

class Counting : public Listener {
 public:
  void Tell(const Event&) override { ++events; }
  Answer Ask(const std::string&, const std::string&, const std::string&) override { return Answer::No; }
  bool StopRequested() override { return false; }
  unsigned long long events = 0;
};

std::size_t PeakBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

std::size_t NowBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

std::string FileName(long entry) {
  char name[16];
  std::snprintf(name, sizeof name, "f%07ld", entry);
  return name;
}

void Measure(const char* what, MemoryDisk& disk, long entries, int levels) {
  const std::size_t treeBytes = NowBytes();
  RunChoice choice;
  choice.mode = RunMode::KeepExisting;
  choice.levels = levels;
  choice.started = "2026-12-09 00.00.00";
  Counting listener;
  const auto start = std::chrono::steady_clock::now();
  const bool done = LiftFolders({{Folder, "X"}}, choice, disk, listener);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::size_t peak = PeakBytes();
  std::printf("%-8s %8ld entries  %7.2f us/entry  peak %6.1f MiB beyond the tree (%6.1f MiB in all)%s\n", what, entries,
              seconds * 1e6 / entries, (peak > treeBytes ? peak - treeBytes : 0) / 1048576.0, peak / 1048576.0,
              done && listener.events > 0 ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  const long entries = argc > 1 ? std::atol(argv[1]) : 10000;
  const std::string kind = argc > 2 ? argv[2] : "lift";
  MemoryDisk disk;
  disk.Make(Parent, true);
  disk.Make(Folder, true);
  if (kind == "lift") {
    for (long entry = 0; entry < entries; ++entry) disk.Make(JoinPath(Folder, FileName(entry)), false);
    Measure("lift", disk, entries, PlainLift);
  } else {
    for (int folder = 0; folder < FlattenFolders; ++folder) {
      const std::string outer = JoinPath(Folder, "d" + std::to_string(folder));
      disk.Make(outer, true);
      disk.Make(JoinPath(outer, "inner"), true);
    }
    for (long entry = 0; entry < entries; ++entry) {
      const std::string outer = JoinPath(Folder, "d" + std::to_string(entry % FlattenFolders));
      const bool inner = entry % (2 * FlattenFolders) >= FlattenFolders;
      disk.Make(JoinPath(inner ? JoinPath(outer, "inner") : outer, FileName(entry)), false);
    }
    Measure("flatten", disk, entries, EveryLevel);
  }
  return 0;
}
