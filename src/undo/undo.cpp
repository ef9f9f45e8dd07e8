#include "undo/undo.h"

#include <map>
#include <set>

#include "lift/paths.h"

namespace {

struct Undo {
  FileSystem& disk;
  Listener& listener;
  std::string parent;              // names are shown below it
  std::vector<std::string> lost;   // folders of replaced files found nowhere
  std::vector<std::string> inBin;  // folders of replaced files the bin would not give back
  // Folders that cannot be made again for a file in their way, and how many
  // entries cannot go back into each.
  std::map<std::string, std::size_t> blocked;
  UndoOutcome outcome;
  // Each folder's entries, listed once: a look at each entry alone would
  // cost as much again as the moves themselves.
  std::map<std::string, std::map<std::string, ListedEntry>> listed;
  std::set<std::string> putBack;    // where this undo put entries, as Windows compares paths
  std::vector<const Step*> remade;  // folders made again, whose times are set last
};

std::string Shown(const Undo& undo, const std::string& path) {
  bool below;
  const std::string shown = PathBelow(path, undo.parent, below);
  // The parent itself has no name below it.
  return below && !shown.empty() ? shown : path;
}

void Tell(Undo& undo, const Event& event) {
  undo.listener.Tell(event);
  if (event.happening == Happening::Fail || event.happening == Happening::Problem) undo.outcome.allWell = false;
}

void Tell(Undo& undo, Happening happening, const std::string& name) { Tell(undo, {happening, name}); }

bool IsBelowAny(const std::vector<std::string>& folders, const std::string& path) {
  for (const std::string& folder : folders) {
    bool below;
    PathBelow(path, folder, below);
    if (below) return true;
  }
  return false;
}

// Is `entry` the one the step moved? By its identity where the listing gives
// one, else by the name the step gave it.
bool IsTheEntry(const ListedEntry& entry, const Step& step, const std::string& path) {
  if (step.identity.index != 0) return entry.identity == step.identity;
  return entry.name == NameOf(path);
}

std::map<std::string, ListedEntry>& Listing(Undo& undo, const std::string& folder) {
  auto known = undo.listed.find(folder);
  if (known != undo.listed.end()) return known->second;
  std::map<std::string, ListedEntry>& names = undo.listed[folder];
  std::vector<ListedEntry> entries;
  std::string reason;
  if (undo.disk.ListFolder(folder, entries, reason))
    for (const ListedEntry& entry : entries) names[entry.name] = entry;
  return names;
}

bool IsThere(Undo& undo, const Step& step, const std::string& path) {
  const std::map<std::string, ListedEntry>& names = Listing(undo, ParentOf(path));
  const auto found = names.find(NameOf(path));
  if (found != names.end()) return IsTheEntry(found->second, step, path);
  // Under another case or a short name, as the disk finds it.
  ListedEntry entry;
  std::string reason;
  return undo.disk.LookUpEntry(path, entry, reason) && IsTheEntry(entry, step, path);
}

// The listings follow what the undo moves and makes.
void Moved(Undo& undo, const std::string& from, const std::string& to) {
  std::map<std::string, ListedEntry>& source = Listing(undo, ParentOf(from));
  const auto entry = source.find(NameOf(from));
  if (entry == source.end()) return;
  ListedEntry moved = entry->second;
  source.erase(entry);
  const auto destination = undo.listed.find(ParentOf(to));
  moved.name = NameOf(to);
  if (destination != undo.listed.end()) destination->second[moved.name] = moved;
}

// Where an entry's old place is taken only by the short name Windows gave an
// entry this undo put back, that entry steps aside while the blocked one goes
// back, and then returns, under a short name of its own again.
bool MovePastShortName(Undo& undo, const Step& step) {
  ListedEntry existing;
  std::string reason;
  if (!undo.disk.LookUpEntry(step.from, existing, reason) || SameName(existing.name, NameOf(step.from))) return false;
  const std::string folder = ParentOf(step.from), taken = JoinPath(folder, existing.name);
  if (undo.putBack.count(NameKey(taken)) == 0) return false;
  for (int number = FirstCopyNumber; number <= LastCopyNumber; ++number) {
    const std::string aside = JoinPath(folder, NumberedName(existing.name, existing.folder, number));
    const MoveResult result = undo.disk.Move(taken, aside, reason);
    if (result == MoveResult::NameTaken) continue;
    if (result != MoveResult::Moved) return false;
    const bool back = undo.disk.Move(step.to, step.from, reason) == MoveResult::Moved;
    if (undo.disk.Move(aside, taken, reason) != MoveResult::Moved)
      Tell(undo, {.happening = Happening::Fail,
                  .name = Shown(undo, aside),
                  .detail = reason,
                  .failure = "cannot move " + Quoted(aside) + " back"});
    return back;
  }
  return false;
}

// True once the entry is back, or the step left nothing to undo, or what it
// moved is lost for good.
bool MoveBack(Undo& undo, const Step& step) {
  // Said already: the files are nowhere to be found, and never will be.
  if (IsBelowAny(undo.lost, step.to)) return true;
  if (IsBelowAny(undo.inBin, step.to)) return false;
  for (auto& folder : undo.blocked) {
    bool below;
    PathBelow(step.from, folder.first, below);
    if (below) {
      ++folder.second;
      return false;
    }
  }
  const std::string failure = "cannot move " + Quoted(step.to) + " back";
  if (!IsThere(undo, step, step.to)) {
    // A run killed between the line and the move left it where it was: nothing to undo.
    if (IsThere(undo, step, step.from)) return true;
    Tell(undo, {.happening = Happening::Fail,
                .name = Shown(undo, step.to),
                .detail = "it has moved or changed since the lift",
                .failure = failure});
    return false;
  }
  std::string reason;
  MoveResult result = undo.disk.Move(step.to, step.from, reason);
  if (result == MoveResult::NameTaken && MovePastShortName(undo, step)) result = MoveResult::Moved;
  switch (result) {
    case MoveResult::Moved:
      Moved(undo, step.to, step.from);
      undo.putBack.insert(NameKey(step.from));
      ++undo.outcome.back;
      Tell(undo, {.happening = Happening::MoveBack, .name = Shown(undo, step.to), .detail = Shown(undo, step.from)});
      return true;
    case MoveResult::NameTaken:
      undo.outcome.wayMayFree = true;
      Tell(undo, {.happening = Happening::Fail,
                  .name = Shown(undo, step.to),
                  .detail = "its old place is taken",
                  .failure = failure});
      return false;
    case MoveResult::Blocked:
      undo.outcome.wayMayFree = true;
      Tell(undo, {.happening = Happening::Fail, .name = Shown(undo, step.to), .detail = reason, .failure = failure});
      return false;
    case MoveResult::Failed:
      Tell(undo, {.happening = Happening::Fail, .name = Shown(undo, step.to), .detail = reason, .failure = failure});
      return false;
  }
  return false;
}

// The entries the run put into `folder`, which went to the Recycle Bin with it.
std::vector<HeldEntry> MovesInto(const Record& record, const std::string& folder) {
  std::vector<HeldEntry> into;
  for (const Step& step : record.steps)
    if (step.kind == StepKind::Move && IsBelowAny({folder}, step.to)) into.push_back({step.to, step.identity});
  return into;
}

// The replaced files are gone for good: said once, with how many, and the
// record is finished without them.
void Lose(Undo& undo, const Record& record, const std::string& folder, const std::string& where) {
  const std::size_t files = MovesInto(record, folder).size();
  undo.outcome.lost += files;
  Tell(undo, {.happening = Happening::Problem,
              .name = Shown(undo, folder),
              .detail = where,
              .failure = std::to_string(files) + (files == 1 ? " replaced file cannot" : " replaced files cannot") +
                         " come back"});
  undo.lost.push_back(folder);
}

// The replaced files come back from the Recycle Bin; the user may have
// restored them by hand already, into the parent where they were.
bool Restore(Undo& undo, const Record& record, const std::string& folder) {
  if (undo.disk.Exists(folder)) return true;
  std::string reason;
  switch (undo.disk.Restore(folder, MovesInto(record, folder), reason)) {
    case RestoreResult::Restored:
      Tell(undo, Happening::Restore, Shown(undo, folder));
      return true;
    case RestoreResult::NotInBin:
      Lose(undo, record, folder,
           "they are neither in the Recycle Bin nor in " + Quoted(folder) + ", where they were last");
      return true;
    case RestoreResult::Failed:
      break;
  }
  Tell(undo, {.happening = Happening::Problem,
              .name = Shown(undo, folder),
              .detail = reason,
              .failure = "the replaced files stay in the Recycle Bin, as " + Quoted(NameOf(folder))});
  undo.inBin.push_back(folder);
  return false;
}

// A folder the lift removed is made again, with the marks it had, for what
// comes back into it.
bool MakeAgain(Undo& undo, const Step& step) {
  std::string reason;
  switch (undo.disk.MakeFolder(step.from, reason)) {
    case MakeResult::Made:
      if (step.attributes != 0) undo.disk.SetAttributes(step.from, step.attributes, reason);
      undo.remade.push_back(&step);
      undo.listed.erase(step.from);
      Tell(undo, Happening::Make, Shown(undo, step.from));
      return true;
    case MakeResult::NameTaken: {
      ListedEntry entry;
      if (!undo.disk.LookUpEntry(step.from, entry, reason) || entry.folder) return true;
      // Said once, with how many entries it keeps out, when the undo ends.
      undo.blocked[step.from] = 0;
      return false;
    }
    case MakeResult::Failed:
      break;
  }
  Tell(undo, {.happening = Happening::Fail,
              .name = Shown(undo, step.from),
              .detail = reason,
              .failure = Quoted(step.from) + " cannot be made again"});
  return false;
}

void TellBlocked(Undo& undo) {
  for (const auto& folder : undo.blocked) {
    std::string detail = "a file of that name is in the way";
    if (folder.second > 0)
      detail += "; " + std::to_string(folder.second) + (folder.second == 1 ? " entry" : " entries") +
                " cannot go back into it";
    Tell(undo, {.happening = Happening::Fail,
                .name = Shown(undo, folder.first),
                .detail = detail,
                .failure = Quoted(folder.first) + " cannot be made again"});
  }
}

// A folder's time changes as entries go into it: the times of the folders
// made again are set once everything is back.
void SetTimesOfRemade(Undo& undo) {
  std::string reason;
  for (const Step* step : undo.remade)
    if (step->creation != 0 || step->lastWrite != 0)
      undo.disk.SetTimes(step->from, step->creation, step->lastWrite, reason);
}

}  // namespace

