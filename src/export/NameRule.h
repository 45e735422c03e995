// The one rule that turns folder names, category titles and article titles into names Windows
// accepts as they are, so that no article is dropped or written under a name Windows changes.
#pragma once

#include <string>
#include <string_view>

inline constexpr size_t kMaxNameUnits = 200;

enum class NameKind { Directory, FileBase };

// Replaces | > < " ? * : / \ and control characters by "_", cuts to 200 UTF-16 code units at
// a whole character, and gives "_" for an empty name. A directory name also gets "_" for each
// trailing dot or space and for a reserved device name. A file base gets the device-name rule
// later, on its final name (guardDeviceName).
std::wstring sanitizeName(std::wstring_view name, NameKind kind);

// Puts "_" after the part before the first dot when that part (trailing spaces ignored) is a
// device name: "CON.txt" becomes "CON_.txt", "aux" becomes "aux_".
std::wstring guardDeviceName(std::wstring name);
