// Drives a running Vellumix.exe from outside, as a person would.
#include "e2e/RemoteApp.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include "app/MainWindow.h"
#include "support/TestDataObject.h"
#include "support/WindowText.h"
#include "win/Handles.h"

namespace {

struct DialogSearch {
  DWORD processId;
  bool chooser;
  HWND found;
};

HWND findTree(HWND dialog) {
  HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
  for (HWND child = FindWindowExA(dialog, nullptr, nullptr, nullptr); !tree && child;
       child = FindWindowExA(dialog, child, nullptr, nullptr))
    tree = FindWindowExA(child, nullptr, "SysTreeView32", nullptr);
  return tree;
}

BOOL CALLBACK considerDialog(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<DialogSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (process != search.processId || std::string(className) != "#32770" || !IsWindowVisible(window))
    return TRUE;
  const bool isChooser = findTree(window) != nullptr;
  if (isChooser != search.chooser || (!isChooser && !GetDlgItem(window, 0xFFFF))) return TRUE;
  search.found = window;
  return FALSE;
}

struct MainWindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK considerMainWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<MainWindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (process == search.processId && std::wstring_view(className) == MainWindow::kClassName &&
      IsWindowVisible(window)) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

void sendKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    inputs.push_back(down);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *--it;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(up);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Drops at once when the target accepts, gives up when it has not after a while.
class DropSource final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the caller's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape || GetTickCount() - start_ > 3000) return DRAGDROP_S_CANCEL;
    return accepted_ ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    if (effect != DROPEFFECT_NONE) accepted_ = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  DWORD start_ = GetTickCount();
  bool accepted_ = false;
};

}  // namespace

bool waitFor(const char* step, DWORD timeoutMs, const std::function<bool()>& ready) {
  const DWORD start = GetTickCount();
  while (!ready()) {
    if (GetTickCount() - start > timeoutMs) {
      ADD_FAILURE() << "step timed out after " << timeoutMs << " ms: " << step;
      return false;
    }
    Sleep(20);
  }
  return true;
}

RemoteApp::RemoteApp(const std::wstring& exePath, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exePath + L"\"" + arguments;
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process_)) {
    ADD_FAILURE() << "step failed: start Vellumix.exe";
    return;
  }
  waitFor("the main window appears", 20000, [this] {
    MainWindowSearch search{process_.dwProcessId, nullptr};
    EnumWindows(&considerMainWindow, reinterpret_cast<LPARAM>(&search));
    window_ = search.found;
    return window_ != nullptr;
  });
}

RemoteApp::~RemoteApp() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

void RemoteApp::openMenu(char menuKey) {
  SetForegroundWindow(window_);
  waitFor("the window is in front", 3000, [this] { return GetForegroundWindow() == window_; });
  sendKeys({VK_MENU, static_cast<WORD>(menuKey)});
  Sleep(300);
}

void RemoteApp::pressKeys(std::initializer_list<WORD> keys) {
  SetForegroundWindow(window_);
  waitFor("the window is in front", 3000, [this] { return GetForegroundWindow() == window_; });
  sendKeys(keys);
  Sleep(300);
}

void RemoteApp::closeMenu() {
  sendKeys({VK_ESCAPE});
  sendKeys({VK_ESCAPE});
  Sleep(200);
}

void RemoteApp::chooseMenuItem(char menuKey, char itemKey) {
  openMenu(menuKey);
  sendKeys({static_cast<WORD>(itemKey)});
  Sleep(300);
}

DWORD RemoteApp::dropFiles(const std::vector<std::wstring>& paths) {
  RECT rect{};
  GetWindowRect(window_, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  IDataObject* data = TestDataObject::files(paths);
  DropSource source;
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
  data->Release();
  return effect;
}

HWND RemoteApp::findDialog(bool chooser) const {
  DialogSearch search{process_.dwProcessId, chooser, nullptr};
  EnumWindows(&considerDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool RemoteApp::folderChooserShown() { return findDialog(true) != nullptr; }

void RemoteApp::answerFolderChooser(const std::optional<std::wstring>& folder) {
  HWND dialog = nullptr;
  if (!waitFor("the folder chooser appears", 20000,
               [&] { return (dialog = findDialog(true)) != nullptr; }))
    return;
  if (!folder) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    waitFor("the folder chooser closes", 10000, [&] { return findDialog(true) == nullptr; });
    return;
  }
  // The path and the tree item are read in the program's own memory.
  const UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                         FALSE, process_.dwProcessId));
  constexpr SIZE_T kSize = 0x10000;
  auto* remote =
      static_cast<char*>(VirtualAllocEx(process.get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(remote, nullptr) << "step failed: memory in the program for the chosen path";
  const std::wstring leaf = folder->substr(folder->rfind(L'\\') + 1);
  WriteProcessMemory(process.get(), remote, folder->c_str(), (folder->size() + 1) * sizeof(wchar_t),
                     nullptr);
  const HWND tree = findTree(dialog);
  bool selected = false;
  for (int attempt = 0; attempt < 30 && !selected; ++attempt) {
    SendMessageTimeoutW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    Sleep(100);
    DWORD_PTR item = 0;
    SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, 2000, &item);
    if (!item) continue;
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = reinterpret_cast<wchar_t*>(remote + 0x8000);
    query.cchTextMax = MAX_PATH;
    WriteProcessMemory(process.get(), remote + 0x4000, &query, sizeof query, nullptr);
    SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote + 0x4000),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    wchar_t name[MAX_PATH] = {};
    ReadProcessMemory(process.get(), remote + 0x8000, name, sizeof name - sizeof(wchar_t), nullptr);
    selected = leaf == name;
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  ASSERT_TRUE(selected) << "step failed: select the export folder in the chooser";
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  waitFor("the folder chooser closes", 10000, [&] { return findDialog(true) == nullptr; });
}

bool RemoteApp::noticeWithin(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (findDialog(false)) return true;
    Sleep(20);
  }
  return false;
}

ShownNotice RemoteApp::takeNotice(DWORD timeoutMs, int answer) {
  HWND box = nullptr;
  if (!waitFor("a notice appears", timeoutMs, [&] { return (box = findDialog(false)) != nullptr; }))
    return {};
  ShownNotice notice{windowText(box), windowText(GetDlgItem(box, 0xFFFF))};
  PostMessageW(box, WM_COMMAND, answer, 0);
  waitFor("the notice closes", 10000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
  return notice;
}

int RemoteApp::progressPercent() const {
  const HWND bar = FindWindowExW(window_, nullptr, PROGRESS_CLASSW, nullptr);
  if (bar == nullptr || !IsWindowVisible(bar)) return -1;
  DWORD_PTR position = 0;
  DWORD_PTR high = 0;
  SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position);
  SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &high);
  return high ? static_cast<int>(position * 100 / high) : 0;
}

void RemoteApp::kill() {
  TerminateProcess(process_.hProcess, 99);
  WaitForSingleObject(process_.hProcess, 10000);
}

DWORD RemoteApp::close() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "step timed out: the program ends after its window is closed";
    return 99;
  }
  DWORD exitCode = 99;
  GetExitCodeProcess(process_.hProcess, &exitCode);
  return exitCode;
}
