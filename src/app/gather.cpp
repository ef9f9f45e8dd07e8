#include "app/gather.h"

#include "app/typed_folder.h"
#include "platform/platform.h"

namespace {

// Explorer starts the processes of one selection within moments: a quiet
// while ends the gathering, and so does a limit, so the first lift never
// waits long.
const unsigned long QuietMs = 500;
const unsigned long MostMs = 5000;
// A process that found a collector busy or just ending tries again this long.
const unsigned long TryingMs = 2000;
const unsigned long RetryMs = 20;

// One folder, reached by several paths (another case, a short name, a drive
// letter and a share), is one folder: its identity tells.
bool IsAmong(const std::string& folder, const std::vector<std::string>& folders) {
  platform::FileIdentity identity, other;
  const bool known = platform::IdentityOf(folder, identity);
  for (const std::string& one : folders) {
    if (known && platform::IdentityOf(one, other) && identity == other) return true;
    if (SameName(one, folder)) return true;
  }
  return false;
}

}  // namespace

CommandLine GatherFolders(const CommandLine& typed) {
  // A preview or an undo is the user's one question, asked of one folder.
  if (typed.action != Action::Lift || typed.folders.size() != 1 || typed.choice.listOnly) return typed;
  // A relative path means this process's folder, which the collector's is not.
  CommandLine line = typed;
  line.folders.front() = PlainFullPath(typed.folders.front());
  const std::string name = platform::CollectorName(SwitchesOf(line));
  const std::string path = line.folders.front();
  for (const unsigned long start = platform::Milliseconds(); platform::Milliseconds() - start < TryingMs;
       Sleep(RetryMs)) {
    if (platform::HandOver(name, path)) {
      line.folders.clear();
      return line;
    }
    if (platform::Collector* collector = platform::BecomeCollector(name)) {
      const std::vector<std::string> more = platform::CollectPaths(collector, QuietMs, MostMs);
      platform::StopCollecting(collector);
      for (const std::string& folder : more)
        if (!IsAmong(folder, line.folders)) line.folders.push_back(folder);
      return line;
    }
  }
  // No collector could be reached, nor the role had: this process lifts its own.
  return line;
}
