// A fresh directory for one test, removed with everything in it when the test ends.
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "win/Handles.h"
#include "win/TemporaryFolder.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

TempDir::TempDir(std::wstring_view leaf) {
  static int counter = 0;
  top_ = temporaryDirectory() + L"vellumix-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
  path_ = leaf.empty() ? top_ : top_ + L"\\" + std::wstring(leaf);
  removeDirectoryTree(top_);
  if (!createDirectoryTree(path_)) ADD_FAILURE() << "cannot create the test directory";
}

TempDir::~TempDir() { removeDirectoryTree(top_); }

namespace {

std::wstring environmentVariable(const wchar_t* name) {
  wchar_t value[32768] = {};
  return GetEnvironmentVariableW(name, value, 32768) ? value : L"";
}

}  // namespace

PrivateTempDirectory::PrivateTempDirectory(std::wstring_view leaf)
    : dir_(leaf), savedTmp_(environmentVariable(L"TMP")), savedTemp_(environmentVariable(L"TEMP")) {
  SetEnvironmentVariableW(L"TMP", dir_.path().c_str());
  SetEnvironmentVariableW(L"TEMP", dir_.path().c_str());
}

PrivateTempDirectory::~PrivateTempDirectory() {
  SetEnvironmentVariableW(L"TMP", savedTmp_.empty() ? nullptr : savedTmp_.c_str());
  SetEnvironmentVariableW(L"TEMP", savedTemp_.empty() ? nullptr : savedTemp_.c_str());
}

std::set<std::wstring> PrivateTempDirectory::entries() const {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const auto find =
      ownFindHandle(FindFirstFileW(longPathForm(dir_.path() + L"\\*").c_str(), &entry));
  if (!find) return names;
  do {
    if (std::wstring_view(entry.cFileName) != L"." && std::wstring_view(entry.cFileName) != L"..")
      names.insert(entry.cFileName);
  } while (FindNextFileW(find.get(), &entry));
  return names;
}

std::string readFileBytes(const std::wstring& path) {
  const auto file = ownFileHandle(CreateFileW(longPathForm(path).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  if (!file) {
    ADD_FAILURE() << "cannot read " << wideToUtf8(path);
    return {};
  }
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

void writeFileBytes(const std::wstring& path, std::string_view bytes) {
  const auto file = ownFileHandle(CreateFileW(longPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (!file ||
      !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    ADD_FAILURE() << "cannot write " << wideToUtf8(path);
}

std::map<std::string, std::string> readTree(const std::wstring& root) {
  std::map<std::string, std::string> tree;
  std::function<void(const std::wstring&, const std::string&)> walk =
      [&](const std::wstring& dir, const std::string& relative) {
        WIN32_FIND_DATAW entry;
        const auto find = ownFindHandle(FindFirstFileW(longPathForm(dir + L"\\*").c_str(), &entry));
        if (!find) return;
        do {
          const std::wstring name = entry.cFileName;
          if (name == L"." || name == L"..") continue;
          const std::string key = relative + wideToUtf8(name);
          if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[key + "/"];
            walk(dir + L"\\" + name, key + "/");
          } else {
            tree[key] = readFileBytes(dir + L"\\" + name);
          }
        } while (FindNextFileW(find.get(), &entry));
      };
  walk(root, "");
  return tree;
}

std::string ansi(std::string_view utf8) {
  const auto converted = utf8ToAnsi(utf8);
  if (!converted) ADD_FAILURE() << "no ANSI form: " << utf8;
  return converted.value_or(std::string());
}
