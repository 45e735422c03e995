// In-process tests of the real main window: OLE is up and the window shown for each test.
#pragma once

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include "app/MainWindow.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(window_.create(SW_SHOWNORMAL));
  }
  void TearDown() override {
    if (IsWindow(window_.handle())) DestroyWindow(window_.handle());
    // The window's end posts the quit message; later dialogs of this thread must not see it.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    OleUninitialize();
  }

  // Answers the window until its export has ended; false when it has not within `limitMs`.
  bool waitForExportToEnd(DWORD limitMs = 60000) {
    const DWORD start = GetTickCount();
    while (window_.exportUnderWay()) {
      if (GetTickCount() - start > limitMs) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    return true;
  }

  MainWindow window_;
};
