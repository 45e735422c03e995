// Whole exports of real book databases into real folders, through the recording UI.
#include "export/BookWalker.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

#include "support/BookBuilder.h"
#include "support/DamagedBook.h"
#include "support/FullTemporaryDisk.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

using Tree = std::map<std::string, std::string>;

Notice errorNotice(const wchar_t* text) { return {text, L"错误", MB_ICONERROR}; }

class BookWalkerTest : public ::testing::Test {
 protected:
  BookWalkerTest() { ui_.chosenFolder = out_.path(); }

  std::wstring bookPath() const { return books_ / L"书.db"; }

  // A small book: two folders, categories between articles, both endings, rows that must not
  // appear (deleted ones, the trash folder).
  void buildNovel(BookBuilder::Schema schema = BookBuilder::Schema::Book) {
    BookBuilder(bookPath(), schema)
        .folder("f1", "第一卷")
        .folder("f2", "第二卷")
        .folder("gone", "已删除", 1)
        .article("f1", "序章", "txt", 1, "序章正文\r\n")
        .category("f1", "上篇", 2)
        .article("f1", "第一章", "txt", 3, "第一章正文")
        .article("f1", "笔记", "md", 4, "# 笔记\n")
        .article("f1", "删掉的", "txt", 5, "x", 1)
        .category("f1", "旧分类", 5.5, 1)
        .category("f1", "下篇", 6)
        .article("f1", "第二章", "", 7, "第二章正文")
        .article("f2", "尾声", "txt", 1, "尾声正文")
        .article("gone", "不该出现", "txt", 1, "x")
        .article("PW_Trash", "回收的", "txt", 1, "x");
  }

  Tree exported() const { return readTree(out_.path()); }

  std::wstring lastNoticeText() const {
    return ui_.notices.empty() ? std::wstring() : ui_.notices.back().text;
  }

  PrivateTempDirectory temp_;
  TempDir books_{L"书籍"};
  TempDir out_{L"导出 目录"};
  RecordingUi ui_;
};

TEST_F(BookWalkerTest, ExportsEveryLiveArticleWithItsBytesUnchanged) {
  buildNovel();
  BookWalker(ui_).run(bookPath());
  const Tree expected = {
      {"第一卷/", ""},
      {"第一卷/序章.txt", "序章正文\r\n"},
      {"第一卷/上篇/", ""},
      {"第一卷/上篇/第一章.txt", "第一章正文"},
      {"第一卷/上篇/笔记.md", "# 笔记\n"},
      {"第一卷/下篇/", ""},
      {"第一卷/下篇/第二章.md", "第二章正文"},
      {"第二卷/", ""},
      {"第二卷/尾声.txt", "尾声正文"},
  };
  EXPECT_EQ(exported(), expected);
  EXPECT_EQ(ui_.notices, (std::vector<Notice>{{L"完成。", L"提示", MB_ICONINFORMATION}}));
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"options", "choose", "busy", "idle", "notice"}));
}

TEST_F(BookWalkerTest, NumbersRestartInEachFolderAndAfterEachCategory) {
  buildNovel();
  ui_.exportOptions.numberFileNames = true;
  BookWalker(ui_).run(bookPath());
  std::set<std::string> files;
  for (const auto& [name, bytes] : exported())
    if (!name.ends_with("/")) files.insert(name);
  EXPECT_EQ(files, (std::set<std::string>{"第一卷/1. 序章.txt", "第一卷/上篇/1. 第一章.txt",
                                          "第一卷/上篇/2. 笔记.md", "第一卷/下篇/1. 第二章.md",
                                          "第二卷/1. 尾声.txt"}));
}

TEST_F(BookWalkerTest, ChapterListIsOneUtf8DocumentExtendedByEachExport) {
  BookBuilder(bookPath())
      .folder("f1", "卷 <一> & \"二\"")
      .folder("empty", "空卷")
      .category("f1", "分类 <b>", 1)
      .article("f1", "a < b", "txt", 2, "x")
      .article("f1", "笔记", "md", 3, "y")
      .article("f1", std::string("bad \xff utf8"), "txt", 4, "z");
  ui_.exportOptions.exportChapterList = true;
  BookWalker(ui_).run(bookPath());
  const std::string outline = "<h1>" + wideToUtf8(out_.path()) +
                              "</h1>\n"
                              "<h2>卷 &lt;一&gt; &amp; &quot;二&quot;</h2>\n"
                              "<h3>分类 &lt;b&gt;</h3>\n"
                              "<p><strong>T</strong> a &lt; b</p>\n"
                              "<p><strong>M</strong> 笔记</p>\n"
                              "<p><strong>T</strong> bad \xef\xbf\xbd utf8</p>\n"
                              "<h2>空卷</h2>\n";
  EXPECT_EQ(readFileBytes(out_ / L"toc.html"), "<meta charset=\"utf-8\">\n" + outline);

  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(readFileBytes(out_ / L"toc.html"), "<meta charset=\"utf-8\">\n" + outline + outline);
  // The second export added files beside the first ones, overwriting none.
  const Tree tree = exported();
  EXPECT_EQ(tree.at("卷 _一_ & _二_/分类 _b_/a _ b.txt"), "x");
  EXPECT_EQ(tree.at("卷 _一_ & _二_/分类 _b_/a _ b_0.txt"), "x");
  EXPECT_EQ(tree.at("卷 _一_ & _二_/分类 _b_/笔记_0.md"), "y");
  EXPECT_EQ(ui_.notices.size(), 2u);
}

