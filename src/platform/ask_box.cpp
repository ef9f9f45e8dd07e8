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

}  // namespace

bool AskGoAheadBox(const std::string& title, const std::string& text, const std::string& details,
                   const std::string& fewerDetails, const std::string& verb) {
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
  const std::string boxText = fewerDetails.empty() ? text : text + "\n\n" + fewerDetails;
  return MessageBoxW(nullptr, Wide(boxText).c_str(), Wide(title).c_str(),
                     MB_OKCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDOK;
}

}  // namespace platform
