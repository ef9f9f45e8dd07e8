#pragma once
// The folder undo/: the record a run keeps, the file-system seam that writes
// it, and the undo that reads it back. It includes lift/ and platform/.
//
// Undoing a run from its record: walking it backwards, every entry goes back
// where it came from, the replaced files come back from the Recycle Bin, and
// the folders the lift removed are made again. Nothing is ever replaced.
// Relies on the file-system seam, so the preview's model serves it too, and
// tells the listener what it does.

#include "lift/file_system.h"
#include "lift/listener.h"
#include "undo/record.h"

// Undoes the steps of `record` not yet undone. True when everything came
// back; what could not is told to `listener` and stays. `undone` gets the
// steps put back (or found with nothing to undo), for the record's marks.
bool UndoRun(const Record& record, FileSystem& disk, Listener& listener, std::vector<std::size_t>& undone);
