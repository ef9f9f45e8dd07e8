#include "app/undoable.h"

#include <algorithm>
#include <ostream>

#include "app/command_line.h"
#include "app/run.h"
#include "app/typed_folder.h"
#include "console/console_listener.h"
#include "lift/paths.h"
#include "lift/windows_file_system.h"
#include "preview/model.h"
#include "preview/preview.h"
#include "undo/record.h"
#include "undo/recording.h"
#include "undo/undo.h"

namespace {

// The folder as the lift resolved it: its full path, under the name its
// parent lists it by where it still exists.
std::string FolderAsLifted(const std::string& typed) {
  const std::string full = PlainFullPath(typed);
  platform::ListedEntry entry;
  platform::Failure failure;
  return platform::ListEntry(full, entry, failure) ? JoinPath(ParentOf(full), entry.name) : full;
}

std::string Entries(std::size_t count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

std::string Folders(const Record& record) {
  std::string named;
  for (const std::string& folder : record.folders) named += (named.empty() ? "" : ", ") + Quoted(folder);
  return named;
}

// Windows neither removes a process's current folder nor moves a folder that
// holds it: the run steps out to the root of the first folder's drive, which
// no lift moves. Every path from here on is full.
void StepOutOfTheWay(const std::vector<ResolvedFolder>& folders) {
  std::string root = folders.front().path;
  while (!IsRootPath(root) && ParentOf(root) != root) root = ParentOf(root);
  platform::SetCurrentFolder(root);
}

}  // namespace

bool LiftKeepingRecord(const std::vector<std::string>& paths, RunChoice choice, WindowsFileSystem& windows,
                       Listener& listener, std::ostream& errors) {
  std::vector<ResolvedFolder> folders;
  // Every folder is resolved, and every refusal said, before anything moves.
  const bool resolved = ResolveFolders(paths, folders, windows, listener);
  if (folders.empty()) return false;
  StepOutOfTheWay(folders);
  std::vector<std::string> lifted;
  for (const ResolvedFolder& folder : folders) lifted.push_back(folder.path);
  std::string file, reason;
  platform::AppendFile* record = StartRecord(lifted, file, reason);
  if (record == nullptr) errors << "dirlift: this lift cannot be undone: " << reason << std::endl;
  bool allLifted, recorded;
  {
    RecordingFileSystem disk(windows, record, listener);
    allLifted = LiftFolders(folders, choice, disk, listener);
    recorded = disk.Recorded();
  }
  // A run that changed nothing leaves nothing to undo, and pushes no older record out.
  if (record != nullptr && !recorded) platform::DeleteTextFile(file, reason);
  if (recorded) TrimRecords();
  return resolved && allLifted;
}

int RunUndo(const CommandLine& line, bool askFirst, std::istream& in, std::ostream& out, std::ostream& errors) {
  const bool listOnly = line.choice.listOnly;
  const std::string folder = line.folders.empty() ? "" : FolderAsLifted(line.folders.front());
  Record record;
  if (!FindRecordToUndo(folder, record)) {
    errors << "dirlift: nothing to undo" << (folder.empty() ? "" : " for " + Quoted(folder)) << std::endl;
    return ExitFailed;
  }
  std::vector<std::size_t> undone;
  if (listOnly) {
    // The same undo on a model: it looks at the bin, the entries and their places as the undo will.
    WindowsFileSystem windows;
    ModelFileSystem model(windows);
    PreviewListener preview(out, errors);
    const bool wouldUndo = UndoRun(record, model, preview, undone).allWell;
    preview.Summarize(true);
    return wouldUndo ? ExitDone : ExitFailed;
  }
  if (askFirst &&
      !platform::AskYesNoBox(BoxTitle, "Undo the lift of " + Folders(record) + " of " + record.started + "?"))
    return ExitDone;
  WindowsFileSystem disk;
  Progress progress = StartProgress(ProgressView::Hidden, 0);
  ConsoleListener listener(in, out, errors, progress);
  const UndoOutcome outcome = UndoRun(record, disk, listener, undone);
  // What came back, or is lost for good, is marked, so that a later /u tries
  // only what is left, and a bare /u goes on to the lift before once nothing is.
  std::string reason;
  if (!MarkUndone(record, undone, reason)) errors << "dirlift: cannot mark the lift undone: " << reason << std::endl;
  for (const std::size_t index : undone) record.steps[index].undone = true;
  const std::size_t stillOut = std::count_if(record.steps.begin(), record.steps.end(), [](const Step& step) {
    return !step.undone && (step.kind == StepKind::Move || step.kind == StepKind::Shell);
  });
  if (outcome.allWell) {
    out << "undone: the lift of " << Folders(record) << " of " << record.started << std::endl;
    return ExitDone;
  }
  errors << "dirlift: the lift of " << Folders(record) << " of " << record.started
         << " is undone in part: " << Entries(outcome.back) << " came back";
  if (stillOut > 0) {
    errors << ", " << Entries(stillOut) << (stillOut == 1 ? " is" : " are") << " still out";
  }
  if (outcome.lost > 0)
    errors << ", " << outcome.lost << (outcome.lost == 1 ? " replaced file is" : " replaced files are") << " lost";
  if (outcome.shellMoved > 0) errors << ", what the shell replaced is lost";
  if (stillOut > 0 && outcome.wayMayFree) errors << "; run dirlift /u again once the way is free";
  errors << std::endl;
  return ExitFailed;
}
