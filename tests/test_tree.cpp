#include "test_tree.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app/arguments.h"
#include "lift/paths.h"
#include "platform/platform.h"

namespace {

const DWORD ChildTimeoutMs = 60000;
const DWORD BoxLookIntervalMs = 50;  // also how often `watch` looks
const DWORD WindowTextTimeoutMs = 1000;
const char WindowTitle[] = "dirlift";
const char EmptyBox[] = "(a box without text)";

std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

// Every file call of the test bed takes the extended form, so that it makes
// and reads names that plain paths cannot reach ("a.", "b ", "CON").
std::wstring Extended(const std::string& path) { return platform::Wide("\\\\?\\" + Native(path)); }

void WriteWholeFile(const std::string& path, const std::string& text) {
  const HANDLE file =
      CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "creating " + path);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  Check(ok && written == text.size(), "writing " + path);
}

// Under load, Wine now and then still holds a child's output open for a
// moment after the child has ended: what it wrote is all there, so the file
// is read whoever else has it open.
std::string ReadWholeFile(const std::string& path) {
  const HANDLE file =
      CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "opening " + path);
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

struct Entry {
  std::string name;
  DWORD attributes;
};

std::vector<Entry> Entries(const std::string& folder) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAW record;
  const HANDLE listing = FindFirstFileW((Extended(folder) + L"\\*").c_str(), &record);
  if (listing == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = platform::Utf8(record.cFileName);
    if (name != "." && name != "..") entries.push_back({name, record.dwFileAttributes});
  } while (FindNextFileW(listing, &record));
  FindClose(listing);
  return entries;
}

bool IsFolder(const Entry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// A link is never followed: it may point back at an ancestor.
bool IsLink(const Entry& entry) { return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool Listed(const std::string& folder, const std::string& name) {
  for (const Entry& entry : Entries(folder))
    if (entry.name == name) return true;
  return false;
}

void SnapshotInto(const std::string& folder, const std::string& prefix, Tree& tree) {
  for (const Entry& entry : Entries(folder)) {
    const std::string name = prefix + entry.name;
    const std::string path = folder + "\\" + entry.name;
    if (IsLink(entry)) {
      tree.push_back(name + "@");
    } else if (IsFolder(entry)) {
      tree.push_back(name + "/");
      SnapshotInto(path, name + "/", tree);
    } else {
      tree.push_back(name + "=" + ReadWholeFile(path));
    }
  }
}

// Runs a Linux program on Linux paths of Windows ones, and waits until `done`:
// Wine starts Unix programs but cannot wait for them.
bool RunUnixCommand(const std::string& program, const std::vector<std::string>& windowsPaths,
                    const std::function<bool()>& done) {
  if (UnixPath(FolderOfThisExecutable()).empty()) return false;
  std::string commandLine = "Z:\\bin\\" + program;
  for (const std::string& path : windowsPaths) {
    // Only the folder goes through Wine's mapping: the name may be yet to be
    // made, or one that Wine would match in another case.
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    commandLine += " " + QuoteArgument(UnixPath(folder) + "/" + path.substr(folder.size() + 1));
  }
  RunProgram(commandLine, "", FolderOfThisExecutable());
  for (int tries = 0; tries < 100 && !done(); ++tries) Sleep(50);
  return done();
}

// A name that Windows holds already in another case can only be made the Linux
// way, as WSL makes it in a case-sensitive folder: under a name of its own
// first, then renamed by Linux's mv.
void MakeCaseTwin(const std::string& path, const std::function<void(const std::string&)>& make) {
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  const std::string name = path.substr(folder.size() + 1);
  const std::string stand = folder + "\\twin-in-the-making";
  make(stand);
  Check(RunUnixCommand("mv", {stand, path}, [&] { return Listed(folder, name); }),
        "renaming " + stand + " to " + name + " with Linux's mv");
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "opening " + path);
  return file;
}

struct WindowSearch {
  DWORD processId;
  bool progressDialog;
  HWND found;
};

BOOL CALLBACK FindDirliftWindow(HWND window, LPARAM param) {
  WindowSearch& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char title[sizeof WindowTitle + 1] = "";
  GetWindowTextA(window, title, sizeof title);
  const bool hasProgressBar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr) != nullptr;
  if (owner != search.processId || std::string(title) != WindowTitle || !IsWindowVisible(window) ||
      hasProgressBar != search.progressDialog)
    return TRUE;
  search.found = window;
  return FALSE;
}

