// Pixel sizes are written at 96 DPI and scaled here, once, to the window's DPI.
#pragma once

#include <windows.h>

// The DPI of the monitor the window is on (the system DPI where Windows cannot tell).
UINT dpiOfWindow(HWND window);

inline int scaleForDpi(int pixelsAt96, UINT dpi) {
  return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}
