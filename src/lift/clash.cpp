#include "lift/pass.h"
#include "lift/paths.h"
#include "lift/shell_batch.h"

namespace {

// The file in the way goes aside, into the run's folder of replaced files, and
// the entry takes its name; should the entry not move, the file comes back.
// What cannot be set aside is not replaced.
Outcome ReplaceUp(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                  const std::string& source, const std::string& destination) {
  std::string aside, reason;
  // By its own name, which may differ in case from the entry's: the undo puts it back so.
  const std::string replaced = JoinPath(pass.into, existing.name);
  if (!SetAside(run.replaced, run.disk, replaced, pass.below, existing.name, aside, reason))
    return Reported(run, pass, entry.name, reason);
  if (run.disk.Move(source, destination, reason) == MoveResult::Moved) {
    Tell(run, Happening::Replace, ShownName(pass, entry.name));
    return Outcome::Moved;
  }
  if (reason.empty()) reason = "another program took its name";
  if (!PutBack(run.replaced, run.disk, aside, replaced))
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
        Fill(run, pass, newName, true);
        Tell(run, {.happening = Happening::Rename,
                   .name = ShownName(pass, entry.name),
                   .detail = LandingName(pass, newName)});
        return Outcome::Renamed;
      case MoveResult::NameTaken:
        break;
      case MoveResult::Blocked:
      case MoveResult::Failed:
        return Reported(run, pass, entry.name, reason);
    }
  }
  return Reported(run, pass, entry.name,
                  "every new name from " + Quoted(NumberedName(entry.name, entry.folder, FirstCopyNumber)) + " to " +
                      Quoted(NumberedName(entry.name, entry.folder, LastCopyNumber)) + " is taken");
}

// A folder meeting a folder of its name: its entries go into that folder by
// the same rules, to any depth, and it goes once it is empty.
Outcome MergeFolder(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source,
                    const std::string& destination) {
  // Whatever is in a folder that came up whole in this run came up with it.
  const Filled* filled = FilledBy(run, pass, entry.name);
  const std::string intoCameFrom = !pass.intoCameFrom.empty() ? JoinPath(pass.intoCameFrom, entry.name)
                                   : filled != nullptr && filled->whole
                                       ? JoinPath(run.origins[filled->origin], entry.name)
                                       : std::string();
  // Whatever comes of the merge, this run has been filling that folder: a case
  // twin of the entry must not be merged into it as well.
  Fill(run, pass, entry.name, false);
  const std::string shown = ShownName(pass, entry.name);
  Tell(run, Happening::Merge, shown);
  Pass merge = MakePass(run, source, destination, LandingName(pass, entry.name), JoinPath(pass.shownAs, entry.name),
                        shown, JoinPath(run.origins[pass.origin], entry.name));
  if (!pass.fromBelow.empty()) merge.fromBelow = shown;
  merge.intoCameFrom = intoCameFrom;
  ListedEntry noSameName = {};
  return MoveEntries(run, merge, "", noSameName);
}

// Ticks of 100 ns: FAT keeps times to 2 seconds, and local time shifts by an
// hour at a change of daylight saving time.
const long long TwoSeconds = 20000000LL;
const long long OneHour = 36000000000LL;

// Is the incoming file newer, by the 2 seconds FAT can tell apart? On a volume
// that keeps local time, a difference within 2 seconds of an hour is a change
// of daylight saving time, not a newer file; 2 seconds off the hour is newer.
bool IsNewer(const Run& run, const ListedEntry& entry, const ListedEntry& existing) {
  const long long newer = static_cast<long long>(entry.lastWrite - existing.lastWrite);
  if (newer < TwoSeconds) return false;
  return !run.localTime || newer - OneHour <= -TwoSeconds || newer - OneHour >= TwoSeconds;
}

// Two files of one size and the same bytes, neither of them a placeholder
// whose content a read would download.
bool IsCopy(Run& run, const ListedEntry& entry, const ListedEntry& existing, const std::string& source,
            const std::string& destination) {
  // Reading a file whose bytes are elsewhere would fetch it: such a file is taken to differ.
  const unsigned long marks = entry.attributes | existing.attributes;
  return entry.size == existing.size && (marks & ContentElsewhereMarks) == 0 &&
         run.disk.CompareContents(source, destination) == Contents::Same;
}

// The copy goes where replaced files go, and on to the Recycle Bin; the file
// in the parent is not touched.
Outcome DropCopy(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source) {
  std::string aside, reason;
  if (!SetAside(run.replaced, run.disk, source, AsideBelow(run, pass), entry.name, aside, reason))
    return Reported(run, pass, entry.name, reason);
  Tell(run, Happening::Same, ShownName(pass, entry.name));
  return Outcome::Dropped;
}

