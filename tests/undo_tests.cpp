// Undo end to end: the real dirlift.exe lifts real trees, then /u puts them
// back. These run alone, since a bare /u takes the newest lift of any test.

#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>

#include "lift/paths.h"
#include "platform/platform.h"
#include "test_tree.h"

namespace {

const char Undone[] = "undone: the lift of \"";
const char UndoneInPart[] = " is undone in part: ";

// Each folder's last-write time, by its path below `root`.
std::map<std::string, unsigned long long> FolderTimes(const std::string& root) {
  std::map<std::string, unsigned long long> times;
  for (const std::string& entry : Snapshot(root)) {
    if (entry.back() != '/') continue;
    std::string below = entry.substr(0, entry.size() - 1);
    std::replace(below.begin(), below.end(), '/', '\\');
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA((root + "\\" + below).c_str(), GetFileExInfoStandard, &data))
      times[below] = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
  }
  return times;
}

enum class Bin { Untouched, Emptied, RestoredByHand };

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
  Tree after = {};           // where the undo cannot give back the tree before
  Bin bin = Bin::Untouched;  // what the user did with the replaced files in the Recycle Bin
  // Entries moved out of the way after the first undo (from, to).
  std::vector<std::pair<std::string, std::string>> freed = {};
  std::string error = "";  // a part of the last undo's standard error
  int errorLines = -1;     // how many lines that has, where counted
  Times times = {};        // files' last-write times, set before the lifts
};

std::vector<std::string> Expanded(std::vector<std::string> arguments, const std::string& root) {
  for (std::string& argument : arguments)
    if (argument.rfind("@", 0) == 0) argument = root + "\\" + argument.substr(1);
  return arguments;
}

class Undo : public LiftOnce, public ::testing::WithParamInterface<UndoCase> {
 protected:
  // Under Wine the Recycle Bin is the XDG trash: its items, and a file of
  // information for each.
  void Handle(Bin bin) {
    const std::string trash = dataHome + "\\Trash";
    if (bin == Bin::RestoredByHand) {
      for (const std::string& entry : Snapshot(trash + "\\files")) {
        if (entry.find('/') != entry.size() - 1) continue;
        const std::string name = entry.substr(0, entry.size() - 1);
        ASSERT_TRUE(MoveFileA((trash + "\\files\\" + name).c_str(), (root + "\\" + name).c_str()));
      }
    }
    if (bin != Bin::Untouched) {
      RemoveTree(trash);
      CreateDirectoryA(trash.c_str(), nullptr);
    }
  }
};

bool Moves(const std::vector<std::pair<std::string, std::string>>& moves, const std::string& root) {
  for (const auto& move : moves)
    if (!MoveFileA((root + "\\" + move.first).c_str(), (root + "\\" + move.second).c_str())) return false;
  return true;
}

