// Notices: a message box owned by the program's own window, that can close itself.
#include "app/NoticeBox.h"

#include <string>

#include "app/UserTexts.h"

namespace {

// Undocumented but present in user32 since Windows XP; looked up so that its absence only
// costs the time-out. The wide form shows names in any script.
using MessageBoxTimeoutWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);

MessageBoxTimeoutWFn messageBoxTimeoutW() {
  static const auto function = reinterpret_cast<MessageBoxTimeoutWFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBoxTimeoutW")));
  return function;
}

struct WindowSearch {
  DWORD processId;
  bool visibleOnly;
  DWORD start;
  DWORD limit;
  HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  if (GetTickCount() - search.start >= search.limit) return FALSE;
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || GetParent(window) != nullptr) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND findProcessWindow(DWORD processId, std::optional<int> timeLimitMs, bool visibleOnly) {
  constexpr DWORD kOneYearMs = 31536000;
  const DWORD limit =
      timeLimitMs && *timeLimitMs >= 0 ? static_cast<DWORD>(*timeLimitMs) : kOneYearMs;
  WindowSearch search{processId, visibleOnly, GetTickCount(), limit, nullptr};
  EnumWindows(&considerWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int NoticeBox(std::wstring_view text, const NoticeOptions& options) {
  const HWND owner =
      options.owner ? *options.owner : findProcessWindow(GetCurrentProcessId(), 1000);
  const std::wstring shownText(text);
  const std::wstring title(options.title.value_or(texts::kDefaultNoticeTitle));
  const UINT flags = options.flags.value_or(0);
  const int timeout = options.timeoutMs.value_or(5000);
  int button = 0;
  if (const auto timed = messageBoxTimeoutW()) {
    button = timed(owner, shownText.c_str(), title.c_str(), flags, 0, static_cast<DWORD>(timeout));
  } else {
    button = MessageBoxW(owner, shownText.c_str(), title.c_str(), flags);
  }
  return button - 1;
}
