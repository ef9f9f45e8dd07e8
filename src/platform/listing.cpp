#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <utility>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

// A folder is listed through the call beneath FindFirstFile, which gives each
// entry's file index too: the identities of a folder of thousands of entries
// come with its listing, without opening each entry.

namespace {

const ULONG FileIdBothDirectoryInformation = 37;
const NTSTATUS NoMoreFiles = static_cast<NTSTATUS>(0x80000006);
const ULONG ListingBufferSize = 64 * 1024;
// One entry's record: its fixed part and a name of 255 UTF-16 units, with room to spare.
const ULONG SingleEntryBufferSize = 1024;
const wchar_t ThisFolder[] = L".";
const wchar_t ParentFolder[] = L"..";

// FILE_ID_BOTH_DIR_INFORMATION, which the headers for user programs lack.
struct EntryRecord {
  ULONG NextEntryOffset;
  ULONG FileIndex;
  LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime, EndOfFile, AllocationSize;
  ULONG FileAttributes;
  ULONG FileNameLength;
  ULONG EaSize;  // for a reparse point, its tag
  CCHAR ShortNameLength;
  WCHAR ShortName[12];
  LARGE_INTEGER FileId;
  WCHAR FileName[1];
};

typedef NTSTATUS(NTAPI* QueryDirectory)(HANDLE, HANDLE, PVOID, PVOID, IO_STATUS_BLOCK*, PVOID, ULONG, ULONG, BOOLEAN,
                                        UNICODE_STRING*, BOOLEAN);
typedef ULONG(NTAPI* StatusToError)(NTSTATUS);

FARPROC NtFunction(const char* name) { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name); }

bool FailWithStatus(NTSTATUS status, Failure& failure) {
  const auto toError = reinterpret_cast<StatusToError>(reinterpret_cast<void*>(NtFunction("RtlNtStatusToDosError")));
  return FailWith(toError != nullptr ? toError(status) : ERROR_GEN_FAILURE, failure);
}

