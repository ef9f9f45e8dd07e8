#pragma once
// The Windows operations dirlift relies on, as free functions over the Win32 calls.
// Paths and names are UTF-8 strings, paths full ones; this layer converts them at
// its edge to the extended form and calls the wide (W) functions, so every name
// works at any depth on every Windows. A failing call fills `reason` with the
// system's text for its error code.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

// UTF-8 to UTF-16 and back; embedded NULs convert like any other character.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The form in which every path reaches a file function: a full path with the
// "\\?\" prefix ("\\?\C:\data\X", "\\?\UNC\server\share\X"), which Windows takes
// exactly as given. The rest of the program never sees it.
std::wstring ExtendedPath(const std::string& fullPath);

// A path typed in the extended form, and its plain form: "C:\data" for
// "\\?\C:\data", "\\server\share" for "\\?\UNC\server\share".
bool HasExtendedPrefix(const std::string& path);
std::string WithoutExtendedPrefix(const std::string& path);

// One entry as its folder lists it: its own long name, and what it is. A link
// is a junction or symbolic link, whatever it points to; a link to a folder
// counts as a folder too. Other reparse points (cloud placeholders, deduplicated
// files) are the files and folders they stand for.
struct ListedEntry {
  std::string name;
  bool folder;
  bool link;
  std::string shortName;  // its 8.3 name, where it has one besides the long name
};

// True for the reparse tag of a junction or symbolic link: a name surrogate,
// which leads to another name.
bool IsLinkTag(unsigned long reparseTag);

// Every entry of `folder` (a path without a trailing separator) but "." and
// "..", in the order the system lists them.
bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason);

// The entry that `path` reaches, under the name its folder lists it by, even
// when the path reached it by its 8.3 short name or in another case.
bool ListEntry(const std::string& path, ListedEntry& entry, std::string& reason);

// True when a file or folder exists at `path`, under any name that reaches it.
bool PathExists(const std::string& path);

// A name as Windows compares it: two names are one to Windows when their keys
// are equal (they differ only in case).
std::string NameKey(const std::string& name);
bool SameName(const std::string& a, const std::string& b);

enum class MoveResult { Moved, NameTaken, Failed };

// Moves a file or a whole folder. NameTaken when something already bears the
// name `to` reaches (in any case, or as a short name): nothing is replaced.
MoveResult MoveEntry(const std::string& from, const std::string& to, std::string& reason);

enum class MakeResult { Made, NameTaken, Failed };

// Makes a folder. NameTaken when something already bears that name.
MakeResult MakeFolder(const std::string& folder, std::string& reason);

// Sends a folder, with all it holds, to the Recycle Bin, with no dialog of any
// kind. Where the volume has no Recycle Bin, or a policy turns it off, the
// shell deletes it instead. False, with `reason`, when the folder is still there.
bool RecycleFolder(const std::string& folder, std::string& reason);

// Now, in local time, as a name may hold it: "2026-12-08 10.15.02".
std::string LocalTimeStamp();

// A folder that Windows and programs expect in its place, and how to name it
// to the user: "your Documents folder". `many`: it holds such folders
// ("the profile folders").
struct KeptFolder {
  std::string path;
  std::string what;
  bool many;
};

// Every such folder this system and user have: the Windows, system and program
// folders, ProgramData, the profiles, the user's profile and its known
// folders, the public Desktop and Documents, and the OneDrive root.
std::vector<KeptFolder> FoldersWindowsKeeps();

// A full path with every component under its long name, or `path` itself
// when it cannot be had.
std::string LongPath(const std::string& path);

// Removes a folder, which must be empty, even one marked read-only.
bool RemoveFolder(const std::string& folder, std::string& reason);

// Makes `folder` this process's current folder; a failure changes nothing.
void SetCurrentFolder(const std::string& folder);

// The absolute form of `path`, or `path` itself when it cannot be resolved.
std::string FullPath(const std::string& path);

// The record for one shell move of every path in `fromList` to the path at the
// same place in `toList`. Both lists hold each path followed by one NUL; the
// strings must outlive the record.
SHFILEOPSTRUCTW ShellMoveRecord(const std::wstring& fromList, const std::wstring& toList);

enum class ShellOutcome { Done, Cancelled, Failed };

// Hands the lists (UTF-8, each path followed by one NUL) to the shell, which
// shows its own replace dialogs and records the move for undo. Returns once the
// shell is done; what it could not move or what the user declined stays where
// it was. A cancel by the user is no failure.
ShellOutcome ShellMove(const std::string& fromList, const std::string& toList, std::string& reason);

// What SHFileOperation's result and its "aborted" flag say; for a failure,
// `reason` gets the meaning of the code.
ShellOutcome ShellResult(int result, bool anyAborted, std::string& reason);

// True when this process alone uses its console: the window was opened for it
// (by Explorer, Run, a shortcut or elevation) and closes when it ends. A console
// the user typed the command in has their shell too.
bool OwnsItsConsole();

// Hides the console window when this process owns it; one the user typed the
// command in stays theirs.
void HideOwnConsoleWindow();

bool StandardInputIsConsole();

// True when this process can show windows that someone sees: not without a
// display, nor outside an interactive desktop, nor on a window station without
// a visible desktop (a service, a scheduled task).
bool CanShowWindows();

// Whether this process sees the drive `letter` ('A' to 'Z'). An elevated
// program does not see the drives mapped in the user's ordinary session.
bool DriveIsPresent(char letter);

// The network path ("\\server\share") that the user's persistent mapping of
// drive `letter` names, kept under HKCU\Network\<letter> as RemotePath.
bool MappedDrivePath(char letter, std::string& remotePath);

// A message box without owner window, with a warning icon and an OK button.
void ShowWarningBox(const std::string& title, const std::string& text);

// The same with an information icon.
void ShowInformationBox(const std::string& title, const std::string& text);

// A message box with a warning icon that asks Yes or No; true for Yes.
bool AskYesNoBox(const std::string& title, const std::string& text);

// Whether this process runs elevated; false when the system cannot tell
// (Windows XP has no elevation).
bool IsElevated(bool& elevated);

// This program's own executable.
std::string OwnExecutable();

// Starts `exe` with `parameters` as administrator: Windows asks the user first.
bool RunAsAdministrator(const std::string& exe, const std::string& parameters, std::string& reason);

// The arguments of wmain or wWinMain, as UTF-8.
std::vector<std::string> Utf8Arguments(int count, wchar_t** arguments);

// Runs `work` with std::cout and std::cerr writing UTF-8 text through
// WriteConsoleW where they are a console, so that names in any script show on
// every Windows whatever the console's code page. A pipe or a file gets the UTF-8
// bytes as they are.
int WithUnicodeConsole(const std::function<int()>& work);

// True when standard error is an interactive console, and how many columns wide.
bool StandardErrorIsConsole();
std::size_t StandardErrorWidth();

// A clock in milliseconds, for intervals only (it wraps after 49 days, which
// unsigned subtraction takes in its stride).
unsigned long Milliseconds();

// The shell's own progress dialog, with a bar, a time estimate and Cancel.
struct ShellProgress;
ShellProgress* OpenShellProgress(const std::string& title);
void UpdateShellProgress(ShellProgress* dialog, const std::string& firstLine,
                         const std::string& secondLine, std::size_t done, std::size_t total);
bool ShellProgressCancelled(ShellProgress* dialog);
void CloseShellProgress(ShellProgress* dialog);

// The system's message for a Win32 error code, without its line end.
std::string SystemErrorText(unsigned long errorCode);
