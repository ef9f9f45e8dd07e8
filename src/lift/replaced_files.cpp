#include "lift/replaced_files.h"

#include <algorithm>

#include "lift/paths.h"
#include "lift/shell_batch.h"

namespace {

// A rerun in the same second takes the next free name: free in the parent,
// and among the Recycle Bin's items from the parent, so that the undo brings
// back this run's folder and no other.
bool MakeReplacedFolder(ReplacedFiles& replaced, FileSystem& disk, std::string& reason) {
  if (!replaced.folder.empty()) return true;
  const std::string& stamp = replaced.stamp;
  for (int number = FirstCopyNumber - 1; number <= LastCopyNumber; ++number) {
    const std::string folder =
        JoinPath(replaced.parent, ReplacedFolderName(replaced.parent, replaced.liftedName, stamp, number));
    if (disk.InRecycleBin(folder)) continue;
    switch (disk.MakeFolder(folder, reason)) {
      case MakeResult::Made:
        replaced.folder = folder;
        replaced.made.push_back(folder);
        return true;
      case MakeResult::NameTaken:
        break;
      case MakeResult::Failed:
        return false;
    }
  }
  reason =
      "every name from " + Quoted(ReplacedFolderName(replaced.parent, replaced.liftedName, stamp, 1)) + " on is taken";
  return false;
}

// The folders of the replaced files mirror those below the parent.
bool MakeReplacedFolders(ReplacedFiles& replaced, FileSystem& disk, const std::string& below, std::string& reason) {
  if (!MakeReplacedFolder(replaced, disk, reason)) return false;
  for (const std::string& folder : FoldersAlong(replaced.folder, below)) {
    switch (disk.MakeFolder(folder, reason)) {
      case MakeResult::Made:
        replaced.made.push_back(folder);
        break;
      case MakeResult::NameTaken:
        break;
      case MakeResult::Failed:
        return false;
    }
  }
  return true;
}

}  // namespace

std::string ReplacedFolderName(const std::string& parent, const std::string& liftedName, const std::string& stamp,
                               int number) {
  std::string tail = " (replaced " + stamp + ")";
  if (number >= FirstCopyNumber) tail = NumberedName(tail, true, number);
  std::size_t room = LongestName - NameLength(tail);
  const std::size_t pathTaken = NameLength(JoinPath(parent, tail));
  // Where the parent leaves room, the whole path stays short enough for the
  // shell to take it to the Recycle Bin.
  if (pathTaken < LongestShellPath) room = std::min(room, LongestShellPath - pathTaken);
  return ShortenedTo(liftedName, room) + tail;
}

ReplacedFiles NoReplacedFiles(const std::string& parent, const std::string& liftedName, const std::string& stamp) {
  return {parent, liftedName, stamp, "", {}, 0, false};
}

bool SetAside(ReplacedFiles& replaced, FileSystem& disk, const std::string& path, const std::string& below,
              const std::string& name, std::string& aside, std::string& reason) {
  if (!MakeReplacedFolders(replaced, disk, below, reason)) {
    reason = "cannot make a folder for the file it would replace: " + reason;
    return false;
  }
  aside = JoinPath(replaced.folder, JoinPath(below, name));
  if (disk.Move(path, aside, reason) != MoveResult::Moved) {
    reason = "cannot set aside " + Quoted(path) +
             ", which it would replace: " + (reason.empty() ? "its name is taken" : reason);
    return false;
  }
  ++replaced.count;
  return true;
}

bool PutBack(ReplacedFiles& replaced, FileSystem& disk, const std::string& aside, const std::string& path) {
  std::string ignored;
  if (disk.Move(aside, path, ignored) != MoveResult::Moved) {
    replaced.stranded = true;
    return false;
  }
  --replaced.count;
  return true;
}

bool RecycleReplaced(ReplacedFiles& replaced, FileSystem& disk, Listener& listener) {
  std::string reason;
  if (replaced.count == 0) {
    // Nothing could be set aside: the folders made for it go, empty as they are.
    for (auto folder = replaced.made.rbegin(); folder != replaced.made.rend(); ++folder)
      disk.RemoveFolder(*folder, reason);
    return true;
  }
  const std::string stay = "the replaced files stay in " + Quoted(replaced.folder);
  if (replaced.stranded) {
    listener.Tell({.happening = Happening::Problem,
                   .name = replaced.liftedName,
                   .detail = "a file set aside there could not be put back",
                   .failure = stay});
    return false;
  }
  reason = WhyTheShellCannotTake(replaced.folder);
  if (reason.empty()) {
    switch (disk.Recycle(replaced.folder, reason)) {
      case RecycleResult::Recycled:
        return true;
      case RecycleResult::KeptInPlace:
        // Nothing is lost, and the lift did what it was asked.
        listener.Tell({.happening = Happening::Notice, .name = replaced.liftedName, .detail = reason, .failure = stay});
        return true;
      case RecycleResult::Failed:
        break;
    }
  }
  listener.Tell({.happening = Happening::Problem,
                 .name = replaced.liftedName,
                 .detail = reason + "; the replaced files are kept there",
                 .failure = "cannot move " + Quoted(replaced.folder) + " to the Recycle Bin"});
  return false;
}
