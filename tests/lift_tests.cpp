// End-to-end runs of the real dirlift.exe on real folder trees.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "app/typed_folder.h"
#include "console/question.h"
#include "lift/lift.h"
#include "lift/paths.h"
#include "lift/windows_file_system.h"
#include "lift_case.h"
#include "platform/platform.h"
#include "preview/model.h"
#include "preview/preview.h"
#include "test_tree.h"

namespace {

const char Question[] = " does already exist. Overwrite? (Yes/No/All): ";

bool IsGuiRun(const std::vector<std::string>& arguments) {
  return std::find(arguments.begin(), arguments.end(), "gui") != arguments.end();
}

// The box a run shows: in a gui run with failures, the lines that standard
// error got (where a display lets the box appear); otherwise none.
std::string ExpectedBox(const RunResult& run, bool gui) {
  if (!gui || !HasDisplay()) return "";
  std::string lines = run.err;
  for (std::string::size_type at; (at = lines.find("\r\n")) != std::string::npos;) lines.replace(at, 2, "\n");
  if (!lines.empty() && lines.back() == '\n') lines.pop_back();
  return lines;
}

class Lift : public LiftOnce, public ::testing::WithParamInterface<LiftCase> {};

TEST_P(Lift, LeavesTheExpectedTree) {
  const LiftCase& c = GetParam();
  MakeTree(root, c.before);
  SetTimes(root, c.times);
  std::vector<std::string> arguments;
  for (const std::string& argument : c.arguments) arguments.push_back(Expand(argument, root));

  // Where no dialog can be shown, the shell is not asked at all.
  if (IsGuiRun(c.arguments) && !HasDisplay()) GTEST_SKIP() << "with no display the shell is not asked";
  // A gui run must never read standard input: it is held open, so a read would hang.
  const RunResult run = RunDirlift(arguments, c.input, JoinPath(root, c.from), IsGuiRun(c.arguments));

  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(Sorted(WithoutTimes(Snapshot(root))), Sorted(c.after));
  EXPECT_EQ(CountOf(run.out, Question), c.questions) << run.out;
  if (c.questions == 0) {
    EXPECT_EQ(run.out, c.output);
  } else {
    EXPECT_NE(run.out.find(c.output), std::string::npos) << run.out;
  }
  EXPECT_EQ(CountOf(run.err, "\n"), c.errorLines) << run.err;
  EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
  EXPECT_EQ(run.box, ExpectedBox(run, IsGuiRun(c.arguments)));
  if (!c.recycled.empty()) {
    EXPECT_EQ(Recycled(), Sorted(c.recycled));
  }
}

// A folder name long enough that the folder of replaced files in it has a path
// of 260 characters or more, which the shell does not take.
const std::string Deep(200, 'd');

const LiftCase Cases[] = {
    {"FolderNameTypedInOtherCase",
     {"Photos/", "Photos/a=1", "Photos/Photos/", "Photos/Photos/b=2"},
     {"@photos"},
     "",
     0,
     {"Photos/", "Photos/b=2", "a=1"},
     0,
     0},
    // The folder is known by its name as its parent lists it, not by the text typed.
    {"DotFromInside", HOLDS_ITS_NAME, {"."}, "", 0, HOLDS_ITS_NAME_AFTER, 0, 0, "photos"},
    {"DotAfterName", HOLDS_ITS_NAME, {"@photos\\."}, "", 0, HOLDS_ITS_NAME_AFTER, 0, 0},
    {"UpAndBackIn", HOLDS_ITS_NAME, {"..\\photos"}, "", 0, HOLDS_ITS_NAME_AFTER, 0, 0, "photos"},
    // A name that ends in a dot or a blank is that very name, never the one Windows would make of it.
    {"TrailingBlankTypedNamesNoFolder", HOLDS_ITS_NAME, {"@photos "}, "", 1, HOLDS_ITS_NAME, 0, 1},
    {"TrailingDotNamesThatFolder",
     {"P/", "P/a./", "P/a./x=1", "P/a/", "P/a/y=2"},
     {"@P\\a."},
     "",
     0,
     {"P/", "P/a/", "P/a/y=2", "P/x=1"},
     0,
     0},
    {"ThreeDotsAreNoCurrentFolder", {"X/", "X/a=1"}, {"..."}, "", 1, {"X/", "X/a=1"}, 0, 1, "X"},
    {"RootByDotIsRefused", {"a=1"}, {"C:\\."}, "", 1, {"a=1"}, 0, 1},
    {"TrailingBackslashStillFindsSameName",
     {"P/", "P/a=1", "P/P/", "P/P/b=2"},
     {"@P\\"},
     "",
     0,
     {"P/", "P/b=2", "a=1"},
     0,
     0},
    {"ForwardSlashesFindSameName", {"P/", "P/a=1", "P/P/", "P/P/b=2"}, {"@/P/"}, "", 0, {"P/", "P/b=2", "a=1"}, 0, 0},
    {"RelativePath", {"X/", "X/a=1", "X/X/", "X/X/b=2"}, {"X"}, "", 0, {"X/", "X/b=2", "a=1"}, 0, 0},
    {"RelativePathWithTrailingSlash", {"X/", "X/a=1"}, {"X/"}, "", 0, {"a=1"}, 0, 0},
    {"MissingFolderIsReported", {"a=1"}, {"@nope"}, "", 1, {"a=1"}, 0, 1},
    {"FileGivenAsFolderIsReported",
     {"f=1"},
     {"@f"},
     "",
     1,
     {"f=1"},
     0,
     1,
     "",
     "",
     "\\f\": " + platform::SystemErrorText(ERROR_DIRECTORY)},
    {"EmptyPathIsAMissingFolder", {"a=1"}, {""}, "", 2, {"a=1"}, 0, 1},
    {"ShareRootIsRefused", {"a=1"}, {"\\\\nosuchhost\\share\\"}, "", 1, {"a=1"}, 0, 1},
    {"SwitchInCapitalsDoesNothing", {"X/", "X/a=1"}, {"@X", "/O"}, "", 2, {"X/", "X/a=1"}, 0, 1},
    {"GuiInCapitalsDoesNothing", {"X/", "X/a=1"}, {"@X", "GUI"}, "", 2, {"X/", "X/a=1"}, 0, 1},
    // A word after the folder is another folder: a missing one is reported.
    {"WordAfterSwitchIsAnotherFolder", ONE_CLASH, {"@X", "/o", "@more"}, "", 1, {"a=new", "f=1"}, 0, 1},
    {"WildcardIsRefused",
     {"arch-2023/", "arch-2023/a=1", "arch-2024/", "arch-2024/b=2"},
     {"@arch*", "/o"},
     "",
     1,
     {"arch-2023/", "arch-2023/a=1", "arch-2024/", "arch-2024/b=2"},
     0,
     1},
    {"QuestionMarkIsRefused",
     {"arch-2023/", "arch-2023/a=1"},
     {"@a?ch-2023", "/o"},
     "",
     1,
     {"arch-2023/", "arch-2023/a=1"},
     0,
     1},
    {"BareDriveIsRefused", {"a=1"}, {"C:"}, "", 1, {"a=1"}, 0, 1},
    {"SwitchAloneIsNoFolder", {"m/", "m/a=1"}, {"/m"}, "", 2, {"m/", "m/a=1"}, 0, 1},
    {"ListOnlyAloneIsNoFolder", {"l/", "l/a=1"}, {"/l"}, "", 2, {"l/", "l/a=1"}, 0, 1},
    // Refusals before anything moves are failures of a preview too.
    {"PreviewOfWildcardIsRefused",
     {"arch-2023/", "arch-2023/a=1"},
     {"@arch*", "/l"},
     "",
     1,
     {"arch-2023/", "arch-2023/a=1"},
     0,
     1},
    {"ModeAloneIsNoFolder", {"a=1"}, {"/o"}, "", 2, {"a=1"}, 0, 1},
    {"MistypedSwitchAfterMerge", ONE_CLASH, {"@X", "/m", "/O"}, "", 2, ONE_CLASH, 0, 1},
    {"DashSwitchAfterMerge", ONE_CLASH, {"@X", "/m", "-o"}, "", 2, ONE_CLASH, 0, 1},
    {"MistypedSwitchBeforeMerge", ONE_CLASH, {"@X", "/O", "/m"}, "", 2, ONE_CLASH, 0, 1},
    {"CaseTwinsGui", CASE_TWINS, {"@X", "gui"}, "", 1, CASE_TWINS_AFTER, 0, 1},
    {"FileAndFolderGui", FILE_AND_FOLDER, {"@X", "gui"}, "", 1, FILE_AND_FOLDER_AFTER, 0, 2},
    {"OddNamesOverwriteAll",
     ODD_NAMES,
     {"@X", "/o"},
     "",
     0,
     {"a.=new", "b =new", "CON=new", "nul.txt=1", "aux.c=2"},
     0,
     0},
    {"OddNamesKeepExisting",
     ODD_NAMES,
     {"@X", "/-o"},
     "",
     0,
     {"X/", "X/a.=new", "X/CON=new", "a.=old", "b =new", "CON=old", "nul.txt=1", "aux.c=2"},
     0,
     0},
    {"OddNamesAsked",
     ODD_NAMES,
     {"@X"},
     "y\nn\n",
     0,
     {"X/", "X/CON=new", "a.=new", "b =new", "CON=old", "nul.txt=1", "aux.c=2"},
     2,
     0},
    {"ExtendedPathTyped", ONE_CLASH, {"?@X", "/o"}, "", 0, {"a=new", "f=1"}, 0, 0},
    // The shell takes plain paths: an odd name stays, reported; the rest is batched.
    {"GuiOddNamesClash",
     {"X/", "X/a.=new", "X/CON=new", "X/c=new", "X/ok=1", "a.=old", "CON=old", "c=old"},
     {"@X", "gui"},
     "",
     1,
     {"X/", "X/a.=new", "X/CON=new", "a.=old", "CON=old", "c=new", "ok=1"},
     0,
     2},
    {"MergeKeepBoth",
     MERGE,
     {"@X", "/r", "/m"},
     "",
     0,
     {"src/", "src/a (2).js=new", "src/a.js=old", "src/bin (2)=new", "src/bin/", "src/bin/x=1", "src/keep=1",
      "src/lib/", "src/lib/only=1", "src/lib/u (2).js=new", "src/lib/u.js=old", "top=1"},
     0,
     0,
     "",
     "\"src\\a.js\" -> \"src\\a (2).js\"\r\n\"src\\bin\" -> \"src\\bin (2)\"\r\n"
     "\"src\\lib\\u.js\" -> \"src\\lib\\u (2).js\"\r\n"},
    {"MergeIntoLinkIsNoMerge",
     {"X/", "X/d/", "X/d/f=1", "target/", "target/g=2", "d@target"},
     {"@X", "/-o", "/m"},
     "",
     0,
     {"X/", "X/d/", "X/d/f=1", "d@", "target/", "target/g=2"},
     0,
     0},
    {"MergeIntoLinkIsReported",
     {"X/", "X/d/", "X/d/f=1", "target/", "target/g=2", "d@target"},
     {"@X", "/o", "/m"},
     "",
     1,
     {"X/", "X/d/", "X/d/f=1", "d@", "target/", "target/g=2"},
     0,
     1,
     "",
     "",
     "a junction or symbolic link of that name is in the way, and links are never merged into"},
    {"MergeSwitchAcceptedInGui", ONE_CLASH, {"@X", "gui", "/m"}, "", 0, {"a=new", "f=1"}, 0, 0},
    // Keep both: a clashing entry moves up under the first free numbered name.
    {"KeepBothNumbersPastATakenName",
     {"X/", "X/report.doc=new", "X/.gitignore=new", "X/d/", "X/d/f=1", "report.doc=old", "Report (2).doc=2",
      ".gitignore=old", "d/"},
     {"@X", "/r"},
     "",
     0,
     {".gitignore (2)=new", ".gitignore=old", "Report (2).doc=2", "d (2)/", "d (2)/f=1", "d/", "report (3).doc=new",
      "report.doc=old"},
     0,
     0,
     "",
     "\".gitignore\" -> \".gitignore (2)\"\r\n\"d\" -> \"d (2)\"\r\n"
     "\"report.doc\" -> \"report (3).doc\"\r\n"},
    {"CaseTwinsKeepBoth",
     CASE_TWINS,
     {"@X", "/r"},
     "",
     0,
     {"Makefile=1", "makefile (2)=2"},
     0,
     0,
     "",
     "\"makefile\" -> \"makefile (2)\"\r\n"},
    {"TwoModesDoNothing", ONE_CLASH, {"@X", "/o", "/-o"}, "", 2, ONE_CLASH, 0, 1},
    // A folder onto a folder is no merge without /m: here /m comes after another argument.
    {"SwitchAfterAWordStillCounts",
     {"X/", "X/d/", "X/d/f=1", "d/", "d/g=2"},
     {"@X", "/o", "@more", "/m"},
     "",
     1,
     {"d/", "d/f=1", "d/g=2"},
     0,
     1},
    {"NamesWithSpacesAndDots",
     {"X/", "X/my file.txt=1", "X/.dotfile=2", "X/.config/", "X/.config/c=3", "X/a.b.c=4", "X/..two=5"},
     {"@X"},
     "",
     0,
     {"my file.txt=1", ".dotfile=2", ".config/", ".config/c=3", "a.b.c=4", "..two=5"},
     0,
     0},
    // The replaced files that cannot go to the Recycle Bin stay in the parent, named.
    {"ReplacedFilesKeptWhereTheShellCannotReach",
     {Deep + "/", Deep + "/X/", Deep + "/X/a=new", Deep + "/a=old"},
     {"@" + Deep + "\\X", "/o"},
     "",
     1,
     {Deep + "/", Deep + "/X (replaced *)/", Deep + "/X (replaced *)/a=old", Deep + "/a=new"},
     0,
     1,
     "",
     "",
     "to the Recycle Bin: the shell takes no path of 260 characters or more; the replaced files are kept there"},

    {"GuiWithoutClash", {"X/", "X/a=1", "X/s/", "X/s/f=2"}, {"@X", "gui"}, "", 0, {"a=1", "s/", "s/f=2"}, 0, 0},
    // Names outside any one code page; "caf\xc3\xa9" is precomposed, "cafe\xcc\x81"
    // the same word with a combining accent: two different names. LONG_CJK_NAME
    // is as long as a Linux file system allows.
    {"NamesInAnyScript",
     {"X/", "X/Ελληνικά.txt=1", "X/Кириллица=2", "X/日本語.txt=3", "X/emoji 😀=4", "X/caf\xc3\xa9=5", "X/cafe\xcc\x81=6",
      "X/目录/", "X/目录/文件=7", "X/" LONG_CJK_NAME "=8"},
     {"@X"},
     "",
     0,
     {"Ελληνικά.txt=1", "Кириллица=2", "日本語.txt=3", "emoji 😀=4", "caf\xc3\xa9=5", "cafe\xcc\x81=6", "目录/",
      "目录/文件=7", LONG_CJK_NAME "=8"},
     0,
     0},
    {"SameNameFolderInAnyScript",
     {"照片/", "照片/a=1", "照片/照片/", "照片/照片/b=2"},
     {"@照片"},
     "",
     0,
     {"照片/", "照片/b=2", "a=1"},
     0,
     0},

    // Wine's shell, with no display, answers its own replace questions with yes.
    {"GuiThreeClashesAmongTenEntries",
     {"X/", "X/a=new", "X/b=1", "X/c=new", "X/d/", "X/d/f=2", "X/e=3", "X/g=4", "X/h=5", "X/i=6", "X/j=new", "X/k=7",
      "a=old", "c=old", "j=old"},
     {"@X", "gui"},
     "",
     0,
     {"a=new", "b=1", "c=new", "d/", "d/f=2", "e=3", "g=4", "h=5", "i=6", "j=new", "k=7"},
     0,
     0},
    {"GuiDescentAfterShellMove", TWO_PASSES, {"@X", "gui"}, "", 0, {"X/", "X/b=newer", "b=new", "c=new"}, 0, 0},
    {"GuiRelativePath", ONE_CLASH, {"X", "gui"}, "", 0, {"a=new", "f=1"}, 0, 0},
    {"GuiForwardSlashesAndDoubledSeparator", ONE_CLASH, {"@/X//", "gui"}, "", 0, {"a=new", "f=1"}, 0, 0},

    // The first argument is the folder: a switch there is never taken for one,
    // "gui" is, and a folder whose name starts with "-" is given as .\-name.
    {"FolderNamedGui", {"gui/", "gui/a=1"}, {"gui"}, "", 0, {"a=1"}, 0, 0},
    {"FolderNamedLikeASwitch", {"-o/", "-o/a=1"}, {".\\-o", "/-o"}, "", 0, {"a=1"}, 0, 0},
    {"DashSwitchWhereTheFolderShouldBe",
     {"-o/", "-o/a=1", "X/", "X/b=2"},
     {"-o", "@X"},
     "",
     2,
     {"-o/", "-o/a=1", "X/", "X/b=2"},
     0,
     1,
     "",
     "",
     "dirlift: unknown switch \"-o\""},
    {"MistypedSwitchWhereTheFolderShouldBe",
     {"X/", "X/a=1"},
     {"/O", "@X"},
     "",
     2,
     {"X/", "X/a=1"},
     0,
     1,
     "",
     "",
     "dirlift: unknown switch \"/O\""},
    {"DosWildcardIsRefused",
     {"arch-2023/", "arch-2023/a=1"},
     {"@arch-202<", "/o"},
     "",
     1,
     {"arch-2023/", "arch-2023/a=1"},
     0,
     1,
     "",
     "",
     "wildcards"},
    // The same line as the lift's, and the same status.
    {"PreviewOfAFileIsRefused",
     {"f=1"},
     {"@f", "/l"},
     "",
     1,
     {"f=1"},
     0,
     1,
     "",
     "",
     "\\f\": " + platform::SystemErrorText(ERROR_DIRECTORY)},
    // The file set aside cannot go back (a.txt's case twin took its name): the
    // folder of replaced files stays in view, named.
    {"FileNotPutBackKeepsTheReplacedFiles",
     {"X/", "X/a.txt=new", "a.txt=old", "A.TXT=other"},
     {"@X", "/o"},
     "",
     1,
     {"X/", "X/a.txt=new", "A.TXT=other", "X (replaced *)/", "X (replaced *)/a.txt=old"},
     0,
     2,
     "",
     "",
     "the replaced files stay in \""},
    // Several folders in one run, in the order given: one mode, one "all".
    {"ThreeFoldersOneMissing",
     {"F/", "F/a=new", "G/", "G/b=new", "a=old", "b=old"},
     {"@F", "@missing", "@G", "/o"},
     "",
     1,
     {"a=new", "b=new"},
     0,
     1,
     "",
     "",
     "missing",
     {"F (replaced *)/", "F (replaced *)/a=old", "G (replaced *)/", "G (replaced *)/b=old"}},
    {"PreviewOfTwoFolders",
     {"F/", "F/a=1", "G/", "G/b=2"},
     {"@F", "@G", "/l"},
     "",
     0,
     {"F/", "F/a=1", "G/", "G/b=2"},
     0,
     0,
     "",
     "move \"a\"\r\nremove \"F\"\r\nmove \"b\"\r\nremove \"G\"\r\n"
     "preview: 2 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"},
    // /p shows the preview and asks once: no and the end of input change nothing.
    {"PromptFirstNoChangesNothing",
     ONE_CLASH,
     {"@X", "/o", "/p"},
     "n\n",
     0,
     ONE_CLASH,
     0,
     0,
     "",
     "replace \"a\"\r\nmove \"f\"\r\nremove \"X\"\r\n"
     "preview: 1 move, 1 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"
     "Go ahead? (Yes/No): "},
    {"PromptFirstEndOfInputIsNo",
     ONE_CLASH,
     {"@X", "/p", "/o"},
     "maybe\nall\n",
     0,
     ONE_CLASH,
     0,
     0,
     "",
     "replace \"a\"\r\nmove \"f\"\r\nremove \"X\"\r\n"
     "preview: 1 move, 1 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"
     "Go ahead? (Yes/No): Go ahead? (Yes/No): Go ahead? (Yes/No): "},
    // Yes runs the lift, which asks its own questions.
    {"PromptFirstYesStillAsksTheClash",
     ONE_CLASH,
     {"@X", "/p"},
     "yes\ny\n",
     0,
     {"a=new", "f=1"},
     1,
     0,
     "",
     "Go ahead? (Yes/No): \"a\""},
    {"PromptFirstNothingMovesAsksNothing",
     {"X/", "X/a=new", "a=old"},
     {"@X", "/-o", "/p"},
     "y\n",
     0,
     {"X/", "X/a=new", "a=old"},
     0,
     0,
     "",
     "nothing would move, so nothing was asked and nothing changed\r\n"},
    // A folder refused is said once, by the preview; the other is lifted.
    {"PromptFirstRefusalSaidOnce",
     {"X/", "X/f=1"},
     {"@X", "@nope", "/p"},
     "y\n",
     1,
     {"f=1"},
     0,
     1,
     "",
     "move \"f\"\r\nremove \"X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"
     "Go ahead? (Yes/No): ",
     "nope"},
    {"FolderGivenTwice", {"F/", "F/a=1"}, {"@F", "@F"}, "", 1, {"a=1"}, 0, 1, "", "", "which this run lifts before it"},
    {"FolderInsideAnEarlierOne", {"A/", "A/B/", "A/B/b=1"}, {"@A", "@A\\B"}, "", 1, {"B/", "B/b=1"}, 0, 1},
    // The other way round, each is lifted in turn; the preview runs them on one model as the run does.
    {"FolderThenTheFolderHoldingIt",
     {"B/", "B/C/", "B/C/x=1", "B/y=2"},
     {"@B\\C", "@B", "/o"},
     "",
     0,
     {"x=1", "y=2"},
     0,
     0},
    {"PreviewOfAFolderThenTheFolderHoldingIt",
     {"B/", "B/C/", "B/C/x=1", "B/y=2"},
     {"@B\\C", "@B", "/o", "/l"},
     "",
     0,
     {"B/", "B/C/", "B/C/x=1", "B/y=2"},
     0,
     0,
     "",
     "move \"x\"\r\nremove \"C\"\r\nmove \"x\"\r\nmove \"y\"\r\nremove \"B\"\r\n"
     "preview: 3 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"},
    {"CopyAndAClashOverwritten",
     {"X/", "X/a=same", "X/b=new", "a=same", "b=old"},
     {"@X", "/o", "/d"},
     "",
     0,
     {"a=same", "b=new"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/a=same", "X (replaced *)/b=old"}},
    {"SameSizeOtherBytesIsAClash",
     {"X/", "X/a=abc", "a=abd"},
     {"@X", "/d", "/-o"},
     "",
     0,
     {"X/", "X/a=abc", "a=abd"},
     0,
     0},
    // Chains with /s: lifted innermost first, all the way down.
    {"ChainLiftedAllTheWayDown",
     {"X/", "X/Y/", "X/Y/Z/", "X/Y/Z/a=1", "X/Y/Z/b=2"},
     {"@X", "/s"},
     "",
     0,
     {"a=1", "b=2"},
     0,
     0},
    {"SameNameChainLiftedAllTheWayDown",
     {"X/", "X/X/", "X/X/X/", "X/X/X/a=1", "X/X/X/b=2"},
     {"@X", "/s"},
     "",
     0,
     {"a=1", "b=2"},
     0,
     0},
    {"ChainEndsAtASecondEntry",
     {"X/", "X/Y/", "X/Y/Z/", "X/Y/Z/z=3", "X/Y/f=1"},
     {"@X", "/s"},
     "",
     0,
     {"Z/", "Z/z=3", "f=1"},
     0,
     0},
    // Under Wine a link's move moves its target: the preview shows the link is not followed.
    {"ChainEndsAtALink",
     {"target/", "target/t=1", "X/", "X/L@target"},
     {"@X", "/s", "/l"},
     "",
     0,
     {"X/", "X/L@", "target/", "target/t=1"},
     0,
     0,
     "",
     "move \"L\"\r\nremove \"X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail; nothing was changed\r\n"},
    // Flatten: level by level, the shallower file first; /f:N moves level N up whole.
    {"FlattenEveryLevelShallowerFirst",
     {"X/", "X/a=1", "X/s/", "X/s/a=2", "X/s/t/", "X/s/t/a=3", "X/e/"},
     {"@X", "/f", "/r"},
     "",
     0,
     {"a=1", "a (2)=2", "a (3)=3"},
     0,
     0,
     "",
     "\"s\\a\" -> \"a (2)\"\r\n\"s\\t\\a\" -> \"a (3)\"\r\n"},
    {"FlattenTwoLevelsTheThirdComesWhole",
     {"X/", "X/s/", "X/s/b=1", "X/s/t/", "X/s/t/c=2"},
     {"@X", "/f:2"},
     "",
     0,
     {"b=1", "t/", "t/c=2"},
     0,
     0},
    {"FlattenOneLevelIsALift",
     {"X/", "X/s/", "X/s/b=1", "X/X/", "X/X/c=2"},
     {"@X", "/f:1"},
     "",
     0,
     {"X/", "X/c=2", "s/", "s/b=1"},
     0,
     0},
    {"FlattenAsksForADeeperFile",
     {"X/", "X/in/", "X/in/r.txt=new", "r.txt=old"},
     {"@X", "/f"},
     "y\n",
     0,
     {"r.txt=new"},
     1,
     0,
     "",
     "\"r.txt\" (from \"in\\r.txt\")" + std::string(Question),
     "",
     {"X (replaced *)/", "X (replaced *)/r.txt=old"}},
    // Nothing the run moved up is replaced by it: /o reports, /-o keeps, /d drops a copy.
    {"FlattenOverwriteMeetsANameTheRunMade",
     {"X/", "X/a=1", "X/s/", "X/s/a=2"},
     {"@X", "/f", "/o"},
     "",
     1,
     {"a=1", "X/", "X/s/", "X/s/a=2"},
     0,
     1,
     "",
     "",
     "a file of that name came up from \"X\" in this run"},
    {"FlattenKeepExistingKeepsTheDeeperFile",
     {"X/", "X/s/", "X/s/t/", "X/s/t/a=new", "X/s/b=1", "a=old"},
     {"@X", "/f", "/-o"},
     "",
     0,
     {"a=old", "b=1", "X/", "X/s/", "X/s/t/", "X/s/t/a=new"},
     0,
     0},
    {"FlattenDropsACopyOfWhatCameUp",
     {"X/", "X/a=same", "X/s/", "X/s/a=same"},
     {"@X", "/f", "/d"},
     "",
     0,
     {"a=same"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/X/", "X (replaced *)/X/s/", "X (replaced *)/X/s/a=same"}},
    {"FlattenMergesIntoAFolderItMovedUp",
     {"X/", "X/a/", "X/a/p/", "X/a/p/x=1", "X/b/", "X/b/p/", "X/b/p/x=3", "X/b/p/y=2"},
     {"@X", "/f:2", "/m", "/-o"},
     "",
     0,
     {"p/", "p/x=1", "p/y=2", "X/", "X/b/", "X/b/p/", "X/b/p/x=3"},
     0,
     0},
    // A folder of the folder's own name is dissolved at any depth; a file of that name stays.
    {"FlattenDissolvesItsOwnName",
     {"X/", "X/X/", "X/X/a=1", "X/b/", "X/b/X/", "X/b/X/c=2"},
     {"@X", "/f:2"},
     "",
     0,
     {"a=1", "c=2"},
     0,
     0},
    {"FlattenLeavesAFileOfItsOwnName",
     {"X/", "X/s/", "X/s/X=1", "X/s/b=2"},
     {"@X", "/f", "/r"},
     "",
     1,
     {"b=2", "X/", "X/s/", "X/s/X=1"},
     0,
     1,
     "",
     "",
     "named like the folder flattened"},
    // Under Wine a link's move moves its target: the preview shows the link is not dissolved.
    {"FlattenKeepsALinkWhole",
     {"target/", "target/t=1", "X/", "X/s/", "X/s/L@target"},
     {"@X", "/f", "/l"},
     "",
     0,
     {"X/", "X/s/", "X/s/L@", "target/", "target/t=1"},
     0,
     0,
     "",
     "move \"s\\L\"\r\nremove \"s\"\r\nremove \"X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail, 0 recycle; nothing was "
     "changed\r\n"},
    {"FlattenRemovesEmptyFolders", {"X/", "X/e/", "X/f/", "X/f/g/", "keep=k"}, {"@X", "/f"}, "", 0, {"keep=k"}, 0, 0},
    {"FlattenBadLevelDoesNothing",
     {"X/", "X/s/", "X/s/a=1"},
     {"@X", "/f:0"},
     "",
     2,
     {"X/", "X/s/", "X/s/a=1"},
     0,
     1,
     "",
     "",
     "bad level \"0\""},
    {"FlattenWithChainsDoesNothing",
     {"X/", "X/s/", "X/s/a=1"},
     {"@X", "/f", "/s"},
     "",
     2,
     {"X/", "X/s/", "X/s/a=1"},
     0,
     1},
    // Two folders: a later one never replaces what an earlier one moved up.
    {"FlattenTwoFolders",
     {"A/", "A/s/", "A/s/x=1", "B/", "B/t/", "B/t/x=2", "B/t/y=3"},
     {"@A", "@B", "/f", "/o"},
     "",
     1,
     {"x=1", "y=3", "B/", "B/t/", "B/t/x=2"},
     0,
     1,
     "",
     "",
     "\\A\\s\" in this run"},
    // /n keeps what another folder of the run brought up, and keeps (or with /m merges) a folder meeting a folder.
    {"NewerKeepsWhatAnotherFolderBroughtUp",
     {"A/", "A/x=A", "B/", "B/x=B"},
     {"@A", "@B", "/n"},
     "",
     0,
     {"B/", "B/x=B", "x=A"},
     0,
     0},
    {"NewerKeepsAFolderMeetingAFolder",
     {"X/", "X/d/", "X/d/f=1", "d/"},
     {"@X", "/n"},
     "",
     0,
     {"X/", "X/d/", "X/d/f=1", "d/"},
     0,
     0},
    {"NewerMergesAFolderWithM", {"X/", "X/d/", "X/d/f=1", "d/"}, {"@X", "/n", "/m"}, "", 0, {"d/", "d/f=1"}, 0, 0},
    // What went to the shell's batch came up in this run; a copy never reaches the shell.
    {"GuiBatchedEntryIsNotReplacedByALaterFolder",
     {"A/", "A/x=A", "B/", "B/x=B", "x=old"},
     {"@A", "@B", "gui"},
     "",
     1,
     {"B/", "B/x=B", "x=A"},
     0,
     1,
     "",
     "",
     "came up from \""},
    {"GuiDropsACopyBeforeTheShell",
     {"X/", "X/a=same", "X/b=new", "a=same", "b=old"},
     {"@X", "gui", "/d"},
     "",
     0,
     {"a=same", "b=new"},
     0,
     0,
     "",
     "",
     "",
     {"X (replaced *)/", "X (replaced *)/a=same"}},
    {"LaterFolderDoesNotReplaceAnEarlierOnes",
     {"A/", "A/x=1", "B/", "B/x=2"},
     {"@A", "@B", "/o"},
     "",
     1,
     {"x=1", "B/", "B/x=2"},
     0,
     1,
     "",
     "",
     "came up from \""},
    {"FlattenGuiBatchesEachLevel",
     {"X/", "X/a=new", "X/s/", "X/s/b=new", "a=old", "b=old"},
     {"@X", "/f", "gui"},
     "",
     0,
     {"a=new", "b=new"},
     0,
     0},
    // "Keep both" shortens a long stem: the new name is one NTFS holds.
    {"KeepBothLongName",
     {"X/", "X/" + std::string(248, 'r') + ".txt=new", std::string(248, 'r') + ".txt=old"},
     {"@X", "/r"},
     "",
     0,
     {std::string(248, 'r') + ".txt=old", std::string(247, 'r') + " (2).txt=new"},
     0,
     0,
     "",
     "\"" + std::string(248, 'r') + ".txt\" -> \"" + std::string(247, 'r') + " (2).txt\"\r\n"},
};

// A name that is another entry's 8.3 short name stands for that entry in every
// path, but is no clash: nothing is replaced, asked or handed to the shell.
struct AliasCase {
  const char* name;
  const char* mode;  // the switch, or "" for none
  const char* input;
};

class ShortNameAlias : public LiftOnce, public ::testing::WithParamInterface<AliasCase> {};

TEST_P(ShortNameAlias, ReplacesNothingAndIsReported) {
  const char precious[] = "Report 2023 final.doc";
  MakeTree(root, {std::string(precious) + "=PRECIOUS", "X/", "X/other=1"});
  char shortPath[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((root + "\\" + precious).c_str(), shortPath, MAX_PATH), 0u);
  const std::string shortPathText = shortPath;
  const std::string alias = shortPathText.substr(shortPathText.find_last_of('\\') + 1);
  if (alias == precious) GTEST_SKIP() << "this volume keeps no short names";
  MakeTree(root, {"X/" + alias + "=new"});

  std::vector<std::string> arguments = {root + "\\X"};
  if (*GetParam().mode) arguments.push_back(GetParam().mode);
  const RunResult run = RunDirlift(arguments, GetParam().input, root, IsGuiRun(arguments));

  EXPECT_EQ(run.box, ExpectedBox(run, IsGuiRun(arguments)));
  if (std::string(GetParam().mode) == "/l") {
    // The preview's model knows short names as Windows does.
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Snapshot(root), Sorted({std::string(precious) + "=PRECIOUS", "X/", "X/" + alias + "=new", "X/other=1"}));
    EXPECT_EQ(run.out.substr(0, run.out.find("preview:")), "move \"other\"\r\nfail \"" + alias +
                                                               "\": the name is the short name of \"" + precious +
                                                               "\"\r\nstay \"X\"\r\n");
    return;
  }
  if (std::string(GetParam().mode) == "/r") {
    // Keep both replaces nothing either: the entry goes up under a new name.
    const std::string::size_type dot = alias.find_last_of('.');
    const std::string renamed = alias.substr(0, dot) + " (2)" + alias.substr(dot);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Snapshot(root), Sorted({std::string(precious) + "=PRECIOUS", renamed + "=new", "other=1"}));
    EXPECT_EQ(run.out, "\"" + alias + "\" -> \"" + renamed + "\"\r\n");
    return;
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Snapshot(root), Sorted({std::string(precious) + "=PRECIOUS", "X/", "X/" + alias + "=new", "other=1"}));
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "dirlift: cannot move \"" + root + "\\X\\" + alias + "\" up: the name is the short name of \"" +
                         precious + "\"\r\n");
}

const AliasCase AliasCases[] = {
    {"OverwriteAll", "/o", ""}, {"AnsweredYes", "", "y\n"}, {"Gui", "gui", ""},
    {"KeepBoth", "/r", ""},     {"Preview", "/l", ""},
};

void PrintTo(const AliasCase& c, std::ostream* out) { *out << c.name; }

// After a first clash the parent's names are known, and a name they hold is
// looked up before its move: a short name among them still replaces nothing.
TEST_F(LiftOnce, ShortNameAliasAfterAClashReplacesNothing) {
  const char precious[] = "Report 2023 final.doc";
  MakeTree(root, {std::string(precious) + "=PRECIOUS", "c=old", "A/", "A/c=new", "X/"});
  char shortPath[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((root + "\\" + precious).c_str(), shortPath, MAX_PATH), 0u);
  const std::string alias = NameOf(shortPath);
  if (alias == precious) GTEST_SKIP() << "this volume keeps no short names";
  MakeTree(root, {"X/" + alias + "=new"});

  const RunResult run = RunDirlift({root + "\\A", root + "\\X", "/o"}, "", root);

  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Snapshot(root), Sorted({std::string(precious) + "=PRECIOUS", "c=new", "X/", "X/" + alias + "=new"}));
  EXPECT_EQ(run.err, "dirlift: cannot move \"" + root + "\\X\\" + alias + "\" up: the name is the short name of \"" +
                         precious + "\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Runs, ShortNameAlias, ::testing::ValuesIn(AliasCases),
                         [](const ::testing::TestParamInfo<AliasCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Runs, Lift, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<LiftCase>& info) { return std::string(info.param.name); });

TEST_F(LiftOnce, NoArgumentOrHelpPrintsUsage) {
  MakeTree(root, {"X/", "X/a=1"});
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"/?"}, {root + "\\X", "/?"}}) {
    const RunResult run = RunDirlift(arguments, "", root);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Syntax: dirlift <path> [<path> ...] [/o | /-o | /r | /n | gui] [/m] [/d] [/f | /f:N | /s] [/l | /p] "
              "[/u]\r\n\r\n"
              "\t/o\tOverwrite all existing files\r\n"
              "\t/-o\tDon't overwrite existing files\r\n"
              "\t/r\tKeep both: move a clashing entry up under a new name\r\n"
              "\t/n\tKeep the newer file: replace only by one 2 seconds newer or more\r\n"
              "\t/m\tMerge a clashing folder into the folder of its name (with a mode)\r\n"
              "\tgui\tHand the clashes to the Windows shell's dialogs, with undo\r\n"
              "\t/d\tLet an identical copy go to the Recycle Bin, with any mode\r\n"
              "\t/f\tFlatten: lift the entries of every subfolder, at every level\r\n"
              "\t/f:N\tFlatten N levels (1 to 99): the folders at level N move up whole\r\n"
              "\t/s\tLift a chain of single folders all the way down\r\n"
              "\t/l\tList what the lift would do, and change nothing\r\n"
              "\t/p\tShow what the lift will do, then ask once before doing it\r\n"
              "\t/u\tUndo the newest lift (of <path>, where given), replaced files included\r\n");
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(Snapshot(root), Tree({"X/", "X/a=1"}));
}