TEST_F(BookWalkerTest, ChapterListOnlyWhenTicked) {
  buildNovel();
  BookWalker(ui_).run(bookPath());
  EXPECT_FALSE(fileExistsWide(out_ / L"toc.html"));
}

TEST_F(BookWalkerTest, ExistingEmptyChapterListGetsTheCharsetLine) {
  buildNovel();
  writeFileBytes(out_ / L"toc.html", "");
  ui_.exportOptions.exportChapterList = true;
  BookWalker(ui_).run(bookPath());
  EXPECT_TRUE(readFileBytes(out_ / L"toc.html").starts_with("<meta charset=\"utf-8\">\n<h1>"));
}

TEST_F(BookWalkerTest, CancelledChooserEndsSilently) {
  buildNovel();
  ui_.chosenFolder.reset();
  const auto before = temp_.entries();
  BookWalker(ui_).run(bookPath());
  EXPECT_TRUE(ui_.notices.empty());
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"options", "choose"}));
  EXPECT_TRUE(exported().empty());
  EXPECT_EQ(temp_.entries(), before);
}

// The book is copied while the user chooses the folder; a cancel stops a copy still running.
TEST_F(BookWalkerTest, CopyOfALargeBookIsGoneWhenTheChooserCloses) {
  writeFileBytes(bookPath(), std::string(64 << 20, 'x'));
  const auto before = temp_.entries();
  bool copying = false;
  ui_.chosenFolder.reset();
  ui_.whileChoosing = [&] { copying = temp_.entries().size() == before.size() + 1; };
  BookWalker(ui_).run(bookPath());
  EXPECT_TRUE(copying);
  EXPECT_EQ(temp_.entries(), before);
}

// A notice stays until the user closes it: the working copy is gone by then, whatever the end.
TEST_F(BookWalkerTest, WorkingCopyIsGoneBeforeTheNotice) {
  buildNovel();
  writeFileBytes(books_ / L"text.db", std::string(4096, 'x'));
  BookBuilder(books_ / L"unsafe.db").folder("x'", "注入");
  const auto before = temp_.entries();
  ui_.atNotice = [&] { EXPECT_EQ(temp_.entries(), before); };
  const struct {
    std::wstring book;
    const wchar_t* notice;
  } cases[] = {{bookPath(), L"完成。"},
               {books_ / L"text.db", L"无法读取书籍数据库。"},
               {books_ / L"unsafe.db", L"书籍 ID 异常，可能存在 SQL 注入。程序将中断导出。"}};
  for (const auto& c : cases) {
    BookWalker(ui_).run(c.book);
    EXPECT_EQ(lastNoticeText(), c.notice) << wideToUtf8(c.book);
  }
}

TEST_F(BookWalkerTest, FolderThatIsNotThereIsReported) {
  buildNovel();
  for (const std::wstring& folder : {out_ / L"不存在", std::wstring()}) {
    ui_.notices.clear();
    ui_.chosenFolder = folder;
    BookWalker(ui_).run(bookPath());
    EXPECT_EQ(ui_.notices, std::vector{errorNotice(L"发生错误：文件夹不存在。")});
  }
  EXPECT_TRUE(exported().empty());
}

TEST_F(BookWalkerTest, UnreadableBooksAreReportedAndNothingIsWritten) {
  writeFileBytes(books_ / L"text.db", std::string(4096, 'x'));
  BookBuilder(books_ / L"nofolder.db", BookBuilder::Schema::None).exec("CREATE TABLE t (x)");
  BookBuilder(books_ / L"zeroed.db").folder("f", "唯一的卷").article("f", "章", "txt", 1, "x");
  DamagedBook zeroed(books_ / L"zeroed.db");
  ASSERT_EQ(zeroed.tableLeavesHolding("唯一的卷").size(), 1u);
  zeroed.zeroPage(zeroed.tableLeavesHolding("唯一的卷")[0]);
  const std::wstring cases[] = {books_ / L"missing.db", books_ / L"text.db",
                                books_ / L"nofolder.db", books_ / L"zeroed.db"};
  ui_.exportOptions.exportChapterList = true;
  const auto before = temp_.entries();
  for (const auto& book : cases) {
    ui_.notices.clear();
    BookWalker(ui_).run(book);
    EXPECT_EQ(ui_.notices, std::vector{errorNotice(L"无法读取书籍数据库。")}) << wideToUtf8(book);
  }
  EXPECT_TRUE(exported().empty());
  EXPECT_EQ(temp_.entries(), before);
  EXPECT_EQ(ui_.events.back(), "notice");
  EXPECT_EQ(ui_.events[ui_.events.size() - 2], "idle");
}

