#pragma once
// The Windows operations dirlift relies on, as free functions over the Win32 calls.
// Paths are narrow strings in the process code page and are handed to Windows as
// built; a failing call fills `reason` with the system's text for its error code.

#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

// Names of every entry of `folderWithSeparator` (a folder path ending in a
// separator), "." and ".." included, in the order the system lists them.
bool ListFolder(const std::string& folderWithSeparator, std::vector<std::string>& names,
                std::string& reason);

// True when a file or folder exists at `path`. A failed test counts as free,
// which is safe: the plain move tried next never replaces anything.
bool PathExists(const std::string& path);

// True when a folder exists at `path`.
bool IsFolder(const std::string& path);

// Moves a file or a whole folder; fails when something exists at `to`.
bool MoveEntry(const std::string& from, const std::string& to, std::string& reason);

// Moves a file or folder, replacing a file at `to`.
bool ReplaceEntry(const std::string& from, const std::string& to, std::string& reason);

// Removes a folder, which must be empty.
bool RemoveFolder(const std::string& folder, std::string& reason);

// The absolute form of `path`, or `path` itself when it cannot be resolved.
std::string FullPath(const std::string& path);

// The record for one shell move of every path in `fromList` to the path at the
// same place in `toList`. Both lists hold each path followed by one NUL; the
// strings must outlive the record.
SHFILEOPSTRUCTA ShellMoveRecord(const std::string& fromList, const std::string& toList);

// Hands the lists to the shell, which shows its own replace dialogs and records
// the move for undo. Returns once the shell is done; what it could not move or
// what the user declined stays where it was.
void ShellMove(const std::string& fromList, const std::string& toList);

void HideConsoleWindow();

// Switches the console's output to UTF-8 when the process code page is UTF-8, so
// that names printed in a question show as they are. Returns the code page to
// restore when done, or 0 when nothing was changed.
unsigned MatchConsoleOutputToProcessCodePage();

// Gives the console back the output code page it had (0: leave it as it is).
void RestoreConsoleOutputCodePage(unsigned codePage);

// The system's message for a Win32 error code, without its line end.
std::string SystemErrorText(unsigned long errorCode);
