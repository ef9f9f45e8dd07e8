#include <vector>

#include "lift/pass.h"
#include "lift/paths.h"
#include "lift/shell_batch.h"

namespace {

void NoteOutcome(Outcome outcome, bool& failed, bool& stays) {
  if (outcome == Outcome::Failed) failed = true;
  if (outcome == Outcome::Failed || outcome == Outcome::Kept) stays = true;
}

Outcome Overall(bool failed, bool stays) { return failed ? Outcome::Failed : stays ? Outcome::Kept : Outcome::Moved; }

}  // namespace

// The move itself tells whether the name is free: testing first would leave a
// moment in which another program (another dirlift) could take it. Where the
// name is likely taken, what is in the way is looked up first, which spares
// the move that would fail; found nothing, the move still decides.
Outcome MoveUp(Run& run, Pass& pass, const ListedEntry& entry) {
  const std::string source = JoinPath(pass.from, entry.name);
  const std::string destination = JoinPath(pass.into, entry.name);
  ListedEntry existing;
  std::string reason;
  Outcome outcome = Outcome::Moved;
  if (LikelyTaken(run, pass, entry.name) && run.disk.LookUpEntry(destination, existing, reason)) {
    outcome = SettleClash(run, pass, entry, existing, source, destination);
  } else {
    reason.clear();
    switch (run.disk.Move(source, destination, reason)) {
      case MoveResult::Moved:
        Tell(run, Happening::Move, ShownName(pass, entry.name));
        break;
      case MoveResult::Blocked:
      case MoveResult::Failed:
        return Reported(run, pass, entry.name, reason);
      case MoveResult::NameTaken:
        ListHeldNames(run, pass);
        if (!run.disk.LookUpEntry(destination, existing, reason))
          return Reported(run, pass, entry.name, "cannot tell what lies in its way: " + reason);
        outcome = SettleClash(run, pass, entry, existing, source, destination);
        break;
    }
  }
  if (outcome == Outcome::Moved || outcome == Outcome::Batched) Fill(run, pass, entry.name, true);
  return outcome;
}

namespace {

// An entry bearing the folder's own name stays, to be lifted into the folder.
// A case-sensitive folder may hold two such: the one spelt as the folder is
// lifted, the other stays and is reported.
Outcome HoldBack(Run& run, Pass& pass, const ListedEntry& entry, const std::string& ownName, ListedEntry& sameName) {
  if (sameName.name.empty()) {
    sameName = entry;
    return Outcome::Kept;
  }
  ListedEntry other = entry;
  if (entry.name == ownName) std::swap(other, sameName);
  return Reported(run, pass, other.name,
                  Quoted(sameName.name) + " bears the folder's name too, and only one can be lifted into it");
}

}  // namespace

Outcome MoveEntries(Run& run, Pass& pass, const std::string& ownName, ListedEntry& sameName) {
  std::vector<ListedEntry> entries;
  std::string reason;
  if (!run.disk.ListFolder(pass.from, entries, reason)) {
    // The folder given (the pass with nothing below the parent) cannot be
    // lifted at all: a refusal, in a preview as in a lift.
    Tell(run, {.happening = pass.below.empty() ? Happening::Refuse : Happening::Problem,
               .name = pass.name,
               .detail = reason,
               .failure = "cannot list " + Quoted(pass.from)});
    return Outcome::Failed;
  }
  Tell(run, {.happening = Happening::Begin, .name = pass.name, .detail = pass.shownAs, .count = entries.size()});
  bool failed = false, stays = false;
  const std::string ownKey = ownName.empty() ? std::string() : NameKey(ownName);
  for (const ListedEntry& entry : entries) {
    // A cancel stops after the entry being moved; the rest stay, so does the folder.
    if (Stopped(run)) break;
    NoteOutcome(!ownKey.empty() && NameKey(entry.name) == ownKey ? HoldBack(run, pass, entry, ownName, sameName)
                                                                 : MoveUp(run, pass, entry),
                failed, stays);
  }
  if (Stopped(run)) {
    Tell(run, Happening::End, pass.name);
    return Overall(failed, true);
  }
  if (!RunShellBatch(run, pass, stays)) failed = true;
  if (stays) {
    Tell(run, Happening::Stay, pass.name);
  } else if (run.disk.RemoveFolder(pass.from, reason)) {
    Tell(run, Happening::Remove, pass.name);
  } else {
    Tell(run, {.happening = Happening::Problem,
               .name = pass.name,
               .detail = reason,
               .failure = "cannot remove " + Quoted(pass.from)});
    failed = true;
  }
  Tell(run, Happening::End, pass.name);
  return Overall(failed, stays);
}

