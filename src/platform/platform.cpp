#include "platform/platform.h"

namespace {

const char ListAllPattern[] = "*";

bool Fail(std::string& reason) {
  // Read the error first: anything called after the failing call may reset it.
  reason = SystemErrorText(GetLastError());
  return false;
}

}  // namespace

std::string SystemErrorText(unsigned long errorCode) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length != 0 ? std::string(buffer, length) : std::string();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(errorCode);
  return text;
}

bool ListFolder(const std::string& folderWithSeparator, std::vector<std::string>& names,
                std::string& reason) {
  WIN32_FIND_DATAA record;
  const HANDLE listing = FindFirstFileA((folderWithSeparator + ListAllPattern).c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return Fail(reason);
  do {
    names.push_back(record.cFileName);
  } while (FindNextFileA(listing, &record));
  const DWORD endError = GetLastError();
  FindClose(listing);
  if (endError == ERROR_NO_MORE_FILES) return true;
  reason = SystemErrorText(endError);
  return false;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MoveEntry(const std::string& from, const std::string& to, std::string& reason) {
  return MoveFileA(from.c_str(), to.c_str()) || Fail(reason);
}

bool ReplaceEntry(const std::string& from, const std::string& to, std::string& reason) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) || Fail(reason);
}

bool RemoveFolder(const std::string& folder, std::string& reason) {
  return RemoveDirectoryA(folder.c_str()) || Fail(reason);
}

std::string FullPath(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD written = GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return full;
}

SHFILEOPSTRUCTA ShellMoveRecord(const std::string& fromList, const std::string& toList) {
  SHFILEOPSTRUCTA record = {};
  record.hwnd = nullptr;  // the shell's dialogs have no owner window
  record.wFunc = FO_MOVE;
  // c_str() supplies the list's closing NUL: each path already ends in one, so the
  // last is followed by the two NULs that end a shell path list.
  record.pFrom = fromList.c_str();
  record.pTo = toList.c_str();
  // Each source has its own destination, and the move can be undone.
  record.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO;
  return record;
}

void ShellMove(const std::string& fromList, const std::string& toList) {
  SHFILEOPSTRUCTA record = ShellMoveRecord(fromList, toList);
  SHFileOperationA(&record);
}

void HideConsoleWindow() {
  const HWND console = GetConsoleWindow();
  if (console != nullptr) ShowWindow(console, SW_HIDE);
}

unsigned MatchConsoleOutputToProcessCodePage() {
  // The code page belongs to the console, not to this process: it outlives the
  // run, so the caller restores it.
  const UINT previous = GetConsoleOutputCP();  // 0 when there is no console
  if (GetACP() != CP_UTF8 || previous == 0 || previous == CP_UTF8) return 0;
  return SetConsoleOutputCP(CP_UTF8) ? previous : 0;
}

void RestoreConsoleOutputCodePage(unsigned codePage) {
  if (codePage != 0) SetConsoleOutputCP(codePage);
}
