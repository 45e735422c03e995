// The real window: its menus, options, label, geometry and drop registration.
#include "app/MainWindow.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "app/AppUi.h"
#include "app/DpiScale.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"
#include "win/TextConversion.h"

namespace {

class MainWindowTest : public WindowTest {
 protected:
  void command(Command item) {
    SendMessageW(window_.handle(), WM_COMMAND, static_cast<WPARAM>(item), 0);
  }
};

struct MenuEntry {
  std::string text;  // UTF-8; "-" for a separator
  UINT state;        // MF_GRAYED, MF_CHECKED bits
};

std::vector<MenuEntry> entriesOf(HMENU menu) {
  std::vector<MenuEntry> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    const std::string utf8 = ansiToUtf8(text).value_or("?");
    if (state & MF_SEPARATOR)
      entries.push_back({"-", 0});
    else
      entries.push_back({utf8, state & (MF_GRAYED | MF_CHECKED)});
  }
  return entries;
}

bool operator==(const MenuEntry& a, const MenuEntry& b) {
  return a.text == b.text && a.state == b.state;
}

void PrintTo(const MenuEntry& entry, std::ostream* out) {
  *out << "{" << entry.text << ", " << entry.state << "}";
}

TEST_F(MainWindowTest, MenusHaveTheirTextsStatesAndMnemonics) {
  const HMENU bar = GetMenu(window_.handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  const auto top = entriesOf(bar);
  EXPECT_EQ(top[0].text, "程序 (&P)");
  EXPECT_EQ(top[1].text, "选项 (&O)");

  const auto program = entriesOf(GetSubMenu(bar, 0));
  ASSERT_EQ(program.size(), 4u);
  EXPECT_EQ(program[0].state, static_cast<UINT>(MF_GRAYED));
  EXPECT_FALSE(program[0].text.empty());
  EXPECT_EQ(program[1], (MenuEntry{"-", 0}));
  EXPECT_EQ(program[2], (MenuEntry{"关于... (&A)", 0}));
  EXPECT_EQ(program[3], (MenuEntry{"帮助... (&H)", 0}));

  const auto options = entriesOf(GetSubMenu(bar, 1));
  const std::vector<MenuEntry> expected = {{"导出篇章目录 (&C)", 0},
                                           {"-", 0},
                                           {"在文件名中附加编号 (&N)", 0},
                                           {"导出的文件名将会形如：1. 文件名.txt", MF_GRAYED}};
  EXPECT_EQ(options, expected);
}

TEST_F(MainWindowTest, MenuTableCarriesTheFlagWords) {
  std::vector<unsigned> flags;
  for (const auto& item : menuTable()) flags.push_back(item.flags);
  EXPECT_EQ(flags, (std::vector<unsigned>{0, 2, 0, 0, 0, 0, 0, 0, 0, 2}));
}

TEST_F(MainWindowTest, OptionsToggleAndTheEngineReadsThem) {
  AppUi ui(window_);
  EXPECT_FALSE(ui.options().exportChapterList);
  EXPECT_FALSE(ui.options().numberFileNames);
  command(Command::ToggleChapterList);
  EXPECT_TRUE(ui.options().exportChapterList);
  EXPECT_FALSE(ui.options().numberFileNames);
  command(Command::ToggleNumbering);
  EXPECT_TRUE(ui.options().numberFileNames);
  command(Command::ToggleChapterList);
  EXPECT_FALSE(ui.options().exportChapterList);
  EXPECT_TRUE(window_.isChecked(Command::ToggleNumbering));
  window_.setChecked(Command::ToggleNumbering, false);
  EXPECT_FALSE(ui.options().numberFileNames);
}

TEST_F(MainWindowTest, LabelFillsTheWindowWithItsTextAndFont) {
  wchar_t text[256] = {};
  GetWindowTextW(window_.label(), text, 256);
  EXPECT_EQ(std::wstring(text),
            L"\r\n\r\n拖到这里\r\n\r\n（只接受 db 和 pwb 文件，\r\n后者需要另行安装 7-Zip）");

  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.label(), WM_GETFONT, 0, 0)),
                         sizeof font, &font));
  const UINT dpi = dpiOfWindow(window_.handle());
  EXPECT_EQ(std::wstring(font.lfFaceName), L"Microsoft YaHei UI");
  EXPECT_EQ(font.lfHeight, scaleForDpi(-19, dpi));
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(font.lfCharSet, 134);
  EXPECT_EQ(font.lfOutPrecision, 3);
  EXPECT_EQ(font.lfClipPrecision, 2);
  EXPECT_EQ(font.lfQuality, 1);
  EXPECT_EQ(font.lfPitchAndFamily, 0x22);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_FALSE(font.lfUnderline);

  RECT client{}, label{};
  GetClientRect(window_.handle(), &client);
  GetClientRect(window_.label(), &label);
  EXPECT_EQ(label.right, client.right);
  EXPECT_EQ(label.bottom, client.bottom);
}

TEST_F(MainWindowTest, GeometryIsScaledToTheWindowsDpi) {
  const UINT dpi = dpiOfWindow(window_.handle());
  RECT outer{};
  GetWindowRect(window_.handle(), &outer);
  EXPECT_EQ(outer.left, scaleForDpi(50, dpi));
  EXPECT_EQ(outer.top, scaleForDpi(50, dpi));
  EXPECT_EQ(outer.right - outer.left, scaleForDpi(380, dpi));
  EXPECT_EQ(outer.bottom - outer.top, scaleForDpi(250, dpi));

  // Moving to a monitor at 200 %.
  const RECT suggested{100, 100, 100 + 760, 100 + 500};
  SendMessageW(window_.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  GetWindowRect(window_.handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 760);
  EXPECT_EQ(outer.bottom - outer.top, 500);
  LOGFONTW font{};
  GetObjectW(window_.labelFont(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -38);
  RECT client{}, label{};
  GetClientRect(window_.handle(), &client);
  GetClientRect(window_.label(), &label);
  EXPECT_EQ(label.right, client.right);
}

TEST_F(MainWindowTest, DropTargetIsRegisteredOnceAtATime) {
  DropTarget& target = window_.dropTarget();
  EXPECT_FALSE(target.registerDropTarget(window_.handle()));  // registered at creation
  target.revokeDropTarget(window_.handle());
  target.revokeDropTarget(window_.handle());
  EXPECT_TRUE(target.registerDropTarget(window_.handle()));
  EXPECT_FALSE(target.registerDropTarget(window_.handle()));
  AppUi ui(window_);
  ui.setDropTargetEnabled(false);
  EXPECT_TRUE(target.registerDropTarget(window_.handle()));
}

TEST_F(MainWindowTest, PostedDropRaisesTheHandlerOnTheWindowThread) {
  std::vector<std::wstring> dropped;
  window_.setFileDroppedHandler([&](const std::wstring& text) { dropped.push_back(text); });
  PostMessageW(window_.handle(), kFilesDroppedMessage, 0,
               reinterpret_cast<LPARAM>(new std::wstring(L"C:\\book.db")));
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(dropped, std::vector<std::wstring>{L"C:\\book.db"});
}

}  // namespace
