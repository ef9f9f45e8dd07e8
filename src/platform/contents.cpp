#include "platform/contents.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

Contents CompareContents(const std::string& a, const std::string& b) {
  const DWORD PieceSize = 256 * 1024;
  const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const HANDLE first = CreateFileW(ExtendedPath(a).c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  const HANDLE second = first == INVALID_HANDLE_VALUE
                            ? INVALID_HANDLE_VALUE
                            : CreateFileW(ExtendedPath(b).c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  Contents result = Contents::Unreadable;
  if (second != INVALID_HANDLE_VALUE) {
    std::vector<char> one(PieceSize), other(PieceSize);
    for (result = Contents::Same; result == Contents::Same;) {
      DWORD readOne = 0, readOther = 0;
      if (!ReadFile(first, one.data(), PieceSize, &readOne, nullptr) ||
          !ReadFile(second, other.data(), PieceSize, &readOther, nullptr)) {
        result = Contents::Unreadable;
      } else if (readOne != readOther || std::memcmp(one.data(), other.data(), readOne) != 0) {
        result = Contents::Differ;
      } else if (readOne == 0) {
        break;
      }
    }
    CloseHandle(second);
  }
  if (first != INVALID_HANDLE_VALUE) CloseHandle(first);
  return result;
}

bool KeepsLocalTime(const std::string& path) {
  wchar_t root[MAX_PATH], system[MAX_PATH];
  if (!GetVolumePathNameW(Wide(path).c_str(), root, MAX_PATH) ||
      !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH))
    return false;
  const std::wstring name = system;
  return name.compare(0, 3, L"FAT") == 0 || name == L"exFAT";
}

}  // namespace platform
