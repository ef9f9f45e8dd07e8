#include "app/command_line.h"

#include <algorithm>
#include <sstream>

#include "app/gather.h"
#include "app/undoable.h"
#include "console/console_listener.h"
#include "preview/model.h"
#include "preview/preview.h"
#include "lift/typed_folder.h"
#include "platform/platform.h"

namespace {
const std::size_t PathArgument = 1;
const std::size_t SwitchArgument = 2;
const char MergeSwitch[] = "/m";
const char ListOnlySwitch[] = "/l";
const char ChainSwitch[] = "/s";
// An argument after the path that starts so is meant as a switch: one that is
// not known is refused rather than ignored, so that a slip never changes the mode.
const char SwitchMarks[] = "/-";
const char GuiSwitch[] = "gui";
// '?' cannot occur in a Windows name, so this shadows no folder.
const char HelpArgument[] = "/?";
const std::size_t MostLinesInFailureBox = 15;
const char BoxTitle[] = "dirlift";
const char ElevationOffer[] =
    "Administrator rights may help where access was denied. Try again as administrator?";
const char CloseWindowPrompt[] = "Press Enter to close this window.";

bool StartsAsSwitch(const std::string& text) {
  return !text.empty() && std::string(SwitchMarks).find(text[0]) != std::string::npos;
}

// "/O", "-o" or "GUI": a switch mistyped, never a word to pass over.
bool IsMeantAsSwitch(const std::string& text) {
  if (StartsAsSwitch(text)) return true;
  std::string lower = text;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == GuiSwitch;
}
bool AsksForHelp(const std::vector<std::string>& arguments) {
  return arguments.size() <= PathArgument ||
         std::find(arguments.begin() + PathArgument, arguments.end(), HelpArgument) != arguments.end();
}

std::string UnknownSwitch(const std::string& text) {
  return "unknown switch \"" + text + "\" (expected /o, /-o, /r, gui, /m, /s, /l or /u)";
}

}  // namespace


std::string FailureBoxText(const std::string& failureLines) {
  std::istringstream lines(failureLines);
  std::string text, line;
  std::size_t count = 0;
  while (std::getline(lines, line)) {
    if (++count <= MostLinesInFailureBox) text += line + "\n";
  }
  if (count > MostLinesInFailureBox)
    text += "and " + std::to_string(count - MostLinesInFailureBox) + " more\n";
  if (!text.empty()) text.pop_back();
  return text;
}

void WriteUsage(std::ostream& out) {
  out << "Syntax: dirlift <path> [<path> ...] [/o | /-o | /r | gui] [/m] [/s] [/l] [/u]" << std::endl;
  out << std::endl;
  out << "\t/o\tOverwrite all existing files" << std::endl;
  out << "\t/-o\tDon't overwrite existing files" << std::endl;
  out << "\t/r\tKeep both: move a clashing entry up under a new name" << std::endl;
  out << "\t/m\tMerge a clashing folder into the folder of its name (with a mode)" << std::endl;
  out << "\tgui\tHand the clashes to the Windows shell's dialogs, with undo" << std::endl;
  out << "\t/s\tLift a chain of single folders all the way down" << std::endl;
  out << "\t/l\tList what the lift would do, and change nothing" << std::endl;
  out << "\t/u\tUndo the newest lift (of <path>, where given), replaced files included" << std::endl;
}

bool ChooseRunMode(const std::string& switchText, RunMode& mode) {
  if (switchText == GuiSwitch) {
    mode = RunMode::ShellBatch;
  } else if (switchText == "/o") {
    mode = RunMode::OverwriteAll;
  } else if (switchText == "/-o") {
    mode = RunMode::KeepExisting;
  } else if (switchText == "/r") {
    mode = RunMode::KeepBoth;
  } else {
    return false;
  }
  return true;
}

bool IsSwitchOnly(const std::string& argument) {
  RunMode mode;
  return argument == MergeSwitch || argument == ListOnlySwitch || argument == ChainSwitch ||
         (argument != GuiSwitch && ChooseRunMode(argument, mode));
}

