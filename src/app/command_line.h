#pragma once
// The command line, read once: every switch is spelt here and nowhere else,
// and every refusal with its exit status is decided here. Each run (in a
// console, without one, an undo, the gathering of menu starts) takes the value
// it makes. Relies on the lift's run choice and the quoting of arguments.

#include <iosfwd>
#include <string>
#include <vector>

#include "lift/lift.h"

const int ExitDone = 0;       // everything happened as the mode and answers directed
const int ExitFailed = 1;     // something could not be listed, moved or removed
const int ExitBadSwitch = 2;  // the command line was refused: nothing was done

enum class Action {
  Usage,   // no argument, or /? anywhere
  Lift,    // lift `folders`, as `choice` says (with /l, list what it would do)
  Undo,    // undo the newest lift (of the one folder, where given)
  Refuse,  // `problem` says why; nothing is done
};

struct CommandLine {
  Action action;
  std::vector<std::string> folders;  // as typed, in the order given
  RunChoice choice;
  std::string problem;
};

// Reads the arguments (program name first), as the runtime split them. A
// quoted path that ends in a backslash is repaired first (arguments.h).
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

// The arguments (program name first) that read back as `line`.
std::vector<std::string> ArgumentsOf(const CommandLine& line, const std::string& program);

// The switches of `line` as one word, the same for any order they were typed in.
std::string SwitchesOf(const CommandLine& line);

void WriteUsage(std::ostream& out);
