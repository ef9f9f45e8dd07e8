#include "platform/platform.h"

#include <shlobj.h>
#include <userenv.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <streambuf>

namespace {

const char AllEntries[] = "*";  // the pattern that lists a folder, after its path and a separator
const wchar_t ThisFolder[] = L".";
const wchar_t ParentFolder[] = L"..";
const std::size_t FallbackConsoleWidth = 80;
// With this prefix the wide file functions take a path exactly as given: no
// trailing dot or blank dropped, no device name, up to 32,767 characters.
const char ExtendedPrefix[] = "\\\\?\\";
const char ExtendedUncPrefix[] = "\\\\?\\UNC\\";
const char UncPrefix[] = "\\\\";
const char DevicePrefix[] = "\\\\.\\";
const char DriveMark = ':';
const int DriveLetters = 26;
const wchar_t MappedDrivesKey[] = L"Network\\";
const wchar_t RemotePathValue[] = L"RemotePath";
// Windows before 8 refuses a single console write of more than 64 KB, which a
// long list of failures would need.
const std::size_t ConsolePieceLength = 4096;

bool Fail(std::string& reason) {
  // Read the error first: anything called after the failing call may reset it.
  reason = SystemErrorText(GetLastError());
  return false;
}

// The standard library attaches a device to a stream only through a stream
// buffer, so this is the one class here: it collects what the stream writes and,
// at each flush, hands it to the console as UTF-16. Every write of the program
// ends in a flush (std::endl, std::flush, or std::cerr's unit buffering).
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
  }

  int sync() override {
    const std::wstring text = Wide(pending_);
    pending_.clear();
    for (std::size_t start = 0; start < text.size();) {
      std::size_t count = std::min(text.size() - start, ConsolePieceLength);
      // A character outside the basic plane is two units, never to be split.
      if (start + count < text.size() && IS_HIGH_SURROGATE(text[start + count - 1])) --count;
      DWORD written = 0;
      if (!WriteConsoleW(console_, text.data() + start, static_cast<DWORD>(count), &written, nullptr))
        return -1;
      start += count;
    }
    return 0;
  }

 private:
  HANDLE console_;
  std::string pending_;
};

// SHFileOperation returns codes of its own from before Win32 (the DE_ codes)
// for some failures; they overlap Win32 error codes of other meanings.
const int ShellCancelled = 0x75;  // DE_OPCANCELLED
const struct {
  int code;
  const char* text;
} ShellErrors[] = {
    {0x71, "the source and destination are the same file"},
    {0x72, "several sources were given but only one destination"},
    {0x74, "the source is a root folder, which cannot be moved"},
    {0x76, "the destination is inside the source"},
    {0x78, "security settings denied access to the source"},
    {0x79, "a path is or would become too long"},
    {0x7A, "the move involved several destinations"},
    {0x7C, "a source or destination path is invalid"},
    {0x7D, "the source and destination have the same parent folder"},
    {0x7E, "the destination is an existing file"},
    {0x80, "the destination is an existing folder"},
    {0x81, "a name is too long"},
    {0x85, "a file is too large for the destination's file system"},
    {0xB7, "a path grew too long during the move"},
    {0x402, "an unknown error occurred, typically an invalid source or destination path"},
    {0x10000, "an unspecified error occurred at the destination"},
};

std::string ShellErrorText(int code) {
  for (const auto& known : ShellErrors)
    if (known.code == code) return known.text;
  return SystemErrorText(static_cast<unsigned long>(code));
}

// The folders that Windows and programs expect in their place, as the shell knows them.
const struct {
  int csidl;
  const char* what;
} KeptShellFolders[] = {
    {CSIDL_WINDOWS, "the Windows folder"},
    {CSIDL_SYSTEM, "the Windows system folder"},
    {CSIDL_PROGRAM_FILES, "the Program Files folder"},
    {CSIDL_PROGRAM_FILESX86, "the Program Files folder"},
    {CSIDL_COMMON_APPDATA, "the ProgramData folder"},
    {CSIDL_PROFILE, "your profile folder"},
    {CSIDL_DESKTOPDIRECTORY, "your Desktop folder"},
    {CSIDL_PERSONAL, "your Documents folder"},
    {CSIDL_MYPICTURES, "your Pictures folder"},
    {CSIDL_MYMUSIC, "your Music folder"},
    {CSIDL_MYVIDEO, "your Videos folder"},
    {CSIDL_FAVORITES, "your Favorites folder"},
    {CSIDL_APPDATA, "your AppData folder"},
    {CSIDL_LOCAL_APPDATA, "your local AppData folder"},
    {CSIDL_STARTMENU, "your Start menu folder"},
    {CSIDL_COMMON_DESKTOPDIRECTORY, "the public Desktop folder"},
    {CSIDL_COMMON_DOCUMENTS, "the public Documents folder"},
};

