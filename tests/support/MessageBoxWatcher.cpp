// Finds the message boxes this process shows, reads them and closes them, from another thread.
#include "support/MessageBoxWatcher.h"

#include <set>

#include "support/WindowText.h"

namespace {

BOOL CALLBACK findBox(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && std::string(className) == "#32770" &&
      IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr &&
      FindWindowExA(window, nullptr, "SysTreeView32", nullptr) == nullptr) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// The message box of this process that is showing now, or null.
HWND findMessageBox() {
  HWND box = nullptr;
  EnumWindows(&findBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

SeenMessageBox readMessageBox(HWND box) {
  return {windowText(box), windowText(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER)};
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(int closeAfterMs, int answer)
    : closeAfterMs_(closeAfterMs), answer_(answer), thread_([this] { watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<SeenMessageBox> MessageBoxWatcher::seen() {
  std::lock_guard lock(mutex_);
  return seen_;
}

void MessageBoxWatcher::watch() {
  std::set<HWND> closed;
  while (!stop_) {
    const HWND box = findMessageBox();
    if (box != nullptr && !closed.count(box)) {
      Sleep(static_cast<DWORD>(closeAfterMs_));
      auto seen = readMessageBox(box);
      {
        std::lock_guard lock(mutex_);
        seen_.push_back(std::move(seen));
      }
      closed.insert(box);
      PostMessageA(box, WM_COMMAND, GetDlgItem(box, IDYES) ? answer_ : IDOK, 0);
    }
    Sleep(10);
  }
}