UndoOutcome UndoRun(const Record& record, FileSystem& disk, Listener& listener, std::vector<std::size_t>& undone) {
  Undo undo = {disk,
               listener,
               record.folders.empty() ? "" : ParentOf(record.folders.front()),
               {},
               {},
               {},
               {true, 0, 0, false, 0},
               {},
               {},
               {}};
  std::string reason;
  for (std::size_t at = record.steps.size(); at-- > 0;) {
    const Step& step = record.steps[at];
    if (step.undone) continue;
    bool back = true;
    switch (step.kind) {
      case StepKind::Move:
        back = MoveBack(undo, step);
        break;
      case StepKind::Shell:
        back = MoveBack(undo, step);
        if (back) ++undo.outcome.shellMoved;
        break;
      case StepKind::Recycle:
        back = Restore(undo, record, step.from);
        break;
      case StepKind::Keep:
        // Kept in the parent, where the user may have deleted them since.
        if (!disk.Exists(step.from)) Lose(undo, record, step.from, "they are no longer in " + Quoted(step.from));
        break;
      case StepKind::Remove:
        // The lifted folder, an inner one of its name, a merged one.
        back = MakeAgain(undo, step);
        break;
      case StepKind::Make:
        // The replaced files' folder goes once it is empty; else it stays for what is left.
        if (disk.RemoveFolder(step.from, reason))
          Tell(undo, Happening::Remove, Shown(undo, step.from));
        else
          back = !disk.Exists(step.from) && !IsBelowAny(undo.inBin, step.from);
        break;
    }
    if (back) undone.push_back(at);
  }
  SetTimesOfRemade(undo);
  TellBlocked(undo);
  const std::size_t shellMoved = undo.outcome.shellMoved;
  // The user let the shell replace them in its own dialog, and it kept no copy.
  if (shellMoved > 0)
    Tell(undo, {.happening = Happening::Problem,
                .name = "",
                .detail = "the shell replaced what was in the way of " + std::to_string(shellMoved) +
                          (shellMoved == 1 ? " entry" : " entries") + " and keeps no copy",
                .failure = "the files the shell replaced cannot come back"});
  return undo.outcome;
}