// A quoted path with a trailing backslash after the first swallows no switch:
// "/l" stays a switch, and nothing moves.
TEST_F(LiftOnce, QuotedPathWithTrailingBackslashAfterTheFirst) {
  MakeTree(root, {"A/", "A/a=1", "B C/", "B C/b=2"});
  const RunResult run = RunProgram("\"" + FolderOfThisExecutable() + "\\dirlift.exe\" A \"B C\\\" /l", "", root);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(CountOf(run.out, "move \""), 2u) << run.out;
  EXPECT_EQ(Snapshot(root), Sorted({"A/", "A/a=1", "B C/", "B C/b=2"}));
}

TEST_F(LiftOnce, QuestionNamesTheEntryExactly) {
  MakeTree(root, {"X/", "X/my file.txt=new", "my file.txt=old"});
  const RunResult run = RunDirlift({root + "\\X"}, "n\n", root);
  EXPECT_EQ(run.out, "\"my file.txt\" does already exist. Overwrite? (Yes/No/All): ");
}

// The code page that dirlift runs with: the system's, as it has no manifest entry for one.
std::string SystemAnsiCodePage() {
  char value[16] = "";
  DWORD size = sizeof value;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Nls\\CodePage", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return "";
  RegQueryValueExA(key, "ACP", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return value;
}

TEST_F(LiftOnce, QuestionShowsANameInAnyScriptAsItIs) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the tests need UTF-8 as their code page";
  // Names in any script must not depend on the code page: dirlift runs with one
  // that cannot hold them (this and the names cases would pass by chance otherwise).
  const std::string systemCodePage = SystemAnsiCodePage();
  ASSERT_NE(systemCodePage, "");
  ASSERT_NE(systemCodePage, "65001");
  MakeTree(root, {"X/", "X/日本語 ✓.txt=new", "日本語 ✓.txt=old"});
  const RunResult run = RunDirlift({root + "\\X"}, "y\n", root);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "\"日本語 ✓.txt\" does already exist. Overwrite? (Yes/No/All): ");
  EXPECT_EQ(Snapshot(root), Tree({"日本語 ✓.txt=new"}));
}

