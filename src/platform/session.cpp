#include "platform/session.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <userenv.h>

#include "platform/text.h"

namespace platform {

namespace {

const int DriveLetters = 26;
const wchar_t MappedDrivesKey[] = L"Network\\";
const wchar_t RemotePathValue[] = L"RemotePath";

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

}  // namespace

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
  if (const auto knownFolderPath = reinterpret_cast<KnownFolderPath>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetKnownFolderPath")))) {
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

bool WindowStationIsVisible() {
  // A service or a scheduled task runs on a window station without a visible
  // desktop: windows can be made there, but nobody could ever close them.
  USEROBJECTFLAGS station = {};
  DWORD needed = 0;
  return !GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &station, sizeof station, &needed) ||
         (station.dwFlags & WSF_VISIBLE) != 0;
}

bool StartedHidden() {
  // A scheduled task, among others, starts its program with its window hidden.
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE;
}

bool CanShowWindows() {
  if (!WindowStationIsVisible()) return false;
  // A hidden window, made and destroyed at once: the shell's progress dialog
  // would otherwise wait for ever for a window that cannot come.
  const HWND probe =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
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
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &mapping) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool found = RegQueryValueExW(mapping, RemotePathValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
               (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0;
  if (found) {
    std::wstring value(size / sizeof(wchar_t), L'\0');
    found = RegQueryValueExW(mapping, RemotePathValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value[0]), &size) ==
            ERROR_SUCCESS;
    // The stored text may or may not end in its NUL.
    value.resize(wcsnlen(value.c_str(), value.size()));
    remotePath = Utf8(value);
    found = found && !value.empty();
  }
  RegCloseKey(mapping);
  return found;
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

bool RunAsAdministrator(const std::string& exe, const std::string& parameters, const std::string& folder,
                        std::string& reason) {
  const std::wstring wideExe = Wide(exe), wideParameters = Wide(parameters), wideFolder = Wide(folder);
  SHELLEXECUTEINFOW start = {};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_FLAG_NO_UI;
  start.lpVerb = L"runas";
  start.lpFile = wideExe.c_str();
  start.lpParameters = wideParameters.c_str();
  start.lpDirectory = wideFolder.c_str();
  start.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&start) || FailWithLastError(reason);
}

unsigned long Milliseconds() { return GetTickCount(); }

}  // namespace platform
