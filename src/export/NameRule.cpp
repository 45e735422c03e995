// The one rule that turns book names and titles into names Windows accepts as they are.
#include "export/NameRule.h"

#include <algorithm>
#include <array>

#include "win/AsciiFold.h"

namespace {

bool isForbidden(wchar_t c) {
  return c < 0x20 || c == L'|' || c == L'>' || c == L'<' || c == L'"' || c == L'?' || c == L'*' ||
         c == L':' || c == L'/' || c == L'\\';
}

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

bool isDeviceName(std::wstring_view part) {
  static constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
  for (const auto device : kPlain)
    if (equalIgnoringAsciiCase<wchar_t>(part, device)) return true;
  if (part.size() == 4 && part[3] >= L'1' && part[3] <= L'9')
    return equalIgnoringAsciiCase<wchar_t>(part.substr(0, 3), L"COM") ||
           equalIgnoringAsciiCase<wchar_t>(part.substr(0, 3), L"LPT");
  return false;
}

}  // namespace

std::wstring sanitizeName(std::wstring_view name, NameKind kind) {
  std::wstring result(name.substr(0, kMaxNameUnits));
  if (name.size() > kMaxNameUnits && isHighSurrogate(result.back())) result.pop_back();
  for (auto& c : result)
    if (isForbidden(c)) c = L'_';
  if (result.empty()) return L"_";
  if (kind == NameKind::FileBase) return result;
  // Windows drops trailing dots and spaces of a directory name silently.
  for (auto it = result.rbegin(); it != result.rend() && (*it == L'.' || *it == L' '); ++it)
    *it = L'_';
  return guardDeviceName(std::move(result));
}

std::wstring guardDeviceName(std::wstring name) {
  const size_t partEnd = std::min(name.find(L'.'), name.size());
  std::wstring_view part = std::wstring_view(name).substr(0, partEnd);
  while (!part.empty() && part.back() == L' ') part.remove_suffix(1);
  if (isDeviceName(part)) name.insert(partEnd, L"_");
  return name;
}
