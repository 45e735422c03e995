// Private folders in the system temporary directory: a fresh name, and a folder that is removed
// with everything in it when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The system temporary directory, ending in "\", at whatever length it has; empty when Windows
// cannot tell it.
std::wstring temporaryDirectory();

// The temporary directory plus "Vellumix-", a number in lower-case hexadecimal and ".tmp", the
// number taken from the tick count plus a per-process counter so that two names made in one tick
// differ, and increased until nothing has that name. Nothing is created. Empty when there is no
// temporary directory.
std::wstring makeTempFolderName();

// Removes our folders in the temporary directory that were last changed more than `age` ago:
// what an export that was ended by force (Task Manager, a crash) left behind. Others' are left.
void removeStaleTemporaryFolders(std::uint64_t ageMs = 24ull * 60 * 60 * 1000);

class TemporaryFolder {
 public:
  // Creates a folder under a fresh name.
  TemporaryFolder();
  // Removes it with everything in it; a file another program still holds (a virus scanner
  // reading what was just written) is waited for a little.
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  bool created() const { return created_; }
  const std::wstring& path() const { return path_; }
  std::wstring file(std::wstring_view name) const;

 private:
  std::wstring path_;
  bool created_;
};
