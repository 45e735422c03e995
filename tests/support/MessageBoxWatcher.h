// Finds the message boxes this process shows, reads them and closes them, from another thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
};

class MessageBoxWatcher {
 public:
  // Closes each box with OK once it has been read, after `closeAfterMs`; a question (Yes and
  // No) is answered with `answer`.
  explicit MessageBoxWatcher(int closeAfterMs = 0, int answer = IDNO);
  ~MessageBoxWatcher();
  std::vector<SeenMessageBox> seen();

 private:
  void watch();

  int closeAfterMs_;
  int answer_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenMessageBox> seen_;
  std::thread thread_;
};
