// The shell's folder chooser, read in UTF-16 at full length.
#include "app/FolderChooser.h"

#include <memory>

namespace {

struct ItemListFree {
  void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};

constexpr DWORD kLongestPath = 32768;

}  // namespace

std::optional<std::wstring> pathFromItemList(PCIDLIST_ABSOLUTE item) {
  std::wstring path(kLongestPath, L'\0');
  if (!SHGetPathFromIDListEx(item, path.data(), kLongestPath, GPFIDL_DEFAULT)) return std::nullopt;
  path.resize(wcslen(path.c_str()));
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::wstring> chooseFolder(HWND owner, const wchar_t* prompt) {
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = prompt;
  // Only folders of the file system can take the export: no Library, no "This PC".
  browse.ulFlags = BIF_USENEWUI | BIF_RETURNONLYFSDIRS;
  const std::unique_ptr<ITEMIDLIST, ItemListFree> chosen(SHBrowseForFolderW(&browse));
  if (!chosen) return std::nullopt;
  return pathFromItemList(chosen.get()).value_or(std::wstring());
}
