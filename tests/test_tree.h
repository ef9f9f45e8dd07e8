#pragma once
// Test helpers: folder trees built from a compact description and snapshotted
// back into one, and the real dirlift.exe run as a child process.
//
// A tree is a list of entries relative to a root, '/' separating: "a=text" is a
// file holding text, "d/" a folder, "l@d" a symbolic link to the folder d. A
// snapshot lists every entry so, sorted, and a link as "l@", without following
// it. A name that the tree holds already in another case is made as Linux
// makes it, in a case-sensitive folder.

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Tree = std::vector<std::string>;

std::string MakeTempFolder();
void RemoveTree(const std::string& root);
void MakeTree(const std::string& root, const Tree& entries);
Tree Snapshot(const std::string& root);

// The Linux path of a Windows one under Wine; "" elsewhere.
std::string UnixPath(const std::string& windowsPath);

// Makes a symbolic link to a folder; false where the system cannot.
bool MakeFolderLink(const std::string& link, const std::string& target);

struct RunResult {
  int status;
  std::string out;
  std::string err;
  // The text of the message box titled "dirlift" that the program showed, which
  // was then closed with OK; empty when none appeared (a box without text is
  // "(a box without text)").
  std::string box;
};

// True when programs here can show windows: a display is set for Wine.
bool HasDisplay();

// The visible window titled "dirlift" that the process shows: its progress
// dialog, or else its message box. Null when there is none.
HWND DirliftWindow(DWORD processId, bool progressDialog);

// The text of every static control of a window of another process, run together.
std::string StaticTextOf(HWND window);

// The folder of the running test executable, where dirlift.exe lies too.
std::string FolderOfThisExecutable();

// Runs a command line in `currentFolder` with `input` piped into its standard
// input. With `holdInputOpen` the pipe stays open until the program ends, so a
// program that reads past `input` waits for ever (and the run times out).
// `watch` is called with the process id every 50 ms while it runs.
RunResult RunProgram(std::string commandLine, const std::string& input, const std::string& currentFolder,
                     bool holdInputOpen = false, const std::function<void(DWORD)>& watch = {});

// Runs dirlift.exe (found beside the test executable) in `currentFolder` with
// `input` piped into its standard input, as RunProgram does; `program` names
// dirliftw.exe instead.
RunResult RunDirlift(const std::vector<std::string>& arguments, const std::string& input,
                     const std::string& currentFolder, bool holdInputOpen = false,
                     const std::function<void(DWORD)>& watch = {}, const char* program = "dirlift.exe");

// Files' last-write times, each as milliseconds after one fixed moment.
using Times = std::vector<std::pair<std::string, long long>>;

// Gives each file below `root` its time.
void SetTimes(const std::string& root, const Times& times);

// Starts dirliftw.exe in `folder` with `arguments`, as Explorer's menu does.
PROCESS_INFORMATION StartFromMenu(const std::string& arguments, const std::string& folder);

// Waits for a menu start to end on its own, and gives its exit status; a box
// would wait for ever, so a run still going after 20 s is ended and fails.
DWORD EndOf(const PROCESS_INFORMATION& process);

// Number of times `part` occurs in `text`.
std::size_t CountOf(const std::string& text, const std::string& part);

Tree Sorted(Tree tree);

// A tree with the time in each folder of replaced files, " (replaced <time>)",
// written " (replaced *)".
Tree WithoutTimes(Tree tree);

// Each test works in a temporary folder of its own, and has a Recycle Bin of
// its own: under Wine it is the XDG trash, in the folder that XDG_DATA_HOME
// names, and dirlift inherits the variable.
class LiftOnce : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // What the Recycle Bin holds.
  Tree Recycled() const;

  std::string root, dataHome;
};
