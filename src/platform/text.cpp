#include "platform/text.h"

#include <windows.h>

#include <cstdio>

namespace platform {

namespace {

// With this prefix the wide file functions take a path exactly as given: no
// trailing dot or blank dropped, no device name, up to 32,767 characters.
const char ExtendedPrefix[] = "\\\\?\\";
const char ExtendedUncPrefix[] = "\\\\?\\UNC\\";
const char UncPrefix[] = "\\\\";
const char DevicePrefix[] = "\\\\.\\";
const char DeviceUncPrefix[] = "\\\\.\\UNC\\";
const char DriveMark = ':';

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

}  // namespace

bool FailWith(unsigned long code, Failure& failure) {
  failure = {SystemErrorText(code), code};
  return false;
}

bool FailWithLastError(Failure& failure) { return FailWith(GetLastError(), failure); }

bool FailWithLastError(std::string& reason) {
  // Read the error first: anything called after the failing call may reset it.
  reason = SystemErrorText(GetLastError());
  return false;
}

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
  if (StartsWith(fullPath, UncPrefix)) return Wide(ExtendedUncPrefix + fullPath.substr(sizeof UncPrefix - 1));
  if (fullPath.size() > 2 && fullPath[1] == DriveMark && fullPath[2] == '\\') return Wide(ExtendedPrefix + fullPath);
  return Wide(fullPath);  // not a full path: the system resolves it as ever
}

bool HasExtendedPrefix(const std::string& path) { return StartsWith(path, ExtendedPrefix); }

std::string WithoutExtendedPrefix(const std::string& path) {
  if (StartsWith(path, ExtendedUncPrefix)) return UncPrefix + path.substr(sizeof ExtendedUncPrefix - 1);
  if (HasExtendedPrefix(path)) return path.substr(sizeof ExtendedPrefix - 1);
  return path;
}

std::string PlainForm(const std::string& path) {
  std::string plain = WithoutExtendedPrefix(path);
  if (StartsWith(plain, DeviceUncPrefix))
    plain = UncPrefix + plain.substr(sizeof DeviceUncPrefix - 1);
  else if (StartsWith(plain, DevicePrefix))
    plain = plain.substr(sizeof DevicePrefix - 1);
  for (char& c : plain)
    if (c == '/') c = '\\';
  return plain;
}

std::string SystemErrorText(unsigned long errorCode) {
  wchar_t* buffer = nullptr;
  // With ALLOCATE_BUFFER the buffer argument is a pointer to the pointer.
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length != 0 ? Utf8(std::wstring(buffer, length)) : std::string();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(errorCode);
  return text;
}

std::string LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[sizeof "2026-12-08 10.15.02"];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u.%02u.%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return stamp;
}

std::vector<std::string> Utf8Arguments(int count, wchar_t** arguments) {
  std::vector<std::string> utf8;
  for (int at = 0; at < count; ++at) utf8.push_back(Utf8(arguments[at]));
  return utf8;
}

}  // namespace platform
