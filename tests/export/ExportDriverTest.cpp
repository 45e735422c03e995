// Whole exports from a dropped path, with the real 7-Zip of this architecture.
#include "export/ExportDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "export/SevenZipUnpacker.h"
#include "support/BookBuilder.h"
#include "support/Processes.h"
#include "support/RecordingUi.h"
#include "support/SevenZip.h"
#include "support/TempDir.h"
#include "win/Handles.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

using Tree = std::map<std::string, std::string>;

class ExportDriverTest : public ::testing::Test {
 protected:
  ExportDriverTest() {
    ui_.chosenFolder = out_.path();
    registry_.setUserPath(bundledSevenZipFolder());
  }

  // A book database named `dbName` packed as `archive` (inside sub-folder `inner` when given).
  void makeBook(const std::wstring& dbPath) {
    BookBuilder(dbPath)
        .folder("f1", "第一卷")
        .category("f1", "上篇", 1)
        .article("f1", "第一章", "txt", 2, "正文一")
        .article("f1", "笔记", "md", 3, "笔记正文");
  }

  void pack(const std::wstring& archive, const std::wstring& member,
            const std::wstring& switches = L"") {
    ASSERT_EQ(runSevenZip(L"a -t7z " + switches + L" \"" + archive + L"\" \"" + member + L"\"",
                          work_.path()),
              0u);
  }

  Tree expectedTree() const {
    return {{"第一卷/", ""},
            {"第一卷/上篇/", ""},
            {"第一卷/上篇/第一章.txt", "正文一"},
            {"第一卷/上篇/笔记.md", "笔记正文"}};
  }

  std::vector<std::wstring> noticeTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& notice : ui_.notices) texts.push_back(notice.text);
    return texts;
  }

  PrivateTempDirectory temp_;
  TempDir work_{L"打包 区"};
  TempDir out_{L"导出"};
  ScopedSevenZipRegistry registry_;
  RecordingUi ui_;
};

TEST_F(ExportDriverTest, PackedBooksAreUnpackedWalkedAndCleanedUp) {
  for (const std::wstring name : {L"Book", L"my.book", L"嘰", L"奬 书"}) {
    SCOPED_TRACE(wideToUtf8(name));
    ui_.notices.clear();
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    makeBook(work_ / (name + L".db"));
    pack(work_ / (name + L".pwb"), name + L".db");
    DeleteFileW((work_ / (name + L".db")).c_str());
    const auto before = temp_.entries();
    ExportDriver(ui_).Run(work_ / (name + L".pwb"));
    EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
    EXPECT_EQ(readTree(out_.path()), expectedTree());
    EXPECT_EQ(temp_.entries(), before);
  }
}