// Where the entry `name` comes from, as the question names it.
std::string AskedOrigin(const Run& run, const Pass& pass, const std::string& name) {
  if (pass.fromBelow.empty()) return run.origin;
  return JoinPath(run.origin, ShownName(pass, name));
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
      // The shell would replace without asking anybody.
      if (run.noDialogs) {
        ++run.unsettled;
        Tell(run, {.happening = Happening::Keep,
                   .name = ShownName(pass, entry.name),
                   .detail = "no dialog could be shown to settle the clash"});
        return Outcome::Kept;
      }
      pass.batch.push_back({source, destination});
      Tell(run, Happening::Shell, ShownName(pass, entry.name));
      return Outcome::Batched;
    }
    case RunMode::Ask:
      switch (run.listener.Ask(LandingName(pass, entry.name), AskedOrigin(run, pass, entry.name),
                               ShownName(pass, entry.name))) {
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
    case RunMode::KeepNewer:
      if (IsNewer(run, entry, existing)) return ReplaceUp(run, pass, entry, existing, source, destination);
      return Keep(run, pass, entry);
  }
  return Keep(run, pass, entry);
}

// Why the mode must not settle a clash with `existing`, or "" when it may:
// only a clash of two entries of one name and one kind is the user's to settle.
std::string WhyNotToSettle(const Run& run, const Pass& pass, const ListedEntry& entry, const ListedEntry& existing) {
  // A case twin from a case-sensitive folder, or a short name of something this
  // pass moved up: replacing would destroy one of the folder's own entries.
  if (FilledBy(run, pass, existing.name) != nullptr)
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
    case RunMode::KeepNewer:
      return Keep(run, pass, entry);
    case RunMode::Ask:
    case RunMode::OverwriteAll:
      break;
  }
  return Reported(run, pass, entry.name,
                  entry.link ? "it is a junction or symbolic link, and links are never merged"
                  : existing.link
                      ? "a junction or symbolic link of that name is in the way, and links are never merged into"
                      : "a folder of that name is in the way; add /m to merge them");
}

// Did what is in the way come up in this run, from another folder than the
// entry's? `cameFrom` says from where.
bool CameUpInThisRun(const Run& run, const Pass& pass, const ListedEntry& existing, std::string& cameFrom) {
  const Filled* filled = FilledBy(run, pass, existing.name);
  if (filled != nullptr && filled->origin != pass.origin) {
    cameFrom = run.origins[filled->origin];
    return true;
  }
  cameFrom = pass.intoCameFrom;
  return filled == nullptr && !cameFrom.empty();
}

// Two entries that both came up in this run never replace one another: the
// later one goes up under a new name, is kept, is dropped as a copy, or stays,
// reported. Two folders may be merged.
Outcome SettleRunClash(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                       const std::string& source, const std::string& destination, const std::string& cameFrom) {
  const bool folders = entry.folder && existing.folder;
  if (folders && run.mergeFolders && !entry.link && !existing.link && run.mode != RunMode::ShellBatch &&
      SameName(entry.name, existing.name))
    return MergeFolder(run, pass, entry, source, destination);
  if (!entry.folder && !existing.folder && run.dropCopies && IsCopy(run, entry, existing, source, destination))
    return DropCopy(run, pass, entry, source);
  switch (run.mode) {
    case RunMode::KeepBoth:
      return MoveUnderNewName(run, pass, entry, source);
    case RunMode::KeepExisting:
    case RunMode::KeepNewer:
      return Keep(run, pass, entry);
    default:
      break;
  }
  return Reported(run, pass, entry.name,
                  std::string(existing.folder ? "a folder" : "a file") + " of that name came up from " +
                      Quoted(cameFrom) + " in this run");
}

}  // namespace

Outcome SettleClash(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                    const std::string& source, const std::string& destination) {
  std::string cameFrom;
  if (CameUpInThisRun(run, pass, existing, cameFrom))
    return SettleRunClash(run, pass, entry, existing, source, destination, cameFrom);
  const std::string obstacle = WhyNotToSettle(run, pass, entry, existing);
  // Moving under a new name replaces nothing, so it settles these clashes too.
  if (!obstacle.empty() && run.mode == RunMode::KeepBoth) return MoveUnderNewName(run, pass, entry, source);
  if (!obstacle.empty()) return Reported(run, pass, entry.name, obstacle);
  if (entry.folder && existing.folder) return SettleFolderClash(run, pass, entry, existing, source, destination);
  // A copy is settled before the mode, and before the shell's batch.
  if (run.dropCopies && IsCopy(run, entry, existing, source, destination)) return DropCopy(run, pass, entry, source);
  return SettleByMode(run, pass, entry, existing, source, destination);
}
