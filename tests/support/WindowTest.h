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

  MainWindow window_;
};
