// Names compared with the ASCII letters folded to one case and every other character as it is:
// how Windows matches device names and SQLite matches column names.
#pragma once

#include <string_view>

template <typename Char>
constexpr Char toUpperAscii(Char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

template <typename Char>
constexpr bool equalIgnoringAsciiCase(std::basic_string_view<Char> a,
                                      std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (toUpperAscii(a[i]) != toUpperAscii(b[i])) return false;
  return true;
}