TEST_F(BookWalkerTest, UnsafeIdStopsTheExport) {
  BookBuilder(bookPath())
      .folder("ok", "好的")
      .folder("x' OR '1'='1", "注入")
      .article("ok", "第一章", "txt", 1, "x");
  ui_.exportOptions.exportChapterList = true;
  const auto before = temp_.entries();
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(ui_.notices, (std::vector<Notice>{{L"书籍 ID 异常，可能存在 SQL 注入。程序将中断导出。",
                                               L"导出异常", MB_ICONERROR}}));
  // The heading already written stays.
  EXPECT_EQ(readFileBytes(out_ / L"toc.html"),
            "<meta charset=\"utf-8\">\n<h1>" + wideToUtf8(out_.path()) + "</h1>\n");
  EXPECT_EQ(temp_.entries(), before);
  EXPECT_EQ(ui_.events[ui_.events.size() - 2], "idle");
}

// The test prefix maps drive V: to an empty folder of its own.
TEST_F(BookWalkerTest, DriveRootExportHasNoDoubledSeparator) {
  const std::wstring root = L"V:\\";
  if (!isDirectoryWide(root)) GTEST_SKIP() << "no drive V: to export into";
  buildNovel();
  ui_.chosenFolder = root;
  ui_.exportOptions.exportChapterList = true;
  BookWalker(ui_).run(bookPath());
  const Tree tree = readTree(root);
  for (const auto& [name, bytes] : tree) {
    if (name.ends_with("/")) removeDirectoryTree(root + utf8ToWide(name));
    DeleteFileW((root + utf8ToWide(name)).c_str());
  }
  EXPECT_EQ(lastNoticeText(), L"完成。");
  EXPECT_EQ(tree.at("第二卷/尾声.txt"), "尾声正文");
  EXPECT_TRUE(tree.at("toc.html").starts_with("<meta charset=\"utf-8\">\n<h1>V:\\</h1>\n"));
}

TEST_F(BookWalkerTest, AnArticleWithTheCategoryExtensionIsAnArticle) {
  BookBuilder(bookPath()).folder("f", "卷").article("f", "像分类", "cat", 1, "正文");
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{{"卷/", ""}, {"卷/像分类.md", "正文"}}));
}

TEST_F(BookWalkerTest, LatestChangesInTheWriteAheadLogAreExported) {
  BookBuilder book(bookPath());
  book.exec("PRAGMA journal_mode=WAL").folder("f", "卷").article("f", "新写的", "txt", 1, "新");
  ASSERT_TRUE(fileExistsWide(bookPath() + L"-wal"));
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{{"卷/", ""}, {"卷/新写的.txt", "新"}}));
}

// The user's application may be writing the book while it is copied: the copy of the book and
// of its log is of one moment, so that every export shows one whole state of the book.
TEST_F(BookWalkerTest, ABookBeingWrittenIsCopiedAsOfOneMoment) {
  constexpr int kArticles = 3000;
  // Large enough for the application to commit and start its log over while the book is copied,
  // were it let.
  BookBuilder(bookPath())
      .exec("PRAGMA journal_mode=WAL")
      .folder("f", "卷")
      .exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(kArticles) +
            ") INSERT INTO Article (folderId, title, extension, rank, content) "
            "SELECT 'f', '篇' || i, 'txt', i, printf('%.3000c', 'A') FROM n");
  std::atomic<bool> writing = true;
  std::atomic<int> commits = 0;
  std::thread writer([&] {
    sqlite3* db = nullptr;
    sqlite3_open_v2(wideToUtf8(longPathForm(bookPath())).c_str(), &db, SQLITE_OPEN_READWRITE,
                    "win32-longpath");
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    for (int n = 1; writing; ++n) {
      // Each transaction replaces the oldest article by a new one: a copy that mixes two
      // moments shows a damaged book, or a number of articles other than the book's.
      const std::string sql =
          "BEGIN; INSERT INTO Article (folderId, title, extension, rank, content) VALUES ('f', "
          "'新" +
          std::to_string(n) + "', 'txt', " + std::to_string(kArticles + n) +
          ", printf('%.3000c', 'A')); DELETE FROM Article WHERE rank = " + std::to_string(n) +
          "; COMMIT;";
      if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) ++commits;
      if (n % 5 == 0) sqlite3_exec(db, "PRAGMA wal_checkpoint(RESTART)", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
  });
  while (commits < 20) Sleep(5);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    ui_.notices.clear();
    BookWalker(ui_).run(bookPath());
    EXPECT_EQ(lastNoticeText(), L"完成。");
    const Tree tree = exported();
    EXPECT_EQ(tree.size(), static_cast<size_t>(kArticles) + 1);
    for (const auto& [name, bytes] : tree) {
      if (!name.ends_with("/")) {
        EXPECT_EQ(bytes, std::string(3000, bytes.empty() ? '?' : bytes[0])) << name;
      }
    }
  }
  writing = false;
  writer.join();
}

