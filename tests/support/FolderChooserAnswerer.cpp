// Answers the shell's folder chooser of this process from another thread, as a user would.
#include "support/FolderChooserAnswerer.h"

#include <commctrl.h>
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
    if (!answer_.cancel) {
      const std::wstring leaf = answer_.path.substr(answer_.path.rfind(L'\\') + 1);
      // The first selection sometimes selects nothing: select until the item is the one asked.
      for (int attempt = 0; attempt < 20; ++attempt) {
        if (answer_.item)
          SendMessageW(chooser.dialog, BFFM_SETSELECTIONW, FALSE,
                       reinterpret_cast<LPARAM>(answer_.item));
        else
          SendMessageW(chooser.dialog, BFFM_SETSELECTIONW, TRUE,
                       reinterpret_cast<LPARAM>(answer_.path.c_str()));
        Sleep(50);
        if (answer_.item || selectedItemName(chooser.tree) == leaf) break;
      }
    }
    PostMessageW(chooser.dialog, WM_COMMAND, answer_.cancel ? IDCANCEL : IDOK, 0);
    answered_ = true;
  }
}
