#pragma once
// Runs that can be undone: a lift that keeps its record, and the undo that
// reads it back. Relies on the parsed command line, the record, the recording
// seam and the undo.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "lift/lift.h"
#include "lift/windows_file_system.h"

// Lifts the folders typed as `paths` on `disk`, one after another, keeping
// one record of every change; where none can be kept, says once that the lift
// cannot be undone.
bool LiftKeepingRecord(const std::vector<std::string>& paths, RunChoice choice, WindowsFileSystem& disk,
                       Listener& listener, std::ostream& errors);

// Undoes the newest run not yet undone, or the newest that lifted the folder
// given, or with /l lists what that would do. With `askFirst` (started from
// Explorer's menu, where nothing says which lift is the newest), a box names
// the lift and asks first; No does nothing. Returns the exit status.
int RunUndo(const CommandLine& line, bool askFirst, std::istream& in, std::ostream& out, std::ostream& errors);