TEST_F(BookWalkerTest, FailuresAreCountedAndNamed) {
  BookBuilder builder(bookPath());
  builder.folder("f1", "被占用").folder("f2", "也被占用").folder("f3", "好的");
  for (int i = 1; i <= 6; ++i)
    builder.article(i <= 2 ? "f1" : "f2", "章" + std::to_string(i), "txt", i, "x");
  builder.article("f3", "能写的", "txt", 1, "y");
  builder.finish();
  writeFileBytes(out_ / L"被占用", "a file where the folder should go");
  writeFileBytes(out_ / L"也被占用", "and another");
  BookWalker(ui_).run(bookPath());
  // Named in the book's order: a folder just before its own articles.
  EXPECT_EQ(ui_.notices, std::vector{errorNotice(L"完成，但有 8 项未能写出：\r\n被占用\r\n章1\r\n"
                                                 L"章2\r\n也被占用\r\n章3\r\n……")});
  EXPECT_EQ(exported().at("好的/能写的.txt"), "y");
}

// Only a book whose three tables are its own ordinary tables is read: a view would run a query
// of the sender's choosing, endless if it likes.
TEST_F(BookWalkerTest, BooksWhoseTablesAreNotOrdinaryTablesAreUnreadable) {
  constexpr const char* kFolder = "CREATE TABLE Folder (id TEXT, name TEXT, deleted INTEGER);";
  constexpr const char* kArticle =
      "CREATE TABLE Article (id INTEGER PRIMARY KEY, folderId TEXT, title TEXT, extension TEXT,"
      " rank REAL, content TEXT, deleted INTEGER);";
  constexpr const char* kCategory =
      "CREATE TABLE Category (id INTEGER PRIMARY KEY, folderId TEXT, name TEXT, rank REAL,"
      " deleted INTEGER);";
  constexpr const char* kRows =
      "CREATE TABLE t (id TEXT, name TEXT, deleted INTEGER, folderId TEXT, title TEXT,"
      " extension TEXT, rank REAL, content TEXT);"
      "INSERT INTO t VALUES ('a', '甲', 0, 'a', '篇', 'txt', 1, '正文');";
  const struct {
    const char* name;
    std::string schema;
  } cases[] = {
      {"no Article", std::string(kFolder) + kCategory},
      {"no Category", std::string(kFolder) + kArticle},
      {"Folder a view", std::string(kRows) + kArticle + kCategory +
                            "CREATE VIEW Folder AS SELECT id, name, deleted FROM t;"},
      {"Article a view",
       std::string(kRows) + kFolder + kCategory +
           "INSERT INTO Folder VALUES ('a', '甲', 0);"
           "CREATE VIEW Article AS SELECT folderId, title, extension, rank, content, deleted "
           "FROM t;"},
      {"Category a view", std::string(kRows) + kFolder + kArticle +
                              "CREATE VIEW Category AS SELECT folderId, name, rank, deleted "
                              "FROM t;"},
      {"Folder an endless view",
       std::string(kArticle) + kCategory +
           "CREATE VIEW Folder AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
           "FROM n) SELECT 'id' || i AS id, printf('%.100000c', 'x') AS name, 0 AS deleted "
           "FROM n;"},
  };
  const auto before = temp_.entries();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BookBuilder(bookPath(), BookBuilder::Schema::None).exec(c.schema);
    ui_.notices.clear();
    const DWORD start = GetTickCount();
    BookWalker(ui_).run(bookPath());
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(ui_.notices, std::vector{errorNotice(L"无法读取书籍数据库。")});
    EXPECT_TRUE(exported().empty());
    EXPECT_EQ(temp_.entries(), before);
  }
  // The next book exports as usual.
  buildNovel();
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(lastNoticeText(), L"完成。");
}

// A stop is looked at before each article and while the walk waits: wherever it comes, every
// file written is a whole article, toc.html lists just those, and the notice counts them.
TEST_F(BookWalkerTest, AStopAtAnyMomentLeavesOnlyWholeArticles) {
  BookBuilder builder(bookPath());
  builder.folder("f1", "甲").folder("f2", "乙");
  std::map<std::string, std::string> articles;  // file name: content
  for (int n = 1; n <= 150; ++n) {
    const std::string folder = n <= 75 ? "甲" : "乙";
    if (n % 25 == 0) builder.category(n <= 75 ? "f1" : "f2", "分" + std::to_string(n), n - 0.5);
    const std::string content = std::string(500 + n * 37, static_cast<char>('a' + n % 26));
    builder.article(n <= 75 ? "f1" : "f2", "篇" + std::to_string(n), "txt", n, content);
    articles["篇" + std::to_string(n) + ".txt"] = content;
  }
  builder.finish();
  ui_.exportOptions.exportChapterList = true;
  const auto before = temp_.entries();
  std::srand(20261211);
  for (int round = 0; round < 12; ++round) {
    const int stopAt = 1 + std::rand() % 170;
    SCOPED_TRACE("stop at look " + std::to_string(stopAt));
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    ui_.notices.clear();
    int looks = 0;
    ui_.stopWhen = [&] { return ++looks >= stopAt; };
    BookWalker(ui_).run(bookPath());
    int written = 0;
    for (const auto& [name, bytes] : exported()) {
      if (name.ends_with("/") || name == "toc.html") continue;
      ++written;
      const std::string leaf = name.substr(name.rfind('/') + 1);
      ASSERT_TRUE(articles.count(leaf)) << name;
      EXPECT_EQ(bytes, articles[leaf]) << name;
    }
    const std::string toc = readFileBytes(out_ / L"toc.html");
    int listed = 0;
    for (size_t at = toc.find("<p>"); at != std::string::npos; at = toc.find("<p>", at + 1))
      ++listed;
    EXPECT_EQ(listed, written);
    const std::wstring expected = written == 0 && ui_.progress.empty()
                                      ? L"已停止导出。"
                                      : L"已停止导出：已写出 " + std::to_wstring(written) +
                                            L" 篇，另有 " + std::to_wstring(150 - written) +
                                            L" 篇未写出。";
    EXPECT_EQ(ui_.notices, (std::vector<Notice>{{expected, L"提示", MB_ICONINFORMATION}}));
    EXPECT_EQ(temp_.entries(), before);
    ui_.progress.clear();
  }
}

