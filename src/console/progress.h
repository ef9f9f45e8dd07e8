#pragma once
// What the user sees of a long lift: after a second, a status line on an
// interactive console, or in a gui run the shell's progress dialog, whose Cancel
// stops the run. Relies on the platform's clock and progress dialog; the status
// line goes to the error stream, which is then the console.

#include <cstddef>
#include <iosfwd>
#include <string>

#include "platform/platform.h"

enum class ProgressView { Hidden, ConsoleLine, ShellDialog };

struct Progress {
  ProgressView view;
  unsigned long startTick;          // when the run began
  unsigned long lastShownTick;      // when the view was last brought up to date
  std::size_t consoleWidth;         // columns the status line may fill
  std::size_t lineColumns;          // columns of the status line now on the console; 0: none
  platform::ShellProgress* dialog;  // the open progress dialog, if any
  bool cancelled;                   // the user pressed Cancel in the dialog
};

// A run's progress, nothing shown yet; `consoleWidth` matters for ConsoleLine.
Progress StartProgress(ProgressView view, std::size_t consoleWidth);

// Counts the pass lifting `folder` at `done` of `total` entries. Shows or updates
// the view once the run has lasted a second, at most ten times a second. Costs
// nothing where the view is hidden.
void ShowProgress(Progress& progress, const std::string& folder, std::size_t done, std::size_t total,
                  std::ostream& errors);

// Erases the status line, so that a question or an error line starts on a clean line.
void ClearProgressLine(Progress& progress, std::ostream& errors);

// Takes the view off the screen: the status line, and the dialog before the
// shell's own dialogs or the failure box. It comes back at the next update.
void EndProgress(Progress& progress, std::ostream& errors);

// True once the user pressed Cancel in the progress dialog.
bool CancelRequested(Progress& progress);

// "Lifting photos: 12,345 of 100,000 entries", the folder's name shortened with
// "..." where the whole would not fit in `maxColumns`.
std::string ProgressLine(const std::string& folderName, std::size_t done, std::size_t total, std::size_t maxColumns);

// "12,345 of 100,000 entries"
std::string EntryCount(std::size_t done, std::size_t total);
