#pragma once
// The rows of the lift's table: a tree before, a command line, answers, and
// what must follow. The rows that need Windows run the real dirlift.exe under
// Wine (lift_tests.cpp); those of the algorithm alone run in-process on the
// in-memory disk (memory_lift_tests.cpp).

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "test_tree.h"

struct LiftCase {
  const char* name;
  Tree before;
  // "@" at the start of an argument stands for the test folder and a backslash,
  // "@/" for the test folder written with forward slashes and a slash, "?@" for
  // the test folder's extended form ("\\?\C:\...") and a backslash.
  std::vector<std::string> arguments;
  std::string input;
  int status;
  Tree after;
  std::size_t questions;
  std::size_t errorLines;
  std::string from = "";  // the folder below the test folder that dirlift runs in
  // Standard output: all of it where no question is asked, else a part of it.
  std::string output = "";
  std::string error = "";  // a part of standard error
  // What went to the Recycle Bin, the time in the replaced files' folder as "*";
  // checked where given.
  Tree recycled = {};
  Times times = {};  // files' last-write times, set before the run
};

inline void PrintTo(const LiftCase& c, std::ostream* out) { *out << c.name; }

inline std::string Expand(const std::string& argument, const std::string& root) {
  if (argument.rfind("@/", 0) == 0) {
    std::string slashed = root;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return slashed + argument.substr(1);
  }
  if (argument.rfind("@", 0) == 0) return root + "\\" + argument.substr(1);
  if (argument.rfind("?@", 0) == 0) return "\\\\?\\" + root + "\\" + argument.substr(2);
  return argument;
}

// Shapes shared by several cases. Folders list their entries by name, case aside,
// on NTFS as under Wine, so clashes are met in the order of their names.
// ONE_CLASH: "a" clashes with the parent's "a".
// TWO_PASSES: "b" and "c" clash in the outer pass; in the descended pass the inner
// "b" clashes only if the outer "b" was kept.
// 85 CJK characters: 255 bytes of UTF-8.
#define LONG_CJK_NAME                                                                                                                                                           \
  "長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長長" \
  "長長長長長長長長長長長長長長長長長長長長長長長長長長長長"
#define ONE_CLASH \
  { "X/", "X/a=new", "X/f=1", "a=old" }
// FILE_AND_FOLDER: "a" is a file where the parent has a folder, "b" the reverse.
#define FILE_AND_FOLDER \
  { "X/", "X/a=new", "X/b/", "X/b/f=1", "X/ok=2", "a/", "a/g=3", "b=old" }
#define FILE_AND_FOLDER_AFTER \
  { "X/", "X/a=new", "X/b/", "X/b/f=1", "a/", "a/g=3", "b=old", "ok=2" }
// CASE_TWINS: two names that a case-sensitive folder (made by WSL) tells apart.
#define CASE_TWINS \
  { "X/", "X/Makefile=1", "X/makefile=2" }
#define CASE_TWINS_AFTER \
  { "X/", "X/makefile=2", "Makefile=1" }
// ODD_NAMES: names that plain Windows paths cannot reach; "a." and "CON" clash.
#define ODD_NAMES \
  { "X/", "X/a.=new", "X/b =new", "X/CON=new", "X/nul.txt=1", "X/aux.c=2", "a.=old", "CON=old" }
// MERGE: X\src meets the parent's src, and inside it a file meets a file (a.js),
// a file meets a folder (bin), and a folder meets a folder (lib, one level deeper).
#define MERGE                                                                                            \
  {                                                                                                      \
    "X/", "X/top=1", "X/src/", "X/src/a.js=new", "X/src/bin=new", "X/src/lib/", "X/src/lib/u.js=new",    \
        "X/src/lib/only=1", "src/", "src/a.js=old", "src/bin/", "src/bin/x=1", "src/keep=1", "src/lib/", \
        "src/lib/u.js=old"                                                                               \
  }
// What replacing ONE_CLASH's "a" puts in the Recycle Bin.
#define RECYCLED_A \
  { "X (replaced *)/", "X (replaced *)/a=old" }
#define HOLDS_ITS_NAME \
  { "photos/", "photos/a=1", "photos/photos/", "photos/photos/b=2" }
#define HOLDS_ITS_NAME_AFTER \
  { "photos/", "photos/b=2", "a=1" }
#define TWO_PASSES \
  { "X/", "X/b=new", "X/c=new", "X/X/", "X/X/b=newer", "b=old", "c=old" }

// Runs a row in-process on the in-memory disk and checks what follows.
void CheckInMemory(const LiftCase& c);
