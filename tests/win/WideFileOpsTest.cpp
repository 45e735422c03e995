// Directory trees, copies and existence tests on paths of any length and any characters.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/TempDir.h"
#include "win/Handles.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

TEST(WideFileOpsTest, LongPathForm) {
  const struct {
    std::wstring_view path;
    std::wstring_view expected;
  } cases[] = {
      {L"D:\\books\\a.txt", L"\\\\?\\D:\\books\\a.txt"},
      {L"d:/books/a.txt", L"\\\\?\\d:\\books\\a.txt"},
      {L"D:\\", L"\\\\?\\D:\\"},
      {L"D:\\\\books\\\\a", L"\\\\?\\D:\\books\\a"},
      {L"\\\\server\\share\\dir", L"\\\\?\\UNC\\server\\share\\dir"},
      {L"\\\\?\\D:\\already", L"\\\\?\\D:\\already"},
      {L"relative\\dir", L"relative\\dir"},
      // Windows takes "." and ".." after "\\?\" literally: they are resolved first.
      {L"D:\\books\\.\\a.txt", L"\\\\?\\D:\\books\\a.txt"},
      {L"D:\\books\\..\\tmp\\x", L"\\\\?\\D:\\tmp\\x"},
      {L"D:/books/../../a", L"\\\\?\\D:\\a"},
      {L"D:\\.hidden\\a", L"\\\\?\\D:\\.hidden\\a"},
      {L"\\\\server\\share\\dir\\..\\x", L"\\\\?\\UNC\\server\\share\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(longPathForm(c.path), c.expected) << c.path.data();
}

// A temporary directory given with "." and ".." (as a tool may set %TMP%), and a folder chosen
// so: files are made where the path leads.
TEST(WideFileOpsTest, PathsWithDotsLeadWhereWindowsWouldTakeThem) {
  TempDir dir(L"点 😀");
  ASSERT_TRUE(createDirectoryTree(dir / L"a\\b"));
  const std::wstring dotted = dir / L"a\\.\\b\\..\\..\\c";
  EXPECT_TRUE(createDirectoryTree(dotted));
  EXPECT_TRUE(isDirectoryWide(dir / L"c"));
  EXPECT_EQ(writeNewFile(dotted + L"\\.\\书.txt", "x"), NewFileResult::Written);
  EXPECT_EQ(readFileBytes(dir / L"c\\书.txt"), "x");
  EXPECT_EQ(copyFileWide(dir / L"c\\书.txt", dir / L"a\\..\\副本.txt", false), CopyResult::Copied);
  EXPECT_EQ(readFileBytes(dir / L"副本.txt"), "x");
}

TEST(WideFileOpsTest, CreatesEveryLevelOfATree) {
  TempDir dir;
  const std::wstring deep = dir / L"第一级\\二\\三";
  EXPECT_TRUE(createDirectoryTree(deep));
  EXPECT_TRUE(isDirectoryWide(dir / L"第一级"));
  EXPECT_TRUE(isDirectoryWide(dir / L"第一级\\二"));
  EXPECT_TRUE(isDirectoryWide(deep));
  // Existing levels are no error, and a trailing separator is accepted.
  EXPECT_TRUE(createDirectoryTree(deep + L"\\"));
  EXPECT_TRUE(createDirectoryTree(dir.path()));
}

TEST(WideFileOpsTest, TreeBelowAFileCannotBeCreated) {
  TempDir dir;
  writeFileBytes(dir / L"file", "x");
  EXPECT_FALSE(createDirectoryTree(dir / L"file\\sub"));
  EXPECT_FALSE(isDirectoryWide(dir / L"file"));
}

TEST(WideFileOpsTest, PathsOf400CharactersAreCreatedCopiedAndFound) {
  TempDir dir;
  std::wstring deep = dir.path();
  while (deep.size() < 400) deep += L"\\" + std::wstring(60, L'd') + L"😀";
  ASSERT_TRUE(createDirectoryTree(deep));
  const std::wstring source = dir / L"source.bin";
  writeFileBytes(source, std::string("\x00\x01\xff", 3));
  const std::wstring target = deep + L"\\한국어 copy.bin";
  EXPECT_EQ(copyFileWide(source, target, true), CopyResult::Copied);
  EXPECT_TRUE(fileExistsWide(target));
  EXPECT_EQ(readFileBytes(target), std::string("\x00\x01\xff", 3));
  EXPECT_TRUE(removeDirectoryTree(dir / std::wstring(60, L'd') + L"😀"));
  EXPECT_FALSE(fileExistsWide(target));
}

TEST(WideFileOpsTest, CopyRespectsTheOverwriteFlag) {
  TempDir dir;
  writeFileBytes(dir / L"a", "new");
  writeFileBytes(dir / L"b", "old");
  EXPECT_EQ(copyFileWide(dir / L"a", dir / L"b", false), CopyResult::TargetUnwritable);
  EXPECT_EQ(readFileBytes(dir / L"b"), "old");
  EXPECT_EQ(copyFileWide(dir / L"a", dir / L"b", true), CopyResult::Copied);
  EXPECT_EQ(readFileBytes(dir / L"b"), "new");
  EXPECT_EQ(copyFileWide(dir / L"missing", dir / L"c", true), CopyResult::SourceUnreadable);
  EXPECT_FALSE(fileExistsWide(dir / L"c"));
}

TEST(WideFileOpsTest, StoppedCopyLeavesNoTarget) {
  TempDir dir;
  writeFileBytes(dir / L"a", std::string(1 << 20, 'a'));
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(copyFileWide(dir / L"a", dir / L"b", true, stop.get_token()), CopyResult::Stopped);
  EXPECT_FALSE(fileExistsWide(dir / L"b"));
}

TEST(WideFileOpsTest, CopiesAreByteExactAtEverySize) {
  TempDir dir;
  const size_t piece = 256 << 10;
  for (const size_t size : {size_t{0}, size_t{1}, piece - 1, piece, 2 * piece + 1}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
    writeFileBytes(dir / L"source", bytes);
    ASSERT_EQ(copyFileWide(dir / L"source", dir / L"copy", true), CopyResult::Copied) << size;
    EXPECT_EQ(readFileBytes(dir / L"copy"), bytes) << size;
  }
}

// A book may be read-only, or still open in the program that writes it.
TEST(WideFileOpsTest, CopyOfABookInUseOrReadOnlyIsAPlainFile) {
  TempDir dir;
  writeFileBytes(dir / L"read-only", "a");
  SetFileAttributesW((dir / L"read-only").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(copyFileWide(dir / L"read-only", dir / L"copy 1", true), CopyResult::Copied);
  EXPECT_EQ(GetFileAttributesW((dir / L"copy 1").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  SetFileAttributesW((dir / L"read-only").c_str(), FILE_ATTRIBUTE_NORMAL);

  writeFileBytes(dir / L"open", "b");
  {
    const auto writer = ownFileHandle(
        CreateFileW((dir / L"open").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(copyFileWide(dir / L"open", dir / L"copy 2", true), CopyResult::Copied);
  }
  EXPECT_EQ(readFileBytes(dir / L"copy 2"), "b");
}

TEST(WideFileOpsTest, ExistenceMatchesFilesAndDirectoriesButNoWildcards) {
  TempDir dir;
  writeFileBytes(dir / L"a.txt", "");
  createDirectoryTree(dir / L"b.txt");
  EXPECT_TRUE(fileExistsWide(dir / L"a.txt"));
  EXPECT_TRUE(fileExistsWide(dir / L"b.txt"));
  EXPECT_FALSE(fileExistsWide(dir / L"c.txt"));
  EXPECT_FALSE(fileExistsWide(dir / L"*.txt"));
  EXPECT_TRUE(isDirectoryWide(dir / L"b.txt"));
  EXPECT_FALSE(isDirectoryWide(dir / L"a.txt"));
}

TEST(WideFileOpsTest, RemovesATreeDepthFirst) {
  TempDir dir;
  createDirectoryTree(dir / L"top\\mid\\low");
  writeFileBytes(dir / L"top\\a", "1");
  writeFileBytes(dir / L"top\\mid\\low\\b", "2");
  SetFileAttributesW((dir / L"top\\a").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(removeDirectoryTree(dir / L"top\\"));
  EXPECT_FALSE(fileExistsWide(dir / L"top"));
  EXPECT_TRUE(removeDirectoryTree(dir / L"never-there"));
}

TEST(WideFileOpsTest, NewFilesNeverReplaceWhatIsThere) {
  TempDir dir;
  const std::wstring file = dir / L"章节 😀.txt";
  EXPECT_EQ(writeNewFile(file, std::string("a\r\nb\0c", 6)), NewFileResult::Written);
  EXPECT_EQ(readFileBytes(file), std::string("a\r\nb\0c", 6));
  EXPECT_EQ(writeNewFile(file, "other"), NewFileResult::AlreadyExists);
  EXPECT_EQ(readFileBytes(file), std::string("a\r\nb\0c", 6));
  createDirectoryTree(dir / L"dir.txt");
  EXPECT_EQ(writeNewFile(dir / L"dir.txt", "x"), NewFileResult::AlreadyExists);
  EXPECT_EQ(writeNewFile(dir / L"no\\such\\dir.txt", "x"), NewFileResult::Failed);
  EXPECT_EQ(writeNewFile(dir / L"empty.md", ""), NewFileResult::Written);
  EXPECT_EQ(readFileBytes(dir / L"empty.md"), "");
}

}  // namespace
