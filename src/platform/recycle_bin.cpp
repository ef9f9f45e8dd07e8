#include "platform/recycle_bin.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/text.h"

namespace {

const wchar_t PoliciesKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
// Windows Vista and later: one key per volume, under the volume's GUID.
const wchar_t VolumesKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\";
// Windows XP: settings for all drives, or per drive letter, in percent of the volume.
const wchar_t DrivesKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket";
const unsigned long long Megabyte = 1024ULL * 1024;
const unsigned long long DefaultFullShareLimit = 40ULL * 1024 * Megabyte;
const unsigned long long DefaultFullSharePercent = 10, DefaultRestPercent = 5;
const unsigned long long Percent = 100;
const std::wstring::size_type VolumeGuidLength = 38;  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"

bool ReadNumber(HKEY root, const std::wstring& key, const wchar_t* value, DWORD& number) {
  HKEY opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = sizeof number;
  const bool read = RegQueryValueExW(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_DWORD;
  RegCloseKey(opened);
  return read;
}

bool PolicySays(const wchar_t* value) {
  DWORD number = 0;
  return (ReadNumber(HKEY_CURRENT_USER, PoliciesKey, value, number) && number != 0) ||
         (ReadNumber(HKEY_LOCAL_MACHINE, PoliciesKey, value, number) && number != 0);
}

unsigned long long DefaultCapacity(unsigned long long volumeBytes) {
  if (volumeBytes <= DefaultFullShareLimit) return volumeBytes * DefaultFullSharePercent / Percent;
  return DefaultFullShareLimit * DefaultFullSharePercent / Percent +
         (volumeBytes - DefaultFullShareLimit) * DefaultRestPercent / Percent;
}

// The bin's settings for the volume at `root`: whether it deletes at once, and
// how many bytes it takes.
void ReadSettings(const std::wstring& root, unsigned long long volumeBytes, bool& deletes,
                  unsigned long long& capacity) {
  deletes = PolicySays(L"NoRecycleFiles");
  capacity = DefaultCapacity(volumeBytes);
  DWORD number = 0;
  if (ReadNumber(HKEY_CURRENT_USER, PoliciesKey, L"RecycleBinSize", number)) {
    capacity = volumeBytes / Percent * number;
    return;
  }
  wchar_t volumeName[MAX_PATH];
  if (GetVolumeNameForVolumeMountPointW(root.c_str(), volumeName, MAX_PATH)) {
    const std::wstring name = volumeName;
    const std::wstring::size_type open = name.find(L'{');
    if (open != std::wstring::npos) {
      const std::wstring key = VolumesKey + name.substr(open, VolumeGuidLength);
      if (ReadNumber(HKEY_CURRENT_USER, key, L"NukeOnDelete", number) && number != 0) deletes = true;
      if (ReadNumber(HKEY_CURRENT_USER, key, L"MaxCapacity", number)) capacity = number * Megabyte;
    }
  }
  DWORD global = 1;
  ReadNumber(HKEY_LOCAL_MACHINE, DrivesKey, L"UseGlobalSettings", global);
  const std::wstring key = global != 0 ? std::wstring(DrivesKey) : DrivesKey + (L"\\" + root.substr(0, 1));
  if (ReadNumber(HKEY_LOCAL_MACHINE, key, L"NukeOnDelete", number) && number != 0) deletes = true;
  if (ReadNumber(HKEY_LOCAL_MACHINE, key, L"Percent", number)) capacity = volumeBytes / Percent * number;
}

// The bytes the files below `folder` hold.
unsigned long long FolderSize(const std::string& folder) {
  std::vector<ListedEntry> entries;
  std::string reason;
  unsigned long long size = 0;
  if (!ListFolder(folder, entries, reason)) return size;
  for (const ListedEntry& entry : entries) {
    const std::string path = folder + "\\" + entry.name;
    if (entry.folder && !entry.link) {
      size += FolderSize(path);
    } else {
      WIN32_FILE_ATTRIBUTE_DATA data;
      if (GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data))
        size += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  }
  return size;
}

}  // namespace

std::string WhyTheRecycleBinWouldDelete(const std::string& folder) {
  wchar_t root[MAX_PATH];
  std::string reason;
  if (!GetVolumePathNameW(Wide(folder).c_str(), root, MAX_PATH)) {
    FailWithLastError(reason);
    return "cannot tell whether this drive has a Recycle Bin: " + reason;
  }
  // Removable, network, CD and RAM drives have no Recycle Bin.
  if (GetDriveTypeW(root) != DRIVE_FIXED) return "this drive has no Recycle Bin";
  ULARGE_INTEGER available, total;
  if (!GetDiskFreeSpaceExW(root, &available, &total, nullptr)) {
    FailWithLastError(reason);
    return "cannot tell the size of this drive's Recycle Bin: " + reason;
  }
  bool deletes = false;
  unsigned long long capacity = 0;
  ReadSettings(root, total.QuadPart, deletes, capacity);
  if (deletes) return "the Recycle Bin is turned off for this drive";
  if (FolderSize(folder) > capacity) return "they are larger than this drive's Recycle Bin takes";
  return "";
}
