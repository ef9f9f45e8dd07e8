#include "lift/undo.h"

#include <map>

#include "lift/paths.h"

namespace {

struct Undo {
  FileSystem& disk;
  Listener& listener;
  std::string parent;                // names are shown below it
  std::vector<std::string> lost;     // folders of replaced files the Recycle Bin did not give back
  bool allWell;
  // Each folder's entries, listed once: a look at each entry alone would
  // cost as much again as the moves themselves.
  std::map<std::string, std::map<std::string, ListedEntry>> listed;
};

std::string Shown(const Undo& undo, const std::string& path) {
  bool below;
  const std::string shown = PathBelow(path, undo.parent, below);
  return below ? shown : path;
}

void Tell(Undo& undo, Happening happening, const std::string& name, const std::string& detail = "",
          const std::string& failure = "") {
  undo.listener.Tell({happening, name, detail, failure, 0});
  if (happening == Happening::Fail || happening == Happening::Problem) undo.allWell = false;
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
  return undo.disk.ListEntry(path, entry, reason) && IsTheEntry(entry, step, path);
}

// The listings follow what the undo moves.
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

void MoveBack(Undo& undo, const Step& step) {
  for (const std::string& folder : undo.lost) {
    bool below;
    PathBelow(step.to, folder, below);
    if (below) return;  // said already: the files are in the Recycle Bin
  }
  const std::string failure = "cannot move " + Quoted(step.to) + " back";
  if (!IsThere(undo, step, step.to)) {
    // A run killed between the line and the move left it where it was: nothing to undo.
    if (!IsThere(undo, step, step.from))
      Tell(undo, Happening::Fail, Shown(undo, step.to), "it has moved or changed since the lift", failure);
    return;
  }
  std::string reason;
  switch (undo.disk.Move(step.to, step.from, reason)) {
    case MoveResult::Moved:
      Moved(undo, step.to, step.from);
      Tell(undo, Happening::MoveBack, Shown(undo, step.to), Shown(undo, step.from));
      break;
    case MoveResult::NameTaken:
      Tell(undo, Happening::Fail, Shown(undo, step.to), "its old place is taken", failure);
      break;
    case MoveResult::Failed:
      Tell(undo, Happening::Fail, Shown(undo, step.to), reason, failure);
      break;
  }
}

// The entries the run put into `folder`, which went to the Recycle Bin with it.
std::vector<Step> MovesInto(const Record& record, const std::string& folder) {
  std::vector<Step> into;
  for (const Step& step : record.steps) {
    bool below;
    PathBelow(step.to, folder, below);
    if (step.kind == StepKind::Move && below) into.push_back(step);
  }
  return into;
}

void Restore(Undo& undo, const Record& record, const std::string& folder) {
  std::string reason;
  switch (undo.disk.Restore(folder, MovesInto(record, folder), reason)) {
    case RestoreResult::Restored:
      Tell(undo, Happening::Restore, Shown(undo, folder));
      return;
    case RestoreResult::NotInBin:
      Tell(undo, Happening::Problem, Shown(undo, folder), reason + "; it was emptied",
           "the replaced files are gone from the Recycle Bin, as " + Quoted(NameOf(folder)));
      break;
    case RestoreResult::Failed:
      Tell(undo, Happening::Problem, Shown(undo, folder), reason,
           "the replaced files stay in the Recycle Bin, as " + Quoted(NameOf(folder)));
      break;
  }
  undo.lost.push_back(folder);
}

}  // namespace

bool UndoRun(const Record& record, FileSystem& disk, Listener& listener) {
  Undo undo = {disk, listener, record.folders.empty() ? "" : ParentOf(record.folders.front()), {}, true, {}};
  bool shellMoved = false;
  std::string reason;
  for (auto step = record.steps.rbegin(); step != record.steps.rend(); ++step) {
    switch (step->kind) {
      case StepKind::Move:
        MoveBack(undo, *step);
        break;
      case StepKind::Shell:
        shellMoved = true;
        MoveBack(undo, *step);
        break;
      case StepKind::Recycle:
        Restore(undo, record, step->from);
        break;
      case StepKind::Keep:
        break;
      case StepKind::Remove:
        // The lifted folder, an inner one of its name, a merged one: made again for what comes back.
        if (disk.MakeFolder(step->from, reason) == MakeResult::Made) Tell(undo, Happening::Make, Shown(undo, step->from));
        break;
      case StepKind::Make:
        // The replaced files' folder goes once it is empty; else it stays for what is left.
        if (disk.RemoveFolder(step->from, reason)) Tell(undo, Happening::Remove, Shown(undo, step->from));
        break;
    }
  }
  if (shellMoved)
    Tell(undo, Happening::Notice, "", "the shell keeps no copy of what it replaced",
         "the files the shell replaced cannot come back");
  return undo.allWell;
}