// GetWindowText does not read a control of another process, so ask the control.
BOOL CALLBACK AppendStaticText(HWND control, LPARAM text) {
  char className[16] = "";
  GetClassNameA(control, className, sizeof className);
  if (lstrcmpiA(className, "Static") != 0) return TRUE;
  char buffer[8192] = "";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      WindowTextTimeoutMs, &ignored);
  *reinterpret_cast<std::string*>(text) += buffer;
  return TRUE;
}

// Reads and closes the box the process shows, if it shows one now. A box that
// asks (Yes and No, or a verb and Cancel) is left to a watcher, where there is
// one, to answer.
void CloseBoxOf(DWORD processId, std::string& text, bool leaveQuestions) {
  const HWND box = DirliftWindow(processId, false);
  const bool asks = GetDlgItem(box, IDYES) != nullptr || GetDlgItem(box, IDCANCEL) != nullptr;
  if (box == nullptr || (leaveQuestions && asks)) return;
  text = StaticTextOf(box);
  if (text.empty()) text = EmptyBox;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

std::string UnixPath(const std::string& windowsPath) {
  const auto unixName = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return "";
  const char* name = unixName(platform::Wide(windowsPath).c_str());
  return name != nullptr ? name : "";
}

HWND DirliftWindow(DWORD processId, bool progressDialog) {
  WindowSearch search = {processId, progressDialog, nullptr};
  EnumWindows(FindDirliftWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string StaticTextOf(HWND window) {
  std::string text;
  EnumChildWindows(window, AppendStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

bool HasDisplay() { return GetEnvironmentVariableA("DISPLAY", nullptr, 0) > 1; }

bool MakeFolderLink(const std::string& link, const std::string& target) {
  typedef BOOLEAN(WINAPI * CreateLink)(LPCSTR, LPCSTR, DWORD);
  const DWORD LinkToFolder = 1;
  if (const auto createLink = reinterpret_cast<CreateLink>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA"))))
    createLink(link.c_str(), target.c_str(), LinkToFolder);
  const auto isLink = [&link] {
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  };
  // Wine's CreateSymbolicLink makes nothing, but Wine shows a Unix symbolic link
  // as one: ln makes it.
  return isLink() || RunUnixCommand("ln -s", {target, link}, isLink);
}

std::string FolderOfThisExecutable() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string MakeTempFolder() {
  static int counter = 0;
  char temp[MAX_PATH];
  Check(GetTempPathA(MAX_PATH, temp) != 0, "GetTempPath");
  for (;;) {
    const std::string folder =
        std::string(temp) + "dirlift-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    Check(GetLastError() == ERROR_ALREADY_EXISTS, "creating " + folder);
  }
}

void RemoveTree(const std::string& root) {
  for (const Entry& entry : Entries(root)) {
    const std::wstring path = Extended(root + "\\" + entry.name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsLink(entry))
      RemoveDirectoryW(path.c_str()) || DeleteFileW(path.c_str());
    else if (IsFolder(entry))
      RemoveTree(root + "\\" + entry.name);
    else
      DeleteFileW(path.c_str());
  }
  RemoveDirectoryW(Extended(root).c_str());
}

void MakeTree(const std::string& root, const Tree& entries) {
  for (const std::string& entry : entries) {
    const std::string::size_type equals = entry.find('='), at = entry.find('@');
    if (equals == std::string::npos && at != std::string::npos) {
      Check(MakeFolderLink(Native(root + "/" + entry.substr(0, at)), Native(root + "/" + entry.substr(at + 1))),
            "linking " + entry);
      continue;
    }
    const std::string path = WithoutTrailingSeparators(Native(root + "/" + entry.substr(0, equals)));
    const auto make = [&](const std::string& at) {
      if (equals != std::string::npos)
        WriteWholeFile(at, entry.substr(equals + 1));
      else
        Check(CreateDirectoryW(Extended(at).c_str(), nullptr), "creating " + at);
    };
    if (platform::PathExists(path))
      MakeCaseTwin(path, make);
    else
      make(path);
  }
}

Tree Snapshot(const std::string& root) {
  Tree tree;
  SnapshotInto(root, "", tree);
  std::sort(tree.begin(), tree.end());
  return tree;
}

RunResult RunDirlift(const std::vector<std::string>& arguments, const std::string& input,
                     const std::string& currentFolder, bool holdInputOpen, const std::function<void(DWORD)>& watch,
                     const char* program) {
  std::string commandLine = QuoteArgument(FolderOfThisExecutable() + "\\" + program);
  for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);
  return RunProgram(commandLine, input, currentFolder, holdInputOpen, watch);
}

RunResult RunProgram(std::string commandLine, const std::string& input, const std::string& currentFolder,
                     bool holdInputOpen, const std::function<void(DWORD)>& watch) {
  // Standard input is a pipe, as in "printf 'y\\n' | dirlift X".
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE inputRead = nullptr, inputWrite = nullptr;
  Check(CreatePipe(&inputRead, &inputWrite, &inherit, static_cast<DWORD>(input.size() + 1)), "CreatePipe");
  SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);
  DWORD written = 0;
  Check(input.empty() || WriteFile(inputWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr),
        "writing the input");
  if (!holdInputOpen) CloseHandle(inputWrite);

  const std::string io = MakeTempFolder();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inputRead;
  startup.hStdOutput = InheritableFile(io + "\\out", GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = InheritableFile(io + "\\err", GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      currentFolder.c_str(), &startup, &process);
  const DWORD startError = GetLastError();
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  SetLastError(startError);
  Check(started, "starting " + commandLine);

  RunResult result = {-1, "", "", ""};
  DWORD waited = 0;
  for (; waited < ChildTimeoutMs && WaitForSingleObject(process.hProcess, BoxLookIntervalMs) == WAIT_TIMEOUT;
       waited += BoxLookIntervalMs) {
    if (watch) watch(process.dwProcessId);
    if (result.box.empty()) CloseBoxOf(process.dwProcessId, result.box, static_cast<bool>(watch));
  }
  if (waited < ChildTimeoutMs) {
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    result.status = static_cast<int>(status);
  } else {
    TerminateProcess(process.hProcess, 1);
    result.err = "timed out; ";
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (holdInputOpen) CloseHandle(inputWrite);
  result.out = ReadWholeFile(io + "\\out");
  result.err += ReadWholeFile(io + "\\err");
  RemoveTree(io);
  return result;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

Tree Sorted(Tree tree) {
  std::sort(tree.begin(), tree.end());
  return tree;
}

// A tree with the time in each folder of replaced files, " (replaced <time>)",
// written " (replaced *)".
Tree WithoutTimes(Tree tree) {
  const std::string mark = " (replaced ";
  for (std::string& entry : tree) {
    const std::string::size_type start = entry.find(mark);
    if (start != std::string::npos)
      entry.replace(start + mark.size(), entry.find(')', start) - start - mark.size(), "*");
  }
  return tree;
}

void LiftOnce::SetUp() {
  root = MakeTempFolder();
  dataHome = MakeTempFolder();
  SetEnvironmentVariableA("XDG_DATA_HOME", UnixPath(dataHome).c_str());
}

void LiftOnce::TearDown() {
  SetEnvironmentVariableA("XDG_DATA_HOME", nullptr);
  RemoveTree(root);
  RemoveTree(dataHome);
}

Tree LiftOnce::Recycled() const { return WithoutTimes(Snapshot(dataHome + "\\Trash\\files")); }

void SetTimes(const std::string& root, const Times& times) {
  // 2026-01-01 00:00:00 UTC, in 100 ns ticks since 1601.
  const unsigned long long Moment = 134116416000000000ULL, TicksPerMillisecond = 10000;
  for (const auto& time : times) {
    std::string path = root + "\\" + time.first;
    std::replace(path.begin(), path.end(), '/', '\\');
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const unsigned long long ticks = Moment + static_cast<unsigned long long>(time.second) * TicksPerMillisecond;
    const FILETIME written = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written)) << path;
    CloseHandle(file);
  }
}

PROCESS_INFORMATION StartFromMenu(const std::string& arguments, const std::string& folder) {
  std::string command = "\"" + FolderOfThisExecutable() + "\\dirliftw.exe\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  EXPECT_TRUE(
      CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process));
  return process;
}

DWORD EndOf(const PROCESS_INFORMATION& process) {
  DWORD status = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return status;
}
