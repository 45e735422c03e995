// Stepping through and reading rows of a record set.
#include <gtest/gtest.h>

#include "bookdb/SqliteDB.h"
#include "support/BookBuilder.h"
#include "support/DamagedBook.h"
#include "support/TempDir.h"
#include "win/TextConversion.h"

namespace {

class SqliteDatasetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BookBuilder(dir_ / L"book.db")
        .folder("f1", "第一卷")
        .article("f1", "序章", "txt", 1, "正文\r\n第二行")
        .article("f1", std::nullopt, "md", 2, "")
        .article("f1", "표제 😀", "txt", 3, "emoji 😀 한국어")
        .exec(
            "INSERT INTO Article (folderId, title, extension, rank, content) "
            "VALUES ('f1', 'blob', 'txt', 4, X'00FF0A41')");
    ASSERT_TRUE(db_.Open(dir_ / L"book.db"));
  }

  SqliteDataset articles() {
    return db_.Query("SELECT title, extension, rank, content FROM Article ORDER BY rank");
  }

  TempDir dir_;
  SqliteDB db_;
};

TEST_F(SqliteDatasetTest, YieldsEveryRowThenStops) {
  auto rows = articles();
  std::vector<std::string> ranks;
  while (rows.MoveNext()) ranks.push_back(rows.ReadBytes("rank"));
  EXPECT_EQ(ranks, (std::vector<std::string>{"1.0", "2.0", "3.0", "4.0"}));
  EXPECT_FALSE(rows.MoveNext());
  EXPECT_FALSE(rows.failed());
  EXPECT_FALSE(db_.Query("SELECT title FROM Article WHERE rank > 100").MoveNext());
}

TEST_F(SqliteDatasetTest, InvalidQueryReadsAsNoRows) {
  for (const char* sql : {"SELECT nonsense FROM Nowhere", "", "not sql at all"}) {
    auto rows = db_.Query(sql);
    EXPECT_FALSE(rows.isReady()) << sql;
    EXPECT_FALSE(rows.MoveNext()) << sql;
    bool ok = true;
    EXPECT_EQ(rows.ReadBytes("title", &ok), "") << sql;
    EXPECT_FALSE(ok) << sql;
    EXPECT_TRUE(rows.Close()) << sql;
  }
}

TEST_F(SqliteDatasetTest, OnlyTheFirstStatementIsCompiled) {
  auto rows = db_.Query("SELECT 7; DROP TABLE Article;");
  ASSERT_TRUE(rows.MoveNext());
  EXPECT_EQ(rows.ReadBytes(1), "7");
  rows.Close();
  auto count = db_.Query("SELECT COUNT(*) FROM Article");
  ASSERT_TRUE(count.MoveNext());
  EXPECT_EQ(count.ReadBytes(1), "4");
}

TEST_F(SqliteDatasetTest, ColumnsByNameInAnyCaseOrByNumber) {
  auto rows = articles();
  ASSERT_TRUE(rows.MoveNext());
  const std::string title = "序章";
  bool ok = false;
  EXPECT_EQ(rows.ReadBytes("title", &ok), title);
  EXPECT_TRUE(ok);
  EXPECT_EQ(rows.ReadBytes("TITLE"), title);
  EXPECT_EQ(rows.ReadBytes("Title"), title);
  EXPECT_EQ(rows.ReadBytes(1), title);
  EXPECT_EQ(rows.ReadBytes(2), "txt");
  EXPECT_EQ(rows.ReadBytes(4), "正文\r\n第二行");

  for (int bad : {0, -1}) {
    ok = true;
    EXPECT_EQ(rows.ReadBytes(bad, &ok), "");
    EXPECT_FALSE(ok);
  }
  ok = true;
  EXPECT_EQ(rows.ReadBytes("nosuch", &ok), "");
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(rows.ReadBytes("", &ok), "");
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(rows.ReadBytes(9, &ok), "");  // past the last column
  EXPECT_FALSE(ok);
}

TEST_F(SqliteDatasetTest, NullAndEmptyValuesReadAsEmptyWithSuccess) {
  auto rows = articles();
  rows.MoveNext();
  ASSERT_TRUE(rows.MoveNext());
  bool ok = false;
  EXPECT_EQ(rows.ReadBytes("title", &ok), "");
  EXPECT_TRUE(ok);
  ok = false;
  EXPECT_EQ(rows.ReadBytes("content", &ok), "");
  EXPECT_TRUE(ok);
}

