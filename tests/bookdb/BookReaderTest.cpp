// Reading a book's rows on past pages that cannot be read.
#include "bookdb/BookReader.h"

#include <gtest/gtest.h>

#include "support/BookBuilder.h"
#include "support/DamagedBook.h"
#include "support/TempDir.h"
#include "win/TextConversion.h"

namespace {

// A table of numbered rows of about 1 KB, a few to a page, each starting with "#n|".
void buildNumberedRows(const std::wstring& path, int rows) {
  BookBuilder book(path, BookBuilder::Schema::None);
  book.exec("CREATE TABLE t (id INTEGER PRIMARY KEY, body TEXT)");
  for (int n = 1; n <= rows; ++n) {
    std::string body = "#" + std::to_string(n) + "|";
    body.resize(1000, '.');
    book.exec("INSERT INTO t VALUES (" + std::to_string(n * 10) + ", '" + body + "')");
  }
}

TEST(ReadableRowidsTest, RowsOnZeroedPagesArePassedOverAndNoOthers) {
  const struct {
    const char* name;
    std::vector<int> zeroedRows;  // the pages holding these rows are zeroed
  } cases[] = {
      {"nothing damaged", {}},        {"a page in the middle", {100}},
      {"the first page", {1}},        {"the last page", {200}},
      {"two pages apart", {40, 150}}, {"two pages side by side", {100, 104}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::wstring path = dir / L"rows.db";
    buildNumberedRows(path, 200);
    DamagedBook damage(path);
    std::vector<std::int64_t> expected;
    std::vector<int> pages;
    for (const int row : c.zeroedRows) {
      const auto holding = damage.tableLeavesHolding("#" + std::to_string(row) + "|");
      ASSERT_EQ(holding.size(), 1u);
      pages.push_back(holding[0]);
    }
    for (int n = 1; n <= 200; ++n) {
      bool lost = false;
      for (const int page : pages)
        lost = lost || damage.page(page).find("#" + std::to_string(n) + "|") != std::string::npos;
      if (!lost) expected.push_back(n * 10);
    }
    for (const int page : pages) damage.zeroPage(page);

    SqliteDB db;
    ASSERT_TRUE(db.Open(path));
    EXPECT_EQ(readableRowids(db, "t"), expected);
  }
}

}  // namespace
