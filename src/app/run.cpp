#include "app/run.h"

#include <sstream>

#include "app/arguments.h"
#include "app/command_line.h"
#include "app/gather.h"
#include "app/look_first.h"
#include "app/typed_folder.h"
#include "app/undoable.h"
#include "console/console_listener.h"
#include "lift/windows_file_system.h"
#include "platform/platform.h"
#include "preview/model.h"
#include "preview/preview.h"

namespace {

const std::size_t MostLinesInABox = 15;
const char ElevationOffer[] = "Administrator rights may help where access was denied. Try again as administrator?";
const char CloseWindowPrompt[] = "Press Enter to close this window.";

}  // namespace

std::string LinesForABox(const std::string& lines) {
  std::istringstream listed(lines);
  std::string text, line;
  std::size_t count = 0;
  while (std::getline(listed, line)) {
    if (++count <= MostLinesInABox) text += line + "\n";
  }
  if (count > MostLinesInABox) text += "and " + std::to_string(count - MostLinesInABox) + " more\n";
  if (!text.empty()) text.pop_back();
  return text;
}

bool ShouldWaitBeforeClosing(bool gui, int status, bool shown, bool inputIsConsole, bool ownsConsole,
                             bool consoleSeen) {
  return !gui && (status != ExitDone || shown) && inputIsConsole && ownsConsole && consoleSeen;
}

bool ShowsSomethingToRead(const CommandLine& line, bool newNames) {
  switch (line.action) {
    case Action::Usage:
    case Action::Undo:
      return true;
    case Action::Refuse:
      return false;
    case Action::Lift:
      break;
  }
  return line.choice.listOnly || newNames;
}

namespace {

// What a run leaves for the user to read: on the console before its window
// closes, or in a box.
struct Ending {
  int status;
  bool gui;
  bool shown;                 // standard output holds something to read
  std::string failures;       // the failure lines a box shows (gui mode, or no console)
  bool listed;                // standard output holds the usage text or a preview
  bool accessDenied = false;  // Windows denied the run access to something
};

// `windowless`: there is no console to show anything on or to read answers
// from; the failures go to a box, as in gui mode.
Ending RunCommandLine(const CommandLine& line, std::istream& in, std::ostream& out, std::ostream& errors,
                      bool windowless) {
  switch (line.action) {
    case Action::Usage:
      WriteUsage(out);
      return {ExitDone, false, ShowsSomethingToRead(line, false), "", true};
    case Action::Refuse:
      errors << "dirlift: " << line.problem << std::endl;
      return {ExitBadSwitch, false, false, "", false};
    case Action::Undo:
      return {RunUndo(line, windowless && !line.choice.listOnly && platform::CanShowWindows(), in, out, errors), false,
              ShowsSomethingToRead(line, false), "", true};
    case Action::Lift:
      break;
  }
  RunChoice choice = line.choice;
  choice.started = platform::LocalTimeStamp();
  std::vector<std::string> typed = line.folders;
  // A gui run where no window can be shown keeps its clashes, in its preview too.
  if (choice.mode == RunMode::ShellBatch) choice.noDialogs = !platform::CanShowWindows();
  if (choice.listOnly) {
    // The same lift on a model of the folders: no move, no question, no window.
    WindowsFileSystem windows;
    ModelFileSystem model(windows);
    PreviewListener preview(out, errors, choice.dropCopies, choice.levels > PlainLift);
    std::vector<ResolvedFolder> folders;
    ResolveFolders(typed, folders, model, preview);
    LiftFolders(folders, choice, model, preview);
    // Where no folder could be lifted at all, there is nothing to sum up.
    if (preview.Refusals() >= typed.size()) return {ExitFailed, false, false, "", false};
    preview.Summarize();
    return {preview.Refusals() == 0 ? ExitDone : ExitFailed, false, ShowsSomethingToRead(line, false), "", true};
  }
  // /p: what the run will do, and one question, before the console window is
  // hidden and before anything moves. A refusal is said once, by the preview.
  bool refusedFirst = false;
  if (choice.promptFirst) {
    const bool gui = choice.mode == RunMode::ShellBatch;
    if (gui) choice.noDialogs = !platform::CanShowWindows();
    const Look look = LookFirst(typed, choice, in, out, errors, windowless);
    refusedFirst = look.refused;
    if (look.outcome != LookOutcome::GoAhead) {
      const bool failed = look.refused || look.outcome == LookOutcome::CannotAsk;
      return {failed ? ExitFailed : ExitDone, false, false, "", false};
    }
    typed = look.folders;
  }
  // A gui run was started from Explorer: the shell's dialogs are all its user
  // sees, so the failures that standard error gets are shown in a box as well.
  const bool gui = choice.mode == RunMode::ShellBatch;
  if (gui) platform::HideOwnConsoleWindow();
  const bool boxed = gui || windowless;
  // Without a display, outside an interactive desktop, or where nobody sees the
  // desktop, no window must come up: the lift goes on without the dialog and the box.
  const bool windows = boxed && platform::CanShowWindows();
  // The shell would settle the clashes unasked, where nobody sees its questions.
  choice.noDialogs = gui && !windows;
  std::ostringstream failuresForBox;
  std::ostream& failures = boxed ? failuresForBox : errors;
  // The status line goes only to a console: never into a pipe or a file.
  const ProgressView view = windows                              ? ProgressView::ShellDialog
                            : boxed                              ? ProgressView::Hidden
                            : platform::StandardErrorIsConsole() ? ProgressView::ConsoleLine
                                                                 : ProgressView::Hidden;
  Progress progress = StartProgress(view, view == ProgressView::ConsoleLine ? platform::StandardErrorWidth() : 0);
  ConsoleListener listener(in, out, failures, progress);
  WindowsFileSystem disk;
  const bool lifted = LiftKeepingRecord(typed, choice, disk, listener, failures);
  EndProgress(progress, failures);
  errors << failuresForBox.str() << std::flush;
  return {lifted && !refusedFirst ? ExitDone : ExitFailed,
          gui,
          ShowsSomethingToRead(line, listener.Wrote()),
          windows ? failuresForBox.str() : "",
          false,
          disk.AccessWasDenied()};
}

}  // namespace