TEST_F(LiftOnce, FileNamedLikeItsFolderIsNamedInTheError) {
  MakeTree(root, {"X/", "X/X=1"});
  const RunResult run = RunDirlift({root + "\\X"}, "", root);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "dirlift: cannot lift \"" + root + "\\X\\X\": it is a file named like its folder, so both stay\r\n");
}

TEST_F(LiftOnce, SameNameLinkIsNotFollowed) {
  MakeTree(root, {"P/", "P/keep=1", "P/X/", "P/X/f=2"});
  // X\X leads back to P: following it would lift P's entries out of P.
  if (!MakeFolderLink(root + "\\P\\X\\X", root + "\\P")) GTEST_SKIP() << "no symbolic links here";
  const RunResult run = RunDirlift({root + "\\P\\X"}, "", root);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Snapshot(root), Tree({"P/", "P/X/", "P/X/X@", "P/f=2", "P/keep=1"}));
  EXPECT_EQ(run.err, "dirlift: cannot lift \"" + root +
                         "\\P\\X\\X\": it is a junction or symbolic link named like its folder, so both stay\r\n");
}

// Enough entries for a lift to last some seconds under Wine, so that its
// progress shows: 3,000 files in X, each holding its own number.
const int ManyEntries = 3000;
const char ManyEntriesCount[] = " of 3,000 entries";

