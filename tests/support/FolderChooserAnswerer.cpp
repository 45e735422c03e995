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

std::wstring selectedItemName(HWND tree) {
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!item.hItem || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
    return {};
  return text;
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
      const std::wstring leaf = answer_.path.substr(answer_.path.rfind(L'\\') + 1);
      const DWORD start = GetTickCount();
      do {
        SendMessageW(chooser.dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(answer_.path.c_str()));
        Sleep(50);
        confirm = selectedItemName(chooser.tree) == leaf;
      } while (!confirm && GetTickCount() - start < 15000);
      if (!confirm) ADD_FAILURE() << "the folder chooser never selected the folder asked";
    }
    PostMessageW(chooser.dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
    answered_ = true;
  }
}