int RunDirlift(const std::vector<std::string>& typedArguments, std::istream& in, std::ostream& out,
               std::ostream& errors) {
  const Ending ending = RunCommandLine(ReadCommandLine(typedArguments), in, out, errors, false);
  if (!ending.failures.empty()) platform::ShowWarningBox(BoxTitle, LinesForABox(ending.failures));
  // A console window nobody can see (a scheduled task's) would wait for ever.
  if (ShouldWaitBeforeClosing(ending.gui, ending.status, ending.shown, platform::StandardInputIsConsole(),
                              platform::OwnsItsConsole(),
                              platform::WindowStationIsVisible() && !platform::StartedHidden())) {
    // On standard error, with the failures: standard output may be a file.
    errors << CloseWindowPrompt << std::flush;
    std::string line;
    std::getline(in, line);
  }
  return ending.status;
}

bool ShouldOfferElevation(bool accessDenied, bool elevationKnown, bool elevated) {
  return accessDenied && elevationKnown && !elevated;
}

int RunWindowless(const std::vector<std::string>& typedArguments) {
  // The folders of every dirliftw.exe that Explorer started for one selection
  // go into one run: one progress dialog, one box.
  const CommandLine line = GatherFolders(ReadCommandLine(typedArguments));
  if (line.action == Action::Lift && line.folders.empty()) return ExitDone;
  // No console: every question is kept, as at the end of input, and what a
  // console run would print goes to a box, where a box can be seen.
  std::istringstream noAnswers;
  std::ostringstream out, errors;
  const Ending ending = RunCommandLine(line, noAnswers, out, errors, true);
  if (!platform::CanShowWindows()) return ending.status;
  bool elevated = false;
  const bool elevationKnown = platform::IsElevated(elevated);
  if (ShouldOfferElevation(ending.accessDenied && !ending.failures.empty(), elevationKnown, elevated)) {
    if (platform::AskYesNoBox(BoxTitle, LinesForABox(ending.failures) + "\n\n" + ElevationOffer)) {
      // The elevated run lifts what is left, and never offers this again. It
      // gets the folder's full path and this run's folder, so that a relative
      // path names the same folder there.
      CommandLine rerun = line;
      for (std::string& folder : rerun.folders) folder = PlainFullPath(folder);
      std::string reason;
      if (!platform::RunAsAdministrator(platform::OwnExecutable(),
                                        QuotedArguments(ArgumentsOf(rerun, platform::OwnExecutable())),
                                        platform::CurrentFolder(), reason))
        platform::ShowWarningBox(BoxTitle, "dirlift: cannot start as administrator: " + reason);
    }
  } else if (!ending.failures.empty()) {
    platform::ShowWarningBox(BoxTitle, LinesForABox(ending.failures));
  } else if (!errors.str().empty()) {
    platform::ShowWarningBox(BoxTitle, LinesForABox(errors.str()));
  } else if (ending.listed && !out.str().empty()) {
    platform::ShowInformationBox(BoxTitle, LinesForABox(out.str()));
  }
  return ending.status;
}
