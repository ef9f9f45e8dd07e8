#pragma once
// Explorer starts one dirliftw.exe for each folder selected: the first of them
// gathers the folders of the others started with the same switches, and lifts
// them all in one run. Relies on the parsed command line and the platform's
// collector.

#include "app/command_line.h"

// The run this process makes: with the folders of every process that handed
// its folder over, or with none where this one handed its own over. Only a
// lift of one folder that changes the disk gathers; any other line is kept.
CommandLine GatherFolders(const CommandLine& line);
