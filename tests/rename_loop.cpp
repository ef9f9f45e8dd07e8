// The least a lift can do, for the benchmark to measure dirlift against: list a
// folder, then rename each entry into its parent, with no clash handling, no
// progress and no messages.
//   rename_loop FOLDER   (a full path)

#include <windows.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t* argv[]) {
  if (argc != 2) return 2;
  const std::wstring folder = argv[1];
  const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\'));
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW record;
  const HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return 1;
  do {
    const std::wstring name = record.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(listing, &record));
  FindClose(listing);
  int failures = 0;
  for (const std::wstring& name : names)
    if (!MoveFileW((folder + L"\\" + name).c_str(), (parent + L"\\" + name).c_str())) ++failures;
  return failures == 0 ? 0 : 1;
}
