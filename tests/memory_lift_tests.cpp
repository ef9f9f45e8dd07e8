// The lift's table rows of the algorithm alone, run in-process on the
// in-memory disk: the same command line, answers and trees as under Wine, the
// lift and the console's listener as the program has them, no Windows beneath.

#include <windows.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "app/command_line.h"
#include "console/console_listener.h"
#include "lift/lift.h"
#include "lift/paths.h"
#include "lift_case.h"
#include "memory_disk.h"

namespace {

const char Root[] = "M:\\T";
const char Question[] = " does already exist. Overwrite? (Yes/No/All): ";
// 2026-01-01 00:00:00 UTC, in 100 ns ticks since 1601, as the rows' times count from.
const unsigned long long Moment = 134116416000000000ULL, TicksPerMillisecond = 10000;

std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return WithoutTrailingSeparators(path);
}

void MakeTree(MemoryDisk& disk, const LiftCase& c) {
  disk.Make(Root, true);
  for (const std::string& entry : c.before) {
    const std::string::size_type equals = entry.find('=');
    const std::string path = JoinPath(Root, Native(entry.substr(0, equals)));
    unsigned long long lastWrite = 0;
    for (const auto& time : c.times)
      if (JoinPath(Root, Native(time.first)) == path) lastWrite = Moment + time.second * TicksPerMillisecond;
    // A name the tree holds already in another case is made as Linux makes it.
    if (disk.Exists(path)) disk.MakeCaseSensitive(ParentOf(path));
    disk.Make(path, equals == std::string::npos, equals == std::string::npos ? "" : entry.substr(equals + 1),
              lastWrite);
  }
}