TEST_F(SqliteDatasetTest, TextOutsideAnyCodePageIsReadWhole) {
  auto rows = articles();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(rows.MoveNext());
  EXPECT_EQ(rows.ReadBytes("title"), "표제 😀");
  EXPECT_EQ(utf8ToWide(rows.ReadBytes("content")), L"emoji 😀 한국어");
}

TEST_F(SqliteDatasetTest, BytesAreReturnedExactlyWithZeroBytes) {
  auto rows = articles();
  for (int i = 0; i < 4; ++i) rows.MoveNext();
  EXPECT_EQ(rows.ReadBytes("content"), std::string("\x00\xff\x0a"
                                                   "A",
                                                   4));
}

TEST(SqliteDatasetEncodingTest, TextOfAUtf16DatabaseReadsAsUtf8) {
  TempDir dir;
  BookBuilder(dir / L"utf16.db", BookBuilder::Schema::None)
      .exec(
          "PRAGMA encoding = 'UTF-16le'; CREATE TABLE t (title TEXT); "
          "INSERT INTO t VALUES ('第一章 😀')");
  SqliteDB db;
  ASSERT_TRUE(db.Open(dir / L"utf16.db"));
  auto rows = db.Query("SELECT title FROM t");
  ASSERT_TRUE(rows.MoveNext());
  EXPECT_EQ(rows.ReadBytes("title"), "第一章 😀");
}

TEST_F(SqliteDatasetTest, ReadingAfterTheEndFails) {
  auto rows = db_.Query("SELECT title FROM Article WHERE rank = 1");
  ASSERT_TRUE(rows.MoveNext());
  ASSERT_FALSE(rows.MoveNext());
  bool ok = true;
  EXPECT_EQ(rows.ReadBytes("title", &ok), "");
  EXPECT_FALSE(ok);
}

TEST_F(SqliteDatasetTest, EmptyAndClosedRecordSets) {
  SqliteDataset empty;
  EXPECT_FALSE(empty.isReady());
  EXPECT_TRUE(empty.Close());
  EXPECT_FALSE(empty.MoveNext());

  auto rows = articles();
  EXPECT_TRUE(rows.Close());
  EXPECT_FALSE(rows.MoveNext());
}

TEST(SqliteDatasetDamageTest, AnErrorPartWayIsToldApartFromTheEndOfTheRows) {
  TempDir dir;
  const std::wstring path = dir / L"book.db";
  BookBuilder book(path, BookBuilder::Schema::None);
  book.exec("CREATE TABLE t (id INTEGER PRIMARY KEY, body TEXT)");
  for (int n = 1; n <= 30; ++n)
    book.exec("INSERT INTO t VALUES (" + std::to_string(n) + ", '#" + std::to_string(n) + "|" +
              std::string(1000, '.') + "')");
  book.finish();
  DamagedBook damage(path);
  damage.zeroPage(damage.tableLeavesHolding("#20|").at(0));

  SqliteDB db;
  ASSERT_TRUE(db.Open(path));
  auto rows = db.Query("SELECT id FROM t WHERE id >= ?1 ORDER BY id");
  ASSERT_TRUE(rows.Bind(1, std::int64_t{1}));
  int read = 0;
  while (rows.MoveNext()) ++read;
  EXPECT_GT(read, 0);
  EXPECT_LT(read, 19);
  EXPECT_TRUE(rows.failed());
  EXPECT_EQ(rows.errorCode(), 11);  // SQLITE_CORRUPT
  EXPECT_FALSE(rows.MoveNext()) << "a failed statement does not start over";
  bool ok = true;
  EXPECT_EQ(rows.ReadBytes(1, &ok), "");
  EXPECT_FALSE(ok);

  // Binding starts the statement over: beyond the damaged page it reads to a clean end.
  ASSERT_TRUE(rows.Bind(1, std::int64_t{28}));
  std::vector<std::string> ids;
  while (rows.MoveNext()) ids.push_back(rows.ReadBytes(1));
  EXPECT_EQ(ids, (std::vector<std::string>{"28", "29", "30"}));
  EXPECT_FALSE(rows.failed());
  EXPECT_EQ(rows.errorCode(), 0);
}

}  // namespace
