// Drives a running Vellumix.exe from outside, as a person would: keys, drops, the folder
// chooser and the notices. Every wait is bounded and fails with the name of its step.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

struct ShownNotice {
  std::wstring title;
  std::wstring text;
};

class RemoteApp {
 public:
  // Starts the program, with `arguments` on its command line, and waits for its window.
  explicit RemoteApp(const std::wstring& exePath, const std::wstring& arguments = L"");
  ~RemoteApp();
  RemoteApp(const RemoteApp&) = delete;
  RemoteApp& operator=(const RemoteApp&) = delete;

  HWND window() const { return window_; }
  // A menu item by keyboard: Alt + the menu's mnemonic, then the item's.
  void chooseMenuItem(char menuKey, char itemKey);
  // Opens a menu by keyboard and leaves it open.
  void openMenu(char menuKey);
  // Presses keys together on the window, as Ctrl+O: VK_CONTROL, 'O'.
  void pressKeys(std::initializer_list<WORD> keys);
  DWORD processId() const { return process_.dwProcessId; }
  void closeMenu();
  // Drags shell files onto the window and drops them; returns the effect the window gave.
  DWORD dropFiles(const std::vector<std::wstring>& paths);
  // Waits for the folder chooser and answers it with `folder`, or cancels it.
  void answerFolderChooser(const std::optional<std::wstring>& folder);
  bool folderChooserShown();
  // Waits for a notice, reads it and closes it: with OK, or a question with `answer`.
  ShownNotice takeNotice(DWORD timeoutMs = 20000, int answer = IDOK);
  // True when a notice shows up within `ms`.
  bool noticeWithin(DWORD ms);
  // How far the export shown in the window is, in percent; -1 while no progress is shown.
  int progressPercent() const;
  // Closes the window; returns the exit code.
  DWORD close();
  // Ends the program at once, as Task Manager would.
  void kill();

 private:
  HWND findDialog(bool chooser) const;

  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// Fails the current test with the step's name when `ready` is not true within `timeoutMs`.
bool waitFor(const char* step, DWORD timeoutMs, const std::function<bool()>& ready);
