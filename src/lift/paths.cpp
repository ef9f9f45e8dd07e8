#include "lift/paths.h"

#include "lift/file_system.h"

namespace {

const char Separator = '\\';
const char DriveMark = ':';
const std::string::size_type DrivePrefixLength = 2;  // "C:"
const std::size_t ShareRootComponents = 2;           // \\server\share
const char ExtensionMark = '.';
// "<" and ">" are the wildcards of DOS that FindFirstFile still expands.
const char Wildcards[] = "*?<>";
const unsigned char Utf8Continuation = 0x80, Utf8ContinuationMask = 0xC0;
// A UTF-8 sequence of four bytes is a character outside the basic plane: two UTF-16 units.
const unsigned char Utf8FourByteLead = 0xF0;

bool HasDrivePrefix(const std::string& path) { return path.size() >= DrivePrefixLength && path[1] == DriveMark; }

bool StartsWithTwoSeparators(const std::string& path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::size_t CountComponents(const std::string& path) {
  std::size_t count = 0;
  bool inComponent = false;
  for (const char c : path) {
    if (IsSeparator(c)) {
      inComponent = false;
    } else if (!inComponent) {
      inComponent = true;
      ++count;
    }
  }
  return count;
}

// Where the last component of a path without trailing separators starts.
std::string::size_type StartOfLastComponent(const std::string& path) {
  std::string::size_type start = path.size();
  while (start > 0 && !IsSeparator(path[start - 1])) --start;
  return start;
}

}  // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EndsInDotOrBlank(const std::string& name) {
  return !name.empty() && (name.back() == '.' || name.back() == ' ') && name != "." && name != "..";
}

std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
}

bool IsRootPath(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  if (trimmed.empty()) return true;
  if (HasDrivePrefix(trimmed) && trimmed.size() == DrivePrefixLength) return true;
  return StartsWithTwoSeparators(trimmed) && CountComponents(trimmed) <= ShareRootComponents;
}

bool HasWildcards(const std::string& path) { return path.find_first_of(Wildcards) != std::string::npos; }

std::string ParentOf(const std::string& fullPath) {
  const std::string path = WithoutTrailingSeparators(fullPath);
  const std::string::size_type last = StartOfLastComponent(path);
  if (last == 0) return std::string();
  std::string parent = path.substr(0, last - 1);
  // A drive's root keeps its separator: "C:" alone is that drive's current folder.
  if (parent.size() == DrivePrefixLength && HasDrivePrefix(parent)) parent += Separator;
  return parent;
}

std::string NameOf(const std::string& fullPath) {
  const std::string path = WithoutTrailingSeparators(fullPath);
  return path.substr(StartOfLastComponent(path));
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

std::vector<std::string> ComponentsOf(const std::string& path) {
  std::vector<std::string> components;
  for (std::string::size_type start = 0; start < path.size();) {
    std::string::size_type end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > start) components.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + name;
  return folder + Separator + name;
}

std::string NumberedName(const std::string& name, bool folder, int number) {
  const std::string mark = " (" + std::to_string(number) + ")";
  const std::string::size_type dot = name.rfind(ExtensionMark);
  const bool hasExtension =
      !folder && dot != std::string::npos && dot + 1 < name.size() && name.find_first_not_of(ExtensionMark) < dot;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  // A long stem gives way, so that the numbered name is one NTFS can hold.
  const std::size_t fixed = NameLength(mark) + NameLength(extension);
  if (fixed >= LongestName) return ShortenedTo(name, LongestName - NameLength(mark)) + mark;
  return ShortenedTo(stem, LongestName - fixed) + mark + extension;
}

char DriveLetterOf(const std::string& fullPath) {
  if (!HasDrivePrefix(fullPath)) return 0;
  const char letter = fullPath[0];
  if (letter >= 'a' && letter <= 'z') return static_cast<char>(letter - 'a' + 'A');
  return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

std::string ThroughMapping(const std::string& fullPath, const std::string& remotePath) {
  const std::string rest = fullPath.substr(DrivePrefixLength);
  std::string::size_type start = 0;
  while (start < rest.size() && IsSeparator(rest[start])) ++start;
  if (start == rest.size()) return WithoutTrailingSeparators(remotePath);
  return JoinPath(remotePath, rest.substr(start));
}

std::string PathBelow(const std::string& path, const std::string& folder, bool& below) {
  const std::string base = WithoutTrailingSeparators(folder);
  below = path.size() >= base.size() && SameName(path.substr(0, base.size()), base) &&
          (path.size() == base.size() || IsSeparator(path[base.size()]));
  if (!below) return "";
  std::string::size_type start = base.size();
  while (start < path.size() && IsSeparator(path[start])) ++start;
  return path.substr(start);
}

std::vector<std::string> FoldersAlong(const std::string& root, const std::string& below) {
  std::vector<std::string> folders;
  std::string folder = root;
  for (const std::string& component : ComponentsOf(below)) folders.push_back(folder = JoinPath(folder, component));
  return folders;
}

std::size_t NameLength(const std::string& name) {
  std::size_t units = 0;
  for (const char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte & Utf8ContinuationMask) != Utf8Continuation) units += byte >= Utf8FourByteLead ? 2 : 1;
  }
  return units;
}

std::string ShortenedTo(const std::string& text, std::size_t units) {
  std::string shortened;
  std::size_t used = 0;
  for (std::string::size_type at = 0; at < text.size();) {
    std::string::size_type end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & Utf8ContinuationMask) == Utf8Continuation)
      ++end;
    const std::string character = text.substr(at, end - at);
    used += NameLength(character);
    if (used > units) break;
    shortened += character;
    at = end;
  }
  return shortened;
}
