// The real folder chooser under the window: any characters, full length, cancel, virtual items,
// and a whole export into the chosen folder.
#include "app/FolderChooser.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "app/AppUi.h"
#include "export/BookWalker.h"
#include "support/BookBuilder.h"
#include "support/FolderChooserAnswerer.h"
#include "support/MessageBoxWatcher.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

struct ItemList {
  explicit ItemList(PIDLIST_ABSOLUTE item) : item(item) {}
  ~ItemList() { CoTaskMemFree(item); }
  PIDLIST_ABSOLUTE item;
};

class FolderChooserTest : public WindowTest {
 protected:
  TempDir dir_{L"导出 😀 한국어"};
};

TEST_F(FolderChooserTest, ItemListGivesTheWholePath) {
  std::wstring deep = dir_.path();
  // Wine's shell parses no path past about 260 characters: test up to there.
  while (deep.size() < 240) deep += L"\\" + std::wstring(30, L'd') + L"😀";
  ASSERT_TRUE(createDirectoryTree(deep));
  PIDLIST_ABSOLUTE parsed = nullptr;
  ASSERT_EQ(SHParseDisplayName(deep.c_str(), nullptr, &parsed, 0, nullptr), S_OK);
  const ItemList item(parsed);
  EXPECT_EQ(pathFromItemList(item.item), deep);

  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  const ItemList virtualItem(computer);
  EXPECT_EQ(pathFromItemList(virtualItem.item), std::nullopt);
}

TEST_F(FolderChooserTest, ChosenFolderWithAnyCharactersComesBackWhole) {
  const FolderChooserAnswerer answerer({dir_.path()});
  AppUi ui(window_);
  EXPECT_EQ(ui.chooseExportFolder(), dir_.path());
  EXPECT_TRUE(answerer.answered());
  EXPECT_TRUE(answerer.okEnabled());
  EXPECT_EQ(answerer.owner(), window_.handle());
}

TEST_F(FolderChooserTest, CancelGivesNoFolder) {
  const FolderChooserAnswerer answerer({L"", nullptr, true});
  AppUi ui(window_);
  EXPECT_EQ(ui.chooseExportFolder(), std::nullopt);
  EXPECT_TRUE(answerer.answered());
}

TEST_F(FolderChooserTest, ChoiceWithoutFileSystemPathIsReportedAsMissing) {
  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  const ItemList item(computer);
  TempDir books;
  BookBuilder(books / L"b.db").folder("f", "卷");
  AppUi ui(window_);
  MessageBoxWatcher notices(20);
  {
    const FolderChooserAnswerer answerer({L"", item.item});
    BookWalker(ui).run(books / L"b.db");
    // Only folders of the file system can be chosen; were OK pressed all the same, the export
    // says that the folder is not there.
    EXPECT_FALSE(answerer.okEnabled());
  }
  const auto seen = notices.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, L"发生错误：文件夹不存在。");
  EXPECT_EQ(seen[0].owner, window_.handle());
}

TEST_F(FolderChooserTest, WholeExportIntoAFolderOutsideTheCodePage) {
  TempDir books;
  BookBuilder(books / L"b.db").folder("f", "第一卷").article("f", "序章 😀", "txt", 1, "正文");
  window_.setChecked(Command::ToggleChapterList, true);
  AppUi ui(window_);
  MessageBoxWatcher notices(20);
  {
    const FolderChooserAnswerer answerer({dir_.path()});
    BookWalker(ui).run(books / L"b.db");
  }
  const auto seen = notices.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, L"完成。");
  EXPECT_EQ(seen[0].title, L"提示");
  EXPECT_EQ(readFileBytes(dir_ / L"第一卷\\序章 😀.txt"), "正文");
  EXPECT_TRUE(
      readFileBytes(dir_ / L"toc.html")
          .starts_with("<meta charset=\"utf-8\">\n<h1>" + wideToUtf8(dir_.path()) + "</h1>"));
}

}  // namespace
