#include "app/command_line.h"

#include <ostream>

#include "platform/platform.h"

namespace {
const std::size_t PathArgument = 1;
const std::size_t SwitchArgument = 2;
}  // namespace

void WriteUsage(std::ostream& out) {
  out << "Syntax: dirlift <path> [/o | /-o]" << std::endl;
  out << std::endl;
  out << "\t/o\tOverwrite all existing files" << std::endl;
  out << "\t/-o\tDon't overwrite existing files" << std::endl;
}

bool ChooseRunMode(const std::string& switchText, RunMode& mode) {
  if (switchText == "gui") {
    mode = RunMode::ShellBatch;
  } else if (switchText == "/o") {
    mode = RunMode::OverwriteAll;
  } else if (switchText == "/-o") {
    mode = RunMode::KeepExisting;
  } else {
    return false;
  }
  return true;
}

int RunDirlift(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& errors) {
  if (arguments.size() <= PathArgument) {
    WriteUsage(out);
    return ExitDone;
  }
  RunMode mode = RunMode::Ask;
  // Arguments after the switch are ignored.
  if (arguments.size() > SwitchArgument && !ChooseRunMode(arguments[SwitchArgument], mode)) {
    errors << "dirlift: unknown switch \"" << arguments[SwitchArgument]
           << "\" (expected /o, /-o or gui)" << std::endl;
    return ExitBadSwitch;
  }
  // In a gui run the shell's dialogs are all the user sees.
  if (mode == RunMode::ShellBatch) HideConsoleWindow();
  return LiftFolder(arguments[PathArgument], mode, in, out, errors) ? ExitDone : ExitFailed;
}