TEST_P(Undo, GivesBackTheTree) {
  const UndoCase& c = GetParam();
  for (const auto& lift : c.lifts)
    if (std::find(lift.begin(), lift.end(), "gui") != lift.end() && !HasDisplay())
      GTEST_SKIP() << "with no display the shell is not asked";
  MakeTree(root, c.before);
  SetTimes(root, c.times);
  const Tree before = Snapshot(root);
  const auto timesBefore = FolderTimes(root);
  for (const auto& lift : c.lifts) RunDirlift(Expanded(lift, root), c.answers, root);
  // The folders the lifts removed come back with their times.
  std::map<std::string, unsigned long long> removed;
  for (const auto& folder : timesBefore)
    if (!platform::PathExists(root + "\\" + folder.first)) removed.insert(folder);
  ASSERT_NE(Snapshot(root), Sorted(c.before)) << "the lifts changed nothing";
  ASSERT_TRUE(Moves(c.moved, root));
  MakeTree(root, c.made);
  Handle(c.bin);
  RunResult run = {};
  for (const auto& undo : c.undos) {
    if (&undo != &c.undos.front()) {
      ASSERT_TRUE(Moves(c.freed, root));
    }
    // The preview looks where the undo will look, and fails where it will.
    std::vector<std::string> listOnly = Expanded(undo, root);
    listOnly.push_back("/l");
    const Tree before = Snapshot(root);
    const RunResult preview = RunDirlift(listOnly, "", root);
    EXPECT_EQ(Snapshot(root), before) << "the preview changed the tree";
    run = RunDirlift(Expanded(undo, root), "", root);
    // Where something did not come back, the undo says how much did, never "undone".
    if (run.status == 0) {
      EXPECT_NE(run.out.find(Undone), std::string::npos) << run.out << run.err;
    } else {
      EXPECT_EQ(run.out.find(Undone), std::string::npos) << run.out;
      EXPECT_NE(run.err.find(UndoneInPart), std::string::npos) << run.err;
    }
    EXPECT_EQ(preview.status, run.status) << preview.out;
  }
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
  if (c.errorLines >= 0) {
    EXPECT_EQ(CountOf(run.err, "\n"), static_cast<std::size_t>(c.errorLines)) << run.err;
  }
  EXPECT_EQ(WithoutTimes(Snapshot(root)), c.after.empty() ? before : Sorted(c.after));
  if (c.after.empty()) {
    const auto timesAfter = FolderTimes(root);
    for (const auto& folder : removed) EXPECT_EQ(timesAfter.at(folder.first), folder.second) << folder.first;
  }
  if (c.status == 0) {
    EXPECT_EQ(Recycled(), Tree()) << "the Recycle Bin is not as it was";
  }
}

