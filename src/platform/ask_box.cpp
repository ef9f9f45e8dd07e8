// The task dialog came with Windows Vista: its types are taken from the
// headers for Vista, and its function looked up when it runs, so that the
// program still starts on XP, where the message box stands in.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "platform/ask_box.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/text.h"

namespace platform {

namespace {

const int VerbButton = 100;

typedef HRESULT(WINAPI* TaskDialogFunction)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// The first `most` lines of `details`, then how many more there are.
std::string FirstLines(const std::string& details, std::size_t most) {
  std::string shown;
  std::size_t lines = 0, more = 0;
  for (std::string::size_type start = 0; start < details.size();) {
    std::string::size_type end = details.find('\n', start);
    if (end == std::string::npos) end = details.size();
    if (lines < most) {
      shown += details.substr(start, end - start) + "\n";
      ++lines;
    } else {
      ++more;
    }
    start = end + 1;
  }
  if (more > 0) shown += "and " + std::to_string(more) + " more\n";
  return shown;
}

}  // namespace

bool AskGoAheadBox(const std::string& title, const std::string& text, const std::string& details,
                   const std::string& verb, std::size_t linesInMessageBox) {
  const HMODULE controls = LoadLibraryW(L"comctl32.dll");
  const auto taskDialog = controls == nullptr ? nullptr
                                              : reinterpret_cast<TaskDialogFunction>(reinterpret_cast<void*>(
                                                    GetProcAddress(controls, "TaskDialogIndirect")));
  if (taskDialog != nullptr) {
    const std::wstring wideTitle = Wide(title), wideText = Wide(text), wideDetails = Wide(details),
                       wideVerb = Wide(verb);
    const TASKDIALOG_BUTTON buttons[] = {{VerbButton, wideVerb.c_str()}};
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.pszWindowTitle = wideTitle.c_str();
    config.pszMainIcon = TD_INFORMATION_ICON;
    config.pszContent = wideText.c_str();
    config.pszExpandedInformation = details.empty() ? nullptr : wideDetails.c_str();
    config.cButtons = 1;
    config.pButtons = buttons;
    config.nDefaultButton = IDCANCEL;
    int pressed = IDCANCEL;
    const bool shown = SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr));
    FreeLibrary(controls);
    if (shown) return pressed == VerbButton;
  } else if (controls != nullptr) {
    FreeLibrary(controls);
  }
  const std::string boxText = details.empty() ? text : text + "\n\n" + FirstLines(details, linesInMessageBox);
  return MessageBoxW(nullptr, Wide(boxText).c_str(), Wide(title).c_str(),
                     MB_OKCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDOK;
}

}  // namespace platform