// The database 7-Zip unpacked is the export's own: read where it is, never copied again; a
// dropped database is the user's and is read through a copy.
TEST_F(ExportDriverTest, OnlyTheUsersOwnDatabaseIsCopied) {
  makeBook(work_ / L"Book.db");
  pack(work_ / L"Book.pwb", L"Book.db");
  const struct {
    const wchar_t* dropped;
    std::vector<std::string> databases;  // in the export's temporary folders, during the export
  } cases[] = {{L"Book.pwb", {"Book.db"}}, {L"Book.db", {"tmp.db"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(wideToUtf8(c.dropped));
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    std::vector<std::string> databases;
    ui_.progress.clear();
    ui_.duringExport = [&] {
      for (const auto& [name, bytes] : readTree(temp_.path()))
        if (name.ends_with(".db") && name.substr(0, name.find('/')).ends_with(".tmp"))
          databases.push_back(name.substr(name.rfind('/') + 1));
    };
    ExportDriver(ui_).Run(work_ / c.dropped);
    EXPECT_EQ(databases, c.databases);
    EXPECT_EQ(readTree(out_.path()), expectedTree());
  }
}

TEST_F(ExportDriverTest, DatabaseInASubFolderOfTheArchiveIsFound) {
  createDirectoryTree(work_ / L"内");
  makeBook(work_ / L"内\\Book.db");
  pack(work_ / L"Book.pwb", L"内\\Book.db");
  ExportDriver(ui_).Run(work_ / L"Book.pwb");
  EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
  EXPECT_EQ(readTree(out_.path()), expectedTree());
}

TEST_F(ExportDriverTest, SevenZipInAFolderWithSpacesAndChinese) {
  TempDir sevenZip(L"七 Zip 程序");
  for (const wchar_t* file : {L"7z.exe", L"7z.dll"})
    ASSERT_EQ(copyFileWide(bundledSevenZipFolder() + L"\\" + file, sevenZip / file, true),
              CopyResult::Copied);
  registry_.setUserPath(sevenZip.path());
  makeBook(work_ / L"书 名.db");
  pack(work_ / L"书 名.pwb", L"书 名.db");
  ExportDriver(ui_).Run(work_ / L"书 名.pwb");
  EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
  EXPECT_EQ(readTree(out_.path()), expectedTree());
}

TEST_F(ExportDriverTest, BadArchivesAreReportedWithoutWalking) {
  makeBook(work_ / L"Book.db");
  makeBook(work_ / L"other.db");
  pack(work_ / L"locked.pwb", L"Book.db", L"-psecret");
  pack(work_ / L"hidden.pwb", L"Book.db", L"-psecret -mhe=on");
  makeBook(work_ / L"third.db");
  // Two databases, neither named after the archive: which is the book cannot be told.
  pack(work_ / L"two.pwb", L"other.db\" \"third.db");
  writeFileBytes(work_ / L"notes.txt", "no database");
  pack(work_ / L"none.pwb", L"notes.txt");
  std::string damaged = readFileBytes(work_ / L"two.pwb");
  damaged.resize(damaged.size() / 2);
  writeFileBytes(work_ / L"damaged.pwb", damaged);
  writeFileBytes(work_ / L"text.pwb", "this is not an archive");

  const auto before = temp_.entries();
  for (const wchar_t* archive : {L"locked.pwb", L"hidden.pwb", L"two.pwb", L"none.pwb",
                                 L"damaged.pwb", L"text.pwb", L"missing.pwb"}) {
    SCOPED_TRACE(wideToUtf8(archive));
    ui_.notices.clear();
    ui_.events.clear();
    const DWORD start = GetTickCount();
    ExportDriver(ui_).Run(work_ / archive);
    EXPECT_LT(GetTickCount() - start, 20000u);
    EXPECT_EQ(ui_.notices, (std::vector<Notice>{{L"文件解压失败。", L"错误", MB_ICONERROR}}));
    // The book walk never started: it would have asked for a folder.
    EXPECT_EQ(ui_.events, (std::vector<std::string>{"busy", "idle", "notice"}));
  }
  EXPECT_EQ(temp_.entries(), before);
  EXPECT_TRUE(readTree(out_.path()).empty());
}

// A copy that the user renamed ("春秋 - 副本.pwb") still holds the database under its old name.
TEST_F(ExportDriverTest, ARenamedBookOpensByItsOnlyDatabase) {
  BookBuilder(work_ / L"春秋.db").folder("f", "春秋").article("f", "隐公", "txt", 1, "元年");
  BookBuilder(work_ / L"其他.db").folder("f", "别的书").article("f", "别的", "txt", 1, "x");
  makeBook(work_ / L"Book.db");
  createDirectoryTree(work_ / L"内");
  BookBuilder(work_ / L"内\\春秋.db").folder("f", "春秋").article("f", "隐公", "txt", 1, "元年");
  pack(work_ / L"春秋 - 副本.pwb", L"春秋.db");
  pack(work_ / L"内层.pwb", L"内\\春秋.db");
  // Of two databases, the one named after the archive is the book.
  pack(work_ / L"Book.pwb", L"其他.db\" \"Book.db");
  const Tree spring = {{"春秋/", ""}, {"春秋/隐公.txt", "元年"}};
  const struct {
    const wchar_t* archive;
    Tree tree;
  } cases[] = {{L"春秋 - 副本.pwb", spring}, {L"内层.pwb", spring}, {L"Book.pwb", expectedTree()}};
  const auto before = temp_.entries();
  for (const auto& c : cases) {
    SCOPED_TRACE(wideToUtf8(c.archive));
    ui_.notices.clear();
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    ExportDriver(ui_).Run(work_ / c.archive);
    EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
    EXPECT_EQ(readTree(out_.path()), c.tree);
  }
  EXPECT_EQ(temp_.entries(), before);
}

// Asked to stop while 7-Zip unpacks, the export ends 7-Zip and removes what it unpacked.
TEST_F(ExportDriverTest, AStopWhileSevenZipUnpacksEndsItAndLeavesNothing) {
  // Random bytes packed with PPMd unpack slowly: for longer than the stop takes to come.
  BookBuilder(work_ / L"Big.db")
      .folder("f", "卷")
      .exec(
          "INSERT INTO Article (folderId, title, extension, rank, content) "
          "VALUES ('f', '巨', 'txt', 1, randomblob(16000000))");
  pack(work_ / L"Big.pwb", L"Big.db", L"-m0=PPMd");
  const auto before = temp_.entries();
  const DWORD start = GetTickCount();
  ui_.stopWhen = [&] { return GetTickCount() - start > 100; };
  ExportDriver(ui_).Run(work_ / L"Big.pwb");
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"已停止导出。"});
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"busy", "idle", "notice"}))
      << "the folder was never asked for";
  EXPECT_TRUE(childProcessesOf(GetCurrentProcessId()).empty());
  EXPECT_EQ(temp_.entries(), before);
  EXPECT_TRUE(readTree(out_.path()).empty());
}