namespace {

// One level of a lift: `folder`'s entries go up into its parent; then either
// the folder is removed or the entry bearing its name is lifted into it.
bool LiftPass(Run& run, const std::string& folder, const std::string& ownName, const std::string& below, bool descent) {
  Pass pass = MakePass(run, folder, ParentOf(folder), below, ownName, JoinPath(below, ownName),
                       run.origin.empty() ? JoinPath(below, ownName) : run.origin);
  pass.intoKeepsWhatStayed = descent;
  if (!run.chainBelow.empty()) {
    // A link of a chain names what it lifts by its path below the folder given.
    pass.fromBelow = JoinPath(run.chainBelow, below);
    pass.name = JoinPath(run.chainParentBelow, pass.name);
  }
  ListedEntry sameName = {};
  const bool allWell = MoveEntries(run, pass, ownName, sameName) != Outcome::Failed;
  if (sameName.name.empty() || Stopped(run)) return allWell;
  const std::string inner = JoinPath(folder, sameName.name);
  const std::string innerName = JoinPath(pass.name, sameName.name);
  if (sameName.link) {
    // A junction may point back at an ancestor: lifting through it would
    // shuffle entries of folders the user never named.
    Tell(run, {.happening = Happening::Problem,
               .name = innerName,
               .detail = "it is a junction or symbolic link named like its folder, so both stay",
               .failure = "cannot lift " + Quoted(inner)});
    return false;
  }
  if (!sameName.folder) {
    // A file cannot go up: its destination is this folder itself.
    Tell(run, {.happening = Happening::Problem,
               .name = innerName,
               .detail = "it is a file named like its folder, so both stay",
               .failure = "cannot lift " + Quoted(inner)});
    return false;
  }
  Tell(run, Happening::Lift, innerName);
  return LiftPass(run, inner, sameName.name, pass.name, true) && allWell;
}

// The folders a chain passes through, outermost first: down from `folder`
// while a folder holds nothing but one folder (not a link).
std::vector<ResolvedFolder> ChainFrom(const ResolvedFolder& folder, FileSystem& disk) {
  std::vector<ResolvedFolder> chain = {folder};
  for (;;) {
    std::vector<ListedEntry> entries;
    std::string reason;
    if (!disk.ListFolder(chain.back().path, entries, reason) || entries.size() != 1 || !entries[0].folder ||
        entries[0].link)
      return chain;
    chain.push_back({JoinPath(chain.back().path, entries[0].name), entries[0].name});
  }
}

// One folder of the run: its entries go up, and the folder goes; the replaced
// files go to the Recycle Bin as the folder's lift ends.
bool LiftOne(Run& run, const ResolvedFolder& folder) {
  run.replaced = NoReplacedFiles(ParentOf(folder.path), folder.ownName, run.started);
  run.localTime = run.mode == RunMode::KeepNewer && run.disk.KeepsLocalTime(ParentOf(folder.path));
  const bool lifted =
      run.levels > PlainLift ? FlattenFolder(run, folder) : LiftPass(run, folder.path, folder.ownName, "", false);
  return RecycleReplaced(run.replaced, run.disk, run.listener) && lifted;
}

}  // namespace

bool LiftFolders(const std::vector<ResolvedFolder>& folders, RunChoice choice, FileSystem& disk, Listener& listener) {
  Run run = {disk, listener};
  run.mode = choice.mode;
  run.mergeFolders = choice.mergeFolders;
  run.noDialogs = choice.noDialogs;
  run.dropCopies = choice.dropCopies;
  run.listOnly = choice.listOnly;
  run.levels = choice.levels;
  run.started = choice.started;
  bool allWell = true;
  for (const ResolvedFolder& folder : folders) {
    std::vector<ResolvedFolder> chain = choice.chains ? ChainFrom(folder, disk) : std::vector<ResolvedFolder>{folder};
    // Innermost first, as if each had been typed in turn.
    for (auto link = chain.rbegin(); link != chain.rend() && !Stopped(run); ++link) {
      if (folders.size() > 1) run.origin = link->path;
      bool below;
      run.chainBelow = PathBelow(link->path, folder.path, below);
      run.chainParentBelow = PathBelow(ParentOf(link->path), folder.path, below);
      if (!LiftOne(run, *link)) allWell = false;
    }
    if (Stopped(run)) break;
  }
  // A preview tells each such clash as kept, and is no failure.
  if (run.unsettled == 0 || run.listOnly) return allWell;
  // The shell was asked to settle them and could not: the run did not do what was asked.
  Tell(run, {.happening = Happening::Problem,
             .name = "",
             .detail = std::to_string(run.unsettled) +
                       (run.unsettled == 1 ? " entry stayed where it was" : " entries stayed where they were") +
                       ", and nothing was replaced",
             .failure = "no dialog could be shown to settle the clashes"});
  return false;
}
