// Answers the system's file dialog from another thread, as a user would.
#include "support/FileDialogAnswerer.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/WindowText.h"

namespace {

struct Search {
  DWORD processId;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK considerDialog(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.processId || !IsWindowVisible(window) ||
      windowText(window) != *search.title)
    return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK collectEdits(HWND window, LPARAM param) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring_view(className) == L"Edit" && IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

FileDialogAnswerer::FileDialogAnswerer(DWORD processId, std::wstring title,
                                       std::optional<std::wstring> path)
    : processId_(processId),
      title_(std::move(title)),
      path_(std::move(path)),
      thread_([this] { watch(); }) {}

FileDialogAnswerer::~FileDialogAnswerer() {
  stop_ = true;
  thread_.join();
}

bool FileDialogAnswerer::answeredWithin(DWORD ms) const {
  const DWORD start = GetTickCount();
  while (!answered_ && GetTickCount() - start < ms) Sleep(20);
  return answered_;
}

void FileDialogAnswerer::watch() {
  Search search{processId_, &title_, nullptr};
  while (!stop_ && search.found == nullptr) {
    EnumWindows(&considerDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(20);
  }
  const HWND dialog = search.found;
  if (dialog == nullptr) return;
  owner_ = GetWindow(dialog, GW_OWNER);
  Sleep(300);  // the dialog fills its views once shown
  if (!path_) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    answered_ = true;
    return;
  }
  // The file name box is the dialog's one visible edit box outside its folder views.
  std::vector<HWND> edits;
  EnumChildWindows(dialog, &collectEdits, reinterpret_cast<LPARAM>(&edits));
  if (edits.empty()) {
    ADD_FAILURE() << "the file dialog has no file name box";
    return;
  }
  SendMessageTimeoutW(edits.back(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path_->c_str()),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  answered_ = true;
}
