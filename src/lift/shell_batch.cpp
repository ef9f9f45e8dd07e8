#include "lift/shell_batch.h"

#include "lift/paths.h"

namespace {

const char PathEnd = '\0';
const char Separator = '\\';
const char* const DeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",   "COM4",
                                   "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",   "LPT3",
                                   "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$"};

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Windows takes a name for a device whatever follows a dot or a colon, and
// whatever blanks end its first part: "nul.txt", "CON .log", "aux:x".
bool IsDeviceName(const std::string& name) {
  std::string base = name.substr(0, name.find_first_of(".:"));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = Upper(base);
  for (const char* device : DeviceNames)
    if (base == device) return true;
  return false;
}

}  // namespace

void AddToShellBatch(std::string& sources, std::string& destinations, const std::string& source,
                     const std::string& destination) {
  sources += source;
  sources += PathEnd;
  destinations += destination;
  destinations += PathEnd;
}

std::vector<std::string> ShellBatchPaths(const std::string& list) {
  std::vector<std::string> paths;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = list.find(PathEnd, start)) != std::string::npos; start = end + 1)
    paths.push_back(list.substr(start, end - start));
  return paths;
}

std::string WhyTheShellCannotTake(const std::string& path) {
  if (NameLength(path) > LongestShellPath) return "the shell takes no path of 260 characters or more";
  std::string::size_type start = 0;
  for (std::string::size_type end = 0; end != std::string::npos; start = end + 1) {
    end = path.find(Separator, start);
    const std::string name = path.substr(start, end - start);
    if (EndsInDotOrBlank(name))
      return "the shell takes no name that ends in a dot or a blank, such as \"" + name + "\"";
  }
  const std::string last = path.substr(path.find_last_of(Separator) + 1);
  if (IsDeviceName(last)) return "the shell takes \"" + last + "\" for a device";
  return "";
}