// The disk's picture in the rows' form: "X/" for a folder, "X/a=new" for a file.
Tree AsTree(const std::vector<std::string>& picture, const std::string& below) {
  static const std::regex Marks(" a[0-9]+( #[0-9]+)?( t[0-9]+ c[0-9]+)?$");
  static const std::regex Replaced("\\(replaced [^)]*\\)");
  Tree tree;
  for (std::string line : picture) {
    line = std::regex_replace(line, Marks, "");
    if (!below.empty() && line.rfind(below, 0) == 0) line = line.substr(below.size());
    std::replace(line.begin(), line.end(), '\\', '/');
    tree.push_back(std::regex_replace(line, Replaced, "(replaced *)"));
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

}  // namespace

// The rows of the algorithm alone: clashes settled by each mode and answer,
// merges, the own name, case twins, /n and /d.
const LiftCase MemoryCases[] = {
    {"EmptyFolderIsRemoved", {"X/", "keep=k"}, {"@X"}, "", 0, {"keep=k"}, 0, 0},
    {"FilesGoUp", {"X/", "X/a=1", "X/b=2"}, {"@X"}, "", 0, {"a=1", "b=2"}, 0, 0},
    {"SubfolderMovesWhole", {"X/", "X/s/", "X/s/d/", "X/s/d/f=1"}, {"@X"}, "", 0, {"s/", "s/d/", "s/d/f=1"}, 0, 0},
    {"SameNameSubfolderIsLiftedIntoFolder",
     {"X/", "X/f=1", "X/X/", "X/X/g=2"},
     {"@X"},
     "",
     0,
     {"X/", "X/g=2", "f=1"},
     0,
     0},
    {"SameNameChainRemovesOnlyInnermost",
     {"X/", "X/a=1", "X/X/", "X/X/b=2", "X/X/X/", "X/X/X/c=3"},
     {"@X"},
     "",
     0,
     {"X/", "X/X/", "X/X/c=3", "X/b=2", "a=1"},
     0,
     0},
    // Windows takes names case aside, and so does the own name.
    {"NameDifferingInCaseIsTheSameName",
     {"X/", "X/x/", "X/x/f=1", "X/g=2"},
     {"@X", "/-o"},
     "",
     0,
     {"X/", "X/f=1", "g=2"},
     0,
     0},
    {"FileNamedLikeItsFolderStaysAndIsReported", {"X/", "X/X=1", "X/a=2"}, {"@X"}, "", 1, {"X/", "X/X=1", "a=2"}, 0, 1},
    {"OwnNameTwiceInCaseSensitiveFolder",
     {"X/", "X/X/", "X/X/f=1", "X/x/", "X/x/g=2"},
     {"@X"},
     "",
     1,
     {"X/", "X/f=1", "X/x/", "X/x/g=2"},
     0,
     1},
    {"KeepExistingLeavesClashInFolder", ONE_CLASH, {"@X", "/-o"}, "", 0, {"X/", "X/a=new", "a=old", "f=1"}, 0, 0},
    {"OverwriteAllReplacesFiles", ONE_CLASH, {"@X", "/o"}, "", 0, {"a=new", "f=1"}, 0, 0, "", "", "", RECYCLED_A},
    {"OverwriteAllReachesDescent", TWO_PASSES, {"@X", "/o"}, "", 0, {"X/", "X/b=newer", "b=new", "c=new"}, 0, 0},
    {"FolderOntoFolderFailsAndIsReported",
     {"X/", "X/d/", "X/d/f=1", "X/e=2", "d/", "d/g=3"},
     {"@X", "/o"},
     "",
     1,
     {"X/", "X/d/", "X/d/f=1", "d/", "d/g=3", "e=2"},
     0,
     1},
    // Without /m a folder meeting a folder is neither asked about nor tried,
    // even where the folder in the way is empty.
    {"FolderOntoEmptyFolderOverwriteAll",
     {"X/", "X/d/", "X/d/f=1", "d/"},
     {"@X", "/o"},
     "",
     1,
     {"X/", "X/d/", "X/d/f=1", "d/"},
     0,
     1,
     "",
     "",
     "\\X\\d\" up: a folder of that name is in the way; add /m to merge them"},
    {"FolderOntoEmptyFolderAsked",
     {"X/", "X/d/", "X/d/f=1", "d/"},
     {"@X"},
     "y\n",
     1,
     {"X/", "X/d/", "X/d/f=1", "d/"},
     0,
     1},
    {"FolderOntoFolderKeptSilently",
     {"X/", "X/d/", "X/d/f=1", "d/"},
     {"@X", "/-o"},
     "",
     0,
     {"X/", "X/d/", "X/d/f=1", "d/"},
     0,
     0},
    // What the outer pass leaves in X is never touched by the lift of X\X.
    {"KeptFileIsNotReplacedFromInside",
     {"X/", "X/a.txt=new", "X/X/", "X/X/a.txt=newer", "a.txt=old"},
     {"@X"},
     "n\ny\n",
     1,
     {"X/", "X/X/", "X/X/a.txt=newer", "X/a.txt=new", "a.txt=old"},
     1,
     1,
     "",
     "",
     "\\X\\X\\a.txt\" up: \"X\\a.txt\", left in place by this run, is not touched again"},
    {"FailedFileIsNotReplacedFromInside",
     {"X/", "X/a=new", "X/X/", "X/X/a=newer", "a/"},
     {"@X", "/o"},
     "",
     1,
     {"X/", "X/X/", "X/X/a=newer", "X/a=new", "a/"},
     0,
     2},
    {"CaseTwinLeftInXIsNotReplacedFromInside",
     {"X/", "X/Makefile=1", "X/makefile=2", "X/X/", "X/X/makefile=3"},
     {"@X", "/o"},
     "",
     1,
     {"X/", "X/X/", "X/X/makefile=3", "X/makefile=2", "Makefile=1"},
     0,
     2},
    // A case twin or a file meeting a folder is never settled by replacing.
    {"CaseTwinsOverwriteAll", CASE_TWINS, {"@X", "/o"}, "", 1, CASE_TWINS_AFTER, 0, 1},
    {"CaseTwinsAnsweredYes", CASE_TWINS, {"@X"}, "y\n", 1, CASE_TWINS_AFTER, 0, 1},
    {"FileAndFolderOverwriteAll", FILE_AND_FOLDER, {"@X", "/o"}, "", 1, FILE_AND_FOLDER_AFTER, 0, 2},
    {"FileAndFolderKeepExisting", FILE_AND_FOLDER, {"@X", "/-o"}, "", 1, FILE_AND_FOLDER_AFTER, 0, 2},
    {"FileAndFolderAnsweredYes", FILE_AND_FOLDER, {"@X"}, "y\ny\n", 1, FILE_AND_FOLDER_AFTER, 0, 2},
    // Folders merge into folders of their name, to any depth.
    {"MergeOverwriteAll",
     MERGE,
     {"@X", "/o", "/m"},
     "",
     1,
     {"X/", "X/src/", "X/src/bin=new", "src/", "src/a.js=new", "src/bin/", "src/bin/x=1", "src/keep=1", "src/lib/",
      "src/lib/only=1", "src/lib/u.js=new", "top=1"},
     0,
     1,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/src/", "X (replaced *)/src/a.js=old", "X (replaced *)/src/lib/",
      "X (replaced *)/src/lib/u.js=old"}},
    {"MergeKeepExisting",
     MERGE,
     {"@X", "/m", "/-o"},
     "",
     1,
     {"X/", "X/src/", "X/src/a.js=new", "X/src/bin=new", "X/src/lib/", "X/src/lib/u.js=new", "src/", "src/a.js=old",
      "src/bin/", "src/bin/x=1", "src/keep=1", "src/lib/", "src/lib/only=1", "src/lib/u.js=old", "top=1"},
     0,
     1},
    {"MergeAsked",
     MERGE,
     {"@X", "/m"},
     "y\nn\n",
     1,
     {"X/", "X/src/", "X/src/bin=new", "X/src/lib/", "X/src/lib/u.js=new", "src/", "src/a.js=new", "src/bin/",
      "src/bin/x=1", "src/keep=1", "src/lib/", "src/lib/only=1", "src/lib/u.js=old", "top=1"},
     2,
     1,
     "",
     "\"src\\lib\\u.js\" does already exist"},

    {"AskYes", ONE_CLASH, {"@X"}, "yes\n", 0, {"a=new", "f=1"}, 1, 0, "", "", "", RECYCLED_A},
    {"AskAll", ONE_CLASH, {"@X"}, "a\n", 0, {"a=new", "f=1"}, 1, 0, "", "", "", RECYCLED_A},
    // A first run, killed after it replaced P's x.tar.gz by X.TAR.GZ, left its
    // case twin in X: the rerun replaces one of X's own files, recoverably.
    {"RerunKeepsBothTwins",
     {"X/", "X/x.tar.gz=second", "X.TAR.GZ=first"},
     {"@X", "/o"},
     "",
     0,
     {"x.tar.gz=second"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/X.TAR.GZ=first"}},
    {"AskNoKeepsEntryAndFolder", ONE_CLASH, {"@X"}, "n\n", 0, {"X/", "X/a=new", "a=old", "f=1"}, 1, 0},
    {"AskCapitalYIsAskedAgain", ONE_CLASH, {"@X"}, "Y\nn\n", 0, {"X/", "X/a=new", "a=old", "f=1"}, 2, 0},
    {"AskOtherLetterThenYes", ONE_CLASH, {"@X"}, "x\ny\n", 0, {"a=new", "f=1"}, 2, 0},
    {"AskWordHoldingAnAIsNoAll",
     TWO_PASSES,
     {"@X"},
     "ja\ny\n",
     0,
     {"X/", "X/b=newer", "X/c=new", "b=new", "c=old"},
     3,
     0},
    {"AskAnswerWithoutLineEnd", ONE_CLASH, {"@X"}, "y", 0, {"a=new", "f=1"}, 1, 0},
    {"AskEmptyInputKeeps", ONE_CLASH, {"@X"}, "", 0, {"X/", "X/a=new", "a=old", "f=1"}, 1, 0},
    {"AskOneLinePerQuestion",
     TWO_PASSES,
     {"@X"},
     "n\ny\n",
     1,
     {"X/", "X/X/", "X/X/b=newer", "X/b=new", "b=old", "c=new"},
     2,
     1},
    {"AskCrLfLines",
     TWO_PASSES,
     {"@X"},
     "n\r\ny\r\n",
     1,
     {"X/", "X/X/", "X/X/b=newer", "X/b=new", "b=old", "c=new"},
     2,
     1},
    {"AskYesIsNotRepeatedAtEndOfInput",
     TWO_PASSES,
     {"@X"},
     "y\n",
     0,
     {"X/", "X/b=newer", "X/c=new", "b=new", "c=old"},
     2,
     0},
    {"AskEndOfInputKeepsEveryLaterClash",
     TWO_PASSES,
     {"@X"},
     "",
     1,
     {"X/", "X/X/", "X/X/b=newer", "X/b=new", "X/c=new", "b=old", "c=old"},
     2,
     1},
    // The kept b is not replaced from inside, though "all" was answered after it.
    {"AskAllKeepsWhatWasKept",
     TWO_PASSES,
     {"@X"},
     "n\na\n",
     1,
     {"X/", "X/X/", "X/X/b=newer", "X/b=new", "b=old", "c=new"},
     2,
     1},
    // In a run of several folders, the question names the folder its entry comes from.
    {"AllAnsweredInTheFirstFolder",
     {"A/", "A/x=new", "B/", "B/y=new", "x=old", "y=old"},
     {"@A", "@B"},
     "a\n",
     0,
     {"x=new", "y=new"},
     1,
     0,
     "",
     "\"x\" (from \""},
    // /n: the newer file wins, by 2 seconds or more; the older stays, silently.
    {"NewerReplaces",
     ONE_CLASH,
     {"@X", "/n"},
     "",
     0,
     {"a=new", "f=1"},
     0,
     0,
     "",
     "",
     "",
     RECYCLED_A,
     {{"X/a", 3000}, {"a", 0}}},
    {"OlderIsKept",
     ONE_CLASH,
     {"@X", "/n"},
     "",
     0,
     {"X/", "X/a=new", "a=old", "f=1"},
     0,
     0,
     "",
     "",
     "",
     {},
     {{"X/a", -3000}, {"a", 0}}},
    {"OneSecondNewerIsKept",
     ONE_CLASH,
     {"@X", "/n"},
     "",
     0,
     {"X/", "X/a=new", "a=old", "f=1"},
     0,
     0,
     "",
     "",
     "",
     {},
     {{"X/a", 1000}, {"a", 0}}},
    {"JustUnderTwoSecondsNewerIsKept",
     ONE_CLASH,
     {"@X", "/n"},
     "",
     0,
     {"X/", "X/a=new", "a=old", "f=1"},
     0,
     0,
     "",
     "",
     "",
     {},
     {{"X/a", 1999}, {"a", 0}}},
    {"TwoSecondsNewerReplaces",
     ONE_CLASH,
     {"@X", "/n"},
     "",
     0,
     {"a=new", "f=1"},
     0,
     0,
     "",
     "",
     "",
     RECYCLED_A,
     {{"X/a", 2000}, {"a", 0}}},
    {"NewerInAMergedFolder",
     {"X/", "X/s/", "X/s/a=new", "X/s/b=new", "s/", "s/a=old", "s/b=old"},
     {"@X", "/n", "/m"},
     "",
     0,
     {"X/", "X/s/", "X/s/b=new", "s/", "s/a=new", "s/b=old"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/s/", "X (replaced *)/s/a=old"},
     {{"X/s/a", 5000}, {"s/a", 0}, {"X/s/b", 0}, {"s/b", 5000}}},
    // /d: a copy byte for byte goes to the Recycle Bin, unasked, whatever the mode.
    {"CopyIsNotAsked",
     {"X/", "X/a=same", "X/b=new", "a=same", "b=old"},
     {"@X", "/d"},
     "n\n",
     0,
     {"X/", "X/b=new", "a=same", "b=old"},
     1,
     0,
     "",
     "\"b\"",
     "",
     {"X (replaced *)/", "X (replaced *)/a=same"}},
    {"CopiesLetTheFolderGo",
     {"X/", "X/a=same", "a=same"},
     {"@X", "/d", "/-o"},
     "",
     0,
     {"a=same"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/a=same"}},
};

class MemoryLift : public ::testing::TestWithParam<LiftCase> {};

TEST_P(MemoryLift, LeavesTheExpectedTree) { CheckInMemory(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Rows, MemoryLift, ::testing::ValuesIn(MemoryCases),
                         [](const ::testing::TestParamInfo<LiftCase>& info) { return std::string(info.param.name); });

void CheckInMemory(const LiftCase& c) {
  MemoryDisk disk;
  MakeTree(disk, c);
  std::vector<std::string> arguments = {"dirlift"};
  for (const std::string& argument : c.arguments) arguments.push_back(Expand(argument, Root));
  const CommandLine line = ReadCommandLine(arguments);
  std::istringstream in(c.input);
  std::ostringstream out, errors;
  int status = 2;
  if (line.action == Action::Refuse) {
    errors << "dirlift: " << line.problem << "\n";
  } else {
    // The folders as the program resolves them: each under its own name.
    std::vector<ResolvedFolder> folders;
    bool resolved = true;
    for (const std::string& typed : line.folders) {
      ListedEntry self;
      std::string reason;
      if (disk.LookUpEntry(typed, self, reason) && self.folder) {
        folders.push_back({JoinPath(ParentOf(typed), self.name), self.name});
      } else {
        errors << "dirlift: cannot list " << Quoted(typed) << ": " << reason << "\n";
        resolved = false;
      }
    }
    Progress progress = StartProgress(ProgressView::Hidden, 0);
    ConsoleListener listener(in, out, errors, progress);
    RunChoice choice = line.choice;
    choice.started = "2026-12-09 10.00.00";
    const bool lifted = folders.empty() ? false : LiftFolders(folders, choice, disk, listener);
    EndProgress(progress, errors);
    status = lifted && resolved ? 0 : 1;
  }
  EXPECT_EQ(status, c.status) << errors.str();
  EXPECT_EQ(AsTree(disk.Picture(Root, false), ""), Sorted(c.after));
  EXPECT_EQ(CountOf(out.str(), Question), c.questions) << out.str();
  if (c.questions == 0) {
    EXPECT_EQ(out.str(), c.output);
  } else {
    EXPECT_NE(out.str().find(c.output), std::string::npos) << out.str();
  }
  EXPECT_EQ(CountOf(errors.str(), "\n"), c.errorLines) << errors.str();
  EXPECT_NE(errors.str().find(c.error), std::string::npos) << errors.str();
  if (!c.recycled.empty()) {
    EXPECT_EQ(AsTree(disk.BinPicture(), std::string(Root) + "\\"), Sorted(c.recycled));
  }
}
