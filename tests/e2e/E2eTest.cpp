// Black-box tests: the built Vellumix.exe used from another process as a person would.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include "e2e/RemoteApp.h"
#include "e2e/SampleBook.h"
#include "support/BookBuilder.h"
#include "support/FileDialogAnswerer.h"
#include "support/Processes.h"
#include "support/SevenZip.h"
#include "support/TempDir.h"
#include "win/Handles.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    packed_ = makeSampleBook(work_.path());
  }
  void TearDown() override { OleUninitialize(); }

  TempDir work_{L"样书"};
  TempDir out_{L"导出 文件夹"};
  std::wstring packed_;
};

// The program file names the project's version, as Explorer's properties show it.
TEST(ProgramFileTest, CarriesTheProjectVersion) {
  const std::wstring exe = vellumixExe();
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numbers = std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwProductVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwProductVersionLS));
  EXPECT_EQ(numbers, VELLUMIX_VERSION);
  for (const wchar_t* field : {L"ProductVersion", L"FileVersion"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(),
                               (std::wstring(L"\\StringFileInfo\\080404b0\\") + field).c_str(),
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(wideToUtf8(text), VELLUMIX_VERSION);
  }
}

TEST_F(EndToEndTest, PackedBookWithBothOptionsTickedByKeyboard) {
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  app.chooseMenuItem('O', 'C');
  app.chooseMenuItem('O', 'N');
  EXPECT_NE(app.dropFiles({packed_}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(out_.path());
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.title, L"提示");
  EXPECT_EQ(notice.text, L"完成。");
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
  const std::wstring database = sampleDatabase(work_.path());
  app.dropFiles({database});
  app.answerFolderChooser(std::nullopt);
  EXPECT_FALSE(app.noticeWithin(1000)) << "a cancelled chooser ends silently";
  app.dropFiles({database});
  app.answerFolderChooser(out_.path());
  EXPECT_EQ(app.takeNotice().text, L"完成。");
  EXPECT_EQ(readTree(out_.path()), sampleTree(false));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(EndToEndTest, UpperCaseEndingIsRefused) {
  const std::wstring upper = work_ / L"BOOK.PWB";
  ASSERT_TRUE(CopyFileW(packed_.c_str(), upper.c_str(), FALSE));
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  app.dropFiles({upper});
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.title, L"错误");
  EXPECT_EQ(notice.text, L"文件不合法。");
  EXPECT_FALSE(app.folderChooserShown());
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(EndToEndTest, NoDropIsTakenDuringAnExport) {
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  const std::wstring database = sampleDatabase(work_.path());
  app.dropFiles({database});
  ASSERT_TRUE(
      waitFor("the export asks for a folder", 20000, [&] { return app.folderChooserShown(); }));
  EXPECT_EQ(app.dropFiles({packed_}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(out_.path());
  EXPECT_EQ(app.takeNotice().text, L"完成。");
  EXPECT_FALSE(app.noticeWithin(500));
  EXPECT_FALSE(app.folderChooserShown()) << "the refused drop started no second export";
  // Once the export is over, drops are taken again.
  EXPECT_NE(app.dropFiles({database}), static_cast<DWORD>(DROPEFFECT_NONE));
  app.answerFolderChooser(std::nullopt);
  EXPECT_EQ(app.close(), 0u);
}

// Paths the shell hands over in UTF-16 with characters outside code page 936, for the book,
// its folder and the temporary directory; and a failure named in such characters.
TEST_F(EndToEndTest, NamesOutsideTheAnsiCodePage) {
  const std::wstring name = L"笔记😀한";
  const TempDir folder(name);
  const std::wstring database = sampleDatabase(folder.path(), name);
  const std::wstring packed = makeSampleBook(folder.path(), name + L"2");
  const PrivateTempDirectory temp(L"临时😀한");
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  for (const std::wstring& book : {database, packed}) {
    SCOPED_TRACE(wideToUtf8(book));
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    EXPECT_NE(app.dropFiles({book}), static_cast<DWORD>(DROPEFFECT_NONE));
    app.answerFolderChooser(out_.path());
    EXPECT_EQ(app.takeNotice().text, L"完成。");
    EXPECT_EQ(readTree(out_.path()), sampleTree(false));
    EXPECT_TRUE(temp.entries().empty());
  }
  // A file where a folder's directory must go: the folder and its article are named in the
  // notice, exactly.
  removeDirectoryTree(out_.path());
  createDirectoryTree(out_.path());
  writeFileBytes(out_ / L"卷😀한", "");
  BookBuilder(folder / L"blocked.db").folder("f", "卷😀한").article("f", "篇𠮷", "txt", 1, "x");
  app.dropFiles({folder / L"blocked.db"});
  app.answerFolderChooser(out_.path());
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.title, L"错误");
  EXPECT_EQ(notice.text, L"完成，但有 2 项未能写出：\r\n卷😀한\r\n篇𠮷");
  EXPECT_EQ(app.close(), 0u);
}

// Explorer hands a book over on the command line (a book dragged onto the program, "打开方式",
// "发送到"): it is exported as a drop of it, once the window is shown.
TEST_F(EndToEndTest, StartedWithABookItExportsIt) {
  const TempDir outside(L"笔记😀한");
  std::wstring deep = outside.path();
  while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'深');
  ASSERT_TRUE(createDirectoryTree(deep));
  const struct {
    const char* name;
    std::wstring book;
  } cases[] = {
      {"a book", sampleDatabase(work_.path())},
      {"outside code page 936", sampleDatabase(outside.path(), L"小说😀한")},
      {"longer than MAX_PATH", sampleDatabase(deep)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    removeDirectoryTree(out_.path());
    createDirectoryTree(out_.path());
    RemoteApp app(vellumixExe(), L" \"" + c.book + L"\"");
    ASSERT_NE(app.window(), nullptr);
    app.answerFolderChooser(out_.path());
    EXPECT_EQ(app.takeNotice().text, L"完成。");
    EXPECT_EQ(readTree(out_.path()), sampleTree(false));
    EXPECT_EQ(app.close(), 0u);
  }
}

TEST_F(EndToEndTest, StartedWithTwoBooksItRefusesThem) {
  const std::wstring database = sampleDatabase(work_.path());
  RemoteApp app(vellumixExe(), L" \"" + database + L"\" \"" + packed_ + L"\"");
  ASSERT_NE(app.window(), nullptr);
  const ShownNotice notice = app.takeNotice();
  EXPECT_EQ(notice.title, L"错误");
  EXPECT_EQ(notice.text, L"文件不合法。");
  EXPECT_FALSE(app.folderChooserShown());
  EXPECT_EQ(app.close(), 0u);
}

// Ctrl+O: the system's file dialog; a chosen book is exported as a dropped one, Cancel does
// nothing, and a file of another kind is refused as a dropped one would be.
TEST_F(EndToEndTest, CtrlOOpensABookWithTheFileDialog) {
  writeFileBytes(work_ / L"笔记.txt", "not a book");
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  {
    const FileDialogAnswerer dialog(app.processId(), L"选择要导出的书籍", packed_);
    app.pressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(dialog.answeredWithin(20000)) << "the file dialog never showed";
    EXPECT_EQ(dialog.owner(), app.window());
    app.answerFolderChooser(out_.path());
    EXPECT_EQ(app.takeNotice().text, L"完成。");
    EXPECT_EQ(readTree(out_.path()), sampleTree(false));
  }
  {
    const FileDialogAnswerer dialog(app.processId(), L"选择要导出的书籍", std::nullopt);
    app.pressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(dialog.answeredWithin(20000));
    EXPECT_FALSE(app.noticeWithin(1000));
    EXPECT_FALSE(app.folderChooserShown());
  }
  {
    const FileDialogAnswerer dialog(app.processId(), L"选择要导出的书籍", work_ / L"笔记.txt");
    app.chooseMenuItem('P', 'O');
    ASSERT_TRUE(dialog.answeredWithin(20000)) << "the menu item showed no file dialog";
    EXPECT_EQ(app.takeNotice().text, L"文件不合法。");
  }
  EXPECT_EQ(app.close(), 0u);
}

// Esc during an export asks whether to stop; Yes stops it with what was written whole.
TEST_F(EndToEndTest, EscStopsAnExportWhenTheUserSaysYes) {
  BookBuilder book(work_ / L"长篇.db");
  book.exec("BEGIN").folder("f", "卷");
  for (int n = 1; n <= 4000; ++n)
    book.article("f", "第" + std::to_string(n) + "章", "txt", n, std::string(2000, 'x'));
  book.exec("COMMIT").finish();
  RemoteApp app(vellumixExe());
  ASSERT_NE(app.window(), nullptr);
  app.dropFiles({work_ / L"长篇.db"});
  app.answerFolderChooser(out_.path());
  ASSERT_TRUE(waitFor("the export is under way", 20000, [&] { return app.progressPercent() > 2; }));
  app.pressKeys({VK_ESCAPE});
  const ShownNotice question = app.takeNotice(20000, IDYES);
  EXPECT_EQ(question.title, L"Vellumix");
  EXPECT_EQ(question.text, L"正在导出，要停止吗？");
  const ShownNotice stopped = app.takeNotice();
  EXPECT_EQ(stopped.title, L"提示");
  const size_t written = readTree(out_.path()).size() - 1;  // less the folder's directory
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, 4000u);
  EXPECT_EQ(stopped.text, L"已停止导出：已写出 " + std::to_wstring(written) + L" 篇，另有 " +
                              std::to_wstring(4000 - written) + L" 篇未写出。");
  for (const auto& [name, bytes] : readTree(out_.path())) {
    if (!name.ends_with("/")) {
      EXPECT_EQ(bytes, std::string(2000, 'x')) << name;
    }
  }
  EXPECT_EQ(app.close(), 0u);
}

// Ended by force while 7-Zip unpacks, the program takes 7-Zip with it.
TEST_F(EndToEndTest, SevenZipEndsWhenTheProgramIsEnded) {
  // Random bytes packed with PPMd unpack slowly.
  BookBuilder(work_ / L"Big.db")
      .folder("f", "卷")
      .exec(
          "INSERT INTO Article (folderId, title, extension, rank, content) "
          "VALUES ('f', '巨', 'txt', 1, randomblob(16000000))");
  ASSERT_EQ(runSevenZip(L"a -t7z -m0=PPMd Big.pwb Big.db", work_.path()), 0u);
  const PrivateTempDirectory temp;
  RemoteApp app(vellumixExe(), L" \"" + (work_ / L"Big.pwb") + L"\"");
  ASSERT_NE(app.window(), nullptr);
  // Once 7-Zip writes the book, it runs (in its job, if it has one).
  ASSERT_TRUE(waitFor("7-Zip writes the book", 20000, [&] {
    for (const auto& folder : temp.entries())
      if (fileExistsWide(temp.path() + L"\\" + folder + L"\\Big.db")) return true;
    return false;
  }));
  const std::vector<DWORD> sevenZip = childProcessesOf(app.processId());
  ASSERT_EQ(sevenZip.size(), 1u);
  const UniqueHandle unpacker(OpenProcess(SYNCHRONIZE, FALSE, sevenZip.front()));
  ASSERT_TRUE(unpacker);
  app.kill();
  EXPECT_EQ(WaitForSingleObject(unpacker.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0))
      << "7-Zip went on unpacking";
}

}  // namespace