Tree ManyFiles(const std::string& prefix, const std::string& mark = "") {
  Tree files;
  for (int i = 0; i < ManyEntries; ++i)
    files.push_back(prefix + "f" + std::to_string(i) + "=" + mark + std::to_string(i));
  return files;
}

// What a snapshot holds, wherever in X or its parent each file ended up.
Tree WithoutFolder(const Tree& tree, const std::string& folder) {
  Tree files;
  for (const std::string& entry : tree)
    if (entry != folder) files.push_back(entry.rfind(folder, 0) == 0 ? entry.substr(folder.size()) : entry);
  return Sorted(files);
}

class GuiProgress : public LiftOnce, public ::testing::WithParamInterface<bool> {};

// The shell's progress dialog shows the count; Cancel stops the run cleanly.
TEST_P(GuiProgress, ShowsTheCountAndCancelStopsCleanly) {
  if (!HasDisplay()) GTEST_SKIP() << "the dialog needs a display";
  const bool cancel = GetParam();
  MakeTree(root, {"X/"});
  MakeTree(root, ManyFiles("X/"));

  std::string shown;
  bool cancelled = false;
  const RunResult run = RunDirlift({root + "\\X", "gui"}, "", root, true, [&](DWORD processId) {
    const HWND dialog = DirliftWindow(processId, true);
    if (dialog == nullptr) return;
    const std::string text = StaticTextOf(dialog);
    if (text.find(ManyEntriesCount) != std::string::npos) shown = text;
    if (cancel && !cancelled) {
      if (const HWND button = FindWindowExA(dialog, nullptr, "Button", nullptr))
        cancelled = PostMessageA(button, BM_CLICK, 0, 0) != 0;
    }
  });

  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.box, "");
  EXPECT_NE(shown, "") << "no progress dialog showed the count";
  const Tree after = Snapshot(root);
  EXPECT_EQ(WithoutFolder(after, "X/"), Sorted(ManyFiles("")));  // nothing lost
  const auto stayed =
      std::count_if(after.begin(), after.end(), [](const std::string& entry) { return entry.rfind("X/", 0) == 0; });
  if (cancel) {
    EXPECT_GT(stayed, 0) << "the cancel came too late to leave anything";
    EXPECT_LT(stayed, ManyEntries) << "nothing was lifted before the cancel";
  } else {
    EXPECT_EQ(stayed, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, GuiProgress, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Cancelled" : "ToTheEnd");
                         });

