#include "lift/lift.h"

#include <set>
#include <vector>

#include "lift/paths.h"
#include "lift/shell_batch.h"
#include "platform/platform.h"

namespace {

const char RootRefusal[] = "a drive or share root has no parent to lift into";
// "Keep both" tries "name (2)" up to "name (1000)" before it gives up.
const int FirstCopyNumber = 2;
const int LastCopyNumber = 1000;

// What became of one entry, or of all entries of a folder.
enum class Outcome { Moved, Renamed, Kept, Failed, Batched };

// What every folder of one run shares.
struct Run {
  RunMode mode;  // an answer "all" turns it to OverwriteAll for the rest of the run
  bool mergeFolders;
  FileSystem& disk;
  Listener& listener;
  std::string parent;          // where the lifted folder's entries go
  std::string liftedName;      // the lifted folder's own name
  std::string replacedFolder;  // where replaced files wait for the Recycle Bin; made when first needed
  std::vector<std::string> madeForReplaced;  // it and the folders made in it, in order
  std::size_t replaced;                      // files set aside in it
};

// The entries of one folder on their way into another: a lifted folder's into
// its parent, or a merged folder's into the folder of its name.
struct Pass {
  std::string from;
  std::string into;
  std::string below;    // where `into` lies below the parent: "", "src" or, lifting X\X, "X"
  std::string shownAs;  // the folder's name in the progress
  std::string name;     // the folder itself, as its events name it
  // Lifting X\X into X: whatever is in X stayed there by this run (kept,
  // failed or reported), and belongs to the user as what went up does.
  bool intoKeepsWhatStayed;
  std::set<std::string> filled;  // name keys of what this pass put into `into`
  std::string batchSources, batchDestinations;
};

void Tell(Run& run, Happening happening, const std::string& name, const std::string& detail = "",
          const std::string& failure = "", std::size_t count = 0) {
  run.listener.Tell({happening, name, detail, failure, count});
}

// An entry as events and questions name it: by its path below the parent.
std::string ShownName(const Pass& pass, const std::string& name) { return JoinPath(pass.below, name); }

// The entry stays where it is, and the user is told why.
Outcome Reported(Run& run, const Pass& pass, const std::string& name, const std::string& reason) {
  Tell(run, Happening::Fail, ShownName(pass, name), reason,
       "cannot move " + Quoted(JoinPath(pass.from, name)) + " up");
  return Outcome::Failed;
}

Outcome MoveEntries(Run& run, Pass& pass, const std::string& ownName, ListedEntry& sameName);

void Count(Outcome outcome, bool& failed, bool& stays) {
  if (outcome == Outcome::Failed) failed = true;
  if (outcome == Outcome::Failed || outcome == Outcome::Kept) stays = true;
}

Outcome Overall(bool failed, bool stays) {
  return failed ? Outcome::Failed : stays ? Outcome::Kept : Outcome::Moved;
}

// Every file a run replaces goes into one folder of the run's own in the
// parent, under its path below the parent: one rename on the same volume, and
// one entry in the Recycle Bin at the end. A rerun in the same second takes
// the next free name.
bool MakeReplacedFolder(Run& run, std::string& reason) {
  if (!run.replacedFolder.empty()) return true;
  const std::string name = run.liftedName + " (replaced " + LocalTimeStamp() + ")";
  for (int number = FirstCopyNumber - 1; number <= LastCopyNumber; ++number) {
    const std::string folder = JoinPath(run.parent, number < FirstCopyNumber ? name : NumberedName(name, true, number));
    switch (run.disk.MakeFolder(folder, reason)) {
      case MakeResult::Made:
        run.replacedFolder = folder;
        run.madeForReplaced.push_back(folder);
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
bool MakeReplacedFolders(Run& run, const Pass& pass, std::string& reason) {
  if (!MakeReplacedFolder(run, reason)) return false;
  for (const std::string& folder : FoldersAlong(run.replacedFolder, pass.below)) {
    switch (run.disk.MakeFolder(folder, reason)) {
      case MakeResult::Made:
        run.madeForReplaced.push_back(folder);
        break;
      case MakeResult::NameTaken:
        break;
      case MakeResult::Failed:
        return false;
    }
  }
  return true;
}

// The file in the way goes aside, into the run's folder of replaced files, and
// the entry takes its name; should the entry not move, the file comes back.
// What cannot be set aside is not replaced.
Outcome ReplaceUp(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                  const std::string& source, const std::string& destination) {
  std::string reason;
  if (!MakeReplacedFolders(run, pass, reason))
    return Reported(run, pass, entry.name, "cannot make a folder for the file it would replace: " + reason);
  const std::string aside = JoinPath(run.replacedFolder, ShownName(pass, existing.name));
  if (run.disk.Move(destination, aside, reason) != MoveResult::Moved)
    return Reported(run, pass, entry.name,
                 "cannot set aside " + Quoted(destination) + ", which it would replace: " +
                     (reason.empty() ? "its name is taken" : reason));
  ++run.replaced;
  if (run.disk.Move(source, destination, reason) == MoveResult::Moved) {
    Tell(run, Happening::Replace, ShownName(pass, entry.name));
    return Outcome::Moved;
  }
  if (reason.empty()) reason = "another program took its name";
  std::string ignored;
  if (run.disk.Move(aside, destination, ignored) == MoveResult::Moved)
    --run.replaced;
  else
    reason += "; the file it would have replaced is in " + Quoted(aside);
  return Reported(run, pass, entry.name, reason);
}

// "Keep both": the entry moves up under the first free numbered name. Free is
// what the move itself accepts: Windows refuses a name that exists in any case
// or as a short name, and no test beforehand could be raced.
Outcome MoveUnderNewName(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source) {
  for (int number = FirstCopyNumber; number <= LastCopyNumber; ++number) {
    const std::string newName = NumberedName(entry.name, entry.folder, number);
    std::string reason;
    switch (run.disk.Move(source, JoinPath(pass.into, newName), reason)) {
      case MoveResult::Moved:
        pass.filled.insert(NameKey(newName));
        Tell(run, Happening::Rename, ShownName(pass, entry.name), ShownName(pass, newName));
        return Outcome::Renamed;
      case MoveResult::NameTaken:
        break;
      case MoveResult::Failed:
        return Reported(run, pass, entry.name, reason);
    }
  }
  return Reported(run, pass, entry.name,
               "every new name from " + Quoted(NumberedName(entry.name, entry.folder, FirstCopyNumber)) +
                   " to " + Quoted(NumberedName(entry.name, entry.folder, LastCopyNumber)) + " is taken");
}

// A folder meeting a folder of its name: its entries go into that folder by
// the same rules, to any depth, and it goes once it is empty.
Outcome MergeFolder(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source,
                    const std::string& destination) {
  // Whatever comes of the merge, this run has been filling that folder: a case
  // twin of the entry must not be merged into it as well.
  pass.filled.insert(NameKey(entry.name));
  const std::string shown = ShownName(pass, entry.name);
  Tell(run, Happening::Merge, shown);
  Pass merge = {source, destination, shown, JoinPath(pass.shownAs, entry.name), shown, false, {}, "", ""};
  ListedEntry noSameName = {};
  return MoveEntries(run, merge, "", noSameName);
}

Outcome Keep(Run& run, const Pass& pass, const ListedEntry& entry) {
  Tell(run, Happening::Keep, ShownName(pass, entry.name));
  return Outcome::Kept;
}

// Settles a true clash by the mode; an answer of "all" turns the mode to
// OverwriteAll for the rest of the run.
Outcome SettleByMode(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                     const std::string& source, const std::string& destination) {
  switch (run.mode) {
    case RunMode::ShellBatch: {
      // The shell is handed plain paths: what they cannot carry stays, reported.
      std::string refusal = WhyTheShellCannotTake(source);
      if (refusal.empty()) refusal = WhyTheShellCannotTake(destination);
      if (!refusal.empty()) return Reported(run, pass, entry.name, refusal);
      AddToShellBatch(pass.batchSources, pass.batchDestinations, source, destination);
      Tell(run, Happening::Shell, ShownName(pass, entry.name));
      return Outcome::Batched;
    }
    case RunMode::Ask:
      switch (run.listener.Ask(ShownName(pass, entry.name))) {
        case Answer::All:
          run.mode = RunMode::OverwriteAll;
          [[fallthrough]];
        case Answer::Yes:
          return ReplaceUp(run, pass, entry, existing, source, destination);
        case Answer::No:
        case Answer::NoInput:
          return Keep(run, pass, entry);
      }
      break;
    case RunMode::OverwriteAll:
      return ReplaceUp(run, pass, entry, existing, source, destination);
    case RunMode::KeepExisting:
      return Keep(run, pass, entry);
    case RunMode::KeepBoth:
      return MoveUnderNewName(run, pass, entry, source);
  }
  return Keep(run, pass, entry);
}

// Why the mode must not settle a clash with `existing`, or "" when it may:
// only a clash of two entries of one name and one kind is the user's to settle.
std::string WhyNotToSettle(const Pass& pass, const ListedEntry& entry, const ListedEntry& existing) {
  // A case twin from a case-sensitive folder, or a short name of something this
  // pass moved up: replacing would destroy one of the folder's own entries.
  if (pass.filled.count(NameKey(existing.name)))
    return Quoted(existing.name) + ", moved up by this run, has the same name to Windows";
  // Windows reaches an entry through its 8.3 short name too: replacing would
  // destroy an unrelated entry.
  if (!SameName(existing.name, entry.name)) return "the name is the short name of " + Quoted(existing.name);
  if (pass.intoKeepsWhatStayed)
    return Quoted(ShownName(pass, existing.name)) + ", left in place by this run, is not touched again";
  // Windows refuses to replace a file by a folder or the reverse, and the shell
  // may fail its whole batch over such a pair.
  if (entry.folder != existing.folder)
    return existing.folder ? "a folder of that name is in the way" : "a file of that name is in the way";
  return "";
}

// A folder meeting a folder of its name: Windows never replaces a folder, so
// only a merge (with /m), the shell, or a new name can bring it up. A junction
// or link is never merged: it may lead anywhere, even back up.
Outcome SettleFolderClash(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                          const std::string& source, const std::string& destination) {
  const bool link = entry.link || existing.link;
  if (run.mergeFolders && !link && run.mode != RunMode::ShellBatch)
    return MergeFolder(run, pass, entry, source, destination);
  switch (run.mode) {
    case RunMode::ShellBatch:
    case RunMode::KeepBoth:
      return SettleByMode(run, pass, entry, existing, source, destination);
    case RunMode::KeepExisting:
      return Keep(run, pass, entry);
    case RunMode::Ask:
    case RunMode::OverwriteAll:
      break;
  }
  return Reported(run, pass, entry.name,
               entry.link      ? "it is a junction or symbolic link, and links are never merged"
               : existing.link ? "a junction or symbolic link of that name is in the way, and links are never merged into"
                               : "a folder of that name is in the way; add /m to merge them");
}

// The move found the name taken: a clash, if what is there bears the entry's own name.
Outcome SettleClash(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source,
                    const std::string& destination) {
  ListedEntry existing;
  std::string reason;
  if (!run.disk.ListEntry(destination, existing, reason))
    return Reported(run, pass, entry.name, "cannot tell what lies in its way: " + reason);
  const std::string obstacle = WhyNotToSettle(pass, entry, existing);
  // Moving under a new name replaces nothing, so it settles these clashes too.
  if (!obstacle.empty() && run.mode == RunMode::KeepBoth) return MoveUnderNewName(run, pass, entry, source);
  if (!obstacle.empty()) return Reported(run, pass, entry.name, obstacle);
  if (entry.folder && existing.folder) return SettleFolderClash(run, pass, entry, existing, source, destination);
  return SettleByMode(run, pass, entry, existing, source, destination);
}

// The move itself tells whether the name is free: testing first would leave a
// moment in which another program (another dirlift) could take it.
Outcome MoveOne(Run& run, Pass& pass, const ListedEntry& entry) {
  const std::string source = JoinPath(pass.from, entry.name);
  const std::string destination = JoinPath(pass.into, entry.name);
  std::string reason;
  Outcome outcome = Outcome::Moved;
  switch (run.disk.Move(source, destination, reason)) {
    case MoveResult::Moved:
      Tell(run, Happening::Move, ShownName(pass, entry.name));
      break;
    case MoveResult::Failed:
      return Reported(run, pass, entry.name, reason);
    case MoveResult::NameTaken:
      outcome = SettleClash(run, pass, entry, source, destination);
      break;
  }
  if (outcome == Outcome::Moved || outcome == Outcome::Batched) pass.filled.insert(NameKey(entry.name));
  return outcome;
}

// An entry bearing the folder's own name stays, to be lifted into the folder.
// A case-sensitive folder may hold two such: the one spelt as the folder is
// lifted, the other stays and is reported.
Outcome HoldBack(Run& run, Pass& pass, const ListedEntry& entry, const std::string& ownName,
                 ListedEntry& sameName) {
  if (sameName.name.empty()) {
    sameName = entry;
    return Outcome::Kept;
  }
  ListedEntry other = entry;
  if (entry.name == ownName) std::swap(other, sameName);
  return Reported(run, pass, other.name,
               Quoted(sameName.name) + " bears the folder's name too, and only one can be lifted into it");
}

bool AnyStillExists(Run& run, const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    if (run.disk.Exists(path)) return true;
  return false;
}

// The shell moves the clashing entries of one folder in one batch, asking
// about each replacement itself.
bool RunShellBatch(Run& run, const Pass& pass, bool& stays) {
  if (pass.batchSources.empty()) return true;
  Tell(run, Happening::HandOver, pass.name);
  std::string reason;
  bool done = true;
  if (run.disk.ShellMove(pass.batchSources, pass.batchDestinations, reason) == ShellOutcome::Failed) {
    Tell(run, Happening::Problem, pass.name, reason,
         "the shell could not move the clashing entries of " + Quoted(pass.from));
    done = false;
  }
  // What the user declined or cancelled in the shell's dialogs stays, by their choice.
  if (AnyStillExists(run, ShellBatchPaths(pass.batchSources))) stays = true;
  return done;
}

// Moves every entry of `pass.from` into `pass.into`, settling clashes, and
// removes `pass.from` once it is empty. An entry named `ownName` (case aside) is
// not moved but held back in `sameName`, and the folder then stays for it.
Outcome MoveEntries(Run& run, Pass& pass, const std::string& ownName, ListedEntry& sameName) {
  std::vector<ListedEntry> entries;
  std::string reason;
  if (!run.disk.ListFolder(pass.from, entries, reason)) {
    Tell(run, Happening::Problem, pass.name, reason, "cannot list " + Quoted(pass.from));
    return Outcome::Failed;
  }
  Tell(run, Happening::Begin, pass.name, pass.shownAs, "", entries.size());
  bool failed = false, stays = false;
  const std::string ownKey = ownName.empty() ? std::string() : NameKey(ownName);
  for (const ListedEntry& entry : entries) {
    // A cancel stops after the entry being moved; the rest stay, so does the folder.
    if (run.listener.StopRequested()) break;
    Count(!ownKey.empty() && NameKey(entry.name) == ownKey ? HoldBack(run, pass, entry, ownName, sameName)
                                                            : MoveOne(run, pass, entry),
          failed, stays);
  }
  if (run.listener.StopRequested()) {
    Tell(run, Happening::End, pass.name);
    return Overall(failed, true);
  }
  if (!RunShellBatch(run, pass, stays)) failed = true;
  if (stays) {
    Tell(run, Happening::Stay, pass.name);
  } else if (run.disk.RemoveFolder(pass.from, reason)) {
    Tell(run, Happening::Remove, pass.name);
  } else {
    Tell(run, Happening::Problem, pass.name, reason, "cannot remove " + Quoted(pass.from));
    failed = true;
  }
  Tell(run, Happening::End, pass.name);
  return Overall(failed, stays);
}

// One level of a lift: `folder`'s entries go up into its parent; then either
// the folder is removed or the entry bearing its name is lifted into it.
bool LiftPass(Run& run, const std::string& folder, const std::string& ownName, const std::string& below,
              bool descent) {
  Pass pass = {folder, ParentOf(folder), below, ownName, JoinPath(below, ownName), descent, {}, "", ""};
  ListedEntry sameName = {};
  const bool allWell = MoveEntries(run, pass, ownName, sameName) != Outcome::Failed;
  if (sameName.name.empty() || run.listener.StopRequested()) return allWell;
  const std::string inner = JoinPath(folder, sameName.name);
  const std::string innerName = JoinPath(pass.name, sameName.name);
  if (sameName.link) {
    // A junction may point back at an ancestor: lifting through it would
    // shuffle entries of folders the user never named.
    Tell(run, Happening::Problem, innerName, "it is a junction or symbolic link named like its folder, so both stay",
         "cannot lift " + Quoted(inner));
    return false;
  }
  if (!sameName.folder) {
    // A file cannot go up: its destination is this folder itself.
    Tell(run, Happening::Problem, innerName, "it is a file named like its folder, so both stay",
         "cannot lift " + Quoted(inner));
    return false;
  }
  Tell(run, Happening::Lift, innerName);
  return LiftPass(run, inner, sameName.name, pass.name, true) && allWell;
}

bool Refuse(Listener& listener, const std::string& folder, const std::string& reason,
            const std::string& verb = "cannot lift ") {
  listener.Tell({Happening::Refuse, folder, reason, verb + Quoted(folder), 0});
  return false;
}

// An elevated program does not see the drive letters mapped in the user's
// session, as when Explorer's menu starts it on "N:\photos": the user's
// persistent mapping tells which network folder the letter stands for.
bool FollowDriveMapping(std::string& full, Listener& listener) {
  const char letter = DriveLetterOf(full);
  if (letter == 0 || DriveIsPresent(letter)) return true;
  std::string remotePath;
  if (MappedDrivePath(letter, remotePath)) {
    full = ThroughMapping(full, remotePath);
    return true;
  }
  return Refuse(listener, full,
                std::string("drive ") + letter +
                    ": is not visible to dirlift, which runs as administrator; give the folder by its "
                    "network path (\\\\server\\share\\...) instead");
}

// The folder's full path and its own name as its parent lists it, whatever
// form was typed: ".", "photos\.", "..\photos", a short name, another case.
bool ResolveFolder(const std::string& typed, std::string& folder, std::string& ownName, FileSystem& disk,
                   Listener& listener) {
  // A bare drive ("C:") names a drive, though Windows would take it for that
  // drive's current folder.
  if (IsRootPath(typed)) return Refuse(listener, typed, RootRefusal);
  // Windows would list the first folder that matches, as if that one were meant.
  if (HasWildcards(WithoutExtendedPrefix(typed)))
    return Refuse(listener, typed, "a path with wildcards names no single folder");
  // An extended path is taken exactly as typed: resolving would normalise it.
  std::string full = WithoutTrailingSeparators(
      HasExtendedPrefix(typed) ? WithoutExtendedPrefix(typed) : FullPath(typed));
  if (!FollowDriveMapping(full, listener)) return false;
  if (IsRootPath(full)) return Refuse(listener, full, RootRefusal);
  ListedEntry self;
  std::string reason;
  if (!disk.ListEntry(full, self, reason)) return Refuse(listener, full, reason, "cannot list ");
  ownName = self.name;
  folder = JoinPath(ParentOf(full), ownName);
  // A slip of the mouse must not scatter a folder that Windows depends on.
  const std::string refusal = WhyWindowsKeepsInPlace(LongPath(folder), FoldersWindowsKeeps());
  return refusal.empty() || Refuse(listener, folder, refusal);
}

// The replaced files go to the Recycle Bin in one piece, named after the lifted
// folder. Where they cannot, they stay where they are, in view.
bool RecycleReplaced(Run& run) {
  std::string reason;
  if (run.replaced == 0) {
    // Nothing could be set aside: the folders made for it go, empty as they are.
    for (auto folder = run.madeForReplaced.rbegin(); folder != run.madeForReplaced.rend(); ++folder)
      run.disk.RemoveFolder(*folder, reason);
    return true;
  }
  reason = WhyTheShellCannotTake(run.replacedFolder);
  if (reason.empty() && run.disk.Recycle(run.replacedFolder, reason)) return true;
  Tell(run, Happening::Problem, run.liftedName, reason + "; the replaced files are kept there",
       "cannot move " + Quoted(run.replacedFolder) + " to the Recycle Bin");
  return false;
}

}  // namespace

bool LiftFolder(const std::string& path, RunChoice choice, FileSystem& disk, Listener& listener) {
  std::string folder, ownName;
  if (!ResolveFolder(path, folder, ownName, disk, listener)) return false;
  // Every path from here on is full. Windows neither removes a process's current
  // folder nor moves a folder that holds it, so dirlift steps out of the way.
  SetCurrentFolder(ParentOf(folder));
  Run run = {choice.mode, choice.mergeFolders, disk, listener, ParentOf(folder), ownName, "", {}, 0};
  const bool lifted = LiftPass(run, folder, ownName, "", false);
  return RecycleReplaced(run) && lifted;
}
