#include "lift/lift.h"

#include <ostream>
#include <vector>

#include "lift/question.h"
#include "lift/shell_batch.h"
#include "platform/platform.h"

namespace {

// Paths are built with the backslash; both it and '/' are read as separators.
const char Separator = '\\';
const char ParentStep[] = "..\\";
const char ThisFolder[] = ".";
const char ParentFolder[] = "..";
const char DriveMark = ':';
const std::string::size_type DrivePrefixLength = 2;
const std::size_t ShareRootComponents = 2;  // \\server\share

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
}

bool HasDrivePrefix(const std::string& path) {
  return path.size() >= DrivePrefixLength && path[1] == DriveMark;
}

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

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

void Report(Conversation& user, const std::string& what, const std::string& reason) {
  ClearProgressLine(user.progress, user.errors);
  user.errors << "dirlift: " << what << ": " << reason << std::endl;
}

// What became of one entry of the folder.
enum class Outcome { Moved, Kept, Failed, Batched };

Outcome Reported(bool moved, const std::string& source, const std::string& reason,
                 Conversation& user) {
  if (moved) return Outcome::Moved;
  Report(user, "cannot move " + Quoted(source) + " up", reason);
  return Outcome::Failed;
}

Outcome MoveUp(const std::string& source, const std::string& destination, Conversation& user) {
  std::string reason;
  return Reported(MoveEntry(source, destination, reason), source, reason, user);
}

Outcome ReplaceUp(const std::string& source, const std::string& destination, Conversation& user) {
  std::string reason;
  return Reported(ReplaceEntry(source, destination, reason), source, reason, user);
}

// Settles a clash by the mode; an answer of "all" turns the mode to OverwriteAll
// for the rest of this pass and the passes it descends into.
Outcome SettleClash(const std::string& name, const std::string& source,
                    const std::string& destination, RunMode& mode, Conversation& user) {
  switch (mode) {
    case RunMode::ShellBatch:
      return Outcome::Batched;
    case RunMode::Ask:
      // The question starts on a clean line.
      ClearProgressLine(user.progress, user.errors);
      switch (AskToOverwrite(name, user.answers, user.questions)) {
        case Answer::All:
          mode = RunMode::OverwriteAll;
          [[fallthrough]];
        case Answer::Yes:
          return ReplaceUp(source, destination, user);
        case Answer::No:
        case Answer::NoInput:
          return Outcome::Kept;
      }
      break;
    case RunMode::OverwriteAll:
      return ReplaceUp(source, destination, user);
    case RunMode::KeepExisting:
      return Outcome::Kept;
  }
  return Outcome::Kept;
}

// Windows also reaches an entry through its 8.3 short name, so something found
// at the destination is a clash only when it bears the entry's own name. An
// entry named like another's short name is no clash to settle: replacing would
// destroy an unrelated file, so it stays and is reported.
bool IsTrueClash(const std::string& name, const std::string& source,
                 const std::string& destination, Conversation& user) {
  std::string existing, reason;
  if (!ListedName(destination, existing, reason)) {
    Report(user, "cannot move " + Quoted(source) + " up", "cannot tell what lies in its way: " + reason);
    return false;
  }
  if (SameName(existing, name)) return true;
  Report(user, "cannot move " + Quoted(source) + " up",
         "the name is the short name of " + Quoted(existing));
  return false;
}

bool AnyStillExists(const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    if (PathExists(path)) return true;
  return false;
}

bool IsListingOnly(const std::string& name) { return name == ThisFolder || name == ParentFolder; }

std::size_t CountEntries(const std::vector<std::string>& names) {
  std::size_t count = 0;
  for (const std::string& name : names)
    if (!IsListingOnly(name)) ++count;
  return count;
}

}  // namespace

std::string OwnName(const std::string& path) {
  std::string name = WithoutTrailingSeparators(path);
  if (HasDrivePrefix(name)) name.erase(0, DrivePrefixLength);
  std::string::size_type last = name.size();
  while (last > 0 && !IsSeparator(name[last - 1])) --last;
  return name.substr(last);
}