// Explorer starts one dirlift per selected folder, so two lifts may race for
// the same names in one parent. Whichever wins a name, it ends in the parent
// once, the other entry stays in its folder, and a clash lost in the race is
// kept like any other: no failure.
TEST_F(LiftOnce, TwoLiftsIntoOneParentAtOnce) {
  MakeTree(root, {"A/", "B/"});
  MakeTree(root, ManyFiles("A/", "A"));
  MakeTree(root, ManyFiles("B/", "B"));

  RunResult second = {-1, "", "", ""};
  const DWORD start = GetTickCount();
  // B starts while A runs: the first look at A starts it, and waits for it.
  // How far they interleave is up to the system; the outcome must not be.
  const RunResult first = RunDirlift({root + "\\A", "/-o"}, "", root, false, [&](DWORD) {
    if (second.status == -1) second = RunDirlift({root + "\\B", "/-o"}, "", root);
  });
  const DWORD lasted = GetTickCount() - start;

  for (const RunResult& run : {first, second}) {
    EXPECT_EQ(run.status, 0);
    // Standard error is a file here: no status line reaches it, though the
    // runs last long enough for one to show on a console.
    EXPECT_EQ(run.err, "");
  }
  EXPECT_GT(lasted, 1000u) << "too short a run to show that no status line reaches a file";
  const Tree after = Snapshot(root);
  const std::set<std::string> entries(after.begin(), after.end());
  for (int i = 0; i < ManyEntries; ++i) {
    const std::string name = "f" + std::to_string(i), number = std::to_string(i);
    const bool inA = entries.count("A/" + name + "=A" + number) != 0;
    const bool inB = entries.count("B/" + name + "=B" + number) != 0;
    EXPECT_NE(inA, inB) << name << " should stay in exactly one of A and B";
    EXPECT_EQ(entries.count(name + "=" + (inA ? "B" : "A") + number), 1u) << name;
  }
}

// Explorer's menu hands an elevated dirlift "N:\..." on a drive mapped in the
// user's own session, which an elevated program does not see. The user's
// persistent mapping (here to the test folder) leads to the folder.
TEST_F(LiftOnce, MappedDriveIsReachedThroughItsMapping) {
  char letter = 0;
  for (char candidate = 'Y'; candidate > 'D' && letter == 0; --candidate)
    if ((GetLogicalDrives() & (1UL << (candidate - 'A'))) == 0) letter = candidate;
  ASSERT_NE(letter, 0) << "no free drive letter";
  const std::string key = std::string("Network\\") + letter, drivePath = std::string(1, letter) + ":\\X";
  HKEY mapping;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &mapping, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(mapping, "RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(root.c_str()),
                 static_cast<DWORD>(root.size() + 1));
  RegCloseKey(mapping);
  MakeTree(root, ONE_CLASH);
  const RunResult mapped = RunDirlift({drivePath, "/o"}, "", root);
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  MakeTree(root, {"X/", "X/b=1"});
  const RunResult unmapped = RunDirlift({drivePath, "/o"}, "", root);

  EXPECT_EQ(mapped.status, 0) << mapped.err;
  EXPECT_EQ(unmapped.status, 1);
  EXPECT_EQ(Snapshot(root), Tree({"X/", "X/b=1", "a=new", "f=1"}));
  EXPECT_EQ(unmapped.err, "dirlift: cannot lift \"" + drivePath + "\": drive " + letter +
                              ": is not visible to dirlift, which runs as administrator; give the "
                              "folder by its network path (\\\\server\\share\\...) instead\r\n");
}

// /d leaves the file in the parent as it was: that very file, not an equal
// one put in its place.
TEST_F(LiftOnce, CopyLeavesTheFileInTheParentItself) {
  MakeTree(root, {"X/", "X/a=same", "a=same"});
  platform::FileIdentity before, after;
  ASSERT_TRUE(platform::IdentityOf(root + "\\a", before));
  const RunResult run = RunDirlift({root + "\\X", "/d", "/o"}, "", root);
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(platform::IdentityOf(root + "\\a", after));
  EXPECT_TRUE(before == after);
  EXPECT_EQ(Recycled(), Tree({"X (replaced *)/", "X (replaced *)/a=same"}));
}

// Menu starts gathered into one run each lift the folder they name, relative
// paths in their own current folder, and one folder named twice is lifted once.
TEST_F(LiftOnce, MenuStartsAreGatheredByTheFolderTheyName) {
  MakeTree(root, {"g1/", "g1/X/", "g1/X/a=1", "g1/Y/", "g1/Y/b=2", "g2/", "g2/Y/", "g2/Y/c=3", "g2/X/", "g2/X/d=4",
                  "S/", "S/e=5", "Long folder name/", "Long folder name/f=6"});
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((root + "\\Long folder name").c_str(), shortName, MAX_PATH), 0u);
  ASSERT_NE(NameOf(shortName), "Long folder name") << "this file system keeps no short names";
  const PROCESS_INFORMATION starts[] = {StartFromMenu("X /o", root + "\\g1"),
                                        StartFromMenu("Y /o", root + "\\g2"),
                                        StartFromMenu("X /o", root + "\\g2"),
                                        StartFromMenu("\"" + root + "\\S\" /-o", root),
                                        StartFromMenu("\"" + root + "\\s\" /-o", root),
                                        StartFromMenu("\"" + root + "\\Long folder name\" /-o", root),
                                        StartFromMenu("\"" + std::string(shortName) + "\" /-o", root)};
  for (const PROCESS_INFORMATION& start : starts) EXPECT_EQ(EndOf(start), 0u);
  EXPECT_EQ(Snapshot(root), Sorted({"g1/", "g1/a=1", "g1/Y/", "g1/Y/b=2", "g2/", "g2/c=3", "g2/d=4", "e=5", "f=6"}));
}

// A lone menu start waits only for the quiet while that ends the gathering,
// far less than its five seconds at the most.
TEST_F(LiftOnce, LoneMenuStartEndsSoon) {
  MakeTree(root, {"X/", "X/a=1"});
  const DWORD started = GetTickCount();
  EXPECT_EQ(EndOf(StartFromMenu("X /r /s", root)), 0u);
  EXPECT_LT(GetTickCount() - started, 3500u);
  EXPECT_EQ(Snapshot(root), Tree({"a=1"}));
}

// Folders of replaced files as earlier runs of the next `seconds` would name
// them, each holding `inside`.
Tree TakenReplacedFolders(int seconds, const Tree& inside) {
  Tree taken;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER tick = {{now.dwLowDateTime, now.dwHighDateTime}};
  for (int second = 0; second < seconds; ++second, tick.QuadPart += 10000000ULL) {
    FILETIME utc = {tick.LowPart, tick.HighPart}, local;
    SYSTEMTIME at;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &at);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u.%02u.%02u", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute,
             at.wSecond);
    taken.push_back("X (replaced " + std::string(stamp) + ")/");
    for (const std::string& entry : inside) taken.push_back(taken.back() + entry);
  }
  return taken;
}

const int TakenSeconds = 10;  // far more than a run lasts

// A folder of replaced files from an earlier run in the same second holds its
// name: the run takes the next numbered one, and nothing of the earlier is touched.
TEST_F(LiftOnce, ReplacedFolderNameTakenTakesTheNextNumber) {
  MakeTree(root, TakenReplacedFolders(TakenSeconds, {"mine=1"}));
  MakeTree(root, ONE_CLASH);
  const RunResult run = RunDirlift({root + "\\X", "/o"}, "", root);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Recycled(), Tree({"X (replaced *) (2)/", "X (replaced *) (2)/a=old"}));
  const Tree after = Snapshot(root);
  EXPECT_EQ(std::count_if(after.begin(), after.end(),
                          [](const std::string& entry) { return entry.find("/mine=1") != std::string::npos; }),
            TakenSeconds);
}

