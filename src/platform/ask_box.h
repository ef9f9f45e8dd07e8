#pragma once
// The one box that asks before a run: a task dialog with a verb button and
// the details in its expandable area where Windows has one (Vista on), else a
// message box with OK and Cancel. Relies on the text module.

#include <string>

namespace platform {

// Shows `text` in a box titled `title`, with `details` below it in a task
// dialog's expandable area, or `fewerDetails` in a message box, which cannot
// grow. True only for the verb (or OK);
// Cancel, Escape or closing the box is false, and so is a box that cannot be shown.
bool AskGoAheadBox(const std::string& title, const std::string& text, const std::string& details,
                   const std::string& fewerDetails, const std::string& verb);

}  // namespace platform
