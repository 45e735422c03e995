// The drop target: which drags it takes, with which effect, and the text it hands on.
#include "app/DropTarget.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "app/MainWindow.h"
#include "support/TempDir.h"
#include "support/TestDataObject.h"
#include "support/WindowTest.h"

namespace {

using Effects = std::pair<DWORD, DWORD>;
Effects effects(DWORD enter, DWORD drop) { return {enter, drop}; }

// Every key state against every set of effects the source allows (bit 0 copy, 1 move, 2 link).
TEST(DropEffectTest, KeysAskAndTheSourceAllows) {
  constexpr DWORD N = DROPEFFECT_NONE, C = DROPEFFECT_COPY, M = DROPEFFECT_MOVE,
                  L = DROPEFFECT_LINK;
  const struct {
    DWORD keys;
    DWORD expected[8];  // by allowed effects 0..7
  } cases[] = {
      {MK_LBUTTON, {N, C, M, C, L, C, M, C}},  // nothing asked: copy, else move, else link
      {MK_LBUTTON | MK_CONTROL, {N, C, N, C, N, C, N, C}},
      {MK_LBUTTON | MK_SHIFT, {N, N, M, M, N, N, M, M}},
      {MK_LBUTTON | MK_CONTROL | MK_SHIFT, {N, N, N, N, N, N, N, N}},  // a link is never given
  };
  for (const auto& c : cases) {
    for (DWORD allowed = 0; allowed < 8; ++allowed) {
      EXPECT_EQ(chooseDropEffect(true, c.keys, allowed), c.expected[allowed])
          << "keys " << c.keys << ", allowed " << allowed;
      EXPECT_EQ(chooseDropEffect(false, c.keys, allowed), N) << "not accepted";
    }
  }
}

class DropTargetTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window_.setExportRunner(
        [this](const std::wstring& text, ExportUi&) { dropped_.push_back(text); });
  }

  // Drags `data` over the window and drops it; returns the effects of enter and drop.
  std::pair<DWORD, DWORD> dragAndDrop(IDataObject* data, DWORD keys = MK_LBUTTON) {
    IDropTarget& target = window_.dropTarget();
    DWORD enter = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target.DragEnter(data, keys, POINTL{60, 60}, &enter);
    DWORD over = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target.DragOver(keys, POINTL{61, 61}, &over);
    EXPECT_EQ(over, enter);
    DWORD drop = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target.Drop(data, keys, POINTL{61, 61}, &drop);
    data->Release();
    pump();
    return {enter, drop};
  }

  void pump() { EXPECT_TRUE(waitForExportToEnd()); }

  std::vector<std::wstring> dropped_;
};

TEST_F(DropTargetTest, OneFileIsHandedOnAsItsPath) {
  const std::wstring path = L"C:\\书籍😀한\\嘰.pwb";
  EXPECT_EQ(dragAndDrop(TestDataObject::files({path})), effects(DROPEFFECT_COPY, DROPEFFECT_COPY));
  EXPECT_EQ(dropped_, std::vector<std::wstring>{path});
}

TEST_F(DropTargetTest, SeveralFilesAreEachFollowedByCrLf) {
  dragAndDrop(TestDataObject::files({L"C:\\a.pwb", L"D:\\b.db"}));
  EXPECT_EQ(dropped_, std::vector<std::wstring>{L"C:\\a.pwb\r\nD:\\b.db\r\n"});
}

TEST_F(DropTargetTest, TextUrlsAndHtmlAreRefused) {
  const CLIPFORMAT url =
      static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"));
  const CLIPFORMAT html = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format"));
  for (const CLIPFORMAT format : {static_cast<CLIPFORMAT>(CF_TEXT), url, html}) {
    EXPECT_EQ(dragAndDrop(TestDataObject::other(format, "C:\\a.pwb")),
              effects(DROPEFFECT_NONE, DROPEFFECT_NONE));
  }
  EXPECT_TRUE(dropped_.empty());
}

TEST_F(DropTargetTest, LinkIsNeverGiven) {
  EXPECT_EQ(dragAndDrop(TestDataObject::files({L"C:\\a.pwb"}), MK_LBUTTON | MK_CONTROL | MK_SHIFT),
            effects(DROPEFFECT_NONE, DROPEFFECT_NONE));
  EXPECT_TRUE(dropped_.empty());
}

TEST_F(DropTargetTest, NoDropIsTakenUntilTheExportHasStartedAndEnded) {
  IDropTarget& target = window_.dropTarget();
  auto* first = TestDataObject::files({L"C:\\first.pwb"});
  DWORD effect = DROPEFFECT_COPY;
  target.DragEnter(first, MK_LBUTTON, POINTL{60, 60}, &effect);
  target.Drop(first, MK_LBUTTON, POINTL{60, 60}, &effect);
  first->Release();
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(dropped_.empty()) << "the export starts once the drag source is let go";
  // Before the window has exported the first drop, a second one is refused.
  EXPECT_EQ(dragAndDrop(TestDataObject::files({L"C:\\second.pwb"})),
            effects(DROPEFFECT_NONE, DROPEFFECT_NONE));
  EXPECT_EQ(dropped_, std::vector<std::wstring>{L"C:\\first.pwb"});
  // Once that export has ended, drops are taken again.
  dragAndDrop(TestDataObject::files({L"C:\\third.pwb"}));
  EXPECT_EQ(dropped_, (std::vector<std::wstring>{L"C:\\first.pwb", L"C:\\third.pwb"}));
}

TEST_F(DropTargetTest, AnswersOnlyItsOwnInterfaces) {
  IDropTarget& target = window_.dropTarget();
  void* object = nullptr;
  EXPECT_EQ(target.QueryInterface(IID_IDropTarget, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(target.QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
