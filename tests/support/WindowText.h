// The text of a window of this or another process, read without waiting long on a hung one.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring windowText(HWND window) {
  wchar_t text[4096] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return text;
}
