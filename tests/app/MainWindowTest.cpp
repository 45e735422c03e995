// The real window: its menus, options, label, geometry and drop registration.
#include "app/MainWindow.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "app/AppUi.h"
#include "app/DpiScale.h"
#include "support/FileDialogAnswerer.h"
#include "support/TempDir.h"
#include "support/TestDataObject.h"
#include "support/WindowTest.h"
#include "win/GdiOwners.h"
#include "win/Handles.h"
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
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    const std::string utf8 = wideToUtf8(text);
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
  const std::vector<MenuEntry> programExpected = {
      {"打开书籍文件... (&O)\tCtrl+O", 0},
      {"-", 0},
      {"Vellumix " VELLUMIX_VERSION " · 版权所有 2026 Vellumix 开发团队", MF_GRAYED},
      {"-", 0},
      {"关于... (&A)", 0},
      {"帮助... (&H)", 0}};
  EXPECT_EQ(program, programExpected);

  const auto options = entriesOf(GetSubMenu(bar, 1));
  const std::vector<MenuEntry> expected = {{"导出篇章目录 (&C)", 0},
                                           {"-", 0},
                                           {"在文件名中附加编号 (&N)", 0},
                                           {"导出的文件名将会形如：1. 文件名.txt", MF_GRAYED}};
  EXPECT_EQ(options, expected);
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

// The label covers the window and shows all of its text, in characters 19 pixels high at 96 DPI.
TEST_F(MainWindowTest, LabelShowsItsWholeTextAcrossTheWindow) {
  wchar_t text[256] = {};
  GetWindowTextW(window_.label(), text, 256);
  const std::wstring label = text;
  EXPECT_EQ(label,
            L"\r\n\r\n拖到这里\r\n\r\n（只接受 db 和 pwb 文件，\r\n后者需要另行安装 7-Zip）");

  RECT client{}, area{};
  GetClientRect(window_.handle(), &client);
  GetClientRect(window_.label(), &area);
  EXPECT_EQ(area.right, client.right);
  EXPECT_EQ(area.bottom, client.bottom);

  const WindowDc dc(window_.label());
  const SelectedObject font(dc.get(), window_.labelFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading,
            scaleForDpi(19, dpiOfWindow(window_.handle())));
  int lines = 0;
  for (size_t start = 0; start <= label.size(); ++lines) {
    const size_t end = std::min(label.find(L"\r\n", start), label.size());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), label.c_str() + start, static_cast<int>(end - start), &extent);
    EXPECT_LE(extent.cx, area.right) << "line " << lines;
    start = end + 2;
  }
  EXPECT_EQ(lines, 6);
  EXPECT_LE(lines * metrics.tmHeight, area.bottom);
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
}

// The drop returns at once; its export runs on a thread of its own afterwards, while the window
// answers and takes no further drop.
TEST_F(MainWindowTest, DropRunsItsExportAfterTheDragWithNoDropsMeanwhile) {
  IDropTarget& target = window_.dropTarget();
  std::vector<std::wstring> dropped;
  const UniqueHandle exporting(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  window_.setExportRunner([&](const std::wstring& text, ExportUi&) {
    dropped.push_back(text);
    SetEvent(exporting.get());
    WaitForSingleObject(release.get(), 10000);
  });
  auto* data = TestDataObject::files({L"C:\\book.db"});
  DWORD effect = DROPEFFECT_COPY;
  target.DragEnter(data, MK_LBUTTON, POINTL{60, 60}, &effect);
  target.Drop(data, MK_LBUTTON, POINTL{60, 60}, &effect);
  data->Release();
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(window_.exportUnderWay());
  EXPECT_EQ(WaitForSingleObject(exporting.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the export starts once the drag source is let go";
  MSG message;
  while (WaitForSingleObject(exporting.get(), 0) != WAIT_OBJECT_0) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(5);
  }
  // The window answers while the export runs, and refuses another drop.
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(window_.handle(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0);
  auto* other = TestDataObject::files({L"C:\\other.db"});
  DWORD effectDuringExport = DROPEFFECT_COPY;
  target.DragEnter(other, MK_LBUTTON, POINTL{60, 60}, &effectDuringExport);
  target.DragLeave();
  other->Release();
  EXPECT_EQ(effectDuringExport, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_FALSE(window_.startExport(L"C:\\third.db"));
  SetEvent(release.get());
  EXPECT_TRUE(waitForExportToEnd());
  EXPECT_EQ(dropped, std::vector<std::wstring>{L"C:\\book.db"});
  EXPECT_FALSE(window_.dropTarget().registerDropTarget(window_.handle()))
      << "registered again afterwards";
}

// The Open item (Ctrl+O): the system's file dialog, owned by the window; the chosen file goes
// the way a dropped one goes, Cancel does nothing, and during an export the item does nothing.
TEST_F(MainWindowTest, OpenItemHandsTheChosenFileOnAsADrop) {
  const TempDir dir(L"书 😀 한");
  writeFileBytes(dir / L"春秋.db", "x");
  std::vector<std::wstring> exported;
  const UniqueHandle release(CreateEventW(nullptr, TRUE, TRUE, nullptr));
  window_.setExportRunner([&](const std::wstring& dropped, ExportUi&) {
    exported.push_back(dropped);
    WaitForSingleObject(release.get(), 10000);
  });
  const struct {
    const char* name;
    std::optional<std::wstring> answer;
    std::vector<std::wstring> exported;
  } cases[] = {{"a book", dir / L"春秋.db", {dir / L"春秋.db"}}, {"cancelled", std::nullopt, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    exported.clear();
    const FileDialogAnswerer answerer(GetCurrentProcessId(), L"选择要导出的书籍", c.answer);
    command(Command::Open);
    EXPECT_TRUE(answerer.answeredWithin(0));
    EXPECT_EQ(answerer.owner(), window_.handle());
    EXPECT_TRUE(waitForExportToEnd());
    EXPECT_EQ(exported, c.exported);
  }
  ResetEvent(release.get());
  ASSERT_TRUE(window_.startExport(dir / L"春秋.db"));
  {
    const FileDialogAnswerer answerer(GetCurrentProcessId(), L"选择要导出的书籍", std::nullopt);
    command(Command::Open);
    EXPECT_FALSE(answerer.answeredWithin(1000)) << "the dialog showed during an export";
  }
  SetEvent(release.get());
  EXPECT_TRUE(waitForExportToEnd());
}

}  // namespace
