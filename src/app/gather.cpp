#include "app/gather.h"

#include "platform/platform.h"

namespace {

const std::size_t PathArgument = 1;
// Explorer starts the processes of one selection within moments: a quiet
// while ends the gathering, and so does a limit, so the first lift never
// waits long.
const unsigned long QuietMs = 500;
const unsigned long MostMs = 5000;
// A process that found a collector busy or just ending tries again this long.
const unsigned long TryingMs = 2000;
const unsigned long RetryMs = 20;

bool IsSwitch(const std::string& argument) {
  return argument == "gui" || (!argument.empty() && (argument[0] == '/' || argument[0] == '-'));
}

bool Gathers(const std::vector<std::string>& arguments, std::string& switches) {
  if (arguments.size() <= PathArgument || IsSwitch(arguments[PathArgument])) return false;
  for (std::size_t at = PathArgument + 1; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    // A preview or an undo is the user's one question, asked of one folder.
    if (!IsSwitch(argument) || argument == "/l" || argument == "/u") return false;
    switches += argument;
  }
  return true;
}

// One folder, reached by several paths (another case, a short name, a drive
// letter and a share), is one folder: its identity tells.
bool IsAmong(const std::string& folder, const std::vector<std::string>& folders) {
  FileIdentity identity, other;
  const bool known = IdentityOf(folder, identity);
  for (const std::string& one : folders) {
    if (known && IdentityOf(one, other) && identity == other) return true;
    if (SameName(one, folder)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> GatherFolders(const std::vector<std::string>& typed) {
  std::string switches;
  if (!Gathers(typed, switches)) return typed;
  // A relative path means this process's folder, which the collector's is not.
  std::vector<std::string> arguments = typed;
  arguments[PathArgument] = FullPath(typed[PathArgument]);
  const std::string name = CollectorName(switches);
  const std::string& path = arguments[PathArgument];
  for (const unsigned long start = Milliseconds(); Milliseconds() - start < TryingMs; Sleep(RetryMs)) {
    if (HandOver(name, path)) return {};
    if (Collector* collector = BecomeCollector(name)) {
      const std::vector<std::string> more = CollectPaths(collector, QuietMs, MostMs);
      StopCollecting(collector);
      std::vector<std::string> folders = {path};
      for (const std::string& folder : more)
        if (!IsAmong(folder, folders)) folders.push_back(folder);
      std::vector<std::string> gathered = {arguments.front()};
      gathered.insert(gathered.end(), folders.begin(), folders.end());
      gathered.insert(gathered.end(), arguments.begin() + PathArgument + 1, arguments.end());
      return gathered;
    }
  }
  // No collector could be reached, nor the role had: this process lifts its own.
  return arguments;
}
