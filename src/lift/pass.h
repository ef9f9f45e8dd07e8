#pragma once
// One pass of a lift, shared by its two halves: the pass itself (lift.cpp),
// which moves a folder's entries and removes or descends, and the settling of
// a clash (clash.cpp), which replaces, keeps, renames or merges by the mode.
// Relies on the file-system seam, the listener and the replaced-files folder.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "lift/lift.h"
#include "lift/replaced_files.h"

// What became of one entry, or of all entries of a folder.
// Dropped: an identical copy went to the Recycle Bin, and nothing moved up.
enum class Outcome { Moved, Renamed, Kept, Failed, Batched, Dropped };

// An entry this run moved into a folder: where it came from (an index into
// the run's origins), and whether it came up whole, with all it holds.
struct Filled {
  std::size_t origin;
  bool whole;
};

// What every folder of one run shares; made with the seams, each choice then set by name.
struct Run {
  FileSystem& disk;
  Listener& listener;
  RunMode mode = RunMode::Ask;  // an answer "all" turns it to OverwriteAll for the rest of the run
  bool mergeFolders = false;
  bool noDialogs = false;     // the shell could not ask: its clashes stay
  bool dropCopies = false;    // an identical copy is no clash
  bool listOnly = false;      // a preview: what a run would say at its end is no failure of it
  bool localTime = false;     // the parent's volume keeps local time, which daylight saving time shifts
  int levels = PlainLift;     // a flatten's depth; PlainLift for a lift
  std::string started{};      // when the run started, which names the folders of replaced files
  ReplacedFiles replaced{};   // where replaced files wait for the Recycle Bin
  bool cancelled = false;     // Cancel in the shell's own dialog ends the run, as in the progress
  std::string origin{};       // in a run of several folders, the one being lifted, which questions name
  std::size_t unsettled = 0;  // clashes kept because no dialog could ask about them
  // In a chain, the folder being lifted below the folder given ("B\C" of
  // A\B\C), and its parent's ("B"): each names its entries and itself from there.
  std::string chainBelow{}, chainParentBelow{};
  // Nothing this run moved up is replaced by the same run: what it put into
  // each folder, by the folder's key, then the name's.
  std::map<std::string, std::map<std::string, Filled>> filled{};
  std::vector<std::string> origins{};  // the folders entries came from, as reasons name them
  // The names (and short names) each folder held when this run first met a
  // clash in it, by the folder's key: which entries will likely meet one.
  std::map<std::string, std::set<std::string>> held{};
};

// The entries of one folder on their way into another: a lifted folder's into
// its parent, or a merged folder's into the folder of its name.
struct Pass {
  std::string from;
  std::string into;
  std::string below;    // where `into` lies below the parent: "", "src" or, lifting X\X, "X"
  std::string shownAs;  // the folder's name in the progress
  std::string name;     // the folder itself, as its events name it
  // In a flatten, where `from` lies below the folder flattened ("in", or
  // "in\photos" merging): its entries are named by their path from there.
  std::string fromBelow;
  // Lifting X\X into X: whatever is in X stayed there by this run (kept,
  // failed or reported), and belongs to the user as what went up does.
  bool intoKeepsWhatStayed;
  std::string intoKey;          // `into` as Windows compares it, for the run's record of what it filled
  std::size_t origin;           // of the entries of `from`, in the run's origins
  std::string intoCameFrom;     // where `into` came up from, whole, in this run; "" if it did not
  std::vector<MovePair> batch;  // the clashes for the shell, in listing order
};

// Where a file set aside from `pass` waits among the replaced files: below
// the replaced files' folder as below the parent.
std::string AsideBelow(const Run& run, const Pass& pass);

// A pass of `from` into `into`, its entries coming from `originText`.
Pass MakePass(Run& run, const std::string& from, const std::string& into, const std::string& below,
              const std::string& shownAs, const std::string& name, const std::string& originText);

// Notes that this run moved an entry under `name` into `pass.into`; `whole`
// where it moved with all it holds, rather than merged.
void Fill(Run& run, const Pass& pass, const std::string& name, bool whole);

// What this run moved into `pass.into` under a name Windows takes for `name`, or null.
const Filled* FilledBy(const Run& run, const Pass& pass, const std::string& name);

// Lists `pass.into` once a run, after its first clash there: from then on an
// entry whose name it held is looked up before its move, not after a failed one.
void ListHeldNames(Run& run, const Pass& pass);

// Whether something in `pass.into` likely bears `name`: it held that name when
// listed, or this run moved something of that name in.
bool LikelyTaken(const Run& run, const Pass& pass, const std::string& name);

void Tell(Run& run, Happening happening, const std::string& name);
void Tell(Run& run, const Event& event);

// An entry as events name it: by its path below the parent, or in a flatten
// below the folder flattened.
std::string ShownName(const Pass& pass, const std::string& name);

// Where the entry lands, as a question names it: its path below the parent.
std::string LandingName(const Pass& pass, const std::string& name);

// The entry stays where it is, and the user is told why.
Outcome Reported(Run& run, const Pass& pass, const std::string& name, const std::string& reason);

// True once the user asked the run to stop, here or in the shell's dialog.
bool Stopped(Run& run);

// Moves one entry of `pass.from` up into `pass.into`, settling a clash.
Outcome MoveUp(Run& run, Pass& pass, const ListedEntry& entry);

// Hands the clashes batched in `pass` to the shell; `stays` where any of them
// is still where it was.
bool RunShellBatch(Run& run, const Pass& pass, bool& stays);

// Moves every entry of `pass.from` into `pass.into`, settling clashes, and
// removes `pass.from` once it is empty. An entry named `ownName` (case aside) is
// not moved but held back in `sameName`, and the folder then stays for it.
Outcome MoveEntries(Run& run, Pass& pass, const std::string& ownName, ListedEntry& sameName);

// Flattens `folder`, `run.levels` deep: each subfolder above that level is
// dissolved into the parent, level by level (flatten.cpp).
bool FlattenFolder(Run& run, const ResolvedFolder& folder);

// The move of `entry` from `source` found the name `destination` taken by
// `existing`: a clash, if it bears the entry's own name, settled by the mode.
Outcome SettleClash(Run& run, Pass& pass, const ListedEntry& entry, const ListedEntry& existing,
                    const std::string& source, const std::string& destination);
