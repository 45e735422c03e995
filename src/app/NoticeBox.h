// Notices: a message box owned by the program's own window, that can close itself.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

// The first visible top-level window of process `processId`, or null when none is found
// within `timeLimitMs` (no limit when absent or negative).
HWND findProcessWindow(DWORD processId, std::optional<int> timeLimitMs = std::nullopt,
                       bool visibleOnly = true);

struct NoticeOptions {
  std::optional<UINT> flags;               // MB_* bits; default 0 (OK, no icon)
  std::optional<std::wstring_view> title;  // default "友情提醒"
  std::optional<HWND> owner;               // default: this process's window
  std::optional<int> timeoutMs;            // default 5000; -1 for no practical limit
};

// Shows `text` and returns the number of the button that closed the box minus one (OK gives 0).
int NoticeBox(std::wstring_view text, const NoticeOptions& options = {});