TEST_F(ExportDriverTest, WrongInputIsRefused) {
  makeBook(work_ / L"Book.db");
  pack(work_ / L"Book.pwb", L"Book.db");
  const std::wstring pwb = work_ / L"Book.pwb";
  const std::wstring db = work_ / L"Book.db";
  for (const std::wstring& dropped :
       {work_ / L"Book.PWB", work_ / L"Book.DB", pwb + L"\r\n" + pwb + L"\r\n", db + L"\r\n",
        work_ / L"Book.txt", std::wstring()}) {
    ui_.notices.clear();
    ExportDriver(ui_).Run(dropped);
    EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"文件不合法。"}) << wideToUtf8(dropped);
  }
  EXPECT_TRUE(readTree(out_.path()).empty());
}

// Names the shell hands over in UTF-16, outside code page 936 (emoji, Hangul, CJK extension B),
// for the book, its folder, the temporary directory and 7-Zip's folder; and a temporary
// directory deeper than the 260 characters of the old path functions.
TEST_F(ExportDriverTest, AnyPathTheShellHandsOverWorks) {
  std::wstring deepTemp = L"临时😀한";
  while (deepTemp.size() < 280) deepTemp += L"\\" + std::wstring(60, L'深');
  const struct {
    const wchar_t* book;
    std::wstring temp;
  } cases[] = {
      {L"笔记😀한", L"临时😀한"},
      {L"𠮷野家の本", deepTemp},
  };
  TempDir sevenZip(L"工具😀한\\7-Zip");
  for (const wchar_t* file : {L"7z.exe", L"7z.dll"})
    ASSERT_EQ(copyFileWide(bundledSevenZipFolder() + L"\\" + file, sevenZip / file, true),
              CopyResult::Copied);
  registry_.setUserPath(sevenZip.path());
  for (const auto& c : cases) {
    for (const wchar_t* ending : {L".db", L".pwb"}) {
      SCOPED_TRACE(wideToUtf8(c.book + std::wstring(ending)));
      const TempDir folder(c.book);
      const PrivateTempDirectory temp(c.temp);
      makeBook(folder / (c.book + std::wstring(L".db")));
      if (std::wstring(ending) == L".pwb") {
        ASSERT_EQ(
            runSevenZip(L"a -t7z \"" + std::wstring(c.book) + L".pwb\" \"" + c.book + L".db\"",
                        folder.path()),
            0u);
        DeleteFileW(longPathForm(folder / (c.book + std::wstring(L".db"))).c_str());
      }
      removeDirectoryTree(out_.path());
      createDirectoryTree(out_.path());
      ui_.notices.clear();
      ExportDriver(ui_).Run(folder / (c.book + std::wstring(ending)));
      EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
      EXPECT_EQ(readTree(out_.path()), expectedTree());
      EXPECT_TRUE(temp.entries().empty());
    }
  }
}

