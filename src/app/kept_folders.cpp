#include "app/kept_folders.h"

#include <map>

#include "lift/file_system.h"
#include "lift/paths.h"

namespace {

std::string KeptRefusal(const platform::KeptFolder& kept, bool is) {
  return std::string(is && !kept.many ? "it is " : "it holds ") + kept.what +
         ", which Windows and your programs expect in " + (kept.many ? "their" : "its") + " place";
}

// The folders a full path passes through below its root: "C:\\Users" and
// "C:\\Users\\ana" for "C:\\Users\\ana\\Documents".
std::vector<std::string> FoldersAbove(const std::string& fullPath) {
  std::vector<std::string> folders;
  for (std::string folder = ParentOf(fullPath); !IsRootPath(folder); folder = ParentOf(folder))
    folders.push_back(folder);
  return folders;
}

// Whether `path` reaches `self`; each path is looked at once, though the
// kept folders share most of the folders above them.
bool IsSelf(const std::string& path, const platform::FileIdentity& self, std::map<std::string, bool>& seen) {
  const auto known = seen.find(path);
  if (known != seen.end()) return known->second;
  return seen[path] = platform::IsEntry(path, self);
}

}  // namespace

std::string WhyWindowsKeepsInPlace(const std::string& folder, const std::vector<platform::KeptFolder>& kept) {
  const std::string key = NameKey(WithoutTrailingSeparators(platform::PlainForm(folder)));
  const platform::KeptFolder* found = nullptr;
  bool is = false;
  for (const platform::KeptFolder& one : kept) {
    const std::string keptKey = NameKey(WithoutTrailingSeparators(platform::PlainForm(one.path)));
    if (keptKey.empty()) continue;
    if (keptKey == key) {
      found = &one;
      is = true;
      break;
    }
    if (found == nullptr && keptKey.size() > key.size() && keptKey.compare(0, key.size(), key) == 0 &&
        IsSeparator(keptKey[key.size()]))
      found = &one;
  }
  return found == nullptr ? "" : KeptRefusal(*found, is);
}

// Why `folder`, listed as `ownName`, must not be lifted: it is, or holds, a
// folder Windows keeps in place. Compared by identity, so that no spelling of
// the path (another drive letter, a share, a junction, "\\.\") gets past.
std::string WhyKeptInPlace(const std::string& folder, const std::string& ownName) {
  const std::vector<platform::KeptFolder> kept = platform::FoldersWindowsKeeps();
  platform::FileIdentity self;
  if (!platform::IdentityOf(folder, self)) return WhyWindowsKeepsInPlace(platform::LongPath(folder), kept);
  std::map<std::string, bool> seen;
  const platform::KeptFolder* is = nullptr;
  std::string holds, plain;
  for (const platform::KeptFolder& one : kept) {
    if (!platform::PathExists(one.path)) {
      // It cannot be looked at: the text of its path tells, for this one alone.
      if (holds.empty() && plain.empty()) plain = platform::LongPath(folder);
      if (holds.empty()) holds = WhyWindowsKeepsInPlace(plain, {one});
      continue;
    }
    if (IsSelf(one.path, self, seen)) {
      // One folder may be several known ones (Desktop and Documents in one home
      // folder): the one it is named after is meant.
      if (is == nullptr || SameName(NameOf(one.path), ownName)) is = &one;
      continue;
    }
    for (const std::string& above : FoldersAbove(one.path))
      if (holds.empty() && IsSelf(above, self, seen)) holds = KeptRefusal(one, false);
  }
  return is != nullptr ? KeptRefusal(*is, true) : holds;
}
