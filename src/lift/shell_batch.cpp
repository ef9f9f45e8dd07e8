#include "lift/shell_batch.h"

namespace {

const char PathEnd = '\0';
const char Separator = '\\';
const std::size_t ShellPathLimit = 260;  // MAX_PATH, its closing NUL included
const char* const DeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2",   "COM3",
                                   "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",   "LPT1",
                                   "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7",   "LPT8",
                                   "LPT9", "CONIN$", "CONOUT$"};

// UTF-16 units, as the shell counts: four UTF-8 bytes make a surrogate pair.
std::size_t Utf16Length(const std::string& utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

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
  for (std::string::size_type end; (end = list.find(PathEnd, start)) != std::string::npos;
       start = end + 1)
    paths.push_back(list.substr(start, end - start));
  return paths;
}

std::string WhyTheShellCannotTake(const std::string& path) {
  if (Utf16Length(path) >= ShellPathLimit)
    return "the shell takes no path of 260 characters or more";
  std::string::size_type start = 0;
  for (std::string::size_type end = 0; end != std::string::npos; start = end + 1) {
    end = path.find(Separator, start);
    const std::string name = path.substr(start, end - start);
    if (!name.empty() && (name.back() == '.' || name.back() == ' ') && name != "." && name != "..")
      return "the shell takes no name that ends in a dot or a blank, such as \"" + name + "\"";
  }
  const std::string last = path.substr(path.find_last_of(Separator) + 1);
  if (IsDeviceName(last)) return "the shell takes \"" + last + "\" for a device";
  return "";
}