// The undo removes only the folders the lift made: an empty one of the user's,
// whose name the lift found taken, stays.
TEST_F(LiftOnce, UndoLeavesTheFoldersWhoseNamesWereTaken) {
  const Tree taken = TakenReplacedFolders(TakenSeconds, {});
  MakeTree(root, taken);
  MakeTree(root, ONE_CLASH);
  ASSERT_EQ(RunDirlift({root + "\\X", "/o"}, "", root).status, 0);
  const RunResult undo = RunDirlift({root + "\\X", "/u"}, "", root);
  EXPECT_EQ(undo.status, 0) << undo.err;
  Tree before = taken;
  before.insert(before.end(), ONE_CLASH);
  EXPECT_EQ(Snapshot(root), Sorted(before));
}

// Cancel in the shell's own dialog ends the run, as Cancel in the progress
// does: the inner X is not lifted.
TEST_F(LiftOnce, CancelInTheShellsDialogEndsTheRun) {
  class CancellingShell : public ModelFileSystem {
   public:
    using ModelFileSystem::ModelFileSystem;
    ShellOutcome ShellMove(const std::vector<MovePair>&, std::string&) override { return ShellOutcome::Cancelled; }
  };
  MakeTree(root, TWO_PASSES);
  WindowsFileSystem windows;
  CancellingShell disk(windows);
  std::ostringstream out, errors;
  PreviewListener listener(out, errors);
  EXPECT_TRUE(LiftFolder(root + "\\X", {RunMode::ShellBatch, false, true, false}, disk, listener));
  EXPECT_EQ(out.str(), "shell \"b\"\nshell \"c\"\nstay \"X\"\n");
}

// On a volume that keeps local time (FAT), a file an hour newer, give or take
// 2 seconds, is one that daylight saving time shifted: the same age.
TEST_F(LiftOnce, AnHourNewerOnFatIsTheSameAge) {
  class LocalTimeVolume : public ModelFileSystem {
   public:
    using ModelFileSystem::ModelFileSystem;
    bool KeepsLocalTime(const std::string&) override { return true; }
  };
  const long long Hour = 3600000;
  MakeTree(root, {"X/", "X/a=1", "X/b=2", "X/c=3", "X/d=4", "a=old", "b=old", "c=old", "d=old"});
  // Within 2 s of the hour is the same age; 2 s off it is newer.
  SetTimes(root, {{"X/a", Hour + 1000},
                  {"X/b", Hour + 3000},
                  {"X/c", Hour - 1000},
                  {"X/d", Hour + 2000},
                  {"a", 0},
                  {"b", 0},
                  {"c", 0},
                  {"d", 0}});
  WindowsFileSystem windows;
  LocalTimeVolume disk(windows);
  std::ostringstream out, errors;
  PreviewListener listener(out, errors);
  EXPECT_TRUE(LiftFolder(root + "\\X", {RunMode::KeepNewer, false, true, false}, disk, listener));
  EXPECT_EQ(out.str(), "keep \"a\"\nreplace \"b\"\nkeep \"c\"\nreplace \"d\"\nstay \"X\"\n");
}

