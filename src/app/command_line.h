#pragma once
// The command line: the usage text, the switches that pick the run mode, the
// exit status of a run, and the same run without a console. Relies on
// LiftFolder for the work itself, on the console's report or the preview's.

#include <iosfwd>
#include <string>
#include <vector>

#include "lift/lift.h"

const int ExitDone = 0;       // everything happened as the mode and answers directed
const int ExitFailed = 1;     // something could not be listed, moved or removed
const int ExitBadSwitch = 2;  // unknown switch: nothing was done

const char EmptyPathProblem[] = "the folder is missing: the path given is empty";

void WriteUsage(std::ostream& out);

// Reads a mode switch ("gui", "/o", "/-o" or "/r", exactly so); false for anything else.
bool ChooseRunMode(const std::string& switchText, RunMode& mode);

// Reads the switches after the path (argv, program name first): a mode, /m
// and /l, in any order and wherever they stand. Every argument that starts with
// "/" or "-" must be a known switch; "gui" counts as a mode; other words are
// ignored. False, with `problem` saying why, for an unknown switch or two modes.
bool ReadSwitches(const std::vector<std::string>& arguments, RunChoice& choice, std::vector<std::string>& folders,
                  std::string& problem);

// A quoted path that ends in a backslash ("C:\My Photos\" /o) reaches the
// program as one argument holding a quote (C:\My Photos" /o): the runtime reads
// \" as a literal quote, which no Windows path can hold. The path ends at the
// quote, and the words after it are the arguments that follow it.
std::vector<std::string> RepairQuotedPath(std::vector<std::string> arguments);

// The failure box's text: the failure lines (each ended by a line end) up to a
// limit, then how many more there are.
std::string FailureBoxText(const std::string& failureLines);

// True for a switch that cannot be a folder's name where the path should stand.
bool IsSwitchOnly(const std::string& argument);

// Whether a run ends by waiting for Enter: a console run that failed, was
// refused or showed its usage text, in a console window opened for dirlift
// alone (elevation, Run, a shortcut), which would close at once and take the
// text with it. Never where the user typed the command into a console of
// their own, or input is redirected, nor where nobody can see the window
// (`consoleSeen` false: an invisible window station, or started hidden).
bool ShouldWaitBeforeClosing(bool gui, int status, bool usageShown, bool inputIsConsole, bool ownsConsole,
                             bool consoleSeen);

// Runs dirlift on `arguments` (argv, program name first) and returns the exit status.
int RunDirlift(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& errors);

// Whether a run without a console offers, after its failures, to try again as
// administrator: only where access was denied, and only from a process known
// not to be elevated (an elevated one never offers it again).
bool ShouldOfferElevation(bool accessDenied, bool elevationKnown, bool elevated);

// Runs dirlift as the program without a console (dirliftw.exe): it writes
// nothing to standard output or error, shows failures, the usage text and a
// switch error in a box, keeps every clash in ask mode, and where access was
// denied offers to try again as administrator.
int RunWindowless(const std::vector<std::string>& arguments);

// One argument quoted so that the C runtime reads it back unchanged.
std::string QuoteArgument(const std::string& argument);

// The arguments after the program name, quoted, as one command line.
std::string QuotedArguments(const std::vector<std::string>& arguments);
