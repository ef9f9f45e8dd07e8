#pragma once
// Text at the platform's edge: UTF-8 and UTF-16, the extended path form that
// every file function is handed, the system's error texts and the time as a
// name holds it. Relies on the Win32 conversion and message functions alone.

#include <string>
#include <vector>

namespace platform {

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

// A path as plain text compares it: without "\\?\", "\\.\" or their "UNC\"
// forms, and with "\" for every "/": "\\.\C:/Users" is "C:\Users".
std::string PlainForm(const std::string& path);

// The system's message for a Win32 error code, without its line end.
std::string SystemErrorText(unsigned long errorCode);

// Fills `reason` with the text of the calling thread's last error; returns false,
// for the caller to return.
bool FailWithLastError(std::string& reason);

// A failure as the user reads it, and the Windows error code it came from,
// by which the program decides what to do about it.
struct Failure {
  std::string reason;
  unsigned long code = 0;
};
// Fills `failure` with `code` and its text; returns false, for a failing call to return.
bool FailWith(unsigned long code, Failure& failure);
bool FailWithLastError(Failure& failure);

// Now, in local time, as a name may hold it: "2026-12-08 10.15.02".
std::string LocalTimeStamp();

// The arguments of wmain or wWinMain, as UTF-8.
std::vector<std::string> Utf8Arguments(int count, wchar_t** arguments);

}  // namespace platform
