// The shell's folder chooser, read in UTF-16 at full length.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <optional>
#include <string>

// The file-system path of an item; no value for a virtual folder such as "This PC".
std::optional<std::wstring> pathFromItemList(PCIDLIST_ABSOLUTE item);

// No value when the user cancels; an empty path when the chosen item has no file-system path.
std::optional<std::wstring> chooseFolder(HWND owner, const wchar_t* prompt);
