// Opening and closing book databases by their paths.
#include <gtest/gtest.h>

#include <atomic>

#include "bookdb/SqliteDB.h"
#include "support/BookBuilder.h"
#include "support/TempDir.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

int countFolders(const SqliteDB& db) {
  auto rows = db.Query("SELECT COUNT(*) FROM Folder");
  return rows.MoveNext() ? std::stoi(rows.ReadBytes(1)) : 0;
}

TEST(SqliteDBTest, MissingFileWithoutAllowCreateFailsAndCreatesNothing) {
  TempDir dir;
  const std::wstring missing = dir / L"missing.db";
  SqliteDB db;
  EXPECT_FALSE(db.Open(missing));
  EXPECT_FALSE(db.Open(missing, false));
  EXPECT_FALSE(db.isOpen());
  EXPECT_FALSE(fileExistsWide(missing));
}

TEST(SqliteDBTest, MissingFileWithAllowCreateIsCreated) {
  TempDir dir;
  SqliteDB db;
  EXPECT_TRUE(db.Open(dir / L"new.db", true));
  EXPECT_TRUE(fileExistsWide(dir / L"new.db"));
}

TEST(SqliteDBTest, MemoryDatabaseOnlyWithAllowCreate) {
  for (const wchar_t* name : {L"", L":memory:", L":MEMORY:", L":Memory:"}) {
    SqliteDB db;
    EXPECT_FALSE(db.Open(name)) << name;
    EXPECT_TRUE(db.Open(name, true)) << name;
    auto rows = db.Query("SELECT 1");
    EXPECT_TRUE(rows.MoveNext());
    EXPECT_EQ(rows.ReadBytes(1), "1");
  }
}

TEST(SqliteDBTest, ChinesePathReachesSqliteAsUtf8) {
  TempDir dir(L"书籍 目录");
  const std::wstring path = dir / L"我的书.db";
  BookBuilder(path).folder("f1", "第一卷").folder("f2", "第二卷");
  SqliteDB db;
  ASSERT_TRUE(db.Open(path));
  EXPECT_EQ(countFolders(db), 3);  // with the trash folder
}

TEST(SqliteDBTest, OpenTwiceSwitchesToTheSecondDatabase) {
  TempDir dir;
  BookBuilder(dir / L"one.db").folder("a", "A");
  BookBuilder(dir / L"two.db").folder("a", "A").folder("b", "B");
  SqliteDB db;
  ASSERT_TRUE(db.Open(dir / L"one.db"));
  EXPECT_EQ(countFolders(db), 2);
  ASSERT_TRUE(db.Open(dir / L"two.db"));
  EXPECT_EQ(countFolders(db), 3);
}

TEST(SqliteDBTest, FailedOpenLeavesTheObjectClosed) {
  TempDir dir;
  BookBuilder(dir / L"one.db");
  SqliteDB db;
  ASSERT_TRUE(db.Open(dir / L"one.db"));
  EXPECT_FALSE(db.Open(dir / L"missing.db"));
  EXPECT_FALSE(db.isOpen());
  EXPECT_FALSE(db.Query("SELECT 1").isReady());
}

TEST(SqliteDBTest, CloseReportsOpenStatementsAndForgetsTheConnection) {
  SqliteDB never;
  EXPECT_TRUE(never.Close());

  SqliteDB db;
  ASSERT_TRUE(db.Open(L":memory:", true));
  auto rows = db.Query("SELECT 1 UNION ALL SELECT 2");
  ASSERT_TRUE(rows.MoveNext());
  EXPECT_FALSE(db.Close());
  EXPECT_FALSE(db.isOpen());
  // The record set still works on the connection it borrowed until it is finished.
  EXPECT_EQ(rows.ReadBytes(1), "1");
  EXPECT_TRUE(rows.Close());
  EXPECT_TRUE(db.Close());
}

// A long read is cut short from another thread: the statement running stops within a few steps,
// mid-way through its rows, and later ones fail too.
TEST(SqliteDBTest, StopCutsShortTheRunningQueryAndLaterOnes) {
  SqliteDB db;
  ASSERT_TRUE(db.Open(L":memory:", true));
  std::atomic<bool> stop = false;
  db.stopWhen(stop);
  constexpr const char* kMillionRows =
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
      "SELECT i FROM n";
  auto rows = db.Query(kMillionRows);
  int read = 0;
  while (rows.MoveNext())
    if (++read == 10) stop = true;
  EXPECT_TRUE(rows.failed());
  EXPECT_LT(read, 1000);
  auto later = db.Query(kMillionRows);
  read = 0;
  while (later.MoveNext()) ++read;
  EXPECT_TRUE(later.failed());
  EXPECT_LT(read, 1000);
}

TEST(SqliteDBTest, NonDatabaseFileOpensButQueriesAreEmpty) {
  TempDir dir;
  writeFileBytes(dir / L"text.db", "this is not a database, only some text that is long enough");
  SqliteDB db;
  db.Open(dir / L"text.db");
  auto rows = db.Query("SELECT name, id FROM Folder");
  EXPECT_FALSE(rows.isReady());
  EXPECT_FALSE(rows.MoveNext());
}

}  // namespace
