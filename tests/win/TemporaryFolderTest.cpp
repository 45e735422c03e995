// Private temporary folders: fresh names, any temporary directory, removed when done.
#include "win/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <thread>

#include "support/TempDir.h"
#include "win/Handles.h"
#include "win/WideFileOps.h"

namespace {

TEST(TemporaryFolderTest, NamesDifferEvenWithinOneTick) {
  std::set<std::wstring> names;
  for (int i = 0; i < 50; ++i) {
    const std::wstring name = makeTempFolderName();
    EXPECT_TRUE(name.substr(name.rfind(L'\\') + 1).starts_with(L"Vellumix-"));
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
  const std::wstring prefix = first.substr(0, first.rfind(L'-') + 1);
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

// A virus scanner may still hold a file just written: the folder goes once it lets go.
TEST(TemporaryFolderTest, AFileStillHeldIsWaitedForAWhile) {
  const PrivateTempDirectory temp;
  std::wstring path;
  std::thread holder;
  {
    const TemporaryFolder folder;
    path = folder.path();
    writeFileBytes(folder.file(L"tmp.db"), "x");
    auto held = ownFileHandle(CreateFileW(folder.file(L"tmp.db").c_str(), GENERIC_READ,
                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    holder = std::thread([held = std::move(held)]() mutable {
      Sleep(500);
      held.reset();
    });
  }
  holder.join();
  EXPECT_FALSE(fileExistsWide(path));
  EXPECT_TRUE(temp.entries().empty());
}

// At start-up, our folders older than a day go: what an export ended by force left behind.
// Younger ones (another instance's) and others' stay.
TEST(TemporaryFolderTest, StaleFoldersOfOursAreRemoved) {
  const PrivateTempDirectory temp;
  const auto age = [&](const std::wstring& name, int hours) {
    createDirectoryTree(temp.path() + L"\\" + name);
    writeFileBytes(temp.path() + L"\\" + name + L"\\tmp.db", "x");
    const auto folder = ownFileHandle(
        CreateFileW((temp.path() + L"\\" + name).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= static_cast<ULONGLONG>(hours) * 3600 * 10000000;
    const FILETIME then{time.LowPart, time.HighPart};
    SetFileTime(folder.get(), nullptr, nullptr, &then);
  };
  age(L"Vellumix-1a2b.tmp", 30);
  age(L"Vellumix-3c4d.tmp", 2);
  age(L"5e6f.tmp", 30);
  age(L"Vellumix-notes", 30);
  removeStaleTemporaryFolders();
  EXPECT_EQ(temp.entries(),
            (std::set<std::wstring>{L"Vellumix-3c4d.tmp", L"5e6f.tmp", L"Vellumix-notes"}));
}

}  // namespace
