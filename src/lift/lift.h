#pragma once
// Lifting a folder: every entry moves up into the folder's parent, clashes are
// settled by the run mode (or merged, folder into folder), and the emptied
// folder is removed or, when it holds an entry of its own name, that entry is
// lifted into it. Relies on the platform operations, the path text, the
// overwrite question and the shell batch.

#include <iosfwd>
#include <string>

#include "lift/progress.h"

// How a clash is settled. KeepBoth moves the clashing entry up under a new name.
enum class RunMode { Ask = 0, OverwriteAll = 1, KeepExisting = 2, ShellBatch = 3, KeepBoth = 4 };

// A run's choices from the command line. With `mergeFolders`, a folder that
// meets a folder of its name in the parent is merged into it rather than
// settled by the mode (the shell merges folders itself, so ShellBatch ignores it).
struct RunChoice {
  RunMode mode;
  bool mergeFolders;
};

// Where a lift meets its user. In Ask mode each clash is asked about on
// `questions` and answered from `answers`, and under KeepBoth each new name is
// one line there; every failure is one line on `errors`; a long lift shows its
// `progress`.
struct Conversation {
  std::istream& answers;
  std::ostream& questions;
  std::ostream& errors;
  Progress& progress;
};

// Lifts the folder at `path`, as typed: relative or full, in any case, by its
// short name, or in the extended form ("\\?\C:\data\X"). Returns true when
// everything happened as the mode and the answers directed; entries kept on
// purpose, and those left when the user cancelled, count as done.
bool LiftFolder(const std::string& path, RunChoice choice, Conversation& user);