// An article larger than the memory left to a 32-bit program is named, and the others written: a
// generated column makes one of a gigabyte without a file that large.
TEST_F(BookWalkerTest, AnArticleTooLargeForMemoryIsNamed) {
  if (sizeof(void*) > 4) GTEST_SKIP() << "a 64-bit program has the memory to write it";
  BookBuilder(bookPath(), BookBuilder::Schema::None)
      .exec(
          "CREATE TABLE Folder (id TEXT, name TEXT, deleted INTEGER);"
          "CREATE TABLE Category (id INTEGER PRIMARY KEY, folderId TEXT, name TEXT, rank REAL,"
          " deleted INTEGER);"
          "CREATE TABLE Article (id INTEGER PRIMARY KEY, folderId TEXT, title TEXT,"
          " extension TEXT, rank REAL, deleted INTEGER, size INTEGER,"
          " content AS (CASE WHEN size > 0 THEN zeroblob(size) ELSE title END));"
          "INSERT INTO Folder VALUES ('f', '卷', 0);"
          "INSERT INTO Article (folderId, title, extension, rank, deleted, size) VALUES"
          " ('f', '前', 'txt', 1, 0, 0), ('f', '巨篇', 'txt', 2, 0, 900000000),"
          " ('f', '后', 'txt', 3, 0, 0);");
  const auto before = temp_.entries();
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{{"卷/", ""}, {"卷/前.txt", "前"}, {"卷/后.txt", "后"}}));
  EXPECT_EQ(ui_.notices, std::vector{errorNotice(L"完成，但有 1 项未能写出：\r\n巨篇")});
  EXPECT_EQ(temp_.entries(), before);
}

// A book may keep its articles in a WITHOUT ROWID table: every row of the book's query arrives,
// in rank order, whatever order the table keeps them in.
TEST_F(BookWalkerTest, ArticlesWithoutRowidsAreExportedWhole) {
  buildNovel(BookBuilder::Schema::ArticleWithoutRowid);
  ui_.exportOptions.numberFileNames = true;
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{
                            {"第一卷/", ""},
                            {"第一卷/1. 序章.txt", "序章正文\r\n"},
                            {"第一卷/上篇/", ""},
                            {"第一卷/上篇/1. 第一章.txt", "第一章正文"},
                            {"第一卷/上篇/2. 笔记.md", "# 笔记\n"},
                            {"第一卷/下篇/", ""},
                            {"第一卷/下篇/1. 第二章.md", "第二章正文"},
                            {"第二卷/", ""},
                            {"第二卷/1. 尾声.txt", "尾声正文"},
                        }));
  EXPECT_EQ(lastNoticeText(), L"完成。");
}

// The private copy and the lookup are written on the temporary disk: when it is full, the user
// is told so, never that the book is damaged, and nothing is left there.
TEST_F(BookWalkerTest, AFullTemporaryDiskIsToldAsSuch) {
  // Enough rows for the lookup to outgrow SQLite's memory for temporary data.
  BookBuilder(bookPath())
      .exec(
          "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 3) "
          "INSERT INTO Folder (id, name) SELECT 'folder-' || i || '-' || hex(zeroblob(16)), "
          "'卷' || i FROM n;"
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
          "INSERT INTO Article (folderId, title, extension, rank, content) "
          "SELECT 'folder-' || (i % 4) || '-' || hex(zeroblob(16)), '篇' || i, 'txt', i, 'x' "
          "FROM n;");
  const Notice noSpace =
      errorNotice(L"临时文件夹所在的磁盘空间不足或无法写入，无法导出。\r\n书籍文件本身没有问题。");
  const auto before = temp_.entries();
  {
    SCOPED_TRACE("the lookup spills onto a full disk");
    const FullTemporaryDisk full;
    BookWalker(ui_).run(bookPath());
    EXPECT_GT(FullTemporaryDisk::refusedWrites(), 0);
    EXPECT_EQ(ui_.notices, std::vector{noSpace});
    EXPECT_EQ(temp_.entries(), before);
  }
  {
    SCOPED_TRACE("the copy cannot be made");
    ui_.notices.clear();
    const std::wstring gone = temp_.path() + L"\\不存在";
    SetEnvironmentVariableW(L"TMP", gone.c_str());
    SetEnvironmentVariableW(L"TEMP", gone.c_str());
    BookWalker(ui_).run(bookPath());
    SetEnvironmentVariableW(L"TMP", temp_.path().c_str());
    SetEnvironmentVariableW(L"TEMP", temp_.path().c_str());
    EXPECT_EQ(ui_.notices, std::vector{noSpace});
    EXPECT_EQ(temp_.entries(), before);
  }
}

