// Private folders in the system temporary directory.
#include "win/TemporaryFolder.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

#include "win/Handles.h"
#include "win/WideFileOps.h"

namespace {

constexpr const wchar_t* kPrefix = L"Vellumix-";
// How long a removal waits for files that others still hold.
constexpr DWORD kRemovalPatienceMs = 3000;
constexpr DWORD kRemovalRetryMs = 100;

// A Windows function that fills a buffer and otherwise tells the size it needs, called until its
// answer fits; empty when it fails.
template <typename Call>
std::wstring sizedText(Call call) {
  std::wstring text;
  for (DWORD size = call(nullptr, 0); size > 0;) {
    text.assign(size, L'\0');
    const DWORD length = call(text.data(), size);
    if (length == 0) return std::wstring();
    if (length < size) {
      text.resize(length);
      return text;
    }
    size = length + 1;
  }
  return std::wstring();
}

}  // namespace

std::wstring temporaryDirectory() {
  std::wstring directory =
      sizedText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
  // GetTempPathW stops at 260 characters; the variables it reads may name a longer path, which
  // is taken in its order (TMP, TEMP, USERPROFILE, the Windows directory) at full length.
  for (const wchar_t* variable : {L"TMP", L"TEMP", L"USERPROFILE"}) {
    if (!directory.empty()) break;
    const std::wstring value = sizedText([variable](wchar_t* buffer, DWORD size) {
      return GetEnvironmentVariableW(variable, buffer, size);
    });
    if (!value.empty())
      directory = sizedText([&value](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(value.c_str(), size, buffer, nullptr);
      });
  }
  if (directory.empty())
    directory =
        sizedText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
  if (!directory.empty() && directory.back() != L'\\') directory += L'\\';
  return directory;
}

std::wstring makeTempFolderName() {
  // The counter also steps over the names found taken, so the next call starts past the name
  // this one gives: a run of taken names does not hand out the same free one twice.
  static std::atomic<DWORD> counter = 0;
  const std::wstring directory = temporaryDirectory();
  if (directory.empty()) return std::wstring();
  for (DWORD number = GetTickCount() + counter++;; number = GetTickCount() + counter++) {
    wchar_t name[32];
    std::swprintf(name, 32, L"%ls%lx.tmp", kPrefix, static_cast<unsigned long>(number));
    const std::wstring candidate = directory + name;
    if (!fileExistsWide(candidate)) return candidate;
  }
}

void removeStaleTemporaryFolders(std::uint64_t ageMs) {
  const std::wstring directory = temporaryDirectory();
  if (directory.empty()) return;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  constexpr ULONGLONG kTicksPerMs = 10000;
  WIN32_FIND_DATAW entry;
  const auto find =
      ownFindHandle(FindFirstFileW(longPathForm(directory + kPrefix + L"*.tmp").c_str(), &entry));
  if (!find) return;
  do {
    const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    const ULONGLONG changed = ticks(entry.ftLastWriteTime);
    if (folder && ticks(now) > changed && ticks(now) - changed > ageMs * kTicksPerMs)
      removeDirectoryTree(directory + entry.cFileName);
  } while (FindNextFileW(find.get(), &entry));
}

TemporaryFolder::TemporaryFolder() : created_(false) {
  // Another program may take the same name between the test and the creation: the folder must be
  // ours alone, since it is removed with everything in it.
  for (path_ = makeTempFolderName(); !path_.empty(); path_ = makeTempFolderName()) {
    created_ = CreateDirectoryW(longPathForm(path_).c_str(), nullptr) != 0;
    if (created_ || GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (!created_) return;
  const DWORD start = GetTickCount();
  while (!removeDirectoryTree(path_) && GetTickCount() - start < kRemovalPatienceMs)
    Sleep(kRemovalRetryMs);
}

std::wstring TemporaryFolder::file(std::wstring_view name) const { return joinPath(path_, name); }