bool ReadSwitches(const std::vector<std::string>& arguments, RunChoice& choice, std::vector<std::string>& folders,
                  std::string& problem) {
  choice = {RunMode::Ask, false, false, false};
  folders.assign(arguments.begin() + std::min(PathArgument, arguments.size()),
                 arguments.begin() + std::min(SwitchArgument, arguments.size()));
  std::string modeText;
  for (std::size_t at = SwitchArgument; at < arguments.size(); ++at) {
    const std::string& text = arguments[at];
    RunMode mode;
    if (text == MergeSwitch) {
      choice.mergeFolders = true;
    } else if (text == ListOnlySwitch) {
      choice.listOnly = true;
    } else if (text == ChainSwitch) {
      choice.chains = true;
    } else if (ChooseRunMode(text, mode)) {
      if (!modeText.empty()) {
        problem = "two modes given (\"" + modeText + "\" and \"" + text + "\"): give one of /o, /-o, /r or gui";
        return false;
      }
      modeText = text;
      choice.mode = mode;
    } else if (IsMeantAsSwitch(text)) {
      problem = UnknownSwitch(text);
      return false;
    } else if (text.empty()) {
      problem = EmptyPathProblem;
      return false;
    } else {
      folders.push_back(text);
    }
  }
  return true;
}

bool ShouldWaitBeforeClosing(bool gui, int status, bool usageShown, bool inputIsConsole, bool ownsConsole,
                             bool consoleSeen) {
  return !gui && (status != ExitDone || usageShown) && inputIsConsole && ownsConsole && consoleSeen;
}

namespace {

// What a run leaves for the user to read: on the console before its window
// closes, or in a box.
struct Ending {
  int status;
  bool gui;
  bool usageShown;
  std::string failures;  // the failure lines a box shows (gui mode, or no console)
  bool listed;           // standard output holds the usage text or a preview
};

// `windowless`: there is no console to show anything on or to read answers
// from; the failures go to a box, as in gui mode.
Ending Run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
           std::ostream& errors, bool windowless) {
  if (AsksForHelp(arguments)) {
    WriteUsage(out);
    return {ExitDone, false, true, "", true};
  }
  if (AsksForUndo(arguments)) return {RunUndo(arguments, in, out, errors), false, false, "", true};
  // The folder comes first: a switch there is never taken for a folder's name
  // ("-o" as .\-o), and nothing is left to chance with an empty one.
  const std::string& first = arguments[PathArgument];
  if (first.empty() || StartsAsSwitch(first)) {
    if (first.empty())
      errors << "dirlift: " << EmptyPathProblem << std::endl;
    else if (IsSwitchOnly(first))
      errors << "dirlift: the folder is missing: give it first, before \"" << first << "\"" << std::endl;
    else
      errors << "dirlift: " << UnknownSwitch(first) << std::endl;
    return {ExitBadSwitch, false, false, "", false};
  }
  RunChoice choice;
  std::string problem;
  std::vector<std::string> typed;
  if (!ReadSwitches(arguments, choice, typed, problem)) {
    errors << "dirlift: " << problem << std::endl;
    return {ExitBadSwitch, false, false, "", false};
  }
  if (choice.listOnly) {
    // The same lift on a model of the folders: no move, no question, no window.
    ModelFileSystem model;
    PreviewListener preview(out, errors);
    std::vector<ResolvedFolder> folders;
    ResolveFolders(typed, folders, model, preview);
    LiftFolders(folders, choice, model, preview);
    // Where no folder could be lifted at all, there is nothing to sum up.
    if (preview.Refusals() >= typed.size()) return {ExitFailed, false, false, "", false};
    preview.Summarize();
    return {preview.Refusals() == 0 ? ExitDone : ExitFailed, false, false, "", true};
  }
  // A gui run was started from Explorer: the shell's dialogs are all its user
  // sees, so the failures that standard error gets are shown in a box as well.
  const bool gui = choice.mode == RunMode::ShellBatch;
  if (gui) HideOwnConsoleWindow();
  const bool boxed = gui || windowless;
  // Without a display, outside an interactive desktop, or where nobody sees the
  // desktop, no window must come up: the lift goes on without the dialog and the box.
  const bool windows = boxed && CanShowWindows();
  // The shell would settle the clashes unasked, where nobody sees its questions.
  choice.noDialogs = gui && !windows;
  std::ostringstream failuresForBox;
  std::ostream& failures = boxed ? failuresForBox : errors;
  // The status line goes only to a console: never into a pipe or a file.
  const ProgressView view = windows                    ? ProgressView::ShellDialog
                            : boxed                    ? ProgressView::Hidden
                            : StandardErrorIsConsole() ? ProgressView::ConsoleLine
                                                       : ProgressView::Hidden;
  Progress progress =
      StartProgress(view, view == ProgressView::ConsoleLine ? StandardErrorWidth() : 0);
  ConsoleListener listener(in, out, failures, progress);
  const bool lifted = LiftKeepingRecord(typed, choice, listener, failures);
  EndProgress(progress, failures);
  errors << failuresForBox.str() << std::flush;
  return {lifted ? ExitDone : ExitFailed, gui, false, windows ? failuresForBox.str() : "", false};
}

}  // namespace