TEST_F(ExportDriverTest, DatabaseIsUsedInPlace) {
  makeBook(work_ / L"书.db");
  const Tree beforeWork = readTree(work_.path());
  const auto before = temp_.entries();
  registry_.setUserPath(std::nullopt);  // a .db needs no 7-Zip
  ExportDriver(ui_).Run(work_ / L"书.db");
  EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"完成。"});
  EXPECT_EQ(readTree(out_.path()), expectedTree());
  EXPECT_EQ(readTree(work_.path()), beforeWork);
  EXPECT_EQ(temp_.entries(), before);
}

TEST_F(ExportDriverTest, MissingSevenZipIsReported) {
  makeBook(work_ / L"Book.db");
  pack(work_ / L"Book.pwb", L"Book.db");
  registry_.setUserPath(std::nullopt);
  registry_.setMachinePath(KEY_WOW64_64KEY, std::nullopt);
  registry_.setMachinePath(KEY_WOW64_32KEY, std::nullopt);
  ExportDriver(ui_).Run(work_ / L"Book.pwb");
  EXPECT_EQ(noticeTexts(),
            std::vector<std::wstring>{
                L"找不到 7-Zip，请先安装 7-Zip。\r\n你也可以自行解压后拖入其中的 db 文件。"});
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"notice"}));
}

TEST_F(ExportDriverTest, SevenZipThatCannotStartIsReported) {
  makeBook(work_ / L"Book.db");
  pack(work_ / L"Book.pwb", L"Book.db");
  registry_.setUserPath(work_ / L"no 7-Zip here");
  ExportDriver(ui_).Run(work_ / L"Book.pwb");
  EXPECT_EQ(noticeTexts(), std::vector<std::wstring>{L"文件解压失败。"});
}

TEST_F(ExportDriverTest, SevenZipIsFoundForTheUserThenForAllUsers) {
  registry_.setMachinePath(KEY_WOW64_64KEY, std::nullopt);
  registry_.setMachinePath(KEY_WOW64_32KEY, std::nullopt);
  registry_.setUserPath(L"C:\\User 7-Zip");
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"C:\\User 7-Zip\\7z.exe");
  registry_.setUserPath(L"C:\\Trailing\\");
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"C:\\Trailing\\\\7z.exe");
  registry_.setUserPath(std::nullopt);
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"\\7z.exe");
  registry_.setMachinePath(KEY_WOW64_32KEY, L"C:\\Program Files (x86)\\7-Zip");
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"C:\\Program Files (x86)\\7-Zip\\7z.exe");
  registry_.setMachinePath(KEY_WOW64_64KEY, L"C:\\Program Files\\7-Zip");
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"C:\\Program Files\\7-Zip\\7z.exe");
  registry_.setUserPath(L"D:\\工具😀한\\7-Zip");
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"D:\\工具😀한\\7-Zip\\7z.exe");
  // A value of the expandable kind names its folder through the environment.
  SetEnvironmentVariableW(L"VELLUMIX_TOOLS", L"E:\\工具");
  registry_.setUserPath(L"%VELLUMIX_TOOLS%\\7-Zip", REG_EXPAND_SZ);
  EXPECT_EQ(SevenZipUnpacker::FindProgram(), L"E:\\工具\\7-Zip\\7z.exe");
  SetEnvironmentVariableW(L"VELLUMIX_TOOLS", nullptr);
}

}  // namespace
