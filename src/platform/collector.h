#pragma once
// Paths handed from one process to another: Explorer starts one dirliftw.exe
// per selected folder, and the first gathers the others' folders into one
// run, through a named pipe and a named mutex of the user's own session.
// Relies on the text module.

#include <string>
#include <vector>

namespace platform {

// The name the collectors of this session, this user and these switches share.
std::string CollectorName(const std::string& switches);

// Hands `path` to the process collecting under `name`; true once it took it.
bool HandOver(const std::string& name, const std::string& path);

// The role of collector under `name`, or null where another process has it.
struct Collector;
Collector* BecomeCollector(const std::string& name);

// The paths handed over while they keep coming: each restarts a quiet wait of
// `quietMs`, and the whole lasts `mostMs` at the most.
std::vector<std::string> CollectPaths(Collector* collector, unsigned long quietMs, unsigned long mostMs);

// Stops listening and gives up the role: a path handed over from now on finds
// no collector, and its own process lifts it.
void StopCollecting(Collector* collector);

}  // namespace platform
