#pragma once
// Explorer starts one dirliftw.exe for each folder selected: the first of them
// gathers the folders of the others started with the same switches, and lifts
// them all in one run. Relies on the platform's collector.

#include <string>
#include <vector>

// The arguments (program name first) of the run this process makes: with the
// folders of every process that handed its folder over, or none where this
// one handed its own over. Only a run of one folder and switches that change
// the disk gathers; any other keeps its arguments.
std::vector<std::string> GatherFolders(const std::vector<std::string>& arguments);
