// Private temporary folders: fresh names, any temporary directory, removed when done.
#include "win/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "support/TempDir.h"
#include "win/WideFileOps.h"

namespace {

TEST(TemporaryFolderTest, NamesDifferEvenWithinOneTick) {
  std::set<std::wstring> names;
  for (int i = 0; i < 50; ++i) {
    const std::wstring name = makeTempFolderName();
    EXPECT_TRUE(name.ends_with(L".tmp"));
    EXPECT_FALSE(fileExistsWide(name));
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 50u);
}

TEST(TemporaryFolderTest, NamesSkipWhatExists) {
  const std::wstring first = makeTempFolderName();
  // Occupy the next few names so that the next call must step over them.
  std::vector<std::wstring> taken;
  const std::wstring prefix = first.substr(0, first.rfind(L'\\') + 1);
  const unsigned long number = std::stoul(first.substr(prefix.size()), nullptr, 16);
  for (unsigned long n = number + 1; n < number + 40; ++n) {
    wchar_t name[16];
    std::swprintf(name, 16, L"%lx.tmp", n);
    taken.push_back(prefix + name);
    createDirectoryTree(taken.back());
  }
  // Both calls meet the run of taken names; neither may hand out the other's name.
  const std::wstring next = makeTempFolderName();
  const std::wstring after = makeTempFolderName();
  EXPECT_NE(next, after);
  for (const auto& path : taken) {
    EXPECT_NE(next, path);
    EXPECT_NE(after, path);
    removeDirectoryTree(path);
  }
}

// The temporary directory may be anywhere: under a name outside code page 936, or deeper than
// the 260 characters of the old path functions.
TEST(TemporaryFolderTest, LivesInTheTemporaryDirectoryWhateverItsPath) {
  std::wstring deep = L"临时😀한";
  while (deep.size() < 300) deep += L"\\" + std::wstring(60, L'深');
  for (const std::wstring& leaf : {std::wstring(L"临时😀한"), deep}) {
    const PrivateTempDirectory temp(leaf);
    std::wstring path;
    {
      const TemporaryFolder folder;
      ASSERT_TRUE(folder.created());
      path = folder.path();
      EXPECT_EQ(path.substr(0, path.rfind(L'\\')), temp.path());
      writeFileBytes(folder.file(L"tmp.db"), "x");
      EXPECT_TRUE(temp.entries().count(path.substr(path.rfind(L'\\') + 1)));
    }
    EXPECT_FALSE(fileExistsWide(path));
    EXPECT_TRUE(temp.entries().empty());
  }
}

}  // namespace
