// Conversions between the ANSI code page, UTF-8 and UTF-16, on the Windows code-page functions.
#include "win/TextConversion.h"

#include <windows.h>

namespace {

std::optional<std::wstring> decode(std::string_view bytes, UINT codePage, DWORD flags) {
  if (bytes.empty()) return std::wstring();
  const int length = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (units <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), units);
  return wide;
}

// Exact conversion to the ANSI code page: no best-fit look-alikes, no default character.
std::optional<std::string> encodeAnsi(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                        0, nullptr, &usedDefault);
  if (bytes <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), bytes,
                      nullptr, &usedDefault);
  return ansi;
}

}  // namespace

std::optional<std::string> ansiToUtf8(std::string_view ansi) {
  const auto wide = decode(ansi, CP_ACP, MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  return wideToUtf8(*wide);
}

std::optional<std::string> utf8ToAnsi(std::string_view utf8) {
  const auto wide = decode(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  return encodeAnsi(*wide);
}

std::wstring utf8ToWide(std::string_view utf8) {
  return decode(utf8, CP_UTF8, 0).value_or(std::wstring());
}

std::string wideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}