// The entry cannot move in once the file in its way is set aside (another
// program took the name, say): that file is put back, and no folder of
// replaced files is left behind.
TEST_F(LiftOnce, FileSetAsideIsPutBackWhenTheEntryCannotFollow) {
  class EntryStuck : public ModelFileSystem {
   public:
    EntryStuck(FileSystem& below, const std::string& entry) : ModelFileSystem(below), entry_(entry) {}
    MoveResult Move(const std::string& from, const std::string& to, std::string& reason) override {
      // Only once the name is free: the first try meets the file in the way.
      if (from == entry_ && !Exists(to)) return MoveResult::Failed;
      return ModelFileSystem::Move(from, to, reason);
    }

   private:
    std::string entry_;
  };
  MakeTree(root, ONE_CLASH);
  WindowsFileSystem windows;
  EntryStuck disk(windows, root + "\\X\\a");
  std::ostringstream out, errors;
  PreviewListener listener(out, errors);
  EXPECT_FALSE(LiftFolder(root + "\\X", {RunMode::OverwriteAll, false, true, false}, disk, listener));
  std::vector<ListedEntry> entries;
  std::string reason;
  ASSERT_TRUE(disk.ListFolder(root, entries, reason));
  Tree names;
  for (const ListedEntry& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(Sorted(names), Tree({"X", "a", "f"}));
}

TEST_F(LiftOnce, HiddenFileGoesUpAndStaysHidden) {
  MakeTree(root, {"X/", "X/h=1"});
  ASSERT_TRUE(SetFileAttributesA((root + "\\X\\h").c_str(), FILE_ATTRIBUTE_HIDDEN));
  const RunResult run = RunDirlift({root + "\\X"}, "", root);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Snapshot(root), Tree({"h=1"}));
  EXPECT_NE(GetFileAttributesA((root + "\\h").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// A file held open without sharing, as an editor holding it would.
struct HeldOpenCase {
  const char* name;
  std::vector<std::string> switches;
  Tree before;
  const char* held;  // below the test folder
  Tree after;
  const char* out = "";
};

class HeldOpen : public LiftOnce, public ::testing::WithParamInterface<HeldOpenCase> {};

// In a gui run the failure is shown in a box too, which the test reads and closes.
TEST_P(HeldOpen, EntryIsReportedAndTheRestStillMoves) {
  const HeldOpenCase& c = GetParam();
  std::vector<std::string> arguments = {root + "\\X"};
  arguments.insert(arguments.end(), c.switches.begin(), c.switches.end());
  const bool gui = IsGuiRun(arguments);
  if (gui && !HasDisplay()) GTEST_SKIP() << "the box needs a display";
  MakeTree(root, c.before);
  const std::string held = root + "\\" + c.held;
  const HANDLE holder =
      CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const RunResult run = RunDirlift(arguments, "", root, gui);
  CloseHandle(holder);

  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Snapshot(root), Sorted(c.after));
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(CountOf(run.err, "\n"), 1u) << run.err;
  EXPECT_NE(run.err.find(held), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(platform::SystemErrorText(ERROR_SHARING_VIOLATION)), std::string::npos) << run.err;
  EXPECT_EQ(run.box, ExpectedBox(run, gui));
  if (gui) {
    EXPECT_NE(run.box.find(held), std::string::npos) << run.box;
  }
}

#define HELD_IN_X \
  { "X/", "X/a=1", "X/locked=2", "X/z=3" }
#define HELD_IN_X_AFTER \
  { "X/", "X/locked=2", "a=1", "z=3" }

const HeldOpenCase HeldOpenCases[] = {
    {"OverwriteAll", {"/o"}, HELD_IN_X, "X\\locked", HELD_IN_X_AFTER},
    {"Gui", {"gui"}, HELD_IN_X, "X\\locked", HELD_IN_X_AFTER},
    // The rest of the merged folder goes in; it and X stay for the held file.
    {"InAMerge",
     {"/o", "/m"},
     {"X/", "X/d/", "X/d/a=1", "X/d/locked=2", "X/d/z=3", "d/", "d/a=old"},
     "X\\d\\locked",
     {"X/", "X/d/", "X/d/locked=2", "d/", "d/a=1", "d/z=3"}},
    // The file to be replaced cannot be set aside: nothing is replaced, and no
    // folder of replaced files is left behind.
    {"ReplacedFileHeldOpen", {"/o"}, {"X/", "X/a=new", "X/b=1", "a=old"}, "a", {"X/", "X/a=new", "a=old", "b=1"}},
    // A file that cannot be read is no copy: the mode settles it.
    {"CopyHeldOpen", {"/o", "/d"}, {"X/", "X/a=same", "X/b=1", "a=same"}, "a", {"X/", "X/a=same", "a=same", "b=1"}},
    // What failed in X stays untouched by the lift of X\X: its namesake goes
    // up beside it, named by where it goes below the parent.
    {"KeepBothFromInside",
     {"/r"},
     {"X/", "X/a=1", "X/locked=2", "X/X/", "X/X/locked=3"},
     "X\\locked",
     {"X/", "X/locked (2)=3", "X/locked=2", "a=1"},
     "\"X\\locked\" -> \"X\\locked (2)\"\r\n"},
};

void PrintTo(const HeldOpenCase& c, std::ostream* out) { *out << c.name; }

INSTANTIATE_TEST_SUITE_P(Runs, HeldOpen, ::testing::ValuesIn(HeldOpenCases),
                         [](const ::testing::TestParamInfo<HeldOpenCase>& info) {
                           return std::string(info.param.name);
                         });

// dirliftw.exe, the same program without a console, as Explorer's menu starts
// it: nothing ever reaches standard output or error; what a console run would
// print is shown in a box (where a display lets one appear).
struct NoConsoleCase {
  const char* name;
  Tree before;
  std::vector<std::string> arguments;
  int status;
  Tree after;
  const char* box;  // a part of the box's text, or "" for no box
};

class NoConsole : public LiftOnce, public ::testing::WithParamInterface<NoConsoleCase> {};

TEST_P(NoConsole, ShowsWhatItHasToSayInABox) {
  const NoConsoleCase& c = GetParam();
  MakeTree(root, c.before);
  std::vector<std::string> arguments;
  for (const std::string& argument : c.arguments) arguments.push_back(Expand(argument, root));
  // Input held open: a read of it would hang the run.
  const RunResult run = RunDirlift(arguments, "", root, true, {}, "dirliftw.exe");
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(Snapshot(root), Sorted(c.after));
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  if (!HasDisplay() || *c.box == '\0') {
    EXPECT_EQ(run.box, "");
  } else {
    EXPECT_NE(run.box.find(c.box), std::string::npos) << run.box;
  }
}

// Without a console /p asks in one box: its counts agree with /l, closing it
// changes nothing, and its verb runs the lift.
TEST_F(LiftOnce, PromptFirstBoxCountsWhatTheRunWillDo) {
  if (!HasDisplay()) GTEST_SKIP() << "no box can be shown without a display";
  const Tree before = {"X/", "X/a=new", "a=old", "X/s/", "X/s/f=1", "X/s/t=2", "X/X=q"};
  MakeTree(root, before);
  const std::vector<std::string> arguments = {root + "\\X", "/f", "/o", "/p"};
  const RunResult listed = RunDirlift({root + "\\X", "/f", "/o", "/l"}, "", root);
  EXPECT_NE(listed.out.find("preview: 2 move, 1 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 1 fail, 0 recycle"),
            std::string::npos)
      << listed.out;
  // Answers the box that asks with `button`, once, keeping its text.
  const auto answering = [](std::string& asked, int button) {
    return [&asked, button](DWORD process) {
      const HWND box = DirliftWindow(process, false);
      if (box == nullptr || !asked.empty() || GetDlgItem(box, IDCANCEL) == nullptr) return;
      asked = StaticTextOf(box);
      PostMessageA(box, WM_COMMAND, button, 0);
    };
  };
  std::string counts;
  const RunResult cancelled = RunDirlift(arguments, "", root, true, answering(counts, IDCANCEL), "dirliftw.exe");
  EXPECT_EQ(cancelled.status, 0);
  EXPECT_EQ(Snapshot(root), Sorted(before));
  for (const char* count : {"2 entries move up", "1 file replaces the file of its name",
                            "1 entry stays: it is a file named like", "1 folder is dissolved and removed"})
    EXPECT_NE(counts.find(count), std::string::npos) << counts;
  const int VerbButton = 100;
  std::string asked;
  const RunResult run = RunDirlift(arguments, "", root, true, answering(asked, VerbButton), "dirliftw.exe");
  EXPECT_FALSE(asked.empty());
  EXPECT_EQ(run.status, 1);  // the file named like its folder stays, reported, in the box after the run
  EXPECT_NE(run.box.find("named like the folder flattened"), std::string::npos) << run.box;
  EXPECT_EQ(Snapshot(root), Sorted({"X/", "X/X=q", "a=new", "f=1", "t=2"}));
  // An empty folder: nothing would move, and the box says so.
  MakeTree(root, {"E/"});
  const RunResult empty = RunDirlift({root + "\\E", "/p"}, "", root, true, {}, "dirliftw.exe");
  EXPECT_EQ(empty.status, 0);
  EXPECT_NE(empty.box.find("nothing would move"), std::string::npos) << empty.box;
  EXPECT_EQ(Snapshot(root), Sorted({"E/", "X/", "X/X=q", "a=new", "f=1", "t=2"}));
}

const NoConsoleCase NoConsoleCases[] = {
    {"GuiLifts", {"X/", "X/a=1", "X/s/", "X/s/f=2"}, {"@X", "gui"}, 0, {"a=1", "s/", "s/f=2"}, ""},
    // Menu starts with the same switches gather into one run: each test here has switches of its own.
    {"FailuresGoToTheBox",
     FILE_AND_FOLDER,
     {"@X", "gui", "/m"},
     1,
     FILE_AND_FOLDER_AFTER,
     "\\X\\b\" up: a file of that name is in the way"},
    {"AskModeKeepsEveryClash", ONE_CLASH, {"@X"}, 0, {"X/", "X/a=new", "a=old", "f=1"}, ""},
    {"UsageTextInABox", {"a=1"}, {}, 0, {"a=1"}, "Syntax: dirlift <path>"},
    {"SwitchErrorInABox", ONE_CLASH, {"@X", "/O"}, 2, ONE_CLASH, "unknown switch \"/O\""},
};

void PrintTo(const NoConsoleCase& c, std::ostream* out) { *out << c.name; }

INSTANTIATE_TEST_SUITE_P(Runs, NoConsole, ::testing::ValuesIn(NoConsoleCases),
                         [](const ::testing::TestParamInfo<NoConsoleCase>& info) {
                           return std::string(info.param.name);
                         });

// A preview lists what the same command without /l then does: the entries it
// lists to stay stay, the others are in the parent.
struct PreviewCase {
  const char* name;
  Tree before;
  std::vector<std::string> switches;
  std::string listing;
  bool runAfter;  // false in gui mode, where the shell's dialogs answer, not the preview's no
  // The tree the run leaves, where the listing's names cannot be looked up one
  // by one: case twins, which Windows takes for one name.
  Tree after = {};
  std::string folder = "X";  // the lifted folder
};

class Preview : public LiftOnce, public ::testing::WithParamInterface<PreviewCase> {
 protected:
  // Where a listed name is: a lifted folder ("X", "X\\X") in the parent, an
  // entry in X, which lifts each entry from X joined with its name.
  std::string Source(const std::string& name) const { return root + "\\" + GetParam().folder + "\\" + name; }
  // A flatten names an entry by its path below the folder, and it lands in the parent.
  std::string Destination(const std::string& name) const {
    const bool flattens = std::any_of(GetParam().switches.begin(), GetParam().switches.end(),
                                      [](const std::string& s) { return s.rfind("/f", 0) == 0; });
    return root + "\\" + (flattens && !IsLiftedFolder(name) ? NameOf(name) : name);
  }
  bool IsLiftedFolder(const std::string& name) const {
    return name == GetParam().folder || name.rfind(GetParam().folder + "\\", 0) == 0;
  }
};

// kind "name" [-> "new name"] [: reason]
void ReadLine(const std::string& line, std::string& kind, std::string& name, std::string& newName) {
  kind = line.substr(0, line.find(' '));
  const std::string::size_type open = line.find('"'), close = line.find('"', open + 1);
  name = line.substr(open + 1, close - open - 1);
  const std::string arrow = " -> \"";
  newName =
      line.compare(close + 1, arrow.size(), arrow) == 0
          ? line.substr(close + 1 + arrow.size(), line.find('"', close + 1 + arrow.size()) - close - 1 - arrow.size())
          : "";
}

TEST_P(Preview, ListsWhatTheRunThenDoes) {
  const PreviewCase& c = GetParam();
  MakeTree(root, c.before);
  std::vector<std::string> arguments = {root + "\\" + c.folder};
  arguments.insert(arguments.end(), c.switches.begin(), c.switches.end());
  std::vector<std::string> listOnly = arguments;
  listOnly.push_back("/l");

  const RunResult preview = RunDirlift(listOnly, "", root, true);
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_EQ(preview.out, c.listing);
  EXPECT_EQ(preview.err, "");
  EXPECT_EQ(preview.box, "");
  EXPECT_EQ(Snapshot(root), Sorted(c.before)) << "the preview changed the tree";
  if (!c.runAfter) return;

  // Each question the preview lists is answered no.
  std::string answers;
  for (std::size_t asked = CountOf("\n" + c.listing, "\nask "); asked > 0; --asked) answers += "n\n";
  const RunResult run = RunDirlift(arguments, answers, root);
  EXPECT_EQ(run.status, CountOf("\n" + c.listing, "\nfail ") == 0 ? 0 : 1) << run.err;
  if (!c.after.empty()) {
    EXPECT_EQ(WithoutTimes(Snapshot(root)), Sorted(c.after));
    return;
  }
  std::istringstream lines(preview.out);
  for (std::string line; std::getline(lines, line) && line.rfind("preview:", 0) != 0;) {
    line = line.substr(0, line.find('\r'));
    std::string kind, name, newName;
    ReadLine(line, kind, name, newName);
    if (kind == "ask" || kind == "keep") {
      EXPECT_TRUE(platform::PathExists(Source(name))) << line;
    } else if (kind == "fail") {
      // An entry that stays, or an inner folder of the lifted one's name.
      EXPECT_TRUE(platform::PathExists(Source(name)) ||
                  (IsLiftedFolder(name) && platform::PathExists(Destination(name))))
          << line;
    } else if (kind == "move" || kind == "replace" || kind == "same") {
      EXPECT_TRUE(platform::PathExists(Destination(name)) && !platform::PathExists(Source(name))) << line;
    } else if (kind == "rename") {
      EXPECT_TRUE(platform::PathExists(Destination(newName)) && !platform::PathExists(Source(name))) << line;
    } else if (kind == "remove" || kind == "stay") {
      EXPECT_EQ(platform::PathExists(IsLiftedFolder(name) ? Destination(name) : Source(name)), kind == "stay") << line;
    }
  }
}

#define PREVIEW_TAIL "; nothing was changed\r\n"

const PreviewCase PreviewCases[] = {
    // A flatten with clashes at three levels: each answered no, then renamed.
    {"FlattenAskedAtThreeLevels",
     {"X/", "X/a=1", "X/s/", "X/s/a=2", "X/s/b=3", "X/s/t/", "X/s/t/c=5", "a=old", "c=old"},
     {"/f"},
     "ask \"a\"\r\nask \"s\\a\"\r\nmove \"s\\b\"\r\nask \"s\\t\\c\"\r\nstay \"s\\t\"\r\nstay \"s\"\r\n"
     "stay \"X\"\r\npreview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 3 ask, 0 shell, 0 fail, 0 recycle;"
     " nothing was changed\r\n",
     true},
    {"FlattenRenamedAtThreeLevels",
     {"X/", "X/a=1", "X/s/", "X/s/a=2", "X/s/e/", "X/s/t/", "X/s/t/a=3", "a=old"},
     {"/f", "/r"},
     "rename \"a\" -> \"a (2)\"\r\nrename \"s\\a\" -> \"a (3)\"\r\nrename \"s\\t\\a\" -> \"a (4)\"\r\n"
     "remove \"s\\t\"\r\nremove \"s\\e\"\r\nremove \"s\"\r\nremove \"X\"\r\n"
     "preview: 0 move, 0 replace, 0 keep, 3 rename, 0 merge, 0 ask, 0 shell, 0 fail, 0 recycle; nothing was "
     "changed\r\n",
     true},
    {"CopiesAndClashesAtTwoLevels",
     {"X/", "X/a=same", "X/b=new", "X/s/", "X/s/c=same", "X/s/d=new", "a=same", "b=old", "s/", "s/c=same", "s/d=old"},
     {"/d", "/o", "/m"},
     "same \"a\"\r\nreplace \"b\"\r\nmerge \"s\"\r\nsame \"s\\c\"\r\nreplace \"s\\d\"\r\nremove \"s\"\r\n"
     "remove \"X\"\r\npreview: 0 move, 2 replace, 0 keep, 2 same, 0 rename, 1 merge, 0 ask, 0 shell, 0 fail;"
     " nothing was changed\r\n",
     true},
    {"Asked",
     {"X/", "X/a=new", "X/c=1", "X/src/", "X/src/f=1", "X/X/", "X/X/a=in", "X/X/z=1", "a=old", "src/"},
     {},
     "ask \"a\"\r\nmove \"c\"\r\n"
     "fail \"src\": a folder of that name is in the way; add /m to merge them\r\n"
     "stay \"X\"\r\nlift \"X\\X\"\r\n"
     "fail \"X\\a\": \"X\\a\", left in place by this run, is not touched again\r\n"
     "move \"X\\z\"\r\nstay \"X\\X\"\r\n"
     "preview: 2 move, 0 replace, 0 keep, 0 rename, 0 merge, 1 ask, 0 shell, 2 fail" PREVIEW_TAIL,
     true},
    {"MergedOverwriteAll",
     MERGE,
     {"/o", "/m"},
     "merge \"src\"\r\nreplace \"src\\a.js\"\r\n"
     "fail \"src\\bin\": a folder of that name is in the way\r\n"
     "merge \"src\\lib\"\r\nmove \"src\\lib\\only\"\r\nreplace \"src\\lib\\u.js\"\r\n"
     "remove \"src\\lib\"\r\nstay \"src\"\r\nmove \"top\"\r\nstay \"X\"\r\n"
     "preview: 2 move, 2 replace, 0 keep, 0 rename, 2 merge, 0 ask, 0 shell, 1 fail" PREVIEW_TAIL,
     true},
    {"KeepExisting",
     ONE_CLASH,
     {"/-o"},
     "keep \"a\"\r\nmove \"f\"\r\nstay \"X\"\r\n"
     "preview: 1 move, 0 replace, 1 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true},
    {"KeepBothWithDescent",
     {"X/", "X/d.doc=new", "X/X/", "X/X/e=1", "d.doc=old", "d (2).doc=2"},
     {"/r"},
     "rename \"d.doc\" -> \"d (3).doc\"\r\nstay \"X\"\r\nlift \"X\\X\"\r\nmove \"X\\e\"\r\n"
     "remove \"X\\X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 1 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true},
    // Nothing is hidden, batched or shown: the listing is all there is.
    // Case twins, as a case-sensitive folder holds them: each name is its own entry.
    {"CaseTwinBesideTheFolder",
     {"X/", "X/a=1", "x/", "x/b=2", "a=0"},
     {"/-o"},
     "keep \"a\"\r\nstay \"X\"\r\n"
     "preview: 0 move, 0 replace, 1 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true,
     {"X/", "X/a=1", "a=0", "x/", "x/b=2"}},
    {"CaseTwinsMergedOverwriteAll",
     {"X/", "X/SRC/", "X/SRC/one.txt=1", "X/src/", "X/src/two.txt=2", "src/", "src/one.txt=old"},
     {"/o", "/m"},
     "merge \"SRC\"\r\nreplace \"SRC\\one.txt\"\r\nremove \"SRC\"\r\n"
     "fail \"src\": \"src\", moved up by this run, has the same name to Windows\r\nstay \"X\"\r\n"
     "preview: 0 move, 1 replace, 0 keep, 0 rename, 1 merge, 0 ask, 0 shell, 1 fail" PREVIEW_TAIL,
     true,
     {"X/", "X/src/", "X/src/two.txt=2", "src/", "src/one.txt=1"}},
    {"CaseTwinsOfTheOwnName",
     {"X/", "X/X/", "X/X/inner1=1", "X/x/", "X/x/inner2=2"},
     {},
     "fail \"x\": \"X\" bears the folder's name too, and only one can be lifted into it\r\nstay \"X\"\r\n"
     "lift \"X\\X\"\r\nmove \"X\\inner1\"\r\nremove \"X\\X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 1 fail" PREVIEW_TAIL,
     true,
     {"X/", "X/inner1=1", "X/x/", "X/x/inner2=2"}},
    {"CaseTwinFiles",
     {"X/", "X/a.txt=1", "X/A.TXT=2"},
     {},
     "move \"A.TXT\"\r\nfail \"a.txt\": \"A.TXT\", moved up by this run, has the same name to Windows\r\n"
     "stay \"X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 1 fail" PREVIEW_TAIL,
     true,
     {"X/", "X/a.txt=1", "A.TXT=2"}},
    // An entry moved up under a new name is in the parent for those that follow.
    {"KeepBothMeetsANameItMade",
     {"X/", "X/b=new", "X/b (2)=new2", "b=old"},
     {"/r"},
     "rename \"b\" -> \"b (2)\"\r\nrename \"b (2)\" -> \"b (2) (2)\"\r\nremove \"X\"\r\n"
     "preview: 0 move, 0 replace, 0 keep, 2 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true},
    {"FileNamedLikeItsFolder",
     {"X/", "X/X=1", "X/a=2"},
     {},
     "move \"a\"\r\nstay \"X\"\r\nfail \"X\\X\": it is a file named like its folder, so both stay\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 1 fail" PREVIEW_TAIL,
     true},
    // Long names: the lift makes no name NTFS cannot hold, and the preview knows it.
    {"LongFolderNameReplaces",
     {std::string(240, 'L') + "/", std::string(240, 'L') + "/a=new", "a=old"},
     {"/o"},
     "replace \"a\"\r\nremove \"" + std::string(240, 'L') +
         "\"\r\n"
         "preview: 0 move, 1 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true,
     {},
     std::string(240, 'L')},
    {"KeepBothLongName",
     {"X/", "X/" + std::string(252, 'r') + "=new", std::string(252, 'r') + "=old"},
     {"/r"},
     "rename \"" + std::string(252, 'r') + "\" -> \"" + std::string(251, 'r') +
         " (2)\"\r\nremove \"X\"\r\n"
         "preview: 0 move, 0 replace, 0 keep, 1 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true},
    // A chain names each line by its path below the folder given.
    {"ChainNamesBelowTheFolderGiven",
     {"A/", "A/B/", "A/B/C/", "A/B/C/IMG=1"},
     {"/s"},
     "move \"B\\C\\IMG\"\r\nremove \"B\\C\"\r\nmove \"B\\IMG\"\r\nremove \"B\"\r\nmove \"IMG\"\r\n"
     "remove \"A\"\r\n"
     "preview: 3 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 0 shell, 0 fail" PREVIEW_TAIL,
     true,
     {"IMG=1"},
     "A"},
    {"Gui",
     ONE_CLASH,
     {"gui"},
     "shell \"a\"\r\nmove \"f\"\r\nstay \"X\"\r\n"
     "preview: 1 move, 0 replace, 0 keep, 0 rename, 0 merge, 0 ask, 1 shell, 0 fail" PREVIEW_TAIL,
     false},
};

void PrintTo(const PreviewCase& c, std::ostream* out) { *out << c.name; }

INSTANTIATE_TEST_SUITE_P(Runs, Preview, ::testing::ValuesIn(PreviewCases),
                         [](const ::testing::TestParamInfo<PreviewCase>& info) {
                           return std::string(info.param.name);
                         });

// What a run moves into a folder it lifts later takes its place in that
// folder's listing, as on the disk: the preview's new names are the run's.
TEST_F(LiftOnce, PreviewRenamesAsTheRunWhateverTheListingOrder) {
  MakeTree(root, {"x.txt=P", "A/", "A/x.txt=A", "A/B/", "A/B/x.txt=B"});
  const std::vector<std::string> arguments = {root + "\\A\\B", root + "\\A", "/r"};
  std::vector<std::string> listOnly = arguments;
  listOnly.push_back("/l");
  const RunResult preview = RunDirlift(listOnly, "", root);
  const RunResult run = RunDirlift(arguments, "", root);
  ASSERT_EQ(run.status, 0) << run.err;
  std::string renames;
  std::istringstream lines(preview.out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("rename ", 0) == 0) renames += line.substr(7) + "\n";
  EXPECT_EQ(renames, run.out);
  EXPECT_EQ(CountOf(run.out, " -> "), 2u) << run.out;
}

// After a first clash the parent is listed; a name it held that is gone by
// the time its entry comes (another program removed it) is no clash.
TEST_F(LiftOnce, NameGoneBeforeItsEntryMovesIsNoClash) {
  class NameVanishes : public ModelFileSystem {
   public:
    NameVanishes(FileSystem& below, const std::string& root) : ModelFileSystem(below), root_(root) {}
    bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) override {
      const bool listed = ModelFileSystem::ListFolder(folder, entries, reason);
      if (folder == root_) ModelFileSystem::Move(root_ + "\\b", root_ + "\\gone\\b", reason);
      return listed;
    }

   private:
    std::string root_;
  };
  MakeTree(root, {"X/", "X/a=new", "X/b=new", "a=old", "b=old", "gone/"});
  WindowsFileSystem windows;
  NameVanishes disk(windows, root);
  std::ostringstream out, errors;
  PreviewListener listener(out, errors);
  EXPECT_TRUE(LiftFolder(root + "\\X", {RunMode::KeepExisting, false, true, false}, disk, listener));
  EXPECT_EQ(out.str(), "keep \"a\"\nmove \"b\"\nstay \"X\"\n");
}

// A dissolved folder's desktop.ini goes to the Recycle Bin with the folder,
// and stays in it where the folder stays; the folder given's goes up.
TEST_F(LiftOnce, FlattenRecyclesAFolderFileOnlyWithItsFolder) {
  const DWORD Marks = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
  for (const std::string mode : {"/-o", "/o"}) {
    RemoveTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    RemoveTree(dataHome + "\\Trash");
    MakeTree(root, {"X/", "X/desktop.ini=own", "X/sub/", "X/sub/a.txt=new", "X/sub/desktop.ini=[.ShellClassInfo]",
                    "a.txt=old"});
    ASSERT_TRUE(SetFileAttributesA((root + "\\X\\sub\\desktop.ini").c_str(), Marks));
    ASSERT_TRUE(SetFileAttributesA((root + "\\X\\desktop.ini").c_str(), Marks));
    ASSERT_TRUE(SetFileAttributesA((root + "\\X\\sub").c_str(), FILE_ATTRIBUTE_SYSTEM));
    const bool goes = mode == "/o";
    const RunResult preview = RunDirlift({root + "\\X", "/f", mode, "/l"}, "", root);
    EXPECT_EQ(CountOf(preview.out, "recycle \"sub\\desktop.ini\""), goes ? 1u : 0u) << preview.out;
    EXPECT_NE(preview.out.find(goes ? " 1 recycle;" : " 0 recycle;"), std::string::npos) << preview.out;
    const RunResult run = RunDirlift({root + "\\X", "/f", mode}, "", root);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(platform::PathExists(root + "\\X\\sub\\desktop.ini"), !goes) << mode;
    // The folder given's own goes up, as a lift takes it.
    EXPECT_TRUE(platform::PathExists(root + "\\desktop.ini")) << mode;
    const Tree bin = Recycled();
    EXPECT_EQ(std::count_if(bin.begin(), bin.end(),
                            [](const std::string& entry) { return entry.find("desktop.ini") != std::string::npos; }),
              goes ? 1 : 0)
        << mode;
  }
}

}  // namespace
