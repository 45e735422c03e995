// Answers the shell's folder chooser of this process from another thread, as a user would.
#include "support/FolderChooserAnswerer.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

struct Chooser {
  HWND dialog = nullptr;
  HWND tree = nullptr;
};

BOOL CALLBACK findChooser(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (process != GetCurrentProcessId() || std::string(className) != "#32770" ||
      !IsWindowVisible(window))
    return TRUE;
  // The tree may sit inside a child dialog of the chooser.
  HWND tree = FindWindowExA(window, nullptr, "SysTreeView32", nullptr);
  for (HWND child = FindWindowExA(window, nullptr, nullptr, nullptr); !tree && child;
       child = FindWindowExA(window, child, nullptr, nullptr))
    tree = FindWindowExA(child, nullptr, "SysTreeView32", nullptr);
  if (!tree) return TRUE;
  *reinterpret_cast<Chooser*>(param) = {window, tree};
  return FALSE;
}

HTREEITEM nextItem(HWND tree, UINT relation, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::wstring itemName(HWND tree, HTREEITEM handle) {
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = handle;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!handle || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
  return text;
}

std::wstring selectedItemName(HWND tree) {
  return itemName(tree, nextItem(tree, TVGN_CARET, nullptr));
}

bool sameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The item of drive `drive` ("C:") among the items the tree shows open, such as "本地磁盘 (C:)".
HTREEITEM driveItem(HWND tree, HTREEITEM first, std::wstring_view drive) {
  for (HTREEITEM item = first; item; item = nextItem(tree, TVGN_NEXT, item)) {
    if (itemName(tree, item).ends_with(L"(" + std::wstring(drive) + L")")) return item;
    if (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED))
      if (HTREEITEM found = driveItem(tree, nextItem(tree, TVGN_CHILD, item), drive)) return found;
  }
  return nullptr;
}

// Selects `path` ("C:\a\b") as a user would: from its drive down, opening each folder and
// clicking the next by its name.
void selectByNames(HWND tree, const std::wstring& path) {
  size_t start = path.find(L'\\');
  HTREEITEM item = driveItem(tree, nextItem(tree, TVGN_ROOT, nullptr), path.substr(0, start));
  while (item && start != std::wstring::npos && start + 1 < path.size()) {
    const size_t end = path.find(L'\\', start + 1);
    const std::wstring name = path.substr(start + 1, end - start - 1);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    HTREEITEM child = nextItem(tree, TVGN_CHILD, item);
    while (child && !sameName(itemName(tree, child), name))
      child = nextItem(tree, TVGN_NEXT, child);
    item = child;
    start = end;
  }
  if (item) SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

}  // namespace

FolderChooserAnswerer::FolderChooserAnswerer(Answer answer)
    : answer_(std::move(answer)), thread_([this] { watch(); }) {}

FolderChooserAnswerer::~FolderChooserAnswerer() {
  stop_ = true;
  thread_.join();
}

void FolderChooserAnswerer::watch() {
  while (!stop_ && !answered_) {
    Chooser chooser;
    EnumWindows(&findChooser, reinterpret_cast<LPARAM>(&chooser));
    if (!chooser.dialog) {
      Sleep(20);
      continue;
    }
    owner_ = GetWindow(chooser.dialog, GW_OWNER);
    bool confirm = !answer_.cancel;
    if (confirm && answer_.item) {
      SendMessageW(chooser.dialog, BFFM_SETSELECTIONW, FALSE,
                   reinterpret_cast<LPARAM>(answer_.item));
    } else if (confirm) {
      // The first selections sometimes select nothing, for longer on a busy machine: select until
      // the item is the one asked. OK on any other item would export into whatever folder the
      // chooser started on, such as the user's own.
      // Wine's chooser finds a path only while every folder on it keeps the time of last change
      // it had when the tree first listed it: once another test has made or removed a directory
      // in the temporary folder, the path is never found again. Then the folders are clicked
      // through by name.
      const std::wstring leaf = answer_.path.substr(answer_.path.rfind(L'\\') + 1);
      const DWORD start = GetTickCount();
      do {
        SendMessageW(chooser.dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(answer_.path.c_str()));
        Sleep(50);
        if (selectedItemName(chooser.tree) != leaf) selectByNames(chooser.tree, answer_.path);
        confirm = selectedItemName(chooser.tree) == leaf;
      } while (!confirm && GetTickCount() - start < 15000);
      if (!confirm) ADD_FAILURE() << "the folder chooser never selected the folder asked";
    }
    Sleep(50);  // the chooser enables its OK button for the item selected
    okEnabled_ = IsWindowEnabled(GetDlgItem(chooser.dialog, IDOK)) != FALSE;
    PostMessageW(chooser.dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
    answered_ = true;
  }
}
