#include "lift/replaced_files.h"

#include "lift/paths.h"
#include "lift/shell_batch.h"

namespace {

// A rerun in the same second takes the next free name.
bool MakeReplacedFolder(ReplacedFiles& replaced, FileSystem& disk, std::string& reason) {
  if (!replaced.folder.empty()) return true;
  const std::string name = replaced.liftedName + " (replaced " + LocalTimeStamp() + ")";
  for (int number = FirstCopyNumber - 1; number <= LastCopyNumber; ++number) {
    const std::string folder =
        JoinPath(replaced.parent, number < FirstCopyNumber ? name : NumberedName(name, true, number));
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
  reason = "every name from " + Quoted(name) + " on is taken";
  return false;
}

// The folders of the replaced files mirror those below the parent.
bool MakeReplacedFolders(ReplacedFiles& replaced, FileSystem& disk, const std::string& below,
                         std::string& reason) {
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

ReplacedFiles NoReplacedFiles(const std::string& parent, const std::string& liftedName) {
  return {parent, liftedName, "", {}, 0};
}

bool SetAside(ReplacedFiles& replaced, FileSystem& disk, const std::string& path, const std::string& below,
              const std::string& name, std::string& aside, std::string& reason) {
  if (!MakeReplacedFolders(replaced, disk, below, reason)) {
    reason = "cannot make a folder for the file it would replace: " + reason;
    return false;
  }
  aside = JoinPath(replaced.folder, JoinPath(below, name));
  if (disk.Move(path, aside, reason) != MoveResult::Moved) {
    reason = "cannot set aside " + Quoted(path) + ", which it would replace: " +
             (reason.empty() ? "its name is taken" : reason);
    return false;
  }
  ++replaced.count;
  return true;
}

bool PutBack(ReplacedFiles& replaced, FileSystem& disk, const std::string& aside, const std::string& path) {
  std::string ignored;
  if (disk.Move(aside, path, ignored) != MoveResult::Moved) return false;
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
  reason = WhyTheShellCannotTake(replaced.folder);
  if (reason.empty() && disk.Recycle(replaced.folder, reason)) return true;
  listener.Tell({Happening::Problem, replaced.liftedName, reason + "; the replaced files are kept there",
                 "cannot move " + Quoted(replaced.folder) + " to the Recycle Bin", 0});
  return false;
}