int RunDirlift(const std::vector<std::string>& typedArguments, std::istream& in, std::ostream& out,
               std::ostream& errors) {
  const Ending ending = Run(RepairQuotedPath(typedArguments), in, out, errors, false);
  if (!ending.failures.empty()) ShowWarningBox(BoxTitle, FailureBoxText(ending.failures));
  // A console window nobody can see (a scheduled task's) would wait for ever.
  if (ShouldWaitBeforeClosing(ending.gui, ending.status, ending.usageShown, StandardInputIsConsole(),
                              OwnsItsConsole(), WindowStationIsVisible() && !StartedHidden())) {
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
  const std::vector<std::string> arguments = GatherFolders(RepairQuotedPath(typedArguments));
  if (arguments.empty()) return ExitDone;
  // No console: every question is kept, as at the end of input, and what a
  // console run would print goes to a box, where a box can be seen.
  std::istringstream noAnswers;
  std::ostringstream out, errors;
  const Ending ending = Run(arguments, noAnswers, out, errors, true);
  if (!CanShowWindows()) return ending.status;
  bool elevated = false;
  const bool elevationKnown = IsElevated(elevated);
  const bool accessDenied = ending.failures.find(SystemErrorText(ERROR_ACCESS_DENIED)) != std::string::npos;
  if (ShouldOfferElevation(accessDenied, elevationKnown, elevated)) {
    if (AskYesNoBox(BoxTitle, FailureBoxText(ending.failures) + "\n\n" + ElevationOffer)) {
      // The elevated run lifts what is left, and never offers this again. It
      // gets the folder's full path and this run's folder, so that a relative
      // path names the same folder there.
      std::vector<std::string> rerun = arguments;
      for (std::size_t at = PathArgument; at < rerun.size(); ++at)
        if (at == PathArgument || (!IsMeantAsSwitch(rerun[at]) && rerun[at] != GuiSwitch))
          rerun[at] = FullPath(rerun[at]);
      std::string reason;
      if (!RunAsAdministrator(OwnExecutable(), QuotedArguments(rerun), CurrentFolder(), reason))
        ShowWarningBox(BoxTitle, "dirlift: cannot start as administrator: " + reason);
    }
  } else if (!ending.failures.empty()) {
    ShowWarningBox(BoxTitle, FailureBoxText(ending.failures));
  } else if (!errors.str().empty()) {
    ShowWarningBox(BoxTitle, FailureBoxText(errors.str()));
  } else if (ending.listed) {
    ShowInformationBox(BoxTitle, FailureBoxText(out.str()));
  }
  return ending.status;
}
