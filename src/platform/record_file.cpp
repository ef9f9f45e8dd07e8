#include "platform/record_file.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/text.h"

namespace platform {

struct AppendFile {
  HANDLE handle;
  unsigned long long end;
  unsigned long long position;  // where the handle's file pointer stands
};

AppendFile* CreateAppendFile(const std::string& path, MakeResult& result, std::string& reason) {
  // Each line goes to the system as it is written: a run killed after it keeps it.
  const HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    result = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? MakeResult::NameTaken : MakeResult::Failed;
    reason = SystemErrorText(error);
    return nullptr;
  }
  result = MakeResult::Made;
  return new AppendFile{handle, 0, 0};
}

namespace {

// Writes `text` at `offset`, as one write. A write at an offset given with it
// would, under Wine, cost the server a request to post its completion; the
// file pointer is moved only when it stands elsewhere, after a line was blanked.
bool WriteAt(AppendFile* file, unsigned long long offset, const std::string& text) {
  if (file->position != offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file->handle, to, nullptr, FILE_BEGIN)) return false;
    file->position = offset;
  }
  DWORD written = 0;
  const bool done = WriteFile(file->handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
  file->position += written;
  return done && written == text.size();
}

}  // namespace

bool Append(AppendFile* file, const std::string& text, unsigned long long& before) {
  before = file->end;
  if (!WriteAt(file, file->end, text)) return false;
  file->end += text.size();
  return true;
}

bool CutBackTo(AppendFile* file, unsigned long long end) {
  if (end >= file->end) return true;
  if (!WriteAt(file, end, std::string(static_cast<std::size_t>(file->end - end), '\n'))) return false;
  file->end = end;
  return true;
}

void CloseAppendFile(AppendFile* file) {
  CloseHandle(file->handle);
  delete file;
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& reason) {
  const HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(reason);
  text.clear();
  char piece[64 * 1024];
  DWORD read = 0;
  bool done;
  while ((done = ReadFile(handle, piece, sizeof piece, &read, nullptr) != 0) && read > 0) text.append(piece, read);
  if (!done) FailWithLastError(reason);
  CloseHandle(handle);
  return done;
}

bool AppendToTextFile(const std::string& path, const std::string& text, std::string& reason) {
  const HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(reason);
  DWORD written = 0;
  const bool done = WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
  if (!done) FailWithLastError(reason);
  CloseHandle(handle);
  return done;
}

bool DeleteTextFile(const std::string& path, std::string& reason) {
  return DeleteFileW(ExtendedPath(path).c_str()) || FailWithLastError(reason);
}

std::string LocalAppDataFolder() {
  wchar_t path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
  return Utf8(path);
}

std::string MillisecondStamp() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  char stamp[sizeof "20261208-101502-123"];
  std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u-%03u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond, now.wMilliseconds);
  return stamp;
}

}  // namespace platform