ListedEntry Listed(const EntryRecord& record, unsigned long volume) {
  const std::wstring name(record.FileName, record.FileNameLength / sizeof(WCHAR));
  const std::wstring shortName(record.ShortName, static_cast<std::size_t>(record.ShortNameLength) / sizeof(WCHAR));
  return {Utf8(name),
          (record.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          (record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsLinkTag(record.EaSize),
          Utf8(shortName),
          {volume, static_cast<unsigned long long>(record.FileId.QuadPart)},
          record.FileAttributes,
          static_cast<unsigned long long>(record.EndOfFile.QuadPart),
          static_cast<unsigned long long>(record.LastWriteTime.QuadPart),
          static_cast<unsigned long long>(record.CreationTime.QuadPart)};
}

// Lists the entries of `folder` that `mask` matches (every one for none), at
// most one with `single`. The volume's serial number is read from the folder
// unless `knownVolume` gives it.
bool Query(const std::string& folder, const std::wstring* mask, bool single, const unsigned long* knownVolume,
           std::vector<ListedEntry>& entries, Failure& failure) {
  const auto query = reinterpret_cast<QueryDirectory>(reinterpret_cast<void*>(NtFunction("NtQueryDirectoryFile")));
  if (query == nullptr) return FailWithStatus(static_cast<NTSTATUS>(0xC0000002), failure);  // not implemented
  const HANDLE handle = CreateFileW(ExtendedPath(folder).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  BY_HANDLE_FILE_INFORMATION information = {};
  bool listed = true;
  if (knownVolume != nullptr) {
    // Where the folder is a file, the query itself fails.
    information.dwVolumeSerialNumber = *knownVolume;
  } else if (!GetFileInformationByHandle(handle, &information)) {
    listed = FailWithLastError(failure);
  } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    listed = FailWith(ERROR_DIRECTORY, failure);
  }
  UNICODE_STRING pattern = {};
  if (mask != nullptr) {
    pattern.Buffer = const_cast<PWSTR>(mask->c_str());
    pattern.Length = pattern.MaximumLength = static_cast<USHORT>(mask->size() * sizeof(wchar_t));
  }
  const ULONG bufferSize = single ? SingleEntryBufferSize : ListingBufferSize;
  std::vector<LONGLONG> buffer(bufferSize / sizeof(LONGLONG));  // aligned as the records need
  for (bool first = true; listed; first = false) {
    IO_STATUS_BLOCK status;
    const NTSTATUS result = query(handle, nullptr, nullptr, nullptr, &status, buffer.data(), bufferSize,
                                  FileIdBothDirectoryInformation, single, mask != nullptr ? &pattern : nullptr, first);
    if (result == NoMoreFiles) break;
    if (!NT_SUCCESS(result)) {
      listed = FailWithStatus(result, failure);
      break;
    }
    for (const char* at = reinterpret_cast<const char*>(buffer.data());;) {
      const EntryRecord& record = *reinterpret_cast<const EntryRecord*>(at);
      const ListedEntry entry = Listed(record, information.dwVolumeSerialNumber);
      const std::wstring name = Wide(entry.name);
      if (name != ThisFolder && name != ParentFolder) entries.push_back(entry);
      if (record.NextEntryOffset == 0) break;
      at += record.NextEntryOffset;
    }
    if (single) break;
  }
  CloseHandle(handle);
  return listed;
}

std::string FolderOf(const std::string& path) {
  const std::string::size_type last = path.find_last_of("\\/");
  if (last == std::string::npos) return ".";
  // A drive's root keeps its separator: "C:" alone is that drive's current folder.
  return last == 2 && path[1] == ':' ? path.substr(0, last + 1) : path.substr(0, last);
}

}  // namespace

bool IsLinkTag(unsigned long reparseTag) {
  // Tag 0 is reserved and never set: a listing that gives none cannot tell
  // what the reparse point is, so it is not followed either.
  return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

void SortAsNtfsLists(std::vector<ListedEntry>& entries) {
  std::vector<std::pair<std::pair<std::wstring, std::wstring>, std::size_t>> keys;
  keys.reserve(entries.size());
  for (std::size_t at = 0; at < entries.size(); ++at)
    keys.push_back({{Wide(NameKey(entries[at].name)), Wide(entries[at].name)}, at});
  // Already in order, as NTFS gives them: nothing to move.
  if (std::is_sorted(keys.begin(), keys.end())) return;
  std::sort(keys.begin(), keys.end());
  std::vector<ListedEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& key : keys) sorted.push_back(std::move(entries[key.second]));
  entries.swap(sorted);
}

bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, Failure& failure) {
  return Query(folder, nullptr, false, nullptr, entries, failure);
}

bool ListFolderOnVolume(const std::string& folder, unsigned long volume, std::vector<ListedEntry>& entries,
                        Failure& failure) {
  return Query(folder, nullptr, false, &volume, entries, failure);
}

namespace {

bool FindEntry(const std::string& path, const unsigned long* volume, ListedEntry& entry, Failure& failure) {
  // A mask without wildcards lists the one entry the path reaches, under the
  // name its folder holds, even when the path reached it by its short name.
  const std::wstring name = Wide(path.substr(path.find_last_of("\\/") + 1));
  std::vector<ListedEntry> found;
  if (!Query(FolderOf(path), &name, true, volume, found, failure)) return false;
  if (found.empty()) return FailWith(ERROR_FILE_NOT_FOUND, failure);
  entry = found.front();
  return true;
}

}  // namespace

bool ListEntry(const std::string& path, ListedEntry& entry, Failure& failure) {
  return FindEntry(path, nullptr, entry, failure);
}

bool ListEntryOnVolume(const std::string& path, unsigned long volume, ListedEntry& entry, Failure& failure) {
  return FindEntry(path, &volume, entry, failure);
}

}  // namespace platform
