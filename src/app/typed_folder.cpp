#include "app/typed_folder.h"

#include <map>

#include "app/kept_folders.h"
#include "lift/paths.h"
#include "platform/platform.h"

namespace {

const char RootRefusal[] = "a drive or share root has no parent to lift into";

bool Refuse(Listener& listener, const std::string& folder, const std::string& reason,
            const std::string& verb = "cannot lift ") {
  listener.Tell({.happening = Happening::Refuse, .name = folder, .detail = reason, .failure = verb + Quoted(folder)});
  return false;
}

// An elevated program does not see the drive letters mapped in the user's
// session, as when Explorer's menu starts it on "N:\photos": the user's
// persistent mapping tells which network folder the letter stands for.
bool FollowDriveMapping(std::string& full, Listener& listener) {
  const char letter = DriveLetterOf(full);
  if (letter == 0 || platform::DriveIsPresent(letter)) return true;
  std::string remotePath;
  if (platform::MappedDrivePath(letter, remotePath)) {
    full = ThroughMapping(full, remotePath);
    return true;
  }
  return Refuse(listener, full,
                std::string("drive ") + letter +
                    ": is not visible to dirlift, which runs as administrator; give the folder by its "
                    "network path (\\\\server\\share\\...) instead");
}

}  // namespace

std::string PlainFullPath(const std::string& typed) {
  // An extended path is taken exactly as typed: resolving would normalise it.
  if (platform::HasExtendedPrefix(typed)) return WithoutTrailingSeparators(platform::PlainForm(typed));
  // Windows drops a dot or a blank at the end of a name it resolves, and would
  // lift "a" for "a." or the current folder for "...": such a last name is kept
  // as typed, and only the path to it resolved.
  const std::string trimmed = WithoutTrailingSeparators(typed);
  const std::string::size_type separator = trimmed.find_last_of("\\/");
  const std::string last = separator == std::string::npos ? trimmed : trimmed.substr(separator + 1);
  if (EndsInDotOrBlank(last)) {
    const std::string above = trimmed.substr(0, trimmed.size() - last.size());
    return JoinPath(WithoutTrailingSeparators(platform::PlainForm(platform::FullPath(above.empty() ? "." : above))),
                    last);
  }
  return WithoutTrailingSeparators(platform::PlainForm(platform::FullPath(typed)));
}

bool ResolveFolder(const std::string& typed, std::string& folder, std::string& ownName, FileSystem& disk,
                   Listener& listener) {
  // A bare drive ("C:") names a drive, though Windows would take it for that
  // drive's current folder.
  if (IsRootPath(typed)) return Refuse(listener, typed, RootRefusal);
  // Windows would list the first folder that matches, as if that one were meant.
  if (HasWildcards(platform::WithoutExtendedPrefix(typed)))
    return Refuse(listener, typed, "a path with wildcards names no single folder");
  std::string full = PlainFullPath(typed);
  if (!FollowDriveMapping(full, listener)) return false;
  if (IsRootPath(full)) return Refuse(listener, full, RootRefusal);
  ListedEntry self;
  std::string reason;
  if (!disk.LookUpEntry(full, self, reason)) return Refuse(listener, full, reason, "cannot list ");
  ownName = self.name;
  folder = JoinPath(ParentOf(full), ownName);
  // A slip of the mouse must not scatter a folder that Windows depends on.
  const std::string refusal = WhyKeptInPlace(folder, ownName);
  return refusal.empty() || Refuse(listener, folder, refusal);
}

bool ResolveFolders(const std::vector<std::string>& typed, std::vector<ResolvedFolder>& folders, FileSystem& disk,
                    Listener& listener) {
  bool allResolved = true;
  for (const std::string& one : typed) {
    ResolvedFolder folder;
    if (!ResolveFolder(one, folder.path, folder.ownName, disk, listener)) {
      allResolved = false;
      continue;
    }
    const ResolvedFolder* earlier = nullptr;
    for (const ResolvedFolder& before : folders) {
      bool below;
      PathBelow(folder.path, before.path, below);
      if (below && earlier == nullptr) earlier = &before;
    }
    if (earlier != nullptr) {
      allResolved = Refuse(listener, folder.path,
                           "it is, or lies inside, " + Quoted(earlier->path) + ", which this run lifts before it");
      continue;
    }
    folders.push_back(folder);
  }
  return allResolved;
}

bool LiftFolder(const std::string& path, RunChoice choice, FileSystem& disk, Listener& listener) {
  ResolvedFolder folder;
  return ResolveFolder(path, folder.path, folder.ownName, disk, listener) &&
         LiftFolders({folder}, choice, disk, listener);
}
