#include "console/console_listener.h"

#include <ostream>

#include "console/question.h"
#include "lift/paths.h"

namespace {

// What counts as one more entry of its folder done.
bool IsEntryDone(Happening happening) {
  switch (happening) {
    case Happening::Move:
    case Happening::Replace:
    case Happening::Keep:
    case Happening::Same:
    case Happening::Recycle:
    case Happening::Rename:
    case Happening::Merge:
    case Happening::Shell:
    case Happening::Fail:
      return true;
    default:
      return false;
  }
}

}  // namespace

ConsoleListener::ConsoleListener(std::istream& answers, std::ostream& out, std::ostream& errors, Progress& progress)
    : answers_(answers), out_(out), errors_(errors), progress_(progress) {}

void ConsoleListener::Tell(const Event& event) {
  switch (event.happening) {
    case Happening::Begin:
      counts_.push_back({event.detail, 0, event.count});
      break;
    case Happening::End:
      if (!counts_.empty()) counts_.pop_back();
      break;
    case Happening::Rename:
      ClearProgressLine(progress_, errors_);
      out_ << Quoted(event.name) << " -> " << Quoted(event.detail) << std::endl;
      wrote_ = true;
      break;
    case Happening::Fail:
    case Happening::Problem:
    case Happening::Notice:
    case Happening::Refuse:
      ClearProgressLine(progress_, errors_);
      errors_ << "dirlift: " << event.failure << ": " << event.detail << std::endl;
      break;
    case Happening::HandOver:
      // The shell's own dialogs take over from here.
      EndProgress(progress_, errors_);
      break;
    default:
      break;
  }
  if (IsEntryDone(event.happening) && !counts_.empty()) {
    FolderCount& folder = counts_.back();
    ShowProgress(progress_, folder.label, ++folder.done, folder.total, errors_);
  }
}

Answer ConsoleListener::Ask(const std::string& name, const std::string& origin, const std::string&) {
  // The question starts on a clean line.
  ClearProgressLine(progress_, errors_);
  return AskToOverwrite(name, origin, answers_, out_);
}

bool ConsoleListener::Wrote() const { return wrote_; }

bool ConsoleListener::StopRequested() { return CancelRequested(progress_); }
