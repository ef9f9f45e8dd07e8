#include "platform/files.h"

#include <windows.h>
#include <winternl.h>

#include "platform/text.h"

namespace platform {

namespace {

// FileInternalInformation, the file index alone.
const FILE_INFORMATION_CLASS FileIndexClass = static_cast<FILE_INFORMATION_CLASS>(6);

typedef NTSTATUS(NTAPI* QueryInformation)(HANDLE, IO_STATUS_BLOCK*, PVOID, ULONG, FILE_INFORMATION_CLASS);

// No access asked, and every kind of sharing allowed: this disturbs no other
// program. Backup semantics open a folder as well as a file.
HANDLE OpenToLookAt(const std::string& path) {
  return CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// SetFileAttributes takes no "directory" mark, and no marks at all as NORMAL.
DWORD SettableAttributes(DWORD attributes) {
  attributes &= ~FILE_ATTRIBUTE_DIRECTORY;
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

}  // namespace

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
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, upper.c_str(), static_cast<int>(upper.size()), &upper[0],
                 static_cast<int>(upper.size()));
  return Utf8(upper);
}

bool SameName(const std::string& a, const std::string& b) { return NameKey(a) == NameKey(b); }

MoveResult MoveEntry(const std::string& from, const std::string& to, Failure& failure) {
  if (MoveFileW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str())) return MoveResult::Moved;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::NameTaken;
  FailWith(error, failure);
  const bool mayPass =
      error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
  return mayPass ? MoveResult::Blocked : MoveResult::Failed;
}

MakeResult MakeFolder(const std::string& folder, Failure& failure) {
  if (CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr)) return MakeResult::Made;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MakeResult::NameTaken;
  FailWith(error, failure);
  return MakeResult::Failed;
}

// Most long paths fit the first buffer: each call walks the path on disk.
const DWORD LongPathFirstTry = 1024;

std::string LongPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  std::wstring full(LongPathFirstTry, L'\0');
  DWORD written = GetLongPathNameW(wide.c_str(), &full[0], LongPathFirstTry);
  if (written >= LongPathFirstTry) {
    full.assign(written, L'\0');
    const DWORD needed = written;
    written = GetLongPathNameW(wide.c_str(), &full[0], needed);
    if (written >= needed) return path;
  }
  if (written == 0) return path;
  full.resize(written);
  return Utf8(full);
}

bool SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite, Failure& failure) {
  const HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  FILETIME made = {static_cast<DWORD>(creation), static_cast<DWORD>(creation >> 32)};
  FILETIME written = {static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
  const bool set = SetFileTime(handle, &made, nullptr, &written) != 0;
  if (!set) FailWithLastError(failure);
  CloseHandle(handle);
  return set;
}

bool RemoveFolder(const std::string& folder, Failure& failure) {
  const std::wstring path = ExtendedPath(folder);
  if (RemoveDirectoryW(path.c_str())) return true;
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // Explorer marks a customised folder read-only (its icon or type is kept in
  // desktop.ini), and Windows will not remove a read-only folder. Now that it
  // is empty, the mark of this one folder is cleared, and put back should the
  // removal still fail.
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      SetFileAttributesW(path.c_str(), SettableAttributes(attributes & ~FILE_ATTRIBUTE_READONLY))) {
    if (RemoveDirectoryW(path.c_str())) return true;
    const DWORD retryError = GetLastError();
    SetFileAttributesW(path.c_str(), SettableAttributes(attributes));
    return FailWith(retryError, failure);
  }
  return FailWith(error, failure);
}

bool SetAttributes(const std::string& path, unsigned long attributes, Failure& failure) {
  return SetFileAttributesW(ExtendedPath(path).c_str(), SettableAttributes(attributes)) || FailWithLastError(failure);
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

std::string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(needed, L'\0');
  const DWORD written = needed == 0 ? 0 : GetCurrentDirectoryW(needed, &folder[0]);
  folder.resize(written < needed ? written : 0);
  return Utf8(folder);
}

bool operator==(const FileIdentity& a, const FileIdentity& b) { return a.volume == b.volume && a.index == b.index; }

bool IsEntry(const std::string& path, const FileIdentity& identity) {
  const auto query = reinterpret_cast<QueryInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
  const HANDLE handle = OpenToLookAt(path);
  if (handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER index = {};
  IO_STATUS_BLOCK status;
  const bool indexRead = query != nullptr && NT_SUCCESS(query(handle, &status, &index, sizeof index, FileIndexClass));
  CloseHandle(handle);
  if (indexRead && static_cast<unsigned long long>(index.QuadPart) != identity.index) return false;
  FileIdentity other;
  return IdentityOf(path, other) && other == identity;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
  const HANDLE handle = OpenToLookAt(path);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  const bool read = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (!read) return false;
  identity = {information.dwVolumeSerialNumber,
              (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return true;
}

}  // namespace platform
