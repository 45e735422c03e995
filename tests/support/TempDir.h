// A fresh directory for one test, removed with everything in it when the test ends.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

class TempDir {
 public:
  // `leaf` may hold any characters; it becomes the last component of the directory's name.
  explicit TempDir(std::wstring_view leaf = L"");
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::wstring& path() const { return path_; }
  std::wstring operator/(std::wstring_view name) const {
    return path_ + L"\\" + std::wstring(name);
  }

 private:
  std::wstring top_;  // the directory made for the test, `leaf` inside it
  std::wstring path_;
};

// Points TMP and TEMP of this process at a directory of its own while it lives, so that a test
// sees exactly the temporary folders its export makes and leaves.
class PrivateTempDirectory {
 public:
  // `leaf` may hold several levels.
  explicit PrivateTempDirectory(std::wstring_view leaf = L"临时 目录");
  ~PrivateTempDirectory();
  PrivateTempDirectory(const PrivateTempDirectory&) = delete;
  PrivateTempDirectory& operator=(const PrivateTempDirectory&) = delete;
  const std::wstring& path() const { return dir_.path(); }
  // The names directly in the directory now.
  std::set<std::wstring> entries() const;

 private:
  TempDir dir_;
  std::wstring savedTmp_, savedTemp_;
};

std::string readFileBytes(const std::wstring& path);
void writeFileBytes(const std::wstring& path, std::string_view bytes);

// Every file below `root`, by its path relative to `root` in UTF-8 ("/"-separated), with its
// bytes; directories appear with a trailing "/" and no bytes.
std::map<std::string, std::string> readTree(const std::wstring& root);

// UTF-8 text of a test literal as code page 936 bytes, for comparing with notices.
std::string ansi(std::string_view utf8);