#define CLASHES \
  { "X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "X/e=1", "a=old", "b=old", "c=old", "d=old" }
#define TWO_FOLDERS \
  { "A/", "A/x=A", "A/f=1", "B/", "B/x=B", "B/g=2", "x=old" }

const UndoCase Cases[] = {
    {"OverwriteAll", CLASHES, {{"@X", "/o"}}, "", {{"/u"}}, 0},
    {"AskedYesNoAll", CLASHES, {{"@X"}}, "y\nn\na\n", {{"/u"}}, 0},
    {"KeepExisting", CLASHES, {{"@X", "/-o"}}, "", {{"/u"}}, 0},
    {"KeepBoth", CLASHES, {{"@X", "/r"}}, "", {{"/u"}}, 0},
    {"MergedThreeLevelsDeep",
     {"X/", "X/s/", "X/s/t/", "X/s/t/u/", "X/s/t/u/f=new", "X/s/t/u/h=1", "X/s/t/g=new", "s/", "s/t/", "s/t/u/",
      "s/t/u/f=old", "s/k=1"},
     {{"@X", "/o", "/m"}},
     "",
     {{"/u"}},
     0},
    {"SameNameDescent",
     {"X/", "X/a=new", "X/X/", "X/X/b=2", "X/X/X/", "X/X/X/c=3", "a=old"},
     {{"@X", "/o"}},
     "",
     {{"/u"}},
     0},
    // One record for a whole run: several folders, or a chain.
    {"TwoFoldersInOneRun", TWO_FOLDERS, {{"@A", "@B", "/o"}}, "", {{"/u"}}, 0},
    {"Chain", {"X/", "X/Y/", "X/Y/Z/", "X/Y/Z/a=1", "X/Y/Z/b=2", "b=old"}, {{"@X", "/s", "/o"}}, "", {{"/u"}}, 0},
    // A flatten: the dissolved folders, empty ones too, are made again.
    {"FlattenKeepBoth",
     {"X/", "X/a=1", "X/s/", "X/s/a=2", "X/s/e/", "X/s/t/", "X/s/t/a=3", "a=old"},
     {{"@X", "/f", "/r"}},
     "",
     {{"/u"}},
     0},
    {"FlattenAnswered",
     {"X/", "X/s/", "X/s/t/", "X/s/t/b=new", "X/s/t/c=1", "X/e/", "b=old"},
     {{"@X", "/f:3"}},
     "y\n",
     {{"/u"}},
     0},
    {"TwoLiftsNewestFirst", TWO_FOLDERS, {{"@A", "/o"}, {"@B", "/o"}}, "", {{"/u"}, {"/u"}}, 0},
    {"OlderLiftByItsFolder",
     {"A/", "A/f=1", "B/", "B/g=2"},
     {{"@A"}, {"@B"}},
     "",
     {{"@A", "/u"}},
     0,
     {},
     {},
     {"A/", "A/f=1", "g=2"}},
    // What the user changed since stays as they left it; the rest comes back.
    {"EntryMovedSince",
     CLASHES,
     {{"@X", "/o"}},
     "",
     {{"/u"}},
     1,
     {{"e", "e moved"}},
     {},
     {"X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "a=old", "b=old", "c=old", "d=old", "e moved=1"}},
    {"OldPlaceTaken",
     {"X/", "X/a=new", "X/f=1", "a=old"},
     {{"@X", "/o"}},
     "",
     {{"/u"}},
     1,
     {},
     {"X/", "X/a=mine"},
     {"X/", "X/a=mine", "X/f=1", "a=new", "X (replaced *)/", "X (replaced *)/a=old"}},
    // Once the way is free, a second /u puts back what the first could not.
    {"FinishedOnceTheWayIsFree",
     {"X/", "X/a=new", "X/f=1", "a=old"},
     {{"@X", "/o"}},
     "",
     {{"/u"}, {"/u"}},
     0,
     {},
     {"X/", "X/a=mine"},
     {"X/", "X/a=new", "X/f=1", "a=old", "mine=mine"},
     Bin::Untouched,
     {{"X\\a", "mine"}},
     "",
     0},
    // A second /u tries only what is left: the entry moved away, and no more.
    {"SecondUndoTriesOnlyWhatIsLeft",
     CLASHES,
     {{"@X", "/o"}},
     "",
     {{"/u"}, {"/u"}},
     1,
     {{"e", "e moved"}},
     {},
     {"X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "a=old", "b=old", "c=old", "d=old", "e moved=1"},
     Bin::Untouched,
     {},
     "1 entry is still out",
     2},
    // Another file of the entry's name is not the entry: it stays.
    {"EntryReplacedSinceByAnotherOfItsName",
     CLASHES,
     {{"@X", "/o"}},
     "",
     {{"/u"}},
     1,
     {{"e", "e moved"}},
     {"e=impostor"},
     {"X/", "X/a=new", "X/b=new", "X/c=new", "X/d=new", "a=old", "b=old", "c=old", "d=old", "e moved=1", "e=impostor"},
     Bin::Untouched,
     {},
     "it has moved or changed since the lift"},
    // Replaced files the user took out of the Recycle Bin come back from the parent.
    {"ReplacedFilesRestoredByHand", CLASHES, {{"@X", "/o"}}, "", {{"/u"}}, 0, {}, {}, {}, Bin::RestoredByHand},
    {"RecycleBinEmptied",
     {"X/", "X/a=new", "X/f=1", "a=old"},
     {{"@X", "/o"}},
     "",
     {{"/u"}},
     1,
     {},
     {},
     {"X/", "X/a=new", "X/f=1"},
     Bin::Emptied,
     {},
     "they are neither in the Recycle Bin nor in \"",
     2},
    // Replaced files gone for good are said once: the next bare /u goes on to the lift before.
    {"LostReplacedFilesDoNotHoldBackTheLiftBefore",
     {"A/", "A/f=1", "Y/", "Y/a=new", "a=old"},
     {{"@A"}, {"@Y", "/o"}},
     "",
     {{"/u"}, {"/u"}},
     0,
     {},
     {},
     {"A/", "A/f=1", "Y/", "Y/a=new"},
     Bin::Emptied},
    // The Recycle Bin's item is the one from that parent.
    {"ThreeParentsInOneSecond",
     {"P/", "P/X/", "P/X/a=new1", "P/a=old1", "Q/", "Q/X/", "Q/X/a=new2", "Q/a=old2", "R/", "R/X/", "R/X/a=new3",
      "R/a=old3"},
     {{"@P\\X", "@Q\\X", "@R\\X", "/o"}},
     "",
     {{"/u"}},
     0},
    // A file where a removed folder stood is named once, its entries counted.
    {"FileWhereTheFolderStood",
     {"X/", "X/a=1", "X/b=2"},
     {{"@X"}},
     "",
     {{"/u"}},
     1,
     {},
     {"X=blocker"},
     {"X=blocker", "a=1", "b=2"},
     Bin::Untouched,
     {},
     "\" cannot be made again: a file of that name is in the way; 2 entries cannot go back into it",
     2},
    // The user let the shell replace "a": the undo cannot give it back, and says so.
    {"ShellMove",
     {"X/", "X/a=new", "X/f=1", "a=old"},
     {{"@X", "gui"}},
     "",
     {{"/u"}},
     1,
     {},
     {},
     {"X/", "X/a=new", "X/f=1"},
     Bin::Untouched,
     {},
     "the shell replaced what was in the way of 1 entry"},
    // The newer file replaced the older, and copies went to the Recycle Bin: both come back.
    {"NewerReplaced",
     CLASHES,
     {{"@X", "/n"}},
     "",
     {{"/u"}},
     0,
     {},
     {},
     {},
     Bin::Untouched,
     {},
     "",
     -1,
     {{"X/a", 5000}, {"a", 0}, {"X/b", 0}, {"b", 5000}}},
    {"CopiesDropped",
     {"X/", "X/a=same", "X/b=new", "X/s/", "X/s/c=same", "a=same", "b=old", "s/", "s/c=same"},
     {{"@X", "/d", "/o", "/m"}},
     "",
     {{"/u"}},
     0},
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
    EXPECT_TRUE(platform::PathExists(root + "\\" + preview.out.substr(start, preview.out.find('"', start) - start)));
  }
}

// Undoing a lift of a folder and of the folder holding it, the preview names
// the folder made again by its full path: it has no name below the parent.
TEST_F(LiftOnce, UndoPreviewNamesTheParentByItsPath) {
  MakeTree(root, {"A/", "A/B/", "A/B/x=new", "A/x=old"});
  ASSERT_EQ(RunDirlift({root + "\\A\\B", root + "\\A", "/o"}, "", root).status, 0);
  const RunResult preview = RunDirlift({"/u", "/l"}, "", root);
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_EQ(CountOf(preview.out, "make \"\""), 0u) << preview.out;
  EXPECT_EQ(CountOf(preview.out, "make \"" + root + "\\A\""), 1u) << preview.out;
}

// A run that changed nothing keeps no record: there is nothing to undo.
TEST_F(LiftOnce, RunThatChangedNothingLeavesNothingToUndo) {
  MakeTree(root, {"f=1", "X/", "X/a=new", "a=old"});
  EXPECT_EQ(RunDirlift({root + "\\f"}, "", root).status, 1);
  EXPECT_EQ(RunDirlift({root + "\\X", "/-o"}, "", root).status, 0);
  for (const char* name : {"f", "X"}) {
    const RunResult undo = RunDirlift({root + "\\" + name, "/u"}, "", root);
    EXPECT_EQ(undo.status, 1) << name;
    EXPECT_NE(undo.err.find("dirlift: nothing to undo for"), std::string::npos) << undo.err;
  }
}

// A customised folder comes back with its marks, which Explorer reads its
// desktop.ini by. (Wine run as root keeps no read-only mark: system and hidden show it.)
// The folder given lifts its desktop.ini; a folder dissolved by a flatten sends
// its own to the Recycle Bin, whence the undo brings it back.
TEST_F(LiftOnce, UndoGivesBackAFolderWithItsMarks) {
  const DWORD Marks = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
  const struct {
    const char* customised;  // below the test folder
    std::vector<std::string> lift;
    Tree lifted, recycled;
  } cases[] = {
      {"X", {"X"}, {"a=1", "desktop.ini=[.ShellClassInfo]", "s/", "s/a=1"}, {}},
      {"X\\s",
       {"X", "/f"},
       {"a=1"},
       {"X (replaced *)/", "X (replaced *)/X/", "X (replaced *)/X/s/",
        "X (replaced *)/X/s/desktop.ini=[.ShellClassInfo]"}},
  };
  for (const auto& c : cases) {
    RemoveTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    MakeTree(root, {"X/", "X/s/", "X/s/a=1"});
    const std::string folder = root + "\\" + c.customised;
    MakeTree(folder, {"desktop.ini=[.ShellClassInfo]", "a=1"});
    ASSERT_TRUE(SetFileAttributesA((folder + "\\desktop.ini").c_str(), Marks));
    ASSERT_TRUE(SetFileAttributesA(folder.c_str(), Marks));
    ASSERT_EQ(GetFileAttributesA(folder.c_str()) & Marks, Marks) << "this file system keeps no marks";
    std::vector<std::string> lift = c.lift;
    lift.front() = root + "\\" + lift.front();
    ASSERT_EQ(RunDirlift(lift, "", root).status, 0) << c.customised;
    ASSERT_FALSE(platform::PathExists(folder));
    EXPECT_EQ(WithoutTimes(Snapshot(root)), Sorted(c.lifted)) << c.customised;
    EXPECT_EQ(Recycled(), Sorted(c.recycled)) << c.customised;
    const RunResult undo = RunDirlift({root + "\\X", "/u"}, "", root);
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(GetFileAttributesA(folder.c_str()) & Marks, Marks) << c.customised;
    EXPECT_TRUE(platform::PathExists(folder + "\\desktop.ini")) << c.customised;
    EXPECT_EQ(Recycled(), Tree()) << c.customised;
  }
}

// From the folder background, Explorer starts dirliftw.exe /u: a box names the
// lift and asks first. No leaves everything as it is; Yes undoes it, and the
// box after says so.
TEST_F(LiftOnce, UndoFromTheMenuAsksFirst) {
  if (!HasDisplay()) GTEST_SKIP() << "with no display no box can ask";
  MakeTree(root, {"photos/", "photos/a=1"});
  ASSERT_EQ(RunDirlift({root + "\\photos"}, "", root).status, 0);
  for (const int answer : {IDNO, IDYES}) {
    std::string question;
    // The question is answered here; the box after it is read and closed as any box is.
    const auto answerQuestion = [&](DWORD processId) {
      const HWND box = DirliftWindow(processId, false);
      if (box == nullptr || !question.empty()) return;
      // A busy box may not answer the read in time: it is read again next time.
      question = StaticTextOf(box);
      if (question.empty()) return;
      PostMessageA(box, WM_COMMAND, answer, 0);
      for (int waited = 0; IsWindow(box) && waited < 100; ++waited) Sleep(50);
    };
    const RunResult run = RunDirlift({"/u"}, "", root, false, answerQuestion, "dirliftw.exe");
    EXPECT_EQ(run.status, 0) << answer;
    EXPECT_NE(question.find("Undo the lift of \"" + root + "\\photos\" of "), std::string::npos) << question;
    EXPECT_EQ(question.back(), '?') << question;
    if (answer == IDNO) {
      EXPECT_EQ(run.box, "");
      EXPECT_EQ(Snapshot(root), Tree({"a=1"}));
    } else {
      EXPECT_NE(run.box.find("undone: the lift of"), std::string::npos) << run.box;
      EXPECT_EQ(Snapshot(root), Tree({"photos/", "photos/a=1"}));
    }
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
  for (int at = 0; at < Folders; ++at)
    started.push_back(StartFromMenu("\"" + root + "\\F" + std::to_string(100 + at) + "\" gui", root));
  for (const PROCESS_INFORMATION& process : started) EXPECT_EQ(EndOf(process), 0u);
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
// A run whose every change was taken back pushes none of them out.
TEST_F(LiftOnce, TwentyTwoLiftsKeepTwentyRecords) {
  for (int lift = 0; lift < 22; ++lift) {
    MakeTree(root, {"X/", "X/f" + std::to_string(lift) + "=1"});
    ASSERT_EQ(RunDirlift({root + "\\X"}, "", root).status, 0);
  }
  char local[MAX_PATH];
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
  const std::string records = std::string(local) + "\\dirlift\\undo";
  EXPECT_EQ(Snapshot(records).size(), 20u);
  MakeTree(root, {"H/", "H/held=1"});
  const HANDLE holder = CreateFileA((root + "\\H\\held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunDirlift({root + "\\H"}, "", root).status, 1);
  CloseHandle(holder);
  EXPECT_EQ(Snapshot(records).size(), 20u);
  // The oldest of the twenty kept, that of f2, is undone last.
  for (int undo = 0; undo < 20; ++undo) ASSERT_EQ(RunDirlift({"/u"}, "", root).status, 0) << undo;
  EXPECT_TRUE(platform::PathExists(root + "\\X\\f2"));
  EXPECT_EQ(RunDirlift({"/u"}, "", root).status, 1);
}

// Two lifts of one folder within one second: each run's folder of replaced
// files bears its own name in the Recycle Bin, and each undo brings back its own.
TEST_F(LiftOnce, TwoLiftsInOneSecondEachGetTheirOwnReplacedFiles) {
  const auto stampOf = [](const std::string& entry) { return entry.substr(0, entry.find(')') + 1); };
  bool oneSecond = false;
  for (int attempt = 0; attempt < 5 && !oneSecond; ++attempt) {
    RemoveTree(root);
    RemoveTree(dataHome + "\\Trash");
    CreateDirectoryA(root.c_str(), nullptr);
    MakeTree(root, {"X/", "X/a=new1", "a=old"});
    ASSERT_EQ(RunDirlift({root + "\\X", "/o"}, "", root).status, 0);
    MakeTree(root, {"X/", "X/a=new2"});
    ASSERT_EQ(RunDirlift({root + "\\X", "/o"}, "", root).status, 0);
    const Tree bin = Snapshot(dataHome + "\\Trash\\files");
    ASSERT_GE(bin.size(), 2u);
    oneSecond = stampOf(bin.front()) == stampOf(bin.back());
  }
  ASSERT_TRUE(oneSecond) << "the two lifts never fell in one second";
  EXPECT_EQ(RunDirlift({"/u"}, "", root).status, 0);
  EXPECT_EQ(Snapshot(root), Tree({"X/", "X/a=new2", "a=new1"}));
  RemoveTree(root + "\\X");
  EXPECT_EQ(RunDirlift({"/u"}, "", root).status, 0);
  EXPECT_EQ(Snapshot(root), Tree({"X/", "X/a=new1", "a=old"}));
  EXPECT_EQ(Recycled(), Tree());
}

// Windows gives an entry put back a short name, which may be the very name of
// an entry still to come back: that entry steps aside, and both come back.
TEST_F(LiftOnce, UndoGetsPastAShortNameItGaveItself) {
  // Outside ASCII a name has a short name, and this one lists after it.
  const std::string longName = "abcd\xc3\xa9";
  MakeTree(root, {"X/", "X/" + longName + "/", "X/" + longName + "/f=1"});
  char shortPath[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((root + "\\X\\" + longName).c_str(), shortPath, MAX_PATH), 0u);
  const std::string shortName = NameOf(shortPath);
  ASSERT_NE(shortName, longName) << "this file system keeps no short names";
  // The file first: Windows would give the folder another short name otherwise.
  RemoveTree(root + "\\X");
  MakeTree(root, {"X/", "X/" + shortName + "=2", "X/" + longName + "/", "X/" + longName + "/f=1"});
  const Tree before = Snapshot(root);
  ASSERT_EQ(RunDirlift({root + "\\X"}, "", root).status, 0);
  const RunResult undo = RunDirlift({"/u"}, "", root);
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(Snapshot(root), before);
}

}  // namespace
