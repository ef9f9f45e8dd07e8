#include "app/look_first.h"

#include <istream>
#include <set>
#include <sstream>

#include "app/run.h"
#include "app/typed_folder.h"
#include "console/question.h"
#include "lift/windows_file_system.h"
#include "platform/platform.h"
#include "preview/model.h"

namespace {

const char NothingMoves[] = "nothing would move, so nothing was asked and nothing changed";
// The reasons why entries stay, named in the box, at most.
const std::size_t ReasonsNamed = 3;

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The reasons of the preview's "fail" lines, each once, in their order.
std::vector<std::string> ReasonsToStay(const std::string& lines) {
  std::vector<std::string> reasons;
  std::set<std::string> seen;
  std::istringstream listing(lines);
  for (std::string line; std::getline(listing, line);) {
    const std::string::size_type reason = line.find("\": ");
    if (line.rfind("fail ", 0) != 0 || reason == std::string::npos) continue;
    if (seen.insert(line.substr(reason + 3)).second) reasons.push_back(line.substr(reason + 3));
  }
  return reasons;
}

// Whether some entry would move: a clash asked about may, where someone can
// answer; without a console every clash is kept.
bool SomeEntryWouldMove(const PreviewListener& preview, bool boxed) {
  for (const char* kind : {"move", "replace", "rename", "merge", "same", "shell", "recycle"})
    if (preview.Count(kind) > 0) return true;
  return !boxed && preview.Count("ask") > 0;
}

}  // namespace

std::string WhatTheRunWillDo(const PreviewListener& preview, const std::string& lines, const RunChoice& choice) {
  std::vector<std::string> said;
  const std::size_t moves = preview.Count("move"), renamed = preview.Count("rename");
  if (moves > 0) said.push_back(Counted(moves, "entry moves up", "entries move up"));
  if (renamed > 0)
    said.push_back(Counted(renamed, "entry moves up under a new name", "entries move up under new names"));
  if (preview.Count("merge") > 0)
    said.push_back(Counted(preview.Count("merge"), "folder is merged into the folder of its name",
                           "folders are merged into the folders of their names"));
  if (preview.Count("replace") > 0)
    said.push_back(Counted(preview.Count("replace"), "file replaces the file of its name",
                           "files replace the files of their names") +
                   " (the old ones go to the Recycle Bin)");
  if (preview.Count("shell") > 0)
    said.push_back(Counted(preview.Count("shell"), "clash goes", "clashes go") + " to the shell's own dialog");
  if (preview.Count("same") > 0)
    said.push_back(Counted(preview.Count("same"), "identical copy goes", "identical copies go") +
                   " to the Recycle Bin");
  const std::size_t kept = preview.Count("keep") + preview.Count("ask");
  if (kept > 0)
    said.push_back(Counted(kept, "clash is kept", "clashes are kept") +
                   ": the entry stays, the file in the parent too");
  if (preview.Count("fail") > 0) {
    std::string stays = Counted(preview.Count("fail"), "entry stays", "entries stay");
    const std::vector<std::string> reasons = ReasonsToStay(lines);
    for (std::size_t at = 0; at < reasons.size() && at < ReasonsNamed; ++at)
      stays += (at == 0 ? ": " : "; ") + reasons[at];
    said.push_back(stays);
  }
  const std::size_t removed = preview.Count("remove");
  if (removed > 0)
    said.push_back(Counted(removed, "folder is", "folders are") +
                   (choice.levels > PlainLift ? " dissolved and removed" : " removed once empty"));
  std::string text;
  for (const std::string& one : said) text += (text.empty() ? "" : "\n") + one;
  return text;
}

Look LookFirst(const std::vector<std::string>& typed, const RunChoice& choice, std::istream& in, std::ostream& out,
               std::ostream& errors, bool boxed) {
  Look look = {LookOutcome::Stop, {}, false};
  if (boxed && !platform::CanShowWindows()) {
    errors << "dirlift: /p cannot ask before the run: no window can be shown" << std::endl;
    look.outcome = LookOutcome::CannotAsk;
    return look;
  }
  // The preview is the run's own, on a model of the folders, as /l makes it.
  RunChoice preview = choice;
  preview.listOnly = true;
  WindowsFileSystem windows;
  ModelFileSystem model(windows);
  // Its lines are held until it is known that something would move.
  std::ostringstream lines;
  PreviewListener listener(lines, errors, choice.dropCopies, choice.levels > PlainLift);
  std::vector<ResolvedFolder> folders;
  ResolveFolders(typed, folders, model, listener);
  look.refused = listener.Refusals() > 0;
  for (const ResolvedFolder& folder : folders) look.folders.push_back(folder.path);
  if (folders.empty()) return look;
  LiftFolders(folders, preview, model, listener);
  if (!SomeEntryWouldMove(listener, boxed)) {
    out << NothingMoves << std::endl;
    if (boxed) platform::ShowInformationBox(BoxTitle, std::string("dirlift: ") + NothingMoves);
    look.outcome = LookOutcome::NothingMoves;
    return look;
  }
  if (boxed) {
    const std::string verb = choice.levels > PlainLift ? "Flatten" : "Lift";
    // A message box shows the preview's first lines, then how many more.
    const bool go = platform::AskGoAheadBox(BoxTitle, WhatTheRunWillDo(listener, lines.str(), choice), lines.str(),
                                            LinesForABox(lines.str()), verb);
    look.outcome = go ? LookOutcome::GoAhead : LookOutcome::Stop;
    return look;
  }
  listener.Summarize();
  out << lines.str();
  look.outcome = AskToGoAhead(in, out) ? LookOutcome::GoAhead : LookOutcome::Stop;
  return look;
}
