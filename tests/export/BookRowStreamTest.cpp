// The book read on a thread of its own, once it is there: its folders, the count, then every row
// in order, folder by folder, however large.
#include "export/BookRowStream.h"

#include <gtest/gtest.h>

#include <future>

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
  }

  std::wstring bookPath() const { return dir_ / L"book.db"; }

  TempDir dir_;
};

TEST_F(BookRowStreamTest, EveryRowArrivesInOrderFolderByFolder) {
  std::vector<std::string> expected;
  for (int n = 1; n <= 3000; ++n) expected.push_back("篇" + std::to_string(n));
  expected.insert(expected.end(), {"end", "前", "长", "后", "end", "end"});

  std::vector<std::string> seen;
  size_t largest = 0;
  BookRowStream rows(bookPath());
  const auto keepWaiting = [] { return true; };
  const auto& contents = *rows.contents(keepWaiting);
  EXPECT_EQ(contents.status, BookReader::Status::Complete);
  ASSERT_EQ(contents.folders.size(), 3u);
  EXPECT_EQ(contents.folders[1].utf8Name, "大");
  const auto overview = *rows.overview(keepWaiting);
  EXPECT_EQ(overview.articleCount, 3003);
  EXPECT_EQ(overview.fault, BookFault::None);
  EXPECT_FALSE(overview.rowsLostUnplaced);
  EXPECT_TRUE(overview.lostRows.empty());
  while (seen.size() < expected.size()) {
    const auto item = *rows.next(keepWaiting);
    EXPECT_TRUE(item.folderComplete);
    seen.push_back(item.endOfFolder ? "end" : item.row.utf8Title);
    largest = std::max(largest, item.row.content.size());
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(largest, static_cast<size_t>(6 << 20));
}

// A copy of the book may still be on its way, or fail to get there.
TEST_F(BookRowStreamTest, ReadingWaitsForTheBookToArrive) {
  const struct {
    const char* name;
    BookFault arrival;
    BookReader::Status status;
  } cases[] = {
      {"arrives", BookFault::None, BookReader::Status::Complete},
      {"cannot be read", BookFault::Unreadable, BookReader::Status::Unreadable},
      {"cannot be written", BookFault::WorkingSpace, BookReader::Status::Unreadable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::promise<BookFault> arrival;
    BookRowStream rows(bookPath(), arrival.get_future().share());
    int waits = 0;
    const auto& contents = *rows.contents([&] {
      if (++waits == 2) arrival.set_value(c.arrival);
      return true;
    });
    EXPECT_GE(waits, 2);
    EXPECT_EQ(contents.status, c.status);
    EXPECT_EQ(contents.fault, c.arrival);
    if (c.arrival == BookFault::None) {
      EXPECT_EQ(rows.overview([] { return true; })->articleCount, 3003);
    }
  }
}

// A writer that is asked to stop gives up waiting for a reader that is slow to come.
TEST_F(BookRowStreamTest, AWaitIsGivenUpWhenAsked) {
  std::promise<BookFault> arrival;
  BookRowStream rows(bookPath(), arrival.get_future().share());
  int waits = 0;
  EXPECT_EQ(rows.contents([&] { return ++waits < 3; }), nullptr);
  EXPECT_EQ(waits, 3);
}

// Left while it waits for the book, reads the folders' rows or has filled its batch, a stream
// stops its reader at once.
TEST_F(BookRowStreamTest, AStreamLeftEarlyStopsItsReader) {
  {
    std::promise<BookFault> arrival;
    BookRowStream rows(bookPath(), arrival.get_future().share());
  }
  for (int taken = 0; taken < 3; ++taken) {
    BookRowStream rows(bookPath());
    for (int i = 0; i < taken; ++i) rows.next([] { return true; });
  }
  SUCCEED() << "every reader stopped";
}

}  // namespace
