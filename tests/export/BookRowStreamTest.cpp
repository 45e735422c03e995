// The book read on a thread of its own: the count, then every row in order, folder by folder,
// however large.
#include "export/BookRowStream.h"

#include <gtest/gtest.h>

#include "support/BookBuilder.h"
#include "support/TempDir.h"

namespace {

class BookRowStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BookBuilder book(dir_ / L"book.db");
    book.exec("BEGIN").folder("many", "多").folder("large", "大").folder("empty", "空");
    // More rows than one batch holds, and an article larger than a batch.
    for (int n = 1; n <= 3000; ++n)
      book.article("many", "篇" + std::to_string(n), "txt", n, std::to_string(n));
    book.article("large", "前", "txt", 1, "a");
    book.article("large", "长", "md", 2, std::string(6 << 20, 'L'));
    book.article("large", "后", "txt", 3, "b");
    book.exec("COMMIT").finish();
    ASSERT_TRUE(reader_.open(dir_ / L"book.db"));
    ASSERT_EQ(reader_.readFolders(folders_), BookReader::Status::Complete);
  }

  TempDir dir_;
  BookReader reader_;
  std::vector<BookFolder> folders_;
};

TEST_F(BookRowStreamTest, EveryRowArrivesInOrderFolderByFolder) {
  std::vector<std::string> expected;
  for (int n = 1; n <= 3000; ++n) expected.push_back("篇" + std::to_string(n));
  expected.insert(expected.end(), {"end", "前", "长", "后", "end", "end"});

  std::vector<std::string> seen;
  size_t largest = 0;
  BookRowStream rows(reader_, folders_);
  const auto overview = rows.overview([] {});
  EXPECT_EQ(overview.articleCount, 3003);
  EXPECT_FALSE(overview.rowsLost);
  while (seen.size() < expected.size()) {
    const auto item = rows.next([] {});
    EXPECT_TRUE(item.folderComplete);
    seen.push_back(item.endOfFolder ? "end" : item.row.utf8Title);
    largest = std::max(largest, item.row.content.size());
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(largest, static_cast<size_t>(6 << 20));
}

TEST_F(BookRowStreamTest, AStreamLeftEarlyStopsItsReader) {
  for (int taken = 0; taken < 3; ++taken) {
    BookRowStream rows(reader_, folders_);
    for (int i = 0; i < taken; ++i) rows.next([] {});
  }
  SUCCEED() << "every reader stopped";
}

}  // namespace
