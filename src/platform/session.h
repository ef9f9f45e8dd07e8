#pragma once
// The session dirlift runs in: the folders Windows keeps in place, drives and
// their mappings, windows someone can see, elevation, and the clock. Relies on
// the text module for conversion and a failure's reason.

#include <string>
#include <vector>

namespace platform {

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

// True when this process can show windows that someone sees: not without a
// display, nor outside an interactive desktop, nor on a window station without
// a visible desktop (a service, a scheduled task).
bool CanShowWindows();

// False on a window station without a visible desktop (a service, a scheduled task).
bool WindowStationIsVisible();

// True when whoever started this process asked for its window to be hidden.
bool StartedHidden();

// Whether this process sees the drive `letter` ('A' to 'Z'). An elevated
// program does not see the drives mapped in the user's ordinary session.
bool DriveIsPresent(char letter);

// The network path ("\\server\share") that the user's persistent mapping of
// drive `letter` names, kept under HKCU\Network\<letter> as RemotePath.
bool MappedDrivePath(char letter, std::string& remotePath);

// Whether this process runs elevated; false when the system cannot tell
// (Windows XP has no elevation).
bool IsElevated(bool& elevated);

// This program's own executable.
std::string OwnExecutable();

// Starts `exe` with `parameters` in `folder` as administrator: Windows asks the user first.
bool RunAsAdministrator(const std::string& exe, const std::string& parameters, const std::string& folder,
                        std::string& reason);

// A clock in milliseconds, for intervals only (it wraps after 49 days, which
// unsigned subtraction takes in its stride).
unsigned long Milliseconds();

}  // namespace platform
