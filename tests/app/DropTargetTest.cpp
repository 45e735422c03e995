// The drop target: which drags it takes, with which effect, and the text it hands on.
#include "app/DropTarget.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "app/MainWindow.h"
#include "support/TempDir.h"
#include "support/TestDataObject.h"

namespace {

using Effects = std::pair<DWORD, DWORD>;
Effects effects(DWORD enter, DWORD drop) { return {enter, drop}; }

TEST(DropEffectTest, KeysAskAndTheSourceAllows) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const struct {
    bool accepted;
    DWORD keys;
    DWORD allowed;
    DWORD expected;
  } cases[] = {
      {false, 0, kAll, DROPEFFECT_NONE},
      {false, MK_CONTROL, kAll, DROPEFFECT_NONE},
      {true, 0, kAll, DROPEFFECT_COPY},
      {true, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {true, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {true, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
      {true, MK_CONTROL, kAll, DROPEFFECT_COPY},
      {true, MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {true, MK_SHIFT, kAll, DROPEFFECT_MOVE},
      {true, MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {true, MK_CONTROL | MK_SHIFT, kAll, DROPEFFECT_NONE},
      {true, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK, DROPEFFECT_NONE},
      {true, MK_LBUTTON, kAll, DROPEFFECT_COPY},
      {true, MK_LBUTTON | MK_SHIFT, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
  };
  for (const auto& c : cases)
    EXPECT_EQ(chooseDropEffect(c.accepted, c.keys, c.allowed), c.expected)
        << c.accepted << " " << c.keys << " " << c.allowed;
}

class DropTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(window_.create(SW_SHOWNORMAL));
    window_.setFileDroppedHandler([this](const std::string& text) { dropped_.push_back(text); });
  }
  void TearDown() override {
    DestroyWindow(window_.handle());
    OleUninitialize();
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

  void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  MainWindow window_;
  std::vector<std::string> dropped_;
};

TEST_F(DropTargetTest, OneFileIsHandedOnAsItsPath) {
  const std::string path = ansi("C:\\书籍\\嘰.pwb");
  EXPECT_EQ(dragAndDrop(TestDataObject::files({path})), effects(DROPEFFECT_COPY, DROPEFFECT_COPY));
  EXPECT_EQ(dropped_, std::vector<std::string>{path});
}

TEST_F(DropTargetTest, SeveralFilesAreEachFollowedByCrLf) {
  dragAndDrop(TestDataObject::files({"C:\\a.pwb", "D:\\b.db"}));
  EXPECT_EQ(dropped_, std::vector<std::string>{"C:\\a.pwb\r\nD:\\b.db\r\n"});
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
  EXPECT_EQ(dragAndDrop(TestDataObject::files({"C:\\a.pwb"}), MK_LBUTTON | MK_CONTROL | MK_SHIFT),
            effects(DROPEFFECT_NONE, DROPEFFECT_NONE));
  EXPECT_TRUE(dropped_.empty());
}

TEST_F(DropTargetTest, NoDropIsTakenUntilTheExportHasStartedAndEnded) {
  IDropTarget& target = window_.dropTarget();
  auto* first = TestDataObject::files({"C:\\first.pwb"});
  DWORD effect = DROPEFFECT_COPY;
  target.DragEnter(first, MK_LBUTTON, POINTL{60, 60}, &effect);
  target.Drop(first, MK_LBUTTON, POINTL{60, 60}, &effect);
  first->Release();
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  // Before the window has taken the first drop, a second one is refused.
  EXPECT_EQ(dragAndDrop(TestDataObject::files({"C:\\second.pwb"})),
            effects(DROPEFFECT_NONE, DROPEFFECT_NONE));
  EXPECT_EQ(dropped_, std::vector<std::string>{"C:\\first.pwb"});
  // The export switches the target off and on again; then drops are taken once more.
  window_.dropTarget().revokeDropTarget(window_.handle());
  ASSERT_TRUE(window_.dropTarget().registerDropTarget(window_.handle()));
  dragAndDrop(TestDataObject::files({"C:\\third.pwb"}));
  EXPECT_EQ(dropped_, (std::vector<std::string>{"C:\\first.pwb", "C:\\third.pwb"}));
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
