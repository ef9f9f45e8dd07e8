#include "app/undoable.h"

#include <algorithm>
#include <ostream>

#include "app/command_line.h"
#include "lift/console_listener.h"
#include "lift/model.h"
#include "lift/paths.h"
#include "lift/preview.h"
#include "lift/record.h"
#include "lift/recording.h"
#include "lift/typed_folder.h"
#include "lift/undo.h"

namespace {

const char ListOnly[] = "/l";
const std::size_t FirstArgument = 1;

// The folder as the lift resolved it: its full path, under the name its
// parent lists it by where it still exists.
std::string FolderAsLifted(const std::string& typed) {
  const std::string full =
      WithoutTrailingSeparators(HasExtendedPrefix(typed) ? WithoutExtendedPrefix(typed) : FullPath(typed));
  ListedEntry entry;
  std::string reason;
  return ListEntry(full, entry, reason) ? JoinPath(ParentOf(full), entry.name) : full;
}

std::string Folders(const Record& record) {
  std::string named;
  for (const std::string& folder : record.folders) named += (named.empty() ? "" : ", ") + Quoted(folder);
  return named;
}

}  // namespace

bool LiftKeepingRecord(const std::vector<std::string>& paths, RunChoice choice, Listener& listener,
                       std::ostream& errors) {
  WindowsFileSystem windows;
  std::vector<ResolvedFolder> folders;
  // Every folder is resolved, and every refusal said, before anything moves.
  const bool resolved = ResolveFolders(paths, folders, windows, listener);
  if (folders.empty()) return false;
  std::vector<std::string> lifted;
  for (const ResolvedFolder& folder : folders) lifted.push_back(folder.path);
  std::string file, reason;
  AppendFile* record = StartRecord(lifted, file, reason);
  if (record == nullptr) errors << "dirlift: this lift cannot be undone: " << reason << std::endl;
  bool allLifted, recorded;
  {
    RecordingFileSystem disk(windows, record, listener);
    allLifted = LiftFolders(folders, choice, disk, listener);
    recorded = disk.Recorded();
  }
  // A run that changed nothing leaves nothing to undo.
  if (record != nullptr && !recorded) DeleteTextFile(file, reason);
  return resolved && allLifted;
}

bool AsksForUndo(const std::vector<std::string>& arguments) {
  return std::find(arguments.begin() + std::min(FirstArgument, arguments.size()), arguments.end(), UndoSwitch) !=
         arguments.end();
}

int RunUndo(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& errors) {
  std::string folder;
  bool listOnly = false;
  for (std::size_t at = FirstArgument; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (argument == UndoSwitch) continue;
    if (argument == ListOnly) {
      listOnly = true;
    } else if (at == FirstArgument && !argument.empty() && argument[0] != '/' && argument[0] != '-') {
      folder = FolderAsLifted(argument);
    } else {
      errors << "dirlift: /u goes with /l alone, not with \"" << argument << "\"" << std::endl;
      return ExitBadSwitch;
    }
  }
  Record record;
  if (!FindRecordToUndo(folder, record)) {
    errors << "dirlift: nothing to undo" << (folder.empty() ? "" : " for " + Quoted(folder)) << std::endl;
    return ExitFailed;
  }
  if (listOnly) {
    ModelFileSystem model;
    PreviewListener preview(out, errors);
    UndoRun(record, model, preview);
    preview.Summarize(true);
    return ExitDone;
  }
  WindowsFileSystem disk;
  Progress progress = StartProgress(ProgressView::Hidden, 0);
  ConsoleListener listener(in, out, errors, progress);
  const bool undone = UndoRun(record, disk, listener);
  // What could not come back stays; its lines said so. The record is done with.
  std::string reason;
  if (!MarkUndone(record, reason)) errors << "dirlift: cannot mark the lift undone: " << reason << std::endl;
  out << "undone: the lift of " << Folders(record) << " of " << record.started << std::endl;
  return undone ? ExitDone : ExitFailed;
}
