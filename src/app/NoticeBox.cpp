// Notices: a message box owned by the program's own window, that can close itself.
#include "app/NoticeBox.h"

#include <string>

#include "export/UserTexts.h"

namespace {

// Undocumented but present in user32 since Windows XP; looked up so that its absence only
// costs the time-out.
using MessageBoxTimeoutAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

MessageBoxTimeoutAFn messageBoxTimeoutA() {
  static const auto function = reinterpret_cast<MessageBoxTimeoutAFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBoxTimeoutA")));
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

int NoticeBox(std::string_view ansiText, const NoticeOptions& options) {
  const HWND owner =
      options.owner ? *options.owner : findProcessWindow(GetCurrentProcessId(), 1000);
  const std::string text(ansiText);
  const std::string title(options.ansiTitle.value_or(texts::kDefaultNoticeTitle));
  const UINT flags = options.flags.value_or(0);
  const int timeout = options.timeoutMs.value_or(5000);
  int button = 0;
  if (const auto timed = messageBoxTimeoutA()) {
    button = timed(owner, text.c_str(), title.c_str(), flags, 0, static_cast<DWORD>(timeout));
  } else {
    button = MessageBoxA(owner, text.c_str(), title.c_str(), flags);
  }
  return button - 1;
}
