#pragma once
// The folder undo/: the record a run keeps, the file-system seam that writes
// it, and the undo that reads it back. It includes lift/; the undo and the
// recording seam reach the disk through the file-system seam alone, and only
// the record's own file (record.cpp) includes and calls platform/, for the
// records folder and the record's file.
//
// Undoing a run from its record: walking it backwards, every entry goes back
// where it came from, the replaced files come back from the Recycle Bin, and
// the folders the lift removed are made again. Nothing is ever replaced.
// Relies on the file-system seam, so the preview's model serves it too, and
// tells the listener what it does.

#include "lift/file_system.h"
#include "lift/listener.h"
#include "undo/record.h"

// What an undo brought back, and what it could not.
struct UndoOutcome {
  bool allWell;            // everything came back
  std::size_t back;        // entries moved back
  std::size_t lost;        // replaced files that can never come back: the bin and the parent lack them
  bool wayMayFree;         // something still out is kept out by what may go: a name taken, a file held open
  std::size_t shellMoved;  // entries the shell moved onto one of their name, whose old copy it kept nowhere
};

// Undoes the steps of `record` not yet undone; what could not is told to
// `listener` and stays. `undone` gets the steps put back, found with nothing
// to undo, or lost for good (so that the record can be finished), for the
// record's marks.
UndoOutcome UndoRun(const Record& record, FileSystem& disk, Listener& listener, std::vector<std::size_t>& undone);
