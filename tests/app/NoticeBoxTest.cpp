// Notices: owner lookup, defaults, time-outs, with the real message box.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/NoticeBox.h"
#include "support/MessageBoxWatcher.h"
#include "support/TempDir.h"

namespace {

struct TestWindow {
  TestWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NoticeBoxTestWindow";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                             300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(window); }
  HWND window;
};

DWORD elapsedSince(DWORD start) { return GetTickCount() - start; }

TEST(NoticeBoxTest, OwnerLookupFindsTheProcessWindowOrNothingQuickly) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(findProcessWindow(GetCurrentProcessId(), 1000), nullptr);
  EXPECT_LT(elapsedSince(start), 1500u);

  TestWindow owner;
  EXPECT_EQ(findProcessWindow(GetCurrentProcessId(), 1000), owner.window);
  ShowWindow(owner.window, SW_HIDE);
  EXPECT_EQ(findProcessWindow(GetCurrentProcessId(), 1000), nullptr);
  EXPECT_EQ(findProcessWindow(GetCurrentProcessId(), 1000, false), owner.window);
}

TEST(NoticeBoxTest, NoticeIsOwnedByTheVisibleWindowAndShowsItsTexts) {
  TestWindow owner;
  MessageBoxWatcher watcher(50);
  const int button = NoticeBox(L"完成。", {0x40, L"提示", std::nullopt, -1});
  EXPECT_EQ(button, IDOK - 1);
  const auto seen = watcher.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, L"提示");
  EXPECT_EQ(seen[0].text, L"完成。");
  EXPECT_EQ(seen[0].owner, owner.window);
}

TEST(NoticeBoxTest, WithoutWindowTheNoticeHasNoOwnerAndTheDefaultTitle) {
  MessageBoxWatcher watcher(50);
  const DWORD start = GetTickCount();
  NoticeBox(L"文件不合法。");
  EXPECT_LT(elapsedSince(start), 4000u);
  const auto seen = watcher.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, L"友情提醒");
  EXPECT_EQ(seen[0].owner, nullptr);
}

bool runningUnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(NoticeBoxTest, TimeOutClosesTheBoxByItself) {
  // Seen here: Wine's MessageBoxTimeout shows the box but ignores the time-out.
  if (runningUnderWine()) GTEST_SKIP() << "Wine ignores MessageBoxTimeout's time-out";
  const DWORD start = GetTickCount();
  NoticeBox(L"closes itself", {MB_ICONINFORMATION, std::nullopt, nullptr, 300});
  const DWORD took = elapsedSince(start);
  EXPECT_GE(took, 200u);
  EXPECT_LT(took, 4000u);
}

}  // namespace
