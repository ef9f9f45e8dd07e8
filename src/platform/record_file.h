#pragma once
// Files of text that dirlift keeps for itself: a record written line by line
// straight to the disk, so that a run killed midway leaves every line it
// wrote, and read back whole. Relies on the text and files modules.

#include <string>

#include "platform/files.h"

namespace platform {

// An open record: lines are appended at its end, and the last one can be cut off again.
struct AppendFile;

// Makes a new file at `path`; NameTaken where one exists.
AppendFile* CreateAppendFile(const std::string& path, MakeResult& result, std::string& reason);

// Writes `text` at the end, at once; `before` is where the end was.
bool Append(AppendFile* file, const std::string& text, unsigned long long& before);

// Takes everything from `end` on back out of the file: it is blanked at once,
// as line ends alone (which read as no line at all), and what is appended next
// goes over it. The file keeps its length, which costs no call to the system.
bool CutBackTo(AppendFile* file, unsigned long long end);

void CloseAppendFile(AppendFile* file);

bool ReadTextFile(const std::string& path, std::string& text, std::string& reason);

// Adds `text` at the end of an existing file.
bool AppendToTextFile(const std::string& path, const std::string& text, std::string& reason);

bool DeleteTextFile(const std::string& path, std::string& reason);

// The user's local application data folder ("C:\Users\ana\AppData\Local"), or "".
std::string LocalAppDataFolder();

// Now, in UTC to the millisecond, in a form that sorts as time does, whatever
// the time zone or daylight saving time: "20261208-101502-123".
std::string MillisecondStamp();

}  // namespace platform
