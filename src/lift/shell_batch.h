#pragma once
// The shell batch: the clashing entries of one pass, kept as two path lists that
// grow in step, in the form the shell's move operation takes (each path followed
// by one NUL). Running the batch is the platform's ShellMove.

#include <string>
#include <vector>

void AddToShellBatch(std::string& sources, std::string& destinations, const std::string& source,
                     const std::string& destination);

// The paths of one list, in order.
std::vector<std::string> ShellBatchPaths(const std::string& list);