// A 32-bit program is told the 32-bit Program Files; the 64-bit one is in the
// environment. OneDrive keeps its root there too.
const struct {
  const wchar_t* name;
  const char* what;
} KeptFolderVariables[] = {
    {L"ProgramW6432", "the Program Files folder"},
    {L"OneDrive", "your OneDrive folder"},
};

// FOLDERID_Downloads, which headers for Windows XP do not define.
const GUID DownloadsFolderId = {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};

bool IsListingOnly(const std::wstring& name) { return name == ThisFolder || name == ParentFolder; }

ListedEntry Listed(const WIN32_FIND_DATAW& record) {
  // For a reparse point, the listing gives its tag in dwReserved0.
  return {Utf8(record.cFileName), (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsLinkTag(record.dwReserved0),
          Utf8(record.cAlternateFileName)};
}


bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// SetFileAttributes takes no "directory" mark, and no marks at all as NORMAL.
DWORD SettableAttributes(DWORD attributes) {
  attributes &= ~FILE_ATTRIBUTE_DIRECTORY;
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], needed);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], needed, nullptr, nullptr);
  return utf8;
}

std::wstring ExtendedPath(const std::string& fullPath) {
  if (HasExtendedPrefix(fullPath) || StartsWith(fullPath, DevicePrefix)) return Wide(fullPath);
  if (StartsWith(fullPath, UncPrefix))
    return Wide(ExtendedUncPrefix + fullPath.substr(sizeof UncPrefix - 1));
  if (fullPath.size() > 2 && fullPath[1] == DriveMark && fullPath[2] == '\\')
    return Wide(ExtendedPrefix + fullPath);
  return Wide(fullPath);  // not a full path: the system resolves it as ever
}

bool HasExtendedPrefix(const std::string& path) { return StartsWith(path, ExtendedPrefix); }

std::string WithoutExtendedPrefix(const std::string& path) {
  if (StartsWith(path, ExtendedUncPrefix))
    return UncPrefix + path.substr(sizeof ExtendedUncPrefix - 1);
  if (HasExtendedPrefix(path)) return path.substr(sizeof ExtendedPrefix - 1);
  return path;
}

std::string SystemErrorText(unsigned long errorCode) {
  wchar_t* buffer = nullptr;
  // With ALLOCATE_BUFFER the buffer argument is a pointer to the pointer.
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length != 0 ? Utf8(std::wstring(buffer, length)) : std::string();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(errorCode);
  return text;
}

bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) {
  WIN32_FIND_DATAW record;
  // A drive's root (C:\ and the like) ends in its separator already, and an extended path
  // would keep a doubled one as it is.
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += AllEntries;
  const HANDLE listing = FindFirstFileW(ExtendedPath(pattern).c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return Fail(reason);
  do {
    if (!IsListingOnly(record.cFileName)) entries.push_back(Listed(record));
  } while (FindNextFileW(listing, &record));
  const DWORD endError = GetLastError();
  FindClose(listing);
  if (endError == ERROR_NO_MORE_FILES) return true;
  reason = SystemErrorText(endError);
  return false;
}

bool ListEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  // A pattern without wildcards lists the one entry the path reaches, under the
  // name its folder holds, even when the path reached it by its short name.
  WIN32_FIND_DATAW record;
  const HANDLE listing = FindFirstFileW(ExtendedPath(path).c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return Fail(reason);
  FindClose(listing);
  entry = Listed(record);
  return true;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string NameKey(const std::string& name) {
  // File systems compare names by upper-casing each character on its own; the
  // invariant locale does that without any language's rules, and without the
  // linguistic equivalences that CompareString would apply (a precomposed and a
  // combining accent are two different names).
  std::wstring upper = Wide(name);
  if (!upper.empty())
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, upper.c_str(), static_cast<int>(upper.size()),
                 &upper[0], static_cast<int>(upper.size()));
  return Utf8(upper);
}

bool SameName(const std::string& a, const std::string& b) { return NameKey(a) == NameKey(b); }

MoveResult MoveEntry(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str())) return MoveResult::Moved;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::NameTaken;
  reason = SystemErrorText(error);
  return MoveResult::Failed;
}

MakeResult MakeFolder(const std::string& folder, std::string& reason) {
  if (CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr)) return MakeResult::Made;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MakeResult::NameTaken;
  reason = SystemErrorText(error);
  return MakeResult::Failed;
}

