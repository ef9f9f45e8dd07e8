#include "app/command_line.h"

#include <algorithm>
#include <ostream>

#include "app/arguments.h"

namespace {

const std::size_t FirstArgument = 1;
// '?' cannot occur in a Windows name, so this shadows no folder.
const char HelpSwitch[] = "/?";
const char UndoSwitch[] = "/u";
const char MergeSwitch[] = "/m";
const char ListOnlySwitch[] = "/l";
const char PromptSwitch[] = "/p";
const char ChainSwitch[] = "/s";
const char CopiesSwitch[] = "/d";
const char FlattenSwitch[] = "/f";
// "/f:3": the levels follow the mark, a whole number without sign or leading zero.
const char LevelsMark[] = "/f:";
const int MostLevels = 99;
const char GuiSwitch[] = "gui";
const struct {
  const char* text;
  RunMode mode;
} ModeSwitches[] = {
    {GuiSwitch, RunMode::ShellBatch}, {"/o", RunMode::OverwriteAll}, {"/-o", RunMode::KeepExisting},
    {"/r", RunMode::KeepBoth},        {"/n", RunMode::KeepNewer},
};
// An argument that starts so is meant as a switch: one that is not known is
// refused rather than taken for a folder, so that a slip never changes the mode.
const char SwitchMarks[] = "/-";
const char EmptyPath[] = "the folder is missing: the path given is empty";

bool StartsAsSwitch(const std::string& text) {
  return !text.empty() && std::string(SwitchMarks).find(text[0]) != std::string::npos;
}

// "/O", "-o" or "GUI": a switch mistyped, never a folder's name.
bool IsMeantAsSwitch(const std::string& text) {
  if (StartsAsSwitch(text)) return true;
  std::string lower = text;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == GuiSwitch;
}

const char* ModeText(RunMode mode) {
  for (const auto& known : ModeSwitches)
    if (known.mode == mode) return known.text;
  return nullptr;
}

bool ReadMode(const std::string& text, RunMode& mode) {
  for (const auto& known : ModeSwitches)
    if (text == known.text) {
      mode = known.mode;
      return true;
    }
  return false;
}

CommandLine Refused(const std::string& problem) { return {Action::Refuse, {}, RunChoice{}, problem}; }

std::string UnknownSwitch(const std::string& text) {
  return "unknown switch \"" + text + "\" (expected /o, /-o, /r, /n, gui, /m, /d, /f, /f:N, /s, /l, /p or /u)";
}

bool IsFlatten(const std::string& text) { return text == FlattenSwitch || text.rfind(LevelsMark, 0) == 0; }

// The levels of "/f" or "/f:N"; false, with `problem`, for a level outside
// 1 to MostLevels or not written as a plain whole number.
bool ReadLevels(const std::string& text, int& levels, std::string& problem) {
  if (text == FlattenSwitch) {
    levels = EveryLevel;
    return true;
  }
  const std::string digits = text.substr(std::string(LevelsMark).size());
  const bool plain = !digits.empty() && digits.size() <= 2 && digits[0] != '0' &&
                     digits.find_first_not_of("0123456789") == std::string::npos;
  if (!plain) {
    problem =
        "bad level \"" + digits + "\" in \"" + text + "\": give a whole number from 1 to " + std::to_string(MostLevels);
    return false;
  }
  levels = 0;
  for (const char digit : digits) levels = levels * 10 + (digit - '0');
  return true;
}

std::string LevelsText(int levels) {
  return levels == EveryLevel ? std::string(FlattenSwitch) : LevelsMark + std::to_string(levels);
}

// /u goes with /l and at most one folder.
CommandLine ReadUndo(const std::vector<std::string>& arguments) {
  CommandLine line = {Action::Undo, {}, RunChoice{}, ""};
  for (std::size_t at = FirstArgument; at < arguments.size(); ++at) {
    const std::string& text = arguments[at];
    if (text == UndoSwitch) continue;
    if (text == ListOnlySwitch) {
      line.choice.listOnly = true;
    } else if (text.empty()) {
      return Refused(EmptyPath);
    } else if (IsMeantAsSwitch(text) && !(at == FirstArgument && text == GuiSwitch)) {
      return Refused("/u goes with /l alone, not with \"" + text + "\"");
    } else if (!line.folders.empty()) {
      return Refused("/u takes one folder, and \"" + line.folders.front() + "\" is given before \"" + text + "\"");
    } else {
      line.folders.push_back(text);
    }
  }
  return line;
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& typed) {
  const std::vector<std::string> arguments = RepairQuotedPath(typed);
  const auto first = arguments.begin() + static_cast<std::ptrdiff_t>(std::min(FirstArgument, arguments.size()));
  if (first == arguments.end() || std::find(first, arguments.end(), HelpSwitch) != arguments.end())
    return {Action::Usage, {}, RunChoice{}, ""};
  if (std::find(first, arguments.end(), UndoSwitch) != arguments.end()) return ReadUndo(arguments);
  // The folder comes first: a switch there is never taken for a folder's name
  // ("-o" as .\-o), and a folder named "gui" is given so.
  CommandLine line = {Action::Lift, {*first}, RunChoice{}, ""};
  if (first->empty()) return Refused(EmptyPath);
  if (StartsAsSwitch(*first)) {
    RunMode mode;
    const bool known = ReadMode(*first, mode) || *first == MergeSwitch || *first == ListOnlySwitch ||
                       *first == PromptSwitch || *first == ChainSwitch || *first == CopiesSwitch || IsFlatten(*first);
    return Refused(known ? "the folder is missing: give it first, before \"" + *first + "\"" : UnknownSwitch(*first));
  }
  std::string modeText, levelsText;
  for (auto at = first + 1; at != arguments.end(); ++at) {
    const std::string& text = *at;
    RunMode mode;
    if (text == MergeSwitch) {
      line.choice.mergeFolders = true;
    } else if (text == ListOnlySwitch) {
      line.choice.listOnly = true;
    } else if (text == PromptSwitch) {
      line.choice.promptFirst = true;
    } else if (text == ChainSwitch) {
      line.choice.chains = true;
    } else if (text == CopiesSwitch) {
      line.choice.dropCopies = true;
    } else if (IsFlatten(text)) {
      if (!levelsText.empty())
        return Refused("two flattens given (\"" + levelsText + "\" and \"" + text + "\"): give /f or /f:N once");
      std::string problem;
      if (!ReadLevels(text, line.choice.levels, problem)) return Refused(problem);
      levelsText = text;
    } else if (ReadMode(text, mode)) {
      if (!modeText.empty())
        return Refused("two modes given (\"" + modeText + "\" and \"" + text +
                       "\"): give one of /o, /-o, /r, /n or gui");
      modeText = text;
      line.choice.mode = mode;
    } else if (IsMeantAsSwitch(text)) {
      return Refused(UnknownSwitch(text));
    } else if (text.empty()) {
      return Refused(EmptyPath);
    } else {
      line.folders.push_back(text);
    }
  }
  // /p asks before a run that changes the disk; /l changes nothing.
  if (line.choice.promptFirst && line.choice.listOnly)
    return Refused("/p asks before a run, and /l only lists what a run would do: give one of them");
  // A flatten dissolves every chain of single folders on its way down.
  if (line.choice.chains && !levelsText.empty())
    return Refused("\"" + levelsText + "\" goes without /s: a flatten already takes every chain");
  return line;
}

std::vector<std::string> ArgumentsOf(const CommandLine& line, const std::string& program) {
  std::vector<std::string> arguments = {program};
  // A folder named like a switch after the first is given as .\name.
  for (const std::string& folder : line.folders)
    arguments.push_back(&folder == &line.folders.front() || !IsMeantAsSwitch(folder) ? folder : ".\\" + folder);
  if (line.action == Action::Undo) arguments.push_back(UndoSwitch);
  if (const char* mode = line.choice.mode == RunMode::Ask ? nullptr : ModeText(line.choice.mode))
    arguments.push_back(mode);
  if (line.choice.mergeFolders) arguments.push_back(MergeSwitch);
  if (line.choice.dropCopies) arguments.push_back(CopiesSwitch);
  if (line.choice.levels != PlainLift) arguments.push_back(LevelsText(line.choice.levels));
  if (line.choice.chains) arguments.push_back(ChainSwitch);
  if (line.choice.listOnly) arguments.push_back(ListOnlySwitch);
  if (line.choice.promptFirst) arguments.push_back(PromptSwitch);
  return arguments;
}

std::string SwitchesOf(const CommandLine& line) {
  std::vector<std::string> arguments = ArgumentsOf({line.action, {}, line.choice, ""}, "");
  std::string switches;
  for (auto at = arguments.begin() + 1; at != arguments.end(); ++at) switches += *at;
  return switches;
}

void WriteUsage(std::ostream& out) {
  out << "Syntax: dirlift <path> [<path> ...] [/o | /-o | /r | /n | gui] [/m] [/d] [/f | /f:N | /s] [/l | /p] [/u]"
      << std::endl;
  out << std::endl;
  out << "\t/o\tOverwrite all existing files" << std::endl;
  out << "\t/-o\tDon't overwrite existing files" << std::endl;
  out << "\t/r\tKeep both: move a clashing entry up under a new name" << std::endl;
  out << "\t/n\tKeep the newer file: replace only by one 2 seconds newer or more" << std::endl;
  out << "\t/m\tMerge a clashing folder into the folder of its name (with a mode)" << std::endl;
  out << "\tgui\tHand the clashes to the Windows shell's dialogs, with undo" << std::endl;
  out << "\t/d\tLet an identical copy go to the Recycle Bin, with any mode" << std::endl;
  out << "\t/f\tFlatten: lift the entries of every subfolder, at every level" << std::endl;
  out << "\t/f:N\tFlatten N levels (1 to 99): the folders at level N move up whole" << std::endl;
  out << "\t/s\tLift a chain of single folders all the way down" << std::endl;
  out << "\t/l\tList what the lift would do, and change nothing" << std::endl;
  out << "\t/p\tShow what the lift will do, then ask once before doing it" << std::endl;
  out << "\t/u\tUndo the newest lift (of <path>, where given), replaced files included" << std::endl;
}
