#include "preview/preview.h"

#include <ostream>
#include <vector>

#include "lift/paths.h"

namespace {

// The kinds of entry lines, in the order the closing line counts them: a lift's, and an undo's.
const std::vector<const char*> EntryKinds = {"move", "replace", "keep", "rename", "merge", "ask", "shell", "fail"};
const std::vector<const char*> UndoKinds = {"move", "restore", "make", "remove", "fail"};

// The word a line starts with, or none for what the preview does not list.
const char* KindOf(Happening happening) {
  switch (happening) {
    case Happening::Move:
    case Happening::MoveBack:
      return "move";
    case Happening::Restore:
      return "restore";
    case Happening::Make:
      return "make";
    case Happening::Replace:
      return "replace";
    case Happening::Keep:
      return "keep";
    case Happening::Same:
      return "same";
    case Happening::Recycle:
      return "recycle";
    case Happening::Rename:
      return "rename";
    case Happening::Merge:
      return "merge";
    case Happening::Shell:
      return "shell";
    case Happening::Fail:
    case Happening::Problem:
      return "fail";
    case Happening::Lift:
      return "lift";
    case Happening::Remove:
      return "remove";
    case Happening::Stay:
      return "stay";
    default:
      return nullptr;
  }
}

}  // namespace

PreviewListener::PreviewListener(std::ostream& out, std::ostream& errors, bool countsCopies, bool countsFolderFiles)
    : out_(out), errors_(errors), refusals_(0), countsCopies_(countsCopies), countsFolderFiles_(countsFolderFiles) {}

void PreviewListener::Tell(const Event& event) {
  if (event.happening == Happening::Refuse) {
    ++refusals_;
    errors_ << "dirlift: " << event.failure << ": " << event.detail << std::endl;
    return;
  }
  const char* kind = KindOf(event.happening);
  if (kind == nullptr) return;
  // The ask line stands for the entry that the answer no keeps.
  const bool answeredNo = event.happening == Happening::Keep && event.name == asked_;
  asked_.clear();
  if (answeredNo) return;
  ++counts_[kind];
  out_ << kind << ' ' << Quoted(event.name);
  if (event.happening == Happening::Rename || event.happening == Happening::MoveBack)
    out_ << " -> " << Quoted(event.detail);
  const bool reasoned = event.happening == Happening::Keep && !event.detail.empty();
  if (event.happening == Happening::Fail || event.happening == Happening::Problem || reasoned)
    out_ << ": " << event.detail;
  out_ << std::endl;
}

Answer PreviewListener::Ask(const std::string&, const std::string&, const std::string& shown) {
  ++counts_["ask"];
  out_ << "ask " << Quoted(shown) << std::endl;
  asked_ = shown;
  return Answer::No;
}

bool PreviewListener::StopRequested() { return false; }

void PreviewListener::Summarize(bool undo) {
  out_ << "preview:";
  const char* separator = " ";
  for (const char* kind : undo ? UndoKinds : EntryKinds) {
    out_ << separator << counts_[kind] << ' ' << kind;
    separator = ", ";
    // Scripts read the line as it was before /d: only with /d does it count copies.
    if (!undo && countsCopies_ && std::string(kind) == "keep") out_ << separator << counts_["same"] << " same";
    if (!undo && countsFolderFiles_ && std::string(kind) == "fail")
      out_ << separator << counts_["recycle"] << " recycle";
  }
  out_ << "; nothing was changed" << std::endl;
}

std::size_t PreviewListener::Refusals() const { return refusals_; }

std::size_t PreviewListener::Count(const std::string& kind) const {
  const auto counted = counts_.find(kind);
  return counted == counts_.end() ? 0 : counted->second;
}