bool IsRootPath(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  if (trimmed.empty()) return true;
  if (HasDrivePrefix(trimmed) && trimmed.size() == DrivePrefixLength) return true;
  return StartsWithTwoSeparators(trimmed) && CountComponents(trimmed) <= ShareRootComponents;
}

bool LiftFolder(std::string path, RunMode mode, Conversation& user) {
  if (IsRootPath(path)) {
    Report(user, "cannot lift " + Quoted(path), "a drive or share root has no parent to lift into");
    return false;
  }
  const std::string ownName = OwnName(path);
  const std::string working = path + Separator;

  std::vector<std::string> names;
  std::string reason;
  if (!ListFolder(working, names, reason)) {
    Report(user, "cannot list " + Quoted(path), reason);
    return false;
  }

  // The shell gets clean absolute paths, whatever form was typed: it records
  // its undo with them, and takes neither ".." nor doubled separators well.
  const std::string batchSourceBase = FullPath(working);
  const std::string batchDestinationBase = FullPath(working + ParentStep);
  std::string batchSources, batchDestinations;
  std::string sameNamePath;
  bool allWell = true;
  bool entriesStay = false;
  const std::size_t total = CountEntries(names);
  std::size_t done = 0;

  for (const std::string& name : names) {
    if (IsListingOnly(name)) continue;
    // A cancel stops after the entry being moved; the rest stay, so does the folder.
    if (CancelRequested(user.progress)) return allWell;
    ShowProgress(user.progress, ownName, done++, total, user.errors);
    // The user may type the folder's name in any case, as Windows takes it.
    if (SameName(name, ownName)) {
      sameNamePath = working + name;
      continue;
    }
    const std::string source = working + name;
    // The parent is reached through "..": its own path is never worked out.
    const std::string destination = working + ParentStep + name;
    Outcome outcome;
    if (!PathExists(destination))
      outcome = MoveUp(source, destination, user);
    else if (IsTrueClash(name, source, destination, user))
      outcome = SettleClash(name, source, destination, mode, user);
    else
      outcome = Outcome::Failed;
    if (outcome == Outcome::Batched)
      AddToShellBatch(batchSources, batchDestinations, batchSourceBase + name,
                      batchDestinationBase + name);
    if (outcome == Outcome::Failed) allWell = false;
    if (outcome == Outcome::Kept || outcome == Outcome::Failed) entriesStay = true;
  }

  if (CancelRequested(user.progress)) return allWell;

  if (!batchSources.empty()) {
    // The shell's own dialogs take over from here.
    EndProgress(user.progress, user.errors);
    if (ShellMove(batchSources, batchDestinations, reason) == ShellOutcome::Failed) {
      Report(user, "the shell could not move the clashing entries of " + Quoted(path), reason);
      allWell = false;
    }
    // What the user declined or cancelled in the shell's dialogs stays, by their choice.
    if (AnyStillExists(ShellBatchPaths(batchSources))) entriesStay = true;
  }

  if (!sameNamePath.empty()) {
    switch (KindOf(sameNamePath)) {
      case EntryKind::Folder:
      case EntryKind::Missing:  // gone meanwhile: the inner pass says why it cannot list it
        break;
      case EntryKind::Link:
        // A junction may point back at an ancestor: lifting through it would
        // shuffle entries of folders the user never named.
        Report(user, "cannot lift " + Quoted(sameNamePath),
               "it is a junction or symbolic link named like its folder, so both stay");
        return false;
      case EntryKind::File:
        // A file cannot go up: its destination is this folder itself.
        Report(user, "cannot lift " + Quoted(sameNamePath),
               "it is a file named like its folder, so both stay");
        return false;
    }
    return LiftFolder(sameNamePath, mode, user) && allWell;
  }
  if (entriesStay) return allWell;
  if (!RemoveFolder(working, reason)) {
    Report(user, "cannot remove " + Quoted(path), reason);
    return false;
  }
  return allWell;
}
