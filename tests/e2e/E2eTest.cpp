// Black-box tests: the built Vellumix.exe used from another process as a person would.
#include <gtest/gtest.h>
#include <ole2.h>

#include "bookdb/TextConversion.h"
#include "e2e/RemoteApp.h"
#include "e2e/SampleBook.h"
#include "support/TempDir.h"

namespace {

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    packed_ = makeSampleBook(work_.path());
  }
  void TearDown() override { OleUninitialize(); }

  std::string ansiOf(const std::wstring& path) { return wideToAnsi(path).value(); }

  TempDir work_{L"样书"};
  TempDir out_{L"导出 文件夹"};
  std::wstring packed_;
};

TEST_F(EndToEndTest, PackedBookWithBothOptionsTickedByKeyboard) {
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  app.chooseMenuItem('O', 'C');
  app.chooseMenuItem('O', 'N');
  EXPECT_NE(app.dropFiles({ansiOf(packed_)}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(out_.path());
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.ansiTitle, ansi("提示"));
  EXPECT_EQ(notice.ansiText, ansi("完成。"));
  auto tree = readTree(out_.path());
  ASSERT_TRUE(tree.count("toc.html"));
  EXPECT_TRUE(tree["toc.html"].find("<h2>番外</h2>") != std::string::npos);
  tree.erase("toc.html");
  EXPECT_EQ(tree, sampleTree(true));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(EndToEndTest, DatabaseDropAndCancelledChooser) {
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  const std::string database = ansiOf(sampleDatabase(work_.path()));
  app.dropFiles({database});
  app.answerFolderChooser(std::nullopt);
  EXPECT_FALSE(app.noticeWithin(1000)) << "a cancelled chooser ends silently";
  app.dropFiles({database});
  app.answerFolderChooser(out_.path());
  EXPECT_EQ(app.takeNotice().ansiText, ansi("完成。"));
  EXPECT_EQ(readTree(out_.path()), sampleTree(false));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(EndToEndTest, UpperCaseEndingIsRefused) {
  const std::wstring upper = work_ / L"BOOK.PWB";
  ASSERT_TRUE(CopyFileW(packed_.c_str(), upper.c_str(), FALSE));
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  app.dropFiles({ansiOf(upper)});
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.ansiTitle, ansi("错误"));
  EXPECT_EQ(notice.ansiText, ansi("文件不合法。"));
  EXPECT_FALSE(app.folderChooserShown());
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(EndToEndTest, NoDropIsTakenDuringAnExport) {
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  const std::string database = ansiOf(sampleDatabase(work_.path()));
  app.dropFiles({database});
  ASSERT_TRUE(
      waitFor("the export asks for a folder", 20000, [&] { return app.folderChooserShown(); }));
  EXPECT_EQ(app.dropFiles({ansiOf(packed_)}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(out_.path());
  EXPECT_EQ(app.takeNotice().ansiText, ansi("完成。"));
  EXPECT_FALSE(app.noticeWithin(500));
  EXPECT_FALSE(app.folderChooserShown()) << "the refused drop started no second export";
  // Once the export is over, drops are taken again.
  EXPECT_NE(app.dropFiles({database}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(std::nullopt);
  EXPECT_EQ(app.close(), 0u);
}

}  // namespace