// A book may keep numbers in its folder ids: rows are found by the id as the book compares it.
TEST_F(BookWalkerTest, NumericFolderIdsFindTheirRows) {
  BookBuilder(bookPath(), BookBuilder::Schema::None)
      .exec(
          "CREATE TABLE Folder (id TEXT, name TEXT, deleted INTEGER);"
          "CREATE TABLE Article (id INTEGER PRIMARY KEY, folderId INTEGER, title TEXT,"
          " extension TEXT, rank REAL, content TEXT, deleted INTEGER);"
          "CREATE TABLE Category (id INTEGER PRIMARY KEY, folderId INTEGER, name TEXT,"
          " rank REAL, deleted INTEGER);"
          "INSERT INTO Folder VALUES ('7', '卷', 0);"
          "INSERT INTO Article VALUES (1, 7, '篇', 'txt', 2, '正文', 0);"
          "INSERT INTO Category VALUES (1, '7', '类', 1, 0);");
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{{"卷/", ""}, {"卷/类/", ""}, {"卷/类/篇.txt", "正文"}}));
  EXPECT_EQ(lastNoticeText(), L"完成。");
}

// Names Windows would refuse, change or merge: every article must still arrive, byte for byte,
// even below a folder whose path is already 250 characters long.
TEST_F(BookWalkerTest, HostileTitlesLoseNoArticle) {
  std::wstring deepFolder = out_.path();
  while (deepFolder.size() < 250) deepFolder += L"\\" + std::wstring(40, L'p');
  deepFolder.resize(250);
  ASSERT_TRUE(createDirectoryTree(deepFolder));
  ui_.chosenFolder = deepFolder;

  const std::string longTitle(300, 'L');
  const std::vector<std::optional<std::string>> titles = {"CON",
                                                          "con",
                                                          "aux",
                                                          "Nul.txt",
                                                          "COM1",
                                                          "lpt9",
                                                          "CON ",
                                                          "a?b",
                                                          "a_b",
                                                          "A",
                                                          "a",
                                                          longTitle,
                                                          longTitle,
                                                          longTitle + "x",
                                                          std::string(199, 'e') + "😀",
                                                          "ends with dots...",
                                                          "ends with space ",
                                                          "..",
                                                          ".",
                                                          "",
                                                          std::nullopt,
                                                          "😀 emoji",
                                                          "한국어",
                                                          "tab\there",
                                                          "new\r\nline",
                                                          "a/b:c\\d",
                                                          "<>|\"*",
                                                          "trash"};
  BookBuilder builder(bookPath());
  builder.folder("f1", "CON").folder("f2", "a:b. ").folder("f3", "").folder("f4", std::nullopt);
  int rank = 0;
  std::multiset<std::string> contents;
  for (const char* folder : {"f1", "f2", "f3", "f4"}) {
    builder.category(folder, "..", ++rank);
    for (const auto& title : titles) {
      const std::string content =
          std::string(folder) + " #" + std::to_string(++rank) + " " + title.value_or("NULL");
      builder.article(folder, title, rank % 2 ? "txt" : "md", rank, content);
      contents.insert(content);
    }
    builder.category(folder, "aux", ++rank);
    builder.article(folder, "after", "txt", ++rank, "after " + std::string(folder));
    contents.insert("after " + std::string(folder));
  }
  builder.finish();

  ui_.exportOptions.exportChapterList = true;
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(lastNoticeText(), L"完成。");

  std::multiset<std::string> written;
  for (const auto& [name, bytes] : readTree(deepFolder)) {
    if (name.ends_with("/") || name == "toc.html") continue;
    written.insert(bytes);
    for (const auto& part : {"/CON.", "/CON/", "/aux/", "/a:b"})
      EXPECT_EQ(name.find(part), std::string::npos) << name;
  }
  EXPECT_EQ(written, contents);
}

// Damaged books: every article SQLite can still read arrives byte for byte, and what cannot be
// read is named; such an export never ends in a plain "完成。".

// Names missing from or extra in `actual`, and names whose bytes differ: a readable failure
// for trees with many large files.
std::vector<std::string> treeDifferences(const Tree& actual, const Tree& expected) {
  std::vector<std::string> differences;
  for (const auto& [name, bytes] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end())
      differences.push_back("missing " + name);
    else if (found->second != bytes)
      differences.push_back("different bytes " + name);
  }
  for (const auto& [name, bytes] : actual)
    if (!expected.count(name)) differences.push_back("extra " + name);
  return differences;
}

