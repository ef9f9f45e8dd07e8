#pragma once
// The folder app/: the entry points, the command line read once, the typed
// folders resolved, and the runs it starts: a lift in a console or without
// one, the undo, the gathering of Explorer's menu starts. It steps out of the
// folders a run lifts and hands the run its start time. It may include every
// other folder of src/.
//
// This module: a run from start to end, as the console program and the one
// without a console make it, with what each shows at its end (a box, a wait
// for Enter). Relies on the parsed command line, the runs that keep a record
// and undo, the gathering, and the console's and the preview's listeners.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/command_line.h"

// The title of every box dirlift shows.
const char BoxTitle[] = "dirlift";

// Lines as a box that cannot grow shows them (the failures, or a preview):
// each ended by a line end, up to a limit, then how many more there are.
std::string LinesForABox(const std::string& lines);

// Whether a run ends by waiting for Enter: a console run that failed, was
// refused or showed something to read (the usage, a preview, new names, an
// undo's lines), in a console window opened for dirlift
// alone (elevation, Run, a shortcut), which would close at once and take the
// text with it. Never where the user typed the command into a console of
// their own, or input is redirected, nor where nobody can see the window
// (`consoleSeen` false: an invisible window station, or started hidden).
bool ShouldWaitBeforeClosing(bool gui, int status, bool shown, bool inputIsConsole, bool ownsConsole, bool consoleSeen);

// Whether a run of `line` leaves something on standard output to read: the
// usage, a preview, an undo's lines, or (`newNames`) the new names of /r.
bool ShowsSomethingToRead(const CommandLine& line, bool newNames);

// Runs dirlift on `arguments` (argv, program name first) and returns the exit status.
int RunDirlift(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& errors);

// Whether a run without a console offers, after its failures, to try again as
// administrator: only where access was denied, and only from a process known
// not to be elevated (an elevated one never offers it again).
bool ShouldOfferElevation(bool accessDenied, bool elevationKnown, bool elevated);

// Runs dirlift as the program without a console (dirliftw.exe): it writes
// nothing to standard output or error, shows failures, the usage text and a
// switch error in a box, keeps every clash in ask mode, and where access was
// denied offers to try again as administrator.
int RunWindowless(const std::vector<std::string>& arguments);
