// Answers the shell's folder chooser of this process from another thread, as a user would.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

class FolderChooserAnswerer {
 public:
  struct Answer {
    std::wstring path;                // selected by its path, verified by the selected item's name
    PIDLIST_ABSOLUTE item = nullptr;  // or selected by an item list (not owned)
    bool cancel = false;
  };
  explicit FolderChooserAnswerer(Answer answer);
  ~FolderChooserAnswerer();
  FolderChooserAnswerer(const FolderChooserAnswerer&) = delete;
  FolderChooserAnswerer& operator=(const FolderChooserAnswerer&) = delete;

  bool answered() const { return answered_; }
  HWND owner() const { return owner_; }
  // Whether the chooser let its OK button be pressed on the item selected.
  bool okEnabled() const { return okEnabled_; }

 private:
  void watch();

  Answer answer_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> answered_{false};
  std::atomic<HWND> owner_{nullptr};
  std::atomic<bool> okEnabled_{false};
  std::thread thread_;
};
