#include "platform/recycle_bin.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

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
  const bool read =
      RegQueryValueExW(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) == ERROR_SUCCESS &&
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
  Failure failure;
  unsigned long long size = 0;
  if (!ListFolder(folder, entries, failure)) return size;
  for (const ListedEntry& entry : entries) {
    // The listing gives each file's size: no file is looked at on its own.
    size += entry.folder && !entry.link ? FolderSize(folder + "\\" + entry.name) : entry.size;
  }
  return size;
}

// The Recycle Bin's column that shows where an item was deleted from.
const UINT OriginalLocationColumn = 1;
const char RestoreVerb[] = "undelete";
const UINT FirstCommand = 1, LastCommand = 0x7FFF;

std::wstring FromCodePage(const char* text) {
  const int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(needed > 0 ? static_cast<std::size_t>(needed) : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], needed);
  wide.resize(wide.size() - 1);
  return wide;
}

// The shell hands a text in one of three forms.
std::wstring TextOf(STRRET& text, PCUITEMID_CHILD item) {
  switch (text.uType) {
    case STRRET_WSTR: {
      const std::wstring wide = text.pOleStr != nullptr ? text.pOleStr : L"";
      CoTaskMemFree(text.pOleStr);
      return wide;
    }
    case STRRET_OFFSET:
      return FromCodePage(reinterpret_cast<const char*>(item) + text.uOffset);
    default:
      return FromCodePage(text.cStr);
  }
}

std::wstring ItemText(IShellFolder2* bin, PCUITEMID_CHILD item, bool location) {
  if (location) {
    SHELLDETAILS details = {};
    return SUCCEEDED(bin->GetDetailsOf(item, OriginalLocationColumn, &details)) ? TextOf(details.str, item) : L"";
  }
  STRRET name;
  return SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_INFOLDER, &name)) ? TextOf(name, item) : L"";
}

// Runs the item's Restore: the verb "undelete" where the menu names its
// verbs, else its first command, which is Restore.
bool InvokeRestore(IShellFolder2* bin, PCUITEMID_CHILD item) {
  IContextMenu* menu = nullptr;
  if (FAILED(bin->GetUIObjectOf(nullptr, 1, &item, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu))))
    return false;
  const HMENU popup = CreatePopupMenu();
  UINT chosen = 0;
  if (SUCCEEDED(menu->QueryContextMenu(popup, 0, FirstCommand, LastCommand, CMF_NORMAL))) {
    for (int at = 0, count = GetMenuItemCount(popup); at < count && chosen == 0; ++at) {
      const UINT id = GetMenuItemID(popup, at);
      char verb[64] = "";
      if (id >= FirstCommand && id <= LastCommand &&
          SUCCEEDED(menu->GetCommandString(id - FirstCommand, GCS_VERBA, nullptr, verb, sizeof verb)) &&
          lstrcmpiA(verb, RestoreVerb) == 0)
        chosen = id;
    }
    if (chosen == 0) chosen = GetMenuItemID(popup, 0);
  }
  bool invoked = false;
  if (chosen >= FirstCommand && chosen <= LastCommand) {
    CMINVOKECOMMANDINFO command = {};
    command.cbSize = sizeof command;
    command.fMask = CMIC_MASK_FLAG_NO_UI;
    command.lpVerb = MAKEINTRESOURCEA(chosen - FirstCommand);
    command.nShow = SW_HIDE;
    invoked = SUCCEEDED(menu->InvokeCommand(&command));
  }
  DestroyMenu(popup);
  menu->Release();
  return invoked;
}

// Looks for the item named `name`, deleted from `location`, and restores it;
// with `lookOnly`, only says whether it is there (Restored when it is).
RestoreResult FindAndRestore(const std::wstring& name, const std::wstring& location, bool lookOnly) {
  LPITEMIDLIST binList = nullptr;
  IShellFolder* desktop = nullptr;
  IShellFolder2* bin = nullptr;
  IEnumIDList* items = nullptr;
  RestoreResult result = RestoreResult::Failed;
  if (SUCCEEDED(SHGetFolderLocation(nullptr, CSIDL_BITBUCKET, nullptr, 0, &binList)) &&
      SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
      SUCCEEDED(desktop->BindToObject(binList, nullptr, IID_IShellFolder2, reinterpret_cast<void**>(&bin))) &&
      bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK) {
    result = RestoreResult::NotInBin;
    LPITEMIDLIST item = nullptr;
    while (result == RestoreResult::NotInBin && items->Next(1, &item, nullptr) == S_OK) {
      if (lstrcmpiW(ItemText(bin, item, false).c_str(), name.c_str()) == 0 &&
          lstrcmpiW(ItemText(bin, item, true).c_str(), location.c_str()) == 0)
        result = lookOnly || InvokeRestore(bin, item) ? RestoreResult::Restored : RestoreResult::Failed;
      CoTaskMemFree(item);
    }
  }
  if (items != nullptr) items->Release();
  if (bin != nullptr) bin->Release();
  if (desktop != nullptr) desktop->Release();
  CoTaskMemFree(binList);
  return result;
}

}  // namespace

namespace {

RestoreResult FindInRecycleBin(const std::string& folder, bool lookOnly) {
  const std::string::size_type last = folder.find_last_of('\\');
  std::wstring location = Wide(folder.substr(0, last));
  // A drive's root is shown with its separator.
  if (location.size() == 2) location += L'\\';
  const bool comStarted = SUCCEEDED(CoInitialize(nullptr));
  const RestoreResult result = FindAndRestore(Wide(folder.substr(last + 1)), location, lookOnly);
  if (comStarted) CoUninitialize();
  return result;
}

}  // namespace

bool RecycleBinHolds(const std::string& folder) { return FindInRecycleBin(folder, true) == RestoreResult::Restored; }

RestoreResult RestoreFromRecycleBin(const std::string& folder, std::string& reason) {
  RestoreResult result = FindInRecycleBin(folder, false);
  // The folder tells whether it came back.
  if (result == RestoreResult::Restored && !PathExists(folder)) result = RestoreResult::Failed;
  if (result == RestoreResult::Failed) reason = "the Recycle Bin did not give it back";
  if (result == RestoreResult::NotInBin) reason = "the Recycle Bin no longer holds it";
  return result;
}

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

}  // namespace platform
