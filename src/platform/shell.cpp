#include "platform/shell.h"

#include <shlobj.h>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

namespace {

// SHFileOperation returns codes of its own from before Win32 (the DE_ codes)
// for some failures; they overlap Win32 error codes of other meanings.
const int ShellCancelled = 0x75;  // DE_OPCANCELLED
const struct {
  int code;
  const char* text;
} ShellErrors[] = {
    {0x71, "the source and destination are the same file"},
    {0x72, "several sources were given but only one destination"},
    {0x74, "the source is a root folder, which cannot be moved"},
    {0x76, "the destination is inside the source"},
    {0x78, "security settings denied access to the source"},
    {0x79, "a path is or would become too long"},
    {0x7A, "the move involved several destinations"},
    {0x7C, "a source or destination path is invalid"},
    {0x7D, "the source and destination have the same parent folder"},
    {0x7E, "the destination is an existing file"},
    {0x80, "the destination is an existing folder"},
    {0x81, "a name is too long"},
    {0x85, "a file is too large for the destination's file system"},
    {0xB7, "a path grew too long during the move"},
    {0x402, "an unknown error occurred, typically an invalid source or destination path"},
    {0x10000, "an unspecified error occurred at the destination"},
};

std::string ShellErrorText(int code) {
  for (const auto& known : ShellErrors)
    if (known.code == code) return known.text;
  return SystemErrorText(static_cast<unsigned long>(code));
}

}  // namespace

bool RecycleFolder(const std::string& folder, std::string& reason) {
  // The shell takes plain paths, in a list ended by two NULs.
  const std::wstring list = Wide(folder) + L'\0';
  SHFILEOPSTRUCTW record = {};
  record.wFunc = FO_DELETE;
  record.pFrom = list.c_str();
  record.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
  const int result = SHFileOperationW(&record);
  // The shell may say nothing of what it could not do: the folder tells.
  if (!PathExists(folder)) return true;
  reason = result != 0 ? ShellErrorText(result) : "the shell left it in place";
  return false;
}

SHFILEOPSTRUCTW ShellMoveRecord(const std::wstring& fromList, const std::wstring& toList) {
  SHFILEOPSTRUCTW record = {};
  record.hwnd = nullptr;  // the shell's dialogs have no owner window
  record.wFunc = FO_MOVE;
  // c_str() supplies the list's closing NUL: each path already ends in one, so the
  // last is followed by the two NULs that end a shell path list.
  record.pFrom = fromList.c_str();
  record.pTo = toList.c_str();
  // Each source has its own destination, and the move can be undone.
  record.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO;
  return record;
}

ShellOutcome ShellMove(const std::string& fromList, const std::string& toList, std::string& reason) {
  const std::wstring wideFrom = Wide(fromList), wideTo = Wide(toList);
  SHFILEOPSTRUCTW record = ShellMoveRecord(wideFrom, wideTo);
  const int result = SHFileOperationW(&record);
  return ShellResult(result, record.fAnyOperationsAborted != FALSE, reason);
}

ShellOutcome ShellResult(int result, bool anyAborted, std::string& reason) {
  if (anyAborted || result == ERROR_CANCELLED || result == ShellCancelled) return ShellOutcome::Cancelled;
  if (result == 0) return ShellOutcome::Done;
  reason = ShellErrorText(result);
  return ShellOutcome::Failed;
}

void ShowWarningBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONWARNING);
}

void ShowInformationBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool AskYesNoBox(const std::string& title, const std::string& text) {
  return MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

struct ShellProgress {
  IProgressDialog* dialog;
  bool comStarted;
};

ShellProgress* OpenShellProgress(const std::string& title) {
  ShellProgress* progress = new ShellProgress{nullptr, SUCCEEDED(CoInitialize(nullptr))};
  void* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog, &dialog))) {
    progress->dialog = static_cast<IProgressDialog*>(dialog);
    progress->dialog->SetTitle(Wide(title).c_str());
    // AUTOTIME: the shell estimates the time left from the calls to SetProgress.
    progress->dialog->StartProgressDialog(nullptr, nullptr, PROGDLG_NORMAL | PROGDLG_AUTOTIME, nullptr);
  }
  return progress;
}

void UpdateShellProgress(ShellProgress* progress, const std::string& firstLine, const std::string& secondLine,
                         std::size_t done, std::size_t total) {
  if (progress->dialog == nullptr) return;
  // Line 3 is the shell's time estimate.
  progress->dialog->SetLine(1, Wide(firstLine).c_str(), FALSE, nullptr);
  progress->dialog->SetLine(2, Wide(secondLine).c_str(), FALSE, nullptr);
  progress->dialog->SetProgress64(done, total);
}

bool ShellProgressCancelled(ShellProgress* progress) {
  return progress->dialog != nullptr && progress->dialog->HasUserCancelled();
}

void CloseShellProgress(ShellProgress* progress) {
  if (progress->dialog != nullptr) {
    progress->dialog->StopProgressDialog();
    progress->dialog->Release();
  }
  if (progress->comStarted) CoUninitialize();
  delete progress;
}

}  // namespace platform
