// The least a lift can do, for the benchmark to measure dirlift against: list a
// folder, then rename each entry into its parent, with no clash handling, no
// progress and no messages.
//   rename_loop FOLDER           (a full path) a plain rename of each entry
//   rename_loop FOLDER replace   each replaces its namesake in the parent
//   rename_loop FOLDER staged    each namesake is set aside first, as dirlift
//                                keeps it: the failed rename, the namesake
//                                renamed into a folder of its own, the entry
//                                renamed in; that folder goes to the Recycle
//                                Bin at the end
//   rename_loop FOLDER flatten   every file below it, level by level, is
//                                renamed into the parent; each folder is
//                                removed, the deepest first

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The names in `folder`, and which of them are folders.
bool List(const std::wstring& folder, std::vector<std::wstring>& names, std::vector<bool>& folders) {
  WIN32_FIND_DATAW record;
  const HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring name = record.cFileName;
    if (name == L"." || name == L"..") continue;
    names.push_back(name);
    folders.push_back((record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileW(listing, &record));
  FindClose(listing);
  return true;
}

int Flatten(const std::wstring& folder, const std::wstring& parent) {
  int failures = 0;
  std::vector<std::wstring> levels = {folder};
  for (std::size_t at = 0; at < levels.size(); ++at) {
    std::vector<std::wstring> names;
    std::vector<bool> folders;
    if (!List(levels[at], names, folders)) return 1;
    for (std::size_t entry = 0; entry < names.size(); ++entry) {
      const std::wstring from = levels[at] + L"\\" + names[entry];
      if (folders[entry])
        levels.push_back(from);
      else if (!MoveFileW(from.c_str(), (parent + L"\\" + names[entry]).c_str()))
        ++failures;
    }
  }
  for (std::size_t at = levels.size(); at-- > 0;)
    if (!RemoveDirectoryW(levels[at].c_str())) ++failures;
  return failures == 0 ? 0 : 1;
}

int wmain(int argc, wchar_t* argv[]) {
  if (argc < 2 || argc > 3) return 2;
  const std::wstring folder = argv[1], way = argc == 3 ? argv[2] : L"";
  const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\'));
  const std::wstring aside = folder + L" (replaced)";
  if (way == L"flatten") return Flatten(folder, parent);
  std::vector<std::wstring> names;
  std::vector<bool> folders;
  if (!List(folder, names, folders)) return 1;
  if (way == L"staged" && !CreateDirectoryW(aside.c_str(), nullptr)) return 1;
  int failures = 0;
  for (const std::wstring& name : names) {
    const std::wstring from = folder + L"\\" + name, to = parent + L"\\" + name;
    if (way == L"replace") {
      if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) ++failures;
    } else if (way == L"staged") {
      if (MoveFileW(from.c_str(), to.c_str()) || !MoveFileW(to.c_str(), (aside + L"\\" + name).c_str()) ||
          !MoveFileW(from.c_str(), to.c_str()))
        ++failures;
    } else if (!MoveFileW(from.c_str(), to.c_str())) {
      ++failures;
    }
  }
  if (way == L"staged") {
    const std::wstring list = aside + L'\0';
    SHFILEOPSTRUCTW recycle = {};
    recycle.wFunc = FO_DELETE;
    recycle.pFrom = list.c_str();
    recycle.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
    if (SHFileOperationW(&recycle) != 0) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
