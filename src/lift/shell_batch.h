#pragma once
// The shell batch: the clashing entries of one pass, kept as two path lists that
// grow in step, in the form the shell's move operation takes (each path followed
// by one NUL), and what the shell's plain paths can carry. Running the batch is
// the platform's ShellMove.

#include <string>
#include <vector>

void AddToShellBatch(std::string& sources, std::string& destinations, const std::string& source,
                     const std::string& destination);

// The paths of one list, in order.
std::vector<std::string> ShellBatchPaths(const std::string& list);

// The longest path the shell takes, in UTF-16 units: MAX_PATH less its closing NUL.
const std::size_t LongestShellPath = 259;

// Why the shell could not be handed the full path `path`, or "" when it can.
// The shell takes plain paths only, which Windows parses: it drops a dot or a
// blank at the end of a name, takes "CON" or "nul.txt" for a device, and stops
// at 260 characters.
std::string WhyTheShellCannotTake(const std::string& path);