// Articles of about 1 KB, a few to a page; each content starts with its own marker.
std::string articleContent(const std::string& marker) {
  std::string content = marker;
  while (content.size() < 1000) content += "正文内容。";
  return content;
}

TEST_F(BookWalkerTest, ZeroedArticlePageCostsOnlyTheArticlesOnIt) {
  BookBuilder builder(bookPath());
  const std::vector<std::string> volumes = {"甲", "乙", "丙", "丁"};
  for (size_t v = 0; v < volumes.size(); ++v) builder.folder("f" + std::to_string(v), volumes[v]);
  for (size_t v = 0; v < volumes.size(); ++v)
    for (int n = 1; n <= 60; ++n)
      builder.article("f" + std::to_string(v), volumes[v] + "第" + std::to_string(n) + "篇", "txt",
                      n, articleContent(volumes[v] + "-" + std::to_string(n) + "|"));
  builder.finish();
  DamagedBook damage(bookPath());
  const auto pages = damage.tableLeavesHolding("丙-30|");
  ASSERT_EQ(pages.size(), 1u);
  // The last volume's directory cannot be made: the damaged book is still told first.
  writeFileBytes(out_ / L"丁", "a file where the folder should go");
  Tree expected = {
      {"甲/", ""}, {"乙/", ""}, {"丙/", ""}, {"丁", "a file where the folder should go"}};
  int lost = 0;
  for (const auto& volume : volumes) {
    for (int n = 1; n <= 60; ++n) {
      const std::string marker = volume + "-" + std::to_string(n) + "|";
      if (damage.page(pages[0]).find(marker) != std::string_view::npos)
        ++lost;
      else if (volume != "丁")
        expected[volume + "/" + volume + "第" + std::to_string(n) + "篇.txt"] =
            articleContent(marker);
    }
  }
  ASSERT_GT(lost, 0);
  damage.zeroPage(pages[0]);

  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(treeDifferences(exported(), expected), std::vector<std::string>());
  EXPECT_EQ(lastNoticeText(),
            L"完成，但有 62 项未能写出：\r\n（书籍数据库已损坏）\r\n丁\r\n"
            L"丁第1篇\r\n丁第2篇\r\n丁第3篇\r\n……");
  EXPECT_EQ(ui_.notices.back().title, L"错误");
}

TEST_F(BookWalkerTest, ArticleWhoseContentPageIsZeroedIsNamedAndNotWritten) {
  std::string longContent;
  for (int line = 0; longContent.size() < 40000; ++line)
    longContent += "长篇内容第" + std::to_string(line) + "行。\r\n";
  BookBuilder(bookPath())
      .folder("f1", "甲")
      .folder("f2", "乙")
      .article("f1", "开篇", "txt", 1, "甲一")
      .article("f2", "第一篇", "txt", 1, "乙一")
      .article("f2", "第二篇", "md", 2, "乙二")
      .article("f2", "长篇", "txt", 3, longContent)
      .article("f2", "第四篇", "txt", 4, "乙四");
  DamagedBook damage(bookPath());
  const auto pages = damage.linkedOverflowPagesHolding("长篇内容");
  ASSERT_GE(pages.size(), 2u);
  damage.zeroPage(pages[1]);

  ui_.exportOptions.numberFileNames = true;
  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(exported(), (Tree{{"甲/", ""},
                              {"甲/1. 开篇.txt", "甲一"},
                              {"乙/", ""},
                              {"乙/1. 第一篇.txt", "乙一"},
                              {"乙/2. 第二篇.md", "乙二"},
                              {"乙/4. 第四篇.txt", "乙四"}}));
  EXPECT_EQ(lastNoticeText(), L"完成，但有 1 项未能写出：\r\n长篇");
}

TEST_F(BookWalkerTest, ZeroedFolderPageCostsOnlyTheFoldersOnIt) {
  BookBuilder builder(bookPath());
  const auto name = [](int n) { return "卷" + std::to_string(n) + "#" + std::string(100, '-'); };
  for (int n = 100; n < 250; ++n) {
    builder.folder("f" + std::to_string(n), name(n));
    builder.article("f" + std::to_string(n), "篇" + std::to_string(n), "txt", 1,
                    "正文" + std::to_string(n));
  }
  builder.finish();
  DamagedBook damage(bookPath());
  const auto pages = damage.tableLeavesHolding("卷140#");
  ASSERT_EQ(pages.size(), 1u);
  Tree expected;
  int lost = 0;
  for (int n = 100; n < 250; ++n) {
    if (damage.page(pages[0]).find("卷" + std::to_string(n) + "#") != std::string_view::npos) {
      ++lost;
      continue;
    }
    expected[name(n) + "/"];
    expected[name(n) + "/篇" + std::to_string(n) + ".txt"] = "正文" + std::to_string(n);
  }
  ASSERT_GT(lost, 0);
  ASSERT_LT(lost, 100);
  damage.zeroPage(pages[0]);

  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(treeDifferences(exported(), expected), std::vector<std::string>());
  EXPECT_EQ(lastNoticeText(), L"完成，但有 1 项未能写出：\r\n（书籍数据库已损坏）");
}

