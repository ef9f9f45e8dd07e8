#include "console/progress.h"

#include <ostream>

namespace {

const unsigned long QuietMilliseconds = 1000;          // a shorter run shows nothing
const unsigned long UpdateIntervalMilliseconds = 100;  // at most ten updates a second
const char DialogTitle[] = "dirlift";
const char Ellipsis[] = "...";
const std::size_t DigitsPerGroup = 3;
// The console may show a character outside ASCII two columns wide (CJK); the
// line is measured as if each were, so that it never wraps.
const std::size_t WideColumns = 2;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t Columns(const std::string& text) {
  std::size_t columns = 0;
  for (const char c : text)
    if (!IsContinuationByte(c)) columns += static_cast<unsigned char>(c) < 0x80 ? 1 : WideColumns;
  return columns;
}

// The longest start of `text` that fills at most `columns`, cut between characters.
std::string FirstColumns(const std::string& text, std::size_t columns) {
  std::string::size_type end = 0;
  std::size_t used = 0;
  while (end < text.size()) {
    std::string::size_type next = end + 1;
    while (next < text.size() && IsContinuationByte(text[next])) ++next;
    const std::size_t width = static_cast<unsigned char>(text[end]) < 0x80 ? 1 : WideColumns;
    if (used + width > columns) break;
    used += width;
    end = next;
  }
  return text.substr(0, end);
}

std::string WithThousandsSeparators(std::size_t number) {
  std::string digits = std::to_string(number);
  for (std::string::size_type at = digits.size(); at > DigitsPerGroup; at -= DigitsPerGroup)
    digits.insert(at - DigitsPerGroup, ",");
  return digits;
}

bool IsDue(const Progress& progress, unsigned long now) {
  return now - progress.startTick > QuietMilliseconds && now - progress.lastShownTick >= UpdateIntervalMilliseconds;
}

void DrawLine(Progress& progress, const std::string& line, std::ostream& errors) {
  const std::size_t columns = Columns(line);
  // Blanks cover what is left of a longer line before it.
  const std::size_t blanks = progress.lineColumns > columns ? progress.lineColumns - columns : 0;
  errors << '\r' << line << std::string(blanks, ' ') << std::flush;
  progress.lineColumns = columns;
}

}  // namespace

std::string EntryCount(std::size_t done, std::size_t total) {
  return WithThousandsSeparators(done) + " of " + WithThousandsSeparators(total) + " entries";
}

std::string ProgressLine(const std::string& folderName, std::size_t done, std::size_t total, std::size_t maxColumns) {
  const std::string before = "Lifting ", after = ": " + EntryCount(done, total);
  const std::size_t fixed = Columns(before) + Columns(after);
  std::string name = folderName;
  if (fixed + Columns(name) > maxColumns) {
    const std::size_t room = maxColumns > fixed + Columns(Ellipsis) ? maxColumns - fixed - Columns(Ellipsis) : 0;
    name = FirstColumns(name, room) + Ellipsis;
  }
  return before + name + after;
}

Progress StartProgress(ProgressView view, std::size_t consoleWidth) {
  const unsigned long now = view == ProgressView::Hidden ? 0 : platform::Milliseconds();
  return {view, now, now, consoleWidth, 0, nullptr, false};
}

void ShowProgress(Progress& progress, const std::string& folder, std::size_t done, std::size_t total,
                  std::ostream& errors) {
  if (progress.view == ProgressView::Hidden) return;  // no clock read: as fast as without
  const unsigned long now = platform::Milliseconds();
  if (!IsDue(progress, now)) return;
  progress.lastShownTick = now;
  if (progress.view == ProgressView::ConsoleLine) {
    // One column less than the width: a full line would wrap the cursor.
    DrawLine(progress, ProgressLine(folder, done, total, progress.consoleWidth - 1), errors);
    return;
  }
  if (progress.dialog == nullptr) progress.dialog = platform::OpenShellProgress(DialogTitle);
  platform::UpdateShellProgress(progress.dialog, "Lifting " + folder, EntryCount(done, total), done, total);
}

void ClearProgressLine(Progress& progress, std::ostream& errors) {
  if (progress.lineColumns == 0) return;
  errors << '\r' << std::string(progress.lineColumns, ' ') << '\r' << std::flush;
  progress.lineColumns = 0;
}

void EndProgress(Progress& progress, std::ostream& errors) {
  ClearProgressLine(progress, errors);
  if (progress.dialog == nullptr) return;
  // A Cancel pressed just before the dialog closes still counts.
  CancelRequested(progress);
  platform::CloseShellProgress(progress.dialog);
  progress.dialog = nullptr;
}

bool CancelRequested(Progress& progress) {
  if (progress.dialog != nullptr && platform::ShellProgressCancelled(progress.dialog)) progress.cancelled = true;
  return progress.cancelled;
}
