#pragma once
// The folder lift/: the lift's algorithm (the pass, the settling of clashes,
// the replaced files, the path text, the shell batch) and the two seams it
// speaks through: the file system and the listener. Only the seam's Windows
// implementation (windows_file_system.cpp) includes platform/ and calls it;
// the rest reach the disk, names as Windows compares them and the seam's own
// types through file_system.h, and the clock not at all (the run's start is
// handed in).
//
// Lifting a folder: every entry moves up into the folder's parent, clashes are
// settled by the run mode (or merged, folder into folder), and the emptied
// folder is removed or, when it holds an entry of its own name, that entry is
// lifted into it. Relies on the file-system seam for every look at the disk
// and every change to it, tells a listener what becomes of each entry, and uses
// the path text and the shell batch.

#include <string>
#include <vector>

#include "lift/file_system.h"
#include "lift/listener.h"

// How a clash is settled. KeepBoth moves the clashing entry up under a new name.
// KeepNewer replaces a file only by one that is newer.
enum class RunMode { Ask = 0, OverwriteAll = 1, KeepExisting = 2, ShellBatch = 3, KeepBoth = 4, KeepNewer = 5 };

// How deep a flatten goes: a plain lift is one level, and every level of a
// tree lies within EveryLevel.
const int PlainLift = 1;
const int EveryLevel = 1 << 30;

// A run's choices from the command line. With `mergeFolders`, a folder that
// meets a folder of its name in the parent is merged into it rather than
// settled by the mode (the shell merges folders itself, so ShellBatch ignores
// it). With `listOnly`, the run only lists what a lift would do. With
// `chains`, a folder that holds nothing but one folder is lifted all the way
// down: that folder first, innermost first. With `noDialogs`, no window can
// be shown: a gui run keeps its clashes rather than let the shell settle them
// unasked. With `dropCopies`, a file that meets a file of the same bytes goes
// to the Recycle Bin, whatever the mode. With `levels` from 2 on, a flatten:
// the folder's entries are level 1, and each subfolder above that level is
// dissolved into the parent rather than moved whole.
struct RunChoice {
  RunMode mode = RunMode::Ask;
  bool mergeFolders = false;
  bool listOnly = false;
  bool chains = false;
  bool noDialogs = false;
  bool dropCopies = false;
  int levels = PlainLift;
  // With /p the program shows the preview and asks once before the run; the
  // lift itself never reads it.
  bool promptFirst = false;
  // When the run started, in local time as a name holds it ("2026-12-08
  // 10.15.02"): the folders of replaced files are named by it.
  std::string started = "";
};

// A folder to lift, resolved (app/typed_folder.h): its full path, and its own
// name as its parent lists it.
struct ResolvedFolder {
  std::string path;
  std::string ownName;
};

// Lifts each of `folders` in turn, as one run: one mode, and one answer
// "all", for them all; a cancel ends the run.
bool LiftFolders(const std::vector<ResolvedFolder>& folders, RunChoice choice, FileSystem& disk, Listener& listener);