bool RecycleFolder(const std::string& folder, std::string& reason) {
  // The shell takes plain paths, in a list ended by two NULs.
  const std::wstring list = Wide(folder) + L'\0';
  SHFILEOPSTRUCTW record = {};
  record.wFunc = FO_DELETE;
  record.pFrom = list.c_str();
  record.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
  const int result = SHFileOperationW(&record);
  // The shell may say nothing of what it could not do: the folder tells.
  if (!PathExists(folder)) return true;
  reason = result != 0 ? ShellErrorText(result) : "the shell left it in place";
  return false;
}

std::string LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[sizeof "2026-12-08 10.15.02"];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u.%02u.%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return stamp;
}

std::vector<KeptFolder> FoldersWindowsKeeps() {
  std::vector<KeptFolder> kept;
  const auto keep = [&kept](const std::wstring& path, const char* what, bool many) {
    if (!path.empty()) kept.push_back({Utf8(path), what, many});
  };
  wchar_t path[MAX_PATH];
  for (const auto& folder : KeptShellFolders)
    if (SUCCEEDED(SHGetFolderPathW(nullptr, folder.csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
      keep(path, folder.what, false);
  DWORD size = MAX_PATH;
  if (GetProfilesDirectoryW(path, &size)) keep(path, "the profile folders", true);
  // Windows XP has no Downloads folder of its own, nor the call that finds it.
  typedef HRESULT(WINAPI * KnownFolderPath)(REFGUID, DWORD, HANDLE, PWSTR*);
  if (const auto knownFolderPath = reinterpret_cast<KnownFolderPath>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetKnownFolderPath")))) {
    PWSTR downloads = nullptr;
    if (SUCCEEDED(knownFolderPath(DownloadsFolderId, 0, nullptr, &downloads)) && downloads != nullptr)
      keep(downloads, "your Downloads folder", false);
    CoTaskMemFree(downloads);
  }
  for (const auto& variable : KeptFolderVariables) {
    const DWORD length = GetEnvironmentVariableW(variable.name, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) keep(path, variable.what, false);
  }
  return kept;
}

std::string LongPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = GetLongPathNameW(wide.c_str(), &full[0], needed);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return Utf8(full);
}

bool RemoveFolder(const std::string& folder, std::string& reason) {
  const std::wstring path = ExtendedPath(folder);
  if (RemoveDirectoryW(path.c_str())) return true;
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // Explorer marks a customised folder read-only (its icon or type is kept in
  // desktop.ini), and Windows will not remove a read-only folder. Now that it
  // is empty, the mark of this one folder is cleared, and put back should the
  // removal still fail.
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) &&
      SetFileAttributesW(path.c_str(), SettableAttributes(attributes & ~FILE_ATTRIBUTE_READONLY))) {
    if (RemoveDirectoryW(path.c_str())) return true;
    const DWORD retryError = GetLastError();
    SetFileAttributesW(path.c_str(), SettableAttributes(attributes));
    reason = SystemErrorText(retryError);
    return false;
  }
  reason = SystemErrorText(error);
  return false;
}

void SetCurrentFolder(const std::string& folder) { SetCurrentDirectoryW(Wide(folder).c_str()); }

std::string FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return Utf8(full);
}

SHFILEOPSTRUCTW ShellMoveRecord(const std::wstring& fromList, const std::wstring& toList) {
  SHFILEOPSTRUCTW record = {};
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

ShellOutcome ShellMove(const std::string& fromList, const std::string& toList, std::string& reason) {
  const std::wstring wideFrom = Wide(fromList), wideTo = Wide(toList);
  SHFILEOPSTRUCTW record = ShellMoveRecord(wideFrom, wideTo);
  const int result = SHFileOperationW(&record);
  return ShellResult(result, record.fAnyOperationsAborted != FALSE, reason);
}

ShellOutcome ShellResult(int result, bool anyAborted, std::string& reason) {
  if (anyAborted || result == ERROR_CANCELLED || result == ShellCancelled)
    return ShellOutcome::Cancelled;
  if (result == 0) return ShellOutcome::Done;
  reason = ShellErrorText(result);
  return ShellOutcome::Failed;
}

bool OwnsItsConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void HideOwnConsoleWindow() {
  const HWND console = GetConsoleWindow();
  if (console != nullptr && OwnsItsConsole()) ShowWindow(console, SW_HIDE);
}

bool StandardInputIsConsole() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

bool IsLinkTag(unsigned long reparseTag) {
  // Tag 0 is reserved and never set: a listing that gives none cannot tell
  // what the reparse point is, so it is not followed either.
  return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

bool CanShowWindows() {
  // A service or a scheduled task runs on a window station without a visible
  // desktop: windows can be made there, but nobody could ever close them.
  USEROBJECTFLAGS station = {};
  DWORD needed = 0;
  if (GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &station, sizeof station, &needed) &&
      (station.dwFlags & WSF_VISIBLE) == 0)
    return false;
  // A hidden window, made and destroyed at once: the shell's progress dialog
  // would otherwise wait for ever for a window that cannot come.
  const HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}

bool DriveIsPresent(char letter) {
  const int index = letter - 'A';
  return index >= 0 && index < DriveLetters && (GetLogicalDrives() & (1UL << index)) != 0;
}

bool MappedDrivePath(char letter, std::string& remotePath) {
  const std::wstring key = std::wstring(MappedDrivesKey) + static_cast<wchar_t>(letter);
  HKEY mapping;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &mapping) != ERROR_SUCCESS)
    return false;
  DWORD type = 0, size = 0;
  bool found = RegQueryValueExW(mapping, RemotePathValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
               (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0;
  if (found) {
    std::wstring value(size / sizeof(wchar_t), L'\0');
    found = RegQueryValueExW(mapping, RemotePathValue, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&value[0]), &size) == ERROR_SUCCESS;
    // The stored text may or may not end in its NUL.
    value.resize(wcsnlen(value.c_str(), value.size()));
    remotePath = Utf8(value);
    found = found && !value.empty();
  }
  RegCloseKey(mapping);
  return found;
}

void ShowWarningBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONWARNING);
}

void ShowInformationBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool AskYesNoBox(const std::string& title, const std::string& text) {
  return MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool IsElevated(bool& elevated) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  // TokenElevation is known from Windows Vista on; before, the call fails.
  DWORD elevation = 0, size = 0;
  const bool known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0;
  CloseHandle(token);
  elevated = known && elevation != 0;
  return known;
}

std::string OwnExecutable() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return Utf8(path);
    }
    path.resize(path.size() * 2);
  }
}

bool RunAsAdministrator(const std::string& exe, const std::string& parameters, std::string& reason) {
  const std::wstring wideExe = Wide(exe), wideParameters = Wide(parameters);
  SHELLEXECUTEINFOW start = {};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_FLAG_NO_UI;
  start.lpVerb = L"runas";
  start.lpFile = wideExe.c_str();
  start.lpParameters = wideParameters.c_str();
  start.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&start) || Fail(reason);
}

std::vector<std::string> Utf8Arguments(int count, wchar_t** arguments) {
  std::vector<std::string> utf8;
  for (int at = 0; at < count; ++at) utf8.push_back(Utf8(arguments[at]));
  return utf8;
}

bool StandardErrorIsConsole() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

std::size_t StandardErrorWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return FallbackConsoleWidth;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

unsigned long Milliseconds() { return GetTickCount(); }

struct ShellProgress {
  IProgressDialog* dialog;
  bool comStarted;
};

ShellProgress* OpenShellProgress(const std::string& title) {
  ShellProgress* progress = new ShellProgress{nullptr, SUCCEEDED(CoInitialize(nullptr))};
  void* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IProgressDialog, &dialog))) {
    progress->dialog = static_cast<IProgressDialog*>(dialog);
    progress->dialog->SetTitle(Wide(title).c_str());
    // AUTOTIME: the shell estimates the time left from the calls to SetProgress.
    progress->dialog->StartProgressDialog(nullptr, nullptr, PROGDLG_NORMAL | PROGDLG_AUTOTIME,
                                          nullptr);
  }
  return progress;
}

void UpdateShellProgress(ShellProgress* progress, const std::string& firstLine,
                         const std::string& secondLine, std::size_t done, std::size_t total) {
  if (progress->dialog == nullptr) return;
  // Line 3 is the shell's time estimate.
  progress->dialog->SetLine(1, Wide(firstLine).c_str(), FALSE, nullptr);
  progress->dialog->SetLine(2, Wide(secondLine).c_str(), FALSE, nullptr);
  progress->dialog->SetProgress64(done, total);
}

bool ShellProgressCancelled(ShellProgress* progress) {
  return progress->dialog != nullptr && progress->dialog->HasUserCancelled();
}

void CloseShellProgress(ShellProgress* progress) {
  if (progress->dialog != nullptr) {
    progress->dialog->StopProgressDialog();
    progress->dialog->Release();
  }
  if (progress->comStarted) CoUninitialize();
  delete progress;
}

int WithUnicodeConsole(const std::function<int()>& work) {
  ConsoleBuffer out(GetStdHandle(STD_OUTPUT_HANDLE)), errors(GetStdHandle(STD_ERROR_HANDLE));
  std::streambuf* const originalOut = std::cout.rdbuf();
  std::streambuf* const originalErrors = std::cerr.rdbuf();
  if (IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))) std::cout.rdbuf(&out);
  if (IsConsole(GetStdHandle(STD_ERROR_HANDLE))) std::cerr.rdbuf(&errors);
  const int status = work();
  // The buffers end here, so the streams get their own back, flushed.
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(originalOut);
  std::cerr.rdbuf(originalErrors);
  return status;
}
