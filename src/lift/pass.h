#pragma once
// One pass of a lift, shared by its two halves: the pass itself (lift.cpp),
// which moves a folder's entries and removes or descends, and the settling of
// a clash (clash.cpp), which replaces, keeps, renames or merges by the mode.
// Relies on the file-system seam, the listener and the replaced-files folder.

#include <set>
#include <string>

#include "lift/lift.h"
#include "lift/replaced_files.h"

// What became of one entry, or of all entries of a folder.
// Dropped: an identical copy went to the Recycle Bin, and nothing moved up.
enum class Outcome { Moved, Renamed, Kept, Failed, Batched, Dropped };

// What every folder of one run shares.
struct Run {
  RunMode mode;  // an answer "all" turns it to OverwriteAll for the rest of the run
  bool mergeFolders;
  bool noDialogs;          // the shell could not ask: its clashes stay
  bool dropCopies;         // an identical copy is no clash
  bool localTime;          // the parent's volume keeps local time, which daylight saving time shifts
  FileSystem& disk;
  Listener& listener;
  ReplacedFiles replaced;  // where replaced files wait for the Recycle Bin
  bool cancelled;          // Cancel in the shell's own dialog ends the run, as in the progress
  std::string origin;      // in a run of several folders, the one being lifted, which questions name
  std::size_t unsettled;   // clashes kept because no dialog could ask about them
};

// The entries of one folder on their way into another: a lifted folder's into
// its parent, or a merged folder's into the folder of its name.
struct Pass {
  std::string from;
  std::string into;
  std::string below;    // where `into` lies below the parent: "", "src" or, lifting X\X, "X"
  std::string shownAs;  // the folder's name in the progress
  std::string name;     // the folder itself, as its events name it
  // Lifting X\X into X: whatever is in X stayed there by this run (kept,
  // failed or reported), and belongs to the user as what went up does.
  bool intoKeepsWhatStayed;
  std::set<std::string> filled;  // name keys of what this pass put into `into`
  std::string batchSources, batchDestinations;
};

void Tell(Run& run, Happening happening, const std::string& name, const std::string& detail = "",
          const std::string& failure = "", std::size_t count = 0);

// An entry as events and questions name it: by its path below the parent.
std::string ShownName(const Pass& pass, const std::string& name);

// The entry stays where it is, and the user is told why.
Outcome Reported(Run& run, const Pass& pass, const std::string& name, const std::string& reason);

// Moves every entry of `pass.from` into `pass.into`, settling clashes, and
// removes `pass.from` once it is empty. An entry named `ownName` (case aside) is
// not moved but held back in `sameName`, and the folder then stays for it.
Outcome MoveEntries(Run& run, Pass& pass, const std::string& ownName, ListedEntry& sameName);

// The move of `entry` from `source` found the name `destination` taken: a
// clash, if what is there bears the entry's own name, settled by the mode.
Outcome SettleClash(Run& run, Pass& pass, const ListedEntry& entry, const std::string& source,
                    const std::string& destination);