// Where the book's index on folderId can still be read, it tells whose rows a damaged page held:
// each such folder is named with how many, and the count adds them up.
TEST_F(BookWalkerTest, ZeroedArticlePageNamesTheFoldersThatLostRows) {
  BookBuilder builder(bookPath());
  const std::vector<std::string> volumes = {"甲", "乙", "丙", "丁"};
  for (size_t v = 0; v < volumes.size(); ++v) builder.folder("f" + std::to_string(v), volumes[v]);
  for (size_t v = 0; v < volumes.size(); ++v)
    for (int n = 1; n <= 300; ++n)
      builder.article("f" + std::to_string(v), volumes[v] + "第" + std::to_string(n) + "篇", "txt",
                      n, articleContent(volumes[v] + "-" + std::to_string(n) + "|"));
  builder.exec("CREATE INDEX article_folder ON Article (folderId)");
  builder.finish();
  DamagedBook damage(bookPath());
  const auto pages = damage.tableLeavesHolding("丙-300|");
  ASSERT_EQ(pages.size(), 1u);
  Tree expected;
  std::map<std::string, int> lost;
  for (const auto& volume : volumes) {
    expected[volume + "/"];
    for (int n = 1; n <= 300; ++n) {
      const std::string marker = volume + "-" + std::to_string(n) + "|";
      if (damage.page(pages[0]).find(marker) != std::string_view::npos)
        ++lost[volume];
      else
        expected[volume + "/" + volume + "第" + std::to_string(n) + "篇.txt"] =
            articleContent(marker);
    }
  }
  ASSERT_FALSE(lost.empty());
  damage.zeroPage(pages[0]);

  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(treeDifferences(exported(), expected), std::vector<std::string>());
  int total = 0;
  std::wstring listed;
  for (const auto& volume : volumes) {
    if (!lost.count(volume)) continue;
    total += lost[volume];
    listed += L"\r\n" + utf8ToWide(volume) + L"（最多 " + std::to_wstring(lost[volume]) +
              L" 篇无法读取）";
  }
  EXPECT_EQ(lastNoticeText(), L"完成，但有 " + std::to_wstring(total) + L" 项未能写出：" + listed);
}

// A table without rowids is read by the book's own query: a damaged page costs its folder the
// rows that the table keeps after it, and the folder is named.
TEST_F(BookWalkerTest, ZeroedPageOfATableWithoutRowidsCostsItsFolderTheRowsFromThere) {
  BookBuilder builder(bookPath(), BookBuilder::Schema::ArticleWithoutRowid);
  const std::vector<std::string> volumes = {"甲", "乙", "丙", "丁"};
  for (size_t v = 0; v < volumes.size(); ++v) builder.folder("f" + std::to_string(v), volumes[v]);
  // The table keeps its rows in the order of their text ids, "1", "10", "100", "11", ...
  std::map<std::string, std::pair<size_t, int>> byId;  // id: volume and number
  int id = 0;
  for (size_t v = 0; v < volumes.size(); ++v) {
    for (int n = 1; n <= 60; ++n) {
      builder.article("f" + std::to_string(v), volumes[v] + "第" + std::to_string(n) + "篇", "txt",
                      n, articleContent(volumes[v] + "-" + std::to_string(n) + "|"));
      byId[std::to_string(++id)] = {v, n};
    }
  }
  builder.exec("CREATE INDEX article_folder ON Article (folderId)");
  builder.finish();
  DamagedBook damage(bookPath());
  const auto pages = damage.indexLeavesHolding("丙-30|");
  ASSERT_EQ(pages.size(), 1u);
  // A folder's rows are read in the table's order up to the first one on the zeroed page.
  std::vector<bool> cut(volumes.size(), false);
  Tree expected;
  std::set<std::string> named;
  for (const auto& [key, row] : byId) {
    const auto& [v, n] = row;
    const std::string marker = volumes[v] + "-" + std::to_string(n) + "|";
    expected[volumes[v] + "/"];
    if (damage.page(pages[0]).find(marker) != std::string_view::npos) {
      cut[v] = true;
      named.insert(volumes[v]);
    }
    if (!cut[v])
      expected[volumes[v] + "/" + volumes[v] + "第" + std::to_string(n) + "篇.txt"] =
          articleContent(marker);
  }
  ASSERT_FALSE(named.empty());
  damage.zeroPage(pages[0]);

  BookWalker(ui_).run(bookPath());
  EXPECT_EQ(treeDifferences(exported(), expected), std::vector<std::string>());
  std::wstring notice = L"完成，但有 " + std::to_wstring(named.size()) + L" 项未能写出：";
  for (const auto& volume : volumes)
    if (named.count(volume)) notice += L"\r\n" + utf8ToWide(volume);
  EXPECT_EQ(lastNoticeText(), notice);
}

}  // namespace
