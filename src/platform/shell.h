#pragma once
// The Windows shell: its batched move with its own dialogs and undo, the
// Recycle Bin, its progress dialog and message boxes. Relies on the text
// module; paths handed to it are plain ones, which is all the shell takes.

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <string>

namespace platform {

// Sends a folder, with all it holds, to the Recycle Bin, with no dialog of any
// kind. Where the volume has no Recycle Bin, or a policy turns it off, the
// shell deletes it instead. False, with `reason`, when the folder is still there.
bool RecycleFolder(const std::string& folder, std::string& reason);

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

// A message box without owner window, with a warning icon and an OK button.
void ShowWarningBox(const std::string& title, const std::string& text);

// The same with an information icon.
void ShowInformationBox(const std::string& title, const std::string& text);

// A message box with a warning icon that asks Yes or No; true for Yes.
bool AskYesNoBox(const std::string& title, const std::string& text);

// The shell's own progress dialog, with a bar, a time estimate and Cancel.
struct ShellProgress;
ShellProgress* OpenShellProgress(const std::string& title);
void UpdateShellProgress(ShellProgress* dialog, const std::string& firstLine, const std::string& secondLine,
                         std::size_t done, std::size_t total);
bool ShellProgressCancelled(ShellProgress* dialog);
void CloseShellProgress(ShellProgress* dialog);

}  // namespace platform
