// Pixel sizes are written at 96 DPI and scaled here, once, to the window's DPI.
#include "app/DpiScale.h"

#include "win/GdiOwners.h"

UINT dpiOfWindow(HWND window) {
  // Windows 10 1607 and later; looked up so that the program still starts on Windows 7.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  }
  const WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}
