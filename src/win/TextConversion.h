// Conversions between the ANSI code page, UTF-8 and UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// ANSI (the system code page, 936 on our users' machines) to UTF-8. No result when the bytes are
// not valid in the ANSI code page.
std::optional<std::string> ansiToUtf8(std::string_view ansi);

// UTF-8 to ANSI. No result when the bytes are not valid UTF-8 or a character has no exact form
// in the ANSI code page: a look-alike would be a different text.
std::optional<std::string> utf8ToAnsi(std::string_view utf8);

// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);
