// Undo end to end: the real dirlift.exe lifts real trees, then /u puts them
// back. These run alone, since a bare /u takes the newest lift of any test.

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "lift/paths.h"
#include "test_tree.h"

namespace {

const char Undone[] = "undone: the lift of \"";

struct UndoCase {
  const char* name;
  Tree before;
  // Each lift's arguments, then each undo's; "@" at the start of an argument
  // stands for the test folder and a backslash.
  std::vector<std::vector<std::string>> lifts;
  std::string answers;  // for the lifts, in order
  std::vector<std::vector<std::string>> undos;
  int status;  // the last undo's
  // What the user did between: entries renamed (from, to), and entries made.
  std::vector<std::pair<std::string, std::string>> moved = {};
  Tree made = {};
  Tree after = {};  // where the undo cannot give back the tree before
};

std::vector<std::string> Expanded(std::vector<std::string> arguments, const std::string& root) {
  for (std::string& argument : arguments)
    if (argument.rfind("@", 0) == 0) argument = root + "\\" + argument.substr(1);
  return arguments;
}

class Undo : public LiftOnce, public ::testing::WithParamInterface<UndoCase> {};

TEST_P(Undo, GivesBackTheTree) {
  const UndoCase& c = GetParam();
  MakeTree(root, c.before);
  for (const auto& lift : c.lifts) RunDirlift(Expanded(lift, root), c.answers, root);
  ASSERT_NE(Snapshot(root), Sorted(c.before)) << "the lifts changed nothing";
  for (const auto& move : c.moved)
    ASSERT_TRUE(MoveFileA((root + "\\" + move.first).c_str(), (root + "\\" + move.second).c_str()));
  MakeTree(root, c.made);
  RunResult run = {};
  for (const auto& undo : c.undos) {
    run = RunDirlift(Expanded(undo, root), "", root);
    EXPECT_NE(run.out.find(Undone), std::string::npos) << run.out << run.err;
  }
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(WithoutTimes(Snapshot(root)), Sorted(c.after.empty() ? c.before : c.after));
  if (c.after.empty()) {
    EXPECT_EQ(Recycled(), Tree()) << "the Recycle Bin is not as it was";
  }
}

#define CLASHES {"X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "X/e=1", "a=old", "b=old", "c=old", "d=old"}
#define TWO_FOLDERS {"A/", "A/x=A", "A/f=1", "B/", "B/x=B", "B/g=2", "x=old"}

const UndoCase Cases[] = {
    {"OverwriteAll", CLASHES, {{"@X", "/o"}}, "", {{"/u"}}, 0},
    {"AskedYesNoAll", CLASHES, {{"@X"}}, "y\nn\na\n", {{"/u"}}, 0},
    {"KeepExisting", CLASHES, {{"@X", "/-o"}}, "", {{"/u"}}, 0},
    {"KeepBoth", CLASHES, {{"@X", "/r"}}, "", {{"/u"}}, 0},
    {"MergedThreeLevelsDeep",
     {"X/", "X/s/", "X/s/t/", "X/s/t/u/", "X/s/t/u/f=new", "X/s/t/u/h=1", "X/s/t/g=new", "s/", "s/t/", "s/t/u/",
      "s/t/u/f=old", "s/k=1"},
     {{"@X", "/o", "/m"}}, "", {{"/u"}}, 0},
    {"SameNameDescent", {"X/", "X/a=new", "X/X/", "X/X/b=2", "X/X/X/", "X/X/X/c=3", "a=old"}, {{"@X", "/o"}}, "",
     {{"/u"}}, 0},
    // One record for a whole run: several folders, or a chain.
    {"TwoFoldersInOneRun", TWO_FOLDERS, {{"@A", "@B", "/o"}}, "", {{"/u"}}, 0},
    {"Chain", {"X/", "X/Y/", "X/Y/Z/", "X/Y/Z/a=1", "X/Y/Z/b=2", "b=old"}, {{"@X", "/s", "/o"}}, "", {{"/u"}}, 0},
    {"TwoLiftsNewestFirst", TWO_FOLDERS, {{"@A", "/o"}, {"@B", "/o"}}, "", {{"/u"}, {"/u"}}, 0},
    {"OlderLiftByItsFolder", {"A/", "A/f=1", "B/", "B/g=2"}, {{"@A"}, {"@B"}}, "", {{"@A", "/u"}}, 0, {}, {},
     {"A/", "A/f=1", "g=2"}},
    // What the user changed since stays as they left it; the rest comes back.
    {"EntryMovedSince", CLASHES, {{"@X", "/o"}}, "", {{"/u"}}, 1, {{"e", "e moved"}}, {},
     {"X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "a=old", "b=old", "c=old", "d=old", "e moved=1"}},
    {"OldPlaceTaken", {"X/", "X/a=new", "X/f=1", "a=old"}, {{"@X", "/o"}}, "", {{"/u"}}, 1, {}, {"X/", "X/a=mine"},
     {"X/", "X/a=mine", "X/f=1", "a=new", "X (replaced *)/", "X (replaced *)/a=old"}},
};

void PrintTo(const UndoCase& c, std::ostream* out) { *out << c.name; }

INSTANTIATE_TEST_SUITE_P(Runs, Undo, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<UndoCase>& info) { return std::string(info.param.name); });

// /u /l changes nothing, and lists what /u then does.
TEST_F(LiftOnce, UndoPreviewListsWhatTheUndoDoes) {
  MakeTree(root, CLASHES);
  RunDirlift({root + "\\X", "/o"}, "", root);
  const Tree lifted = Snapshot(root);
  const RunResult preview = RunDirlift({"/u", "/l"}, "", root);
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_EQ(Snapshot(root), lifted);
  EXPECT_EQ(CountOf(preview.out, "\nmove \""), 9u) << preview.out;
  EXPECT_EQ(CountOf(preview.out, "restore \"X (replaced "), 1u) << preview.out;
  const RunResult undo = RunDirlift({"/u"}, "", root);
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(Snapshot(root), Sorted(CLASHES));
  for (std::string::size_type at = 0; (at = preview.out.find("\" -> \"", at)) != std::string::npos; ++at) {
    const std::string::size_type start = at + 6;
    EXPECT_TRUE(PathExists(root + "\\" + preview.out.substr(start, preview.out.find('"', start) - start)));
  }
}

// A lift killed midway leaves a record of all it did: the undo gives back the
// tree as it was, the files set aside included.
TEST_F(LiftOnce, UndoOfAKilledLift) {
  const int Entries = 3000;
  Tree tree = {"X/"};
  for (int i = 0; i < Entries; ++i) {
    tree.push_back("X/f" + std::to_string(i) + "=new");
    tree.push_back("f" + std::to_string(i) + "=old");
  }
  MakeTree(root, tree);
  bool killed = false;
  RunDirlift({root + "\\X", "/o"}, "", root, false, [&](DWORD process) {
    if (killed || GetFileAttributesA((root + "\\X\\f100").c_str()) != INVALID_FILE_ATTRIBUTES) return;
    const HANDLE running = OpenProcess(PROCESS_TERMINATE, FALSE, process);
    killed = running != nullptr && TerminateProcess(running, 1);
    if (running != nullptr) CloseHandle(running);
  });
  ASSERT_TRUE(killed);
  ASSERT_NE(Snapshot(root), Sorted(tree)) << "killed before it moved anything";
  const RunResult undo = RunDirlift({root + "\\X", "/u"}, "", root);
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(Snapshot(root), Sorted(tree));
}

// Explorer starts one dirliftw.exe per selected folder: they gather into few
// runs, and no folder is lost in the race. Each run is one record: undoing
// until nothing is left counts the runs and gives back the tree.
TEST_F(LiftOnce, TwentyFoldersSelectedInExplorerLiftInFewRuns) {
  const int Folders = 20;
  Tree tree;
  for (int at = 0; at < Folders; ++at) {
    const std::string name = "F" + std::to_string(100 + at);
    tree.push_back(name + "/");
    tree.push_back(name + "/f" + std::to_string(at) + "=" + std::to_string(at));
  }
  MakeTree(root, tree);
  std::vector<PROCESS_INFORMATION> started;
  for (int at = 0; at < Folders; ++at) {
    std::string command = "\"" + FolderOfThisExecutable() + "\\dirliftw.exe\" \"" + root + "\\F" +
                          std::to_string(100 + at) + "\" gui";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, root.c_str(), &startup,
                               &process));
    started.push_back(process);
  }
  for (const PROCESS_INFORMATION& process : started) {
    // A box would wait for ever: it says something failed.
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  Tree lifted;
  for (int at = 0; at < Folders; ++at) lifted.push_back("f" + std::to_string(at) + "=" + std::to_string(at));
  EXPECT_EQ(Snapshot(root), Sorted(lifted));
  int runs = 0;
  while (RunDirlift({"/u"}, "", root).status == 0) ++runs;
  EXPECT_GE(runs, 1);
  EXPECT_LE(runs, 3);
  EXPECT_EQ(Snapshot(root), Sorted(tree));
}

// Each run keeps its record; the newest 20 are kept.
TEST_F(LiftOnce, TwentyTwoLiftsKeepTwentyRecords) {
  for (int lift = 0; lift < 22; ++lift) {
    MakeTree(root, {"X/", "X/f" + std::to_string(lift) + "=1"});
    ASSERT_EQ(RunDirlift({root + "\\X"}, "", root).status, 0);
  }
  char local[MAX_PATH];
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
  EXPECT_EQ(Snapshot(std::string(local) + "\\dirlift\\undo").size(), 20u);
}

}  // namespace
