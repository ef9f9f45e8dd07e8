// The pure pieces: path reading, switches, usage text, the question on string
// streams, and the shell batch lists byte by byte.

#include <gtest/gtest.h>

#include <sstream>

#include "app/arguments.h"
#include "app/command_line.h"
#include "app/kept_folders.h"
#include "app/run.h"
#include "console/progress.h"
#include "console/question.h"
#include "lift/lift.h"
#include "lift/paths.h"
#include "lift/replaced_files.h"
#include "lift/shell_batch.h"
#include "platform/platform.h"
#include "undo/record.h"

namespace {

// A string of every byte of a literal, embedded NULs included.
template <typename Char, std::size_t Size>
std::basic_string<Char> Bytes(const Char (&literal)[Size]) {
  return std::basic_string<Char>(literal, Size - 1);
}

TEST(ParentOf, IsTheFullPathLessItsLastComponentAndJoinsBack) {
  const struct {
    const char* path;
    const char* parent;
    const char* joined;  // the parent joined with "n"
  } cases[] = {
      {"C:\\data\\photos", "C:\\data", "C:\\data\\n"},
      {"C:\\data\\photos\\", "C:\\data", "C:\\data\\n"},
      {"C:\\photos", "C:\\", "C:\\n"},
      {"\\\\srv\\share\\x", "\\\\srv\\share", "\\\\srv\\share\\n"},
      {"C:\\d\\a.", "C:\\d", "C:\\d\\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParentOf(c.path), c.parent) << c.path;
    EXPECT_EQ(JoinPath(ParentOf(c.path), "n"), c.joined) << c.path;
  }
}

TEST(FoldersAlong, OneDeeperEachUnderTheRoot) {
  using Folders = std::vector<std::string>;
  EXPECT_EQ(FoldersAlong("C:\\P\\R", ""), Folders());
  EXPECT_EQ(FoldersAlong("C:\\P\\R", "src"), Folders({"C:\\P\\R\\src"}));
  EXPECT_EQ(FoldersAlong("C:\\P\\R", "src\\lib"), Folders({"C:\\P\\R\\src", "C:\\P\\R\\src\\lib"}));
}

TEST(WhyWindowsKeepsInPlace, RefusesTheFoldersWindowsKeepsAndWhatHoldsThem) {
  const std::vector<platform::KeptFolder> kept = {
      {"C:\\Users", "the profile folders", true},
      {"C:\\Users\\ana", "your profile folder", false},
      {"C:\\Users\\ana\\Documents\\", "your Documents folder", false},
      {"D:\\OneDrive - Firma", "your OneDrive folder", false},
      {"", "a folder the system does not have", false},
  };
  const struct {
    const char* folder;
    const char* reason;
  } cases[] = {
      {"C:\\Users\\ana\\Documents", "it is your Documents folder, which Windows and your programs expect in its place"},
      {"c:\\users\\ANA\\documents\\",
       "it is your Documents folder, which Windows and your programs expect in its place"},
      {"C:\\Users\\ana", "it is your profile folder, which Windows and your programs expect in its place"},
      {"C:\\Users", "it holds the profile folders, which Windows and your programs expect in their place"},
      {"D:\\OneDrive - Firma", "it is your OneDrive folder, which Windows and your programs expect in its place"},
      {"C:\\Users\\ana\\Documents\\photos", ""},
      {"C:\\Users\\ana\\Doc", ""},
      {"C:\\Users\\anabel", ""},
      {"D:\\OneDrive", ""},
      // Where identities cannot be read, other spellings of the same text count too.
      {"\\\\?\\C:/Users/ana/Documents",
       "it is your Documents folder, which Windows and your programs expect in its place"},
      {"\\\\.\\C:\\Users", "it holds the profile folders, which Windows and your programs expect in their place"},
  };
  for (const auto& c : cases) EXPECT_EQ(WhyWindowsKeepsInPlace(c.folder, kept), c.reason) << c.folder;
}

TEST(ThroughMapping, PutsTheNetworkPathInPlaceOfTheDrive) {
  const struct {
    const char* path;
    char letter;
    const char* remote;
    const char* mapped;
  } cases[] = {
      {"N:\\photos\\2024", 'N', "\\\\srv\\share", "\\\\srv\\share\\photos\\2024"},
      {"n:\\photos", 'N', "\\\\srv\\share\\", "\\\\srv\\share\\photos"},
      {"N:\\", 'N', "\\\\srv\\share\\sub", "\\\\srv\\share\\sub"},
      {"\\\\srv\\share\\x", 0, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveLetterOf(c.path), c.letter) << c.path;
    if (c.letter != 0) {
      EXPECT_EQ(ThroughMapping(c.path, c.remote), c.mapped) << c.path;
    }
  }
}

TEST(ShouldWaitBeforeClosing, OnlyAConsoleRunWithSomethingToReadInAWindowOfItsOwn) {
  const struct {
    bool gui;
    int status;
    bool shown, inputIsConsole, ownsConsole, seen, waits;
  } cases[] = {
      {false, ExitFailed, false, true, true, true, true},     // elevated into a new window, or from Run
      {false, ExitDone, false, true, true, true, false},      // nothing to read
      {false, ExitDone, true, true, true, true, true},        // double-clicked: the usage text
      {false, ExitBadSwitch, false, true, true, true, true},  // a shortcut with a mistyped switch
      {true, ExitFailed, false, true, true, true, false},     // the box shows the failures
      {false, ExitFailed, false, false, true, true, false},   // input redirected: nobody to press Enter
      {false, ExitDone, true, true, false, true, false},      // the user's own console stays open
      {false, ExitFailed, false, true, false, true, false},
      {false, ExitFailed, false, true, true, false, false},  // a scheduled task: nobody sees it
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShouldWaitBeforeClosing(c.gui, c.status, c.shown, c.inputIsConsole, c.ownsConsole, c.seen), c.waits)
        << c.gui << c.status << c.shown << c.inputIsConsole << c.ownsConsole << c.seen;
}

// What a console run leaves to read, which its own window waits for.
TEST(ShowsSomethingToRead, TheUsageAPreviewAnUndoAndNewNames) {
  const struct {
    std::vector<std::string> arguments;
    bool newNames, shown;
  } cases[] = {
      {{"dirlift"}, false, true},
      {{"dirlift", "X", "/l"}, false, true},
      {{"dirlift", "/u"}, false, true},
      {{"dirlift", "/u", "/l"}, false, true},
      {{"dirlift", "X", "/r"}, true, true},
      {{"dirlift", "X", "/r"}, false, false},
      {{"dirlift", "X", "/o"}, false, false},
      {{"dirlift", "X", "/x"}, false, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShowsSomethingToRead(ReadCommandLine(c.arguments), c.newNames), c.shown) << c.arguments.back();
}

TEST(ShouldOfferElevation, OnlyWhereAccessWasDeniedToAProcessKnownNotElevated) {
  const struct {
    bool accessDenied, elevationKnown, elevated, offers;
  } cases[] = {
      {true, true, false, true},    // the user's own rights fell short
      {false, true, false, false},  // held open, or a clash: rights would not help
      {true, true, true, false},    // elevated already: never offered again
      {true, false, false, false},  // Windows XP: no elevation to ask for
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShouldOfferElevation(c.accessDenied, c.elevationKnown, c.elevated), c.offers)
        << c.accessDenied << c.elevationKnown << c.elevated;
}

TEST(QuotedArguments, ReadBackByTheRuntimeAsTheyWere) {
  const struct {
    std::vector<std::string> arguments;
    const char* line;
  } cases[] = {
      {{"dirliftw", "C:\\x", "gui"}, "C:\\x gui"},
      {{"dirliftw", "C:\\My Photos", "/o"}, "\"C:\\My Photos\" /o"},
      {{"dirliftw", "C:\\My Photos\\"}, "\"C:\\My Photos\\\\\""},  // a trailing backslash doubled before the quote
      {{"dirliftw", ""}, "\"\""},
      {{"dirliftw"}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedArguments(c.arguments), c.line) << c.line;
}

// A typed extended path is read in its plain form first.
TEST(IsRootPath, RefusesOnlyPathsWithoutParent) {
  for (const char* root : {"", "\\", "/", "\\\\", "C:", "C:\\", "c:/", "C:\\\\", "\\\\srv\\share", "\\\\srv\\share\\",
                           "//srv/share", "\\\\srv", "\\\\?\\C:\\", "\\\\?\\UNC\\srv\\share"})
    EXPECT_TRUE(IsRootPath(platform::PlainForm(root))) << root;
  for (const char* folder :
       {"C:\\x", "x", "\\x", "C:x", "\\\\srv\\share\\x", ".", "..", "x\\", "\\\\?\\C:\\x", "\\\\?\\UNC\\srv\\share\\x"})
    EXPECT_FALSE(IsRootPath(platform::PlainForm(folder))) << folder;
}

TEST(WriteUsage, FourLinesThenOneForEachLaterSwitch) {
  std::ostringstream out;
  WriteUsage(out);
  EXPECT_EQ(
      out.str(),
      "Syntax: dirlift <path> [<path> ...] [/o | /-o | /r | /n | gui] [/m] [/d] [/f | /f:N | /s] [/l | /p] [/u]\n\n"
      "\t/o\tOverwrite all existing files\n"
      "\t/-o\tDon't overwrite existing files\n"
      "\t/r\tKeep both: move a clashing entry up under a new name\n"
      "\t/n\tKeep the newer file: replace only by one 2 seconds newer or more\n"
      "\t/m\tMerge a clashing folder into the folder of its name (with a mode)\n"
      "\tgui\tHand the clashes to the Windows shell's dialogs, with undo\n"
      "\t/d\tLet an identical copy go to the Recycle Bin, with any mode\n"
      "\t/f\tFlatten: lift the entries of every subfolder, at every level\n"
      "\t/f:N\tFlatten N levels (1 to 99): the folders at level N move up whole\n"
      "\t/s\tLift a chain of single folders all the way down\n"
      "\t/l\tList what the lift would do, and change nothing\n"
      "\t/p\tShow what the lift will do, then ask once before doing it\n"
      "\t/u\tUndo the newest lift (of <path>, where given), replaced files included\n");
}

// Every command line reads into one value, and every refusal has its line,
// said on standard error, and exit status 2, with nothing done.
TEST(ReadCommandLine, OneValueForEveryLineAndEachRefusalItsLine) {
  using Folders = std::vector<std::string>;
  const RunMode Ask = RunMode::Ask;
  const char Unknown[] = "\" (expected /o, /-o, /r, /n, gui, /m, /d, /f, /f:N, /s, /l, /p or /u)";
  const std::string Empty = "the folder is missing: the path given is empty";
  const struct {
    std::vector<std::string> arguments;  // after the program name
    Action action;
    Folders folders;
    RunMode mode;
    std::string switches;  // of /m, /d, /f, /s, /l and /p, those given
    std::string problem;
  } cases[] = {
      {{}, Action::Usage, {}, Ask, "", ""},
      {{"X", "/o", "/?"}, Action::Usage, {}, Ask, "", ""},
      {{"/?", "/O"}, Action::Usage, {}, Ask, "", ""},
      {{"X"}, Action::Lift, {"X"}, Ask, "", ""},
      {{"X", "/m"}, Action::Lift, {"X"}, Ask, "/m", ""},
      {{"X", "/o", "/m"}, Action::Lift, {"X"}, RunMode::OverwriteAll, "/m", ""},
      {{"X", "/m", "/-o"}, Action::Lift, {"X"}, RunMode::KeepExisting, "/m", ""},
      {{"X", "/l", "/r", "/s"}, Action::Lift, {"X"}, RunMode::KeepBoth, "/s/l", ""},
      // Every switch counts wherever it stands; other words are more folders.
      {{"X", "gui", "more", "/m"}, Action::Lift, {"X", "more"}, RunMode::ShellBatch, "/m", ""},
      {{"gui", "Y", "/s"}, Action::Lift, {"gui", "Y"}, Ask, "/s", ""},
      {{"gui", "/u"}, Action::Undo, {"gui"}, Ask, "", ""},
      {{"X", "gui", "/d", "/m", "/f:3"}, Action::Lift, {"X"}, RunMode::ShellBatch, "/m/d/f:3", ""},
      // A quoted path with a trailing backslash, in any place.
      {{"A", "B C\" /l"}, Action::Lift, {"A", "B C"}, Ask, "/l", ""},
      {{"/u"}, Action::Undo, {}, Ask, "", ""},
      {{"X", "/u", "/l"}, Action::Undo, {"X"}, Ask, "/l", ""},
      {{"/u", "gui"}, Action::Undo, {}, Ask, "", "/u goes with /l alone, not with \"gui\""},
      {{"X", "/r", "/m", "/o"},
       Action::Refuse,
       {},
       Ask,
       "",
       "two modes given (\"/r\" and \"/o\"): give one of /o, /-o, /r, /n or gui"},
      {{"X", "/o", "extra", "gui"},
       Action::Refuse,
       {},
       Ask,
       "",
       "two modes given (\"/o\" and \"gui\"): give one of /o, /-o, /r, /n or gui"},
      {{"X", "/n", "/o"},
       Action::Refuse,
       {},
       Ask,
       "",
       "two modes given (\"/n\" and \"/o\"): give one of /o, /-o, /r, /n or gui"},
      {{"X", "/d", "/n"}, Action::Lift, {"X"}, RunMode::KeepNewer, "/d", ""},
      {{"X", "/r", "GUI"}, Action::Refuse, {}, Ask, "", "unknown switch \"GUI" + std::string(Unknown)},
      {{"X", "/m", "/O"}, Action::Refuse, {}, Ask, "", "unknown switch \"/O" + std::string(Unknown)},
      {{"X", "/m", "-o"}, Action::Refuse, {}, Ask, "", "unknown switch \"-o" + std::string(Unknown)},
      {{"X", "/M"}, Action::Refuse, {}, Ask, "", "unknown switch \"/M" + std::string(Unknown)},
      {{"-o", "X"}, Action::Refuse, {}, Ask, "", "unknown switch \"-o" + std::string(Unknown)},
      {{"/o", "X"}, Action::Refuse, {}, Ask, "", "the folder is missing: give it first, before \"/o\""},
      {{"/m"}, Action::Refuse, {}, Ask, "", "the folder is missing: give it first, before \"/m\""},
      {{""}, Action::Refuse, {}, Ask, "", Empty},
      {{"X", "", "/o"}, Action::Refuse, {}, Ask, "", Empty},
      {{"", "/u"}, Action::Refuse, {}, Ask, "", Empty},
      {{"A", "B", "/u"}, Action::Refuse, {}, Ask, "", "/u takes one folder, and \"A\" is given before \"B\""},
      {{"X", "/u", "/o"}, Action::Refuse, {}, Ask, "", "/u goes with /l alone, not with \"/o\""},
      {{"X", "/f", "/r"}, Action::Lift, {"X"}, RunMode::KeepBoth, "/f", ""},
      {{"X", "/f:2", "/l"}, Action::Lift, {"X"}, Ask, "/f:2/l", ""},
      {{"X", "/f:99"}, Action::Lift, {"X"}, Ask, "/f:99", ""},
      {{"X", "/f:1"}, Action::Lift, {"X"}, Ask, "", ""},
      {{"X", "/f:0"}, Action::Refuse, {}, Ask, "", "bad level \"0\" in \"/f:0\": give a whole number from 1 to 99"},
      {{"X", "/f:x"}, Action::Refuse, {}, Ask, "", "bad level \"x\" in \"/f:x\": give a whole number from 1 to 99"},
      {{"X", "/f:"}, Action::Refuse, {}, Ask, "", "bad level \"\" in \"/f:\": give a whole number from 1 to 99"},
      {{"X", "/f:100"},
       Action::Refuse,
       {},
       Ask,
       "",
       "bad level \"100\" in \"/f:100\": give a whole number from 1 to 99"},
      {{"X", "/f:+5"}, Action::Refuse, {}, Ask, "", "bad level \"+5\" in \"/f:+5\": give a whole number from 1 to 99"},
      {{"X", "/f:05"}, Action::Refuse, {}, Ask, "", "bad level \"05\" in \"/f:05\": give a whole number from 1 to 99"},
      {{"X", "/F"}, Action::Refuse, {}, Ask, "", "unknown switch \"/F" + std::string(Unknown)},
      {{"X", "/f", "/f"}, Action::Refuse, {}, Ask, "", "two flattens given (\"/f\" and \"/f\"): give /f or /f:N once"},
      {{"X", "/f", "/f:2"},
       Action::Refuse,
       {},
       Ask,
       "",
       "two flattens given (\"/f\" and \"/f:2\"): give /f or /f:N once"},
      {{"X", "/f:2", "/s"},
       Action::Refuse,
       {},
       Ask,
       "",
       "\"/f:2\" goes without /s: a flatten already takes every chain"},
      {{"/f", "X"}, Action::Refuse, {}, Ask, "", "the folder is missing: give it first, before \"/f\""},
      {{"X", "/f", "/p", "gui"}, Action::Lift, {"X"}, RunMode::ShellBatch, "/f/p", ""},
      {{"X", "/p", "/l"},
       Action::Refuse,
       {},
       Ask,
       "",
       "/p asks before a run, and /l only lists what a run would do: give one of them"},
      {{"X", "/p", "/u"}, Action::Refuse, {}, Ask, "", "/u goes with /l alone, not with \"/p\""},
      {{"/p", "X"}, Action::Refuse, {}, Ask, "", "the folder is missing: give it first, before \"/p\""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"dirlift"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.back();
    const CommandLine line = ReadCommandLine(arguments);
    const Action action = c.problem.empty() ? c.action : Action::Refuse;
    EXPECT_EQ(line.action, action) << shown;
    EXPECT_EQ(line.problem, c.problem) << shown;
    if (action == Action::Refuse) {
      std::istringstream in;
      std::ostringstream out, errors;
      EXPECT_EQ(RunDirlift(arguments, in, out, errors), ExitBadSwitch) << shown;
      EXPECT_EQ(errors.str(), "dirlift: " + c.problem + "\n");
      EXPECT_EQ(out.str(), "");
      continue;
    }
    EXPECT_EQ(line.folders, c.folders) << shown;
    EXPECT_EQ(line.choice.mode, c.mode) << shown;
    EXPECT_EQ(std::string(line.choice.mergeFolders ? "/m" : "") + (line.choice.dropCopies ? "/d" : "") +
                  (line.choice.levels == EveryLevel  ? "/f"
                   : line.choice.levels != PlainLift ? "/f:" + std::to_string(line.choice.levels)
                                                     : "") +
                  (line.choice.chains ? "/s" : "") + (line.choice.listOnly ? "/l" : "") +
                  (line.choice.promptFirst ? "/p" : ""),
              c.switches)
        << shown;
    // The arguments it stands for (an elevated rerun's) read back as the same line, every switch kept.
    const CommandLine again = ReadCommandLine(ArgumentsOf(line, "dirlift"));
    const RunChoice& was = line.choice;
    const RunChoice& is = again.choice;
    EXPECT_TRUE(again.action == line.action && again.folders == line.folders && is.mode == was.mode &&
                is.mergeFolders == was.mergeFolders && is.dropCopies == was.dropCopies && is.levels == was.levels &&
                is.chains == was.chains && is.listOnly == was.listOnly && is.promptFirst == was.promptFirst &&
                SwitchesOf(again) == SwitchesOf(line))
        << shown;
  }
  // The same switches in another order are the same run, to the gathering.
  EXPECT_EQ(SwitchesOf(ReadCommandLine({"dirlift", "X", "/m", "gui"})),
            SwitchesOf(ReadCommandLine({"dirlift", "Y", "gui", "/m"})));
}

TEST(IsLinkTag, OnlyNameSurrogatesAreLinks) {
  const struct {
    const char* name;
    unsigned long tag;
    bool link;
  } cases[] = {
      {"mount point (junction)", 0xA0000003, true},
      {"symbolic link", 0xA000000C, true},
      {"WSL symbolic link", 0xA000001D, true},
      {"no tag given", 0, true},
      {"cloud placeholder", 0x9000001A, false},
      {"cloud placeholder, OneDrive", 0x9000601A, false},
      {"cloud placeholder, last", 0x9000F01A, false},
      {"deduplicated file", 0x80000013, false},
      {"app execution alias (AppExecLink)", 0x8000001B, false},
      {"WSL Unix socket", 0x80000023, false},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::IsLinkTag(c.tag), c.link) << c.name;
}

TEST(NumberedName, NumbersBeforeTheExtension) {
  const struct {
    const char* name;
    bool folder;
    int number;
    const char* numbered;
  } cases[] = {
      {"report.doc", false, 2, "report (2).doc"},
      {"report.doc", false, 13, "report (13).doc"},
      {"archive.tar.gz", false, 2, "archive.tar (2).gz"},
      {"Makefile", false, 2, "Makefile (2)"},
      {"my.folder", true, 2, "my.folder (2)"},
      {".gitignore", false, 2, ".gitignore (2)"},
      {"..two", false, 2, "..two (2)"},
      {".config.json", false, 2, ".config (2).json"},
      {"a.", false, 2, "a. (2)"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberedName(c.name, c.folder, c.number), c.numbered) << c.name;
}

// No name the lift makes is longer than NTFS holds: the stem gives way, the
// extension and the mark stay, and a character outside the basic plane is
// never split.
TEST(NumberedName, ShortensALongStemToFitNtfs) {
  const std::string stem(250, 's'), emoji = "\xF0\x9F\x93\xB7";  // two UTF-16 units
  EXPECT_EQ(NumberedName(stem + ".txt", false, 2), std::string(247, 's') + " (2).txt");
  EXPECT_EQ(NumberedName(stem + "dd", true, 10), stem + " (10)");
  EXPECT_EQ(NumberedName(std::string(250, 'e') + emoji, false, 2), std::string(250, 'e') + " (2)");
  EXPECT_EQ(NameLength(emoji + "a"), 3u);
}

TEST(ReplacedFolderName, FitsNtfsAndWhereItCanTheShell) {
  const std::string stamp = "2026-12-08 10.15.02", tail = " (replaced 2026-12-08 10.15.02)";
  EXPECT_EQ(ReplacedFolderName("C:\\P", "X", stamp, 1), "X" + tail);
  EXPECT_EQ(ReplacedFolderName("C:\\P", "X", stamp, 2), "X" + tail + " (2)");
  // The shell takes paths of 259 characters: "C:\P\" leaves 254 for the name.
  const std::string longName(240, 'n');
  EXPECT_EQ(ReplacedFolderName("C:\\P", longName, stamp, 1), std::string(254 - tail.size(), 'n') + tail);
  // Where even a short name would not fit the shell, it still fits NTFS.
  const std::string deep = "C:\\" + std::string(300, 'd');
  EXPECT_EQ(ReplacedFolderName(deep, longName, stamp, 1), std::string(255 - tail.size(), 'n') + tail);
}

TEST(LinesForABox, ShowsFifteenLinesThenHowManyMore) {
  std::string lines;
  for (int i = 1; i <= 17; ++i) lines += "line " + std::to_string(i) + "\n";
  std::string fifteen;
  for (int i = 1; i <= 15; ++i) fifteen += "line " + std::to_string(i) + "\n";
  EXPECT_EQ(LinesForABox(lines), fifteen + "and 2 more");
  EXPECT_EQ(LinesForABox(fifteen), fifteen.substr(0, fifteen.size() - 1));
  EXPECT_EQ(LinesForABox("dirlift: one\n"), "dirlift: one");
  EXPECT_EQ(LinesForABox(""), "");
}

TEST(ProgressLine, CountsWithSeparatorsAndNeverOutgrowsTheConsole) {
  const struct {
    const char* folder;
    std::size_t done, total, maxColumns;
    const char* line;
  } cases[] = {
      {"photos-2024", 12345, 100000, 79, "Lifting photos-2024: 12,345 of 100,000 entries"},
      {"X", 0, 7, 79, "Lifting X: 0 of 7 entries"},
      {"X", 999, 1000, 79, "Lifting X: 999 of 1,000 entries"},
      {"X", 1234567, 1234567, 79, "Lifting X: 1,234,567 of 1,234,567 entries"},
      {"a-very-long-folder-name", 1, 2, 34, "Lifting a-very-...: 1 of 2 entries"},
      // Characters outside ASCII count two columns: the console may draw them so.
      {"照片照片照片", 1, 2, 33, "Lifting 照片照...: 1 of 2 entries"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.folder, c.done, c.total, c.maxColumns), c.line) << c.folder;
}

TEST(AskToOverwrite, OnlyAWholeWordOnItsLineAnswers) {
  const struct {
    const char* name;
    std::string input;
    std::vector<Answer> answers;  // for questions asked one after another
    std::size_t printed;
  } cases[] = {
      {"y", "y\n", {Answer::Yes, Answer::NoInput}, 2},
      {"yes", "yes\n", {Answer::Yes, Answer::NoInput}, 2},
      {"two lines", "y\nn\n", {Answer::Yes, Answer::No}, 2},
      {"no", "no\n", {Answer::No}, 1},
      {"all", "all\n", {Answer::All}, 1},
      {"a", "a\n", {Answer::All}, 1},
      // Words holding an "a" among other letters once answered "all".
      {"ja", "ja\nn\n", {Answer::No}, 2},
      {"cancel", "cancel\nn\n", {Answer::No}, 2},
      {"keep all", "keep all\n", {Answer::NoInput}, 2},
      {"capital Y then n", "Y\nn\n", {Answer::No}, 2},
      {"capitals are no answers", "N\nA\na\n", {Answer::All}, 3},
      {"blank line", "\nn\n", {Answer::No}, 2},
      {"blanks around", "  y \t\n", {Answer::Yes}, 1},
      {"no line end", "y", {Answer::Yes, Answer::NoInput}, 2},
      {"empty input", "", {Answer::NoInput, Answer::NoInput}, 2},
      {"CR LF lines", "n\r\nyes\r\n", {Answer::No, Answer::Yes}, 2},
      {"blank CR LF line", "\r\n", {Answer::NoInput}, 2},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    std::vector<Answer> answers;
    for (std::size_t i = 0; i < c.answers.size(); ++i) answers.push_back(AskToOverwrite("f.txt", "", in, out));
    EXPECT_EQ(answers, c.answers) << c.name;
    std::string expected;
    for (std::size_t i = 0; i < c.printed; ++i) expected += "\"f.txt\" does already exist. Overwrite? (Yes/No/All): ";
    EXPECT_EQ(out.str(), expected) << c.name;
  }
}

TEST(RepairQuotedPath, EndsThePathAtAQuoteAndTakesTheWordsAfterIt) {
  using Arguments = std::vector<std::string>;
  const struct {
    Arguments typed, repaired;
  } cases[] = {
      {{"dirlift", "C:\\My Photos\" /o"}, {"dirlift", "C:\\My Photos", "/o"}},
      {{"dirlift", "C:\\My Photos\""}, {"dirlift", "C:\\My Photos"}},
      {{"dirlift", "C:\\x\"  gui\t", "more"}, {"dirlift", "C:\\x", "gui", "more"}},
      {{"dirlift", "C:\\x", "/o"}, {"dirlift", "C:\\x", "/o"}},
      {{"dirlift", "A", "B C\" /l"}, {"dirlift", "A", "B C", "/l"}},
      {{"dirlift", "A\" B\" /o"}, {"dirlift", "A", "B", "/o"}},
      {{"dirlift"}, {"dirlift"}},
  };
  for (const auto& c : cases) EXPECT_EQ(RepairQuotedPath(c.typed), c.repaired) << c.typed[1 % c.typed.size()];
}

TEST(ShellBatch, ListsEndEachPathInNulAndCloseWithTwo) {
  std::string sources, destinations;
  AddToShellBatch(sources, destinations, "C:\\d\\X\\a", "C:\\d\\X\\..\\a");
  const std::wstring wideSources = platform::Wide(sources), wideDestinations = platform::Wide(destinations);
  const SHFILEOPSTRUCTW one = platform::ShellMoveRecord(wideSources, wideDestinations);
  EXPECT_EQ(std::wstring(one.pFrom, wideSources.size() + 1), Bytes(L"C:\\d\\X\\a\0\0"));
  EXPECT_EQ(std::wstring(one.pTo, wideDestinations.size() + 1), Bytes(L"C:\\d\\X\\..\\a\0\0"));

  AddToShellBatch(sources, destinations, "C:\\d\\X\\b c", "C:\\d\\X\\..\\b c");
  AddToShellBatch(sources, destinations, "C:\\d\\X\\d", "C:\\d\\X\\..\\d");
  EXPECT_EQ(sources, Bytes("C:\\d\\X\\a\0C:\\d\\X\\b c\0C:\\d\\X\\d\0"));
  EXPECT_EQ(destinations, Bytes("C:\\d\\X\\..\\a\0C:\\d\\X\\..\\b c\0C:\\d\\X\\..\\d\0"));
  EXPECT_EQ(ShellBatchPaths(sources), std::vector<std::string>({"C:\\d\\X\\a", "C:\\d\\X\\b c", "C:\\d\\X\\d"}));
}

TEST(ShellBatch, ListsInAnyScriptKeepTheirNulsInUtf16) {
  std::string sources, destinations;
  AddToShellBatch(sources, destinations, "C:\\照片\\a", "C:\\照片\\..\\a");
  AddToShellBatch(sources, destinations, "C:\\照片\\Ελ 😀", "C:\\照片\\..\\Ελ 😀");
  // The CJK folder name, then Greek and an emoji outside the basic plane (a surrogate pair).
  EXPECT_EQ(platform::Wide(sources), Bytes(L"C:\\\x7167\x7247\\a\0C:\\\x7167\x7247\\\x0395\x03bb \xd83d\xde00\0"));
  EXPECT_EQ(platform::Utf8(platform::Wide(destinations)), destinations);
}

TEST(ShellBatch, RecordMovesWithUndoAndNoOwner) {
  const std::wstring sources = Bytes(L"C:\\X\\a\0"), destinations = Bytes(L"C:\\X\\..\\a\0");
  const SHFILEOPSTRUCTW record = platform::ShellMoveRecord(sources, destinations);
  EXPECT_EQ(record.hwnd, nullptr);
  EXPECT_EQ(record.wFunc, static_cast<UINT>(FO_MOVE));
  EXPECT_EQ(record.pFrom, sources.c_str());
  EXPECT_EQ(record.pTo, destinations.c_str());
  EXPECT_EQ(record.fFlags, 0x0041);
}

TEST(ShellBatch, RefusesWhatPlainPathsCannotCarry) {
  const std::string deep = "C:\\" + std::string(250, 'd') + "\\";
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {
      {"C:\\d\\X\\a", ""},
      {"\\\\srv\\share\\X\\nulls.txt", ""},
      {"C:\\d\\X\\a.", "the shell takes no name that ends in a dot or a blank, such as \"a.\""},
      {"C:\\d\\X\\b ", "the shell takes no name that ends in a dot or a blank, such as \"b \""},
      {"C:\\d\\X.\\b", "the shell takes no name that ends in a dot or a blank, such as \"X.\""},
      {"C:\\d\\X\\CON", "the shell takes \"CON\" for a device"},
      {"C:\\d\\X\\nul.txt", "the shell takes \"nul.txt\" for a device"},
      {"C:\\d\\X\\Aux .c", "the shell takes \"Aux .c\" for a device"},
      {"C:\\d\\X\\com9", "the shell takes \"com9\" for a device"},
      {deep + "12345", ""},  // 259 characters
      {deep + "123456", "the shell takes no path of 260 characters or more"},
      // 259 characters, one of them outside the basic plane: 260 UTF-16 units.
      {deep + "1234\xf0\x9f\x98\x80", "the shell takes no path of 260 characters or more"},
  };
  for (const auto& c : cases) EXPECT_EQ(WhyTheShellCannotTake(c.path), c.reason) << c.path;
}

TEST(ExtendedPath, PrefixesFullPathsOnly) {
  const struct {
    const char* path;
    const wchar_t* extended;
  } cases[] = {
      {"C:\\d\\a.", L"\\\\?\\C:\\d\\a."},
      {"\\\\srv\\share\\X\\CON", L"\\\\?\\UNC\\srv\\share\\X\\CON"},
      {"\\\\?\\C:\\d", L"\\\\?\\C:\\d"},
      {"\\\\.\\pipe\\p", L"\\\\.\\pipe\\p"},
      {"C:x", L"C:x"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ExtendedPath(c.path), c.extended) << c.path;
}

TEST(SameName, IsEqualButForCaseAsWindowsCompares) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Photos", "photos", true},
      {"x", "X", true},
      {"Ελληνικά", "ΕΛΛΗΝΙΚΆ", true},
      {"caf\xc3\xa9", "CAF\xc3\x89", true},
      {"caf\xc3\xa9", "cafe\xcc\x81", false},  // precomposed and combining accent
      {"photos", "photos ", false},
      {"REPO~H1X.DOC", "Report 2023 final.doc", false},
      {"a", "b", false},
      {"", "", true},
  };
  for (const auto& c : cases) EXPECT_EQ(SameName(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(ShellResult, CancelIsNoFailureAndEachFailureSaysWhy) {
  const struct {
    int result;
    bool aborted;
    platform::ShellOutcome outcome;
    std::string reason;
  } cases[] = {
      {0, false, platform::ShellOutcome::Done, ""},
      {0, true, platform::ShellOutcome::Cancelled, ""},
      {ERROR_CANCELLED, false, platform::ShellOutcome::Cancelled, ""},
      {0x75, false, platform::ShellOutcome::Cancelled, ""},  // the shell's own "cancelled" code
      {0x7C, false, platform::ShellOutcome::Failed, "a source or destination path is invalid"},
      {0x402, false, platform::ShellOutcome::Failed,
       "an unknown error occurred, typically an invalid source or destination path"},
      {ERROR_ACCESS_DENIED, false, platform::ShellOutcome::Failed, platform::SystemErrorText(ERROR_ACCESS_DENIED)},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(platform::ShellResult(c.result, c.aborted, reason), c.outcome) << c.result;
    EXPECT_EQ(reason, c.reason) << c.result;
  }
}

TEST(SystemErrorText, IsOneLineOfText) {
  const std::string text = platform::SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  EXPECT_EQ(text.find('\r'), std::string::npos) << text;
}

}  // namespace

namespace {

// A record's lines are fixed text that scripts and older versions read; it
// reads back field for field. A line cut short by a killed run, and one of a
// kind not known, are no steps.
TEST(Record, ReadsBackWhatWasWritten) {
  const std::string R = "C:\\P\\X (replaced 2026-12-08 10.15.02)";
  const std::vector<std::pair<Step, std::string>> steps = {
      {{StepKind::Make, R, "", {0, 0}, 0, false}, "make\t" + R + "\n"},
      {{StepKind::Move, "C:\\P\\a b.txt", R + "\\a b.txt", {0x1234ABCD, 1ULL << 40}, 0, false},
       "move\tC:\\P\\a b.txt\t" + R + "\\a b.txt\t305441741\t1099511627776\n"},
      {{StepKind::Shell, "C:\\P\\X\\c", "C:\\P\\c", {7, 9}, 0, false}, "shell\tC:\\P\\X\\c\tC:\\P\\c\t7\t9\n"},
      {{StepKind::Remove, "C:\\P\\X", "", {0, 0}, 0x15, false, 132000000000000000ULL, 132000000010000000ULL},
       "remove\tC:\\P\\X\t21\t132000000000000000\t132000000010000000\n"},
      {{StepKind::Recycle, R, "", {0, 0}, 0, false}, "recycle\t" + R + "\n"},
  };
  std::string text = HeaderLine({"C:\\P\\X", "C:\\P\\Y"}, "20261208-091502-123", "2026-12-08 10.15.02");
  EXPECT_EQ(text, "dirlift undo record\t3\t20261208-091502-123\t2026-12-08 10.15.02\tC:\\P\\X\tC:\\P\\Y\n");
  for (const auto& step : steps) {
    EXPECT_EQ(StepLine(step.first), step.second);
    text += step.second;
  }
  Record record;
  ASSERT_TRUE(ReadRecord(text + "later\tx\nmove\tC:\\P\\cut", record));
  EXPECT_EQ(record.started, "2026-12-08 10.15.02");
  EXPECT_EQ(record.folders, std::vector<std::string>({"C:\\P\\X", "C:\\P\\Y"}));
  ASSERT_EQ(record.steps.size(), steps.size());
  for (std::size_t at = 0; at < steps.size(); ++at) {
    const Step& read = record.steps[at];
    const Step& written = steps[at].first;
    EXPECT_TRUE(read.kind == written.kind && read.from == written.from && read.to == written.to &&
                read.identity == written.identity && read.attributes == written.attributes &&
                read.creation == written.creation && read.lastWrite == written.lastWrite && !read.undone)
        << steps[at].second;
  }
  EXPECT_TRUE(HasStepLeft(record));
  // Each step put back is marked; a record with every step marked is done.
  ASSERT_TRUE(ReadRecord(text + UndoneLine(1) + UndoneLine(3), record));
  EXPECT_EQ(UndoneLine(3), "undone\t3\n");
  EXPECT_TRUE(!record.steps[0].undone && record.steps[1].undone && !record.steps[2].undone && record.steps[3].undone);
  ASSERT_TRUE(ReadRecord(text + UndoneLine(0) + UndoneLine(1) + UndoneLine(2) + UndoneLine(3) + UndoneLine(4), record));
  EXPECT_FALSE(HasStepLeft(record));
  // The second version's: a removed folder without its times.
  ASSERT_TRUE(
      ReadRecord("dirlift undo record\t2\t20261208-091502-123\t2026-12-08 10.15.02\tC:\\P\\X\n"
                 "remove\tC:\\P\\X\t21\n",
                 record));
  ASSERT_EQ(record.steps.size(), 1u);
  EXPECT_TRUE(record.steps[0].attributes == 21 && record.steps[0].lastWrite == 0);
  // The first version's records: local time, and the whole run marked undone.
  ASSERT_TRUE(ReadRecord("dirlift undo record\t1\t2026-12-08 10.15.02\tC:\\P\\X\nremove\tC:\\P\\X\n", record));
  EXPECT_EQ(record.started, "2026-12-08 10.15.02");
  EXPECT_EQ(record.folders, std::vector<std::string>({"C:\\P\\X"}));
  EXPECT_TRUE(HasStepLeft(record));
  ASSERT_TRUE(
      ReadRecord("dirlift undo record\t1\t2026-12-08 10.15.02\tC:\\P\\X\nremove\tC:\\P\\X\n"
                 "undone\t2026-12-08 10.20.00\n",
                 record));
  EXPECT_FALSE(HasStepLeft(record));
  EXPECT_FALSE(ReadRecord("not a record\n", record));
}

}  // namespace
