#include "app/gather.h"

#include <algorithm>

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

}  // namespace

std::vector<std::string> GatherFolders(const std::vector<std::string>& arguments) {
  std::string switches;
  if (!Gathers(arguments, switches)) return arguments;
  const std::string name = CollectorName(switches);
  const std::string& path = arguments[PathArgument];
  for (const unsigned long start = Milliseconds(); Milliseconds() - start < TryingMs; Sleep(RetryMs)) {
    if (HandOver(name, path)) return {};
    if (Collector* collector = BecomeCollector(name)) {
      const std::vector<std::string> more = CollectPaths(collector, QuietMs, MostMs);
      StopCollecting(collector);
      std::vector<std::string> gathered = arguments;
      for (const std::string& folder : more)
        if (std::find(gathered.begin(), gathered.end(), folder) == gathered.end())
          gathered.insert(gathered.end() - static_cast<std::ptrdiff_t>(arguments.size() - PathArgument - 1), folder);
      return gathered;
    }
  }
  // No collector could be reached, nor the role had: this process lifts its own.
  return arguments;
}
