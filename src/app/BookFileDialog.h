// The system's file dialog, for the book to export.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// One existing file chosen by the user, books shown first; no value when cancelled or when the
// dialog cannot be shown. The path is the file system's, of any length.
std::optional<std::wstring> chooseBookFile(HWND owner);
