#pragma once
// Undoing a run from its record: walking it backwards, every entry goes back
// where it came from, the replaced files come back from the Recycle Bin, and
// the folders the lift removed are made again. Nothing is ever replaced.
// Relies on the file-system seam, so the preview's model serves it too, and
// tells the listener what it does.

#include "lift/file_system.h"
#include "lift/listener.h"
#include "lift/record.h"

// True when everything came back; what could not is told to `listener` and stays.
bool UndoRun(const Record& record, FileSystem& disk, Listener& listener);
