// File-system helpers on UTF-16 paths of any length and any characters.
#include "win/WideFileOps.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "win/Handles.h"

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool isDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Length of the part of a long-form path that names no directory to create: the prefix with
// the drive ("\\?\D:\") or with the server and share ("\\?\UNC\server\share\").
size_t rootLength(std::wstring_view longPath) {
  if (longPath.starts_with(kLongUncPrefix)) {
    size_t end = longPath.find(L'\\', kLongUncPrefix.size());                 // after the server
    if (end != std::wstring_view::npos) end = longPath.find(L'\\', end + 1);  // after the share
    return end == std::wstring_view::npos ? longPath.size() : end + 1;
  }
  if (longPath.starts_with(kLongPrefix)) {
    const size_t drive = longPath.find(L'\\', kLongPrefix.size());
    return drive == std::wstring_view::npos ? longPath.size() : drive + 1;
  }
  return 0;
}

DWORD attributesOf(std::wstring_view path) {
  return GetFileAttributesW(longPathForm(path).c_str());
}

// Marks a file being written to go when its handle closes: nothing half-written is left behind
// under a name that looks complete. The handle must have been opened with DELETE access.
void discardOnClose(HANDLE file) {
  FILE_DISPOSITION_INFO dispose{TRUE};
  SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

}  // namespace

std::wstring fullPathOf(const std::wstring& path) {
  std::wstring full(path.size() + 1, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

std::wstring longPathForm(std::wstring_view path) {
  std::wstring normal(path);
  for (auto& c : normal)
    if (c == L'/') c = L'\\';
  if (normal.starts_with(kLongPrefix)) return normal;
  // The long form takes "." and ".." literally: they are resolved first, as Windows resolves
  // them in any other path.
  if (normal.find(L"\\.") != std::wstring::npos) normal = fullPathOf(normal);

  std::wstring prefix;
  std::wstring_view rest;
  if (normal.size() >= 3 && isDriveLetter(normal[0]) && normal[1] == L':' && normal[2] == L'\\') {
    prefix = kLongPrefix;
    rest = normal;
  } else if (normal.starts_with(L"\\\\")) {
    prefix = kLongUncPrefix;
    rest = std::wstring_view(normal).substr(2);
  } else {
    return normal;
  }
  // The long form takes every "\" literally: a doubled one would name an empty component.
  std::wstring result = prefix;
  result.reserve(prefix.size() + rest.size());
  for (const wchar_t c : rest) {
    if (c == L'\\' && !result.empty() && result.back() == L'\\') continue;
    result += c;
  }
  return result;
}

std::wstring joinPath(std::wstring_view directory, std::wstring_view name) {
  std::wstring path(directory);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path += name;
}

bool createDirectoryTree(std::wstring_view path) {
  std::wstring longPath = longPathForm(path);
  const size_t root = rootLength(longPath);
  while (longPath.size() > root && longPath.ends_with(L'\\')) longPath.pop_back();
  if (longPath.size() <= root) return isDirectoryWide(longPath);
  // Usually only the last level is missing: one call then.
  if (CreateDirectoryW(longPath.c_str(), nullptr)) return true;
  if (GetLastError() != ERROR_PATH_NOT_FOUND) return isDirectoryWide(longPath);
  for (size_t i = root; i < longPath.size(); ++i) {
    if (longPath[i] == L'\\') CreateDirectoryW(longPath.substr(0, i).c_str(), nullptr);
  }
  CreateDirectoryW(longPath.c_str(), nullptr);
  return isDirectoryWide(longPath);
}

bool isDirectoryWide(std::wstring_view path) {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

// Reads `size` bytes at `offset`; where a lock refuses the read inside `locked`, those bytes are
// zeros. The bytes read, or nothing when the read fails.
std::optional<DWORD> readAt(HANDLE file, std::uint64_t fileSize, std::uint64_t offset, char* buffer,
                            DWORD size, const std::optional<LockedBytes>& locked) {
  const auto readSpan = [file](std::uint64_t at, char* into, DWORD bytes) -> std::optional<DWORD> {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(at);
    DWORD read = 0;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
        !ReadFile(file, into, bytes, &read, nullptr))
      return std::nullopt;
    return read;
  };
  if (const auto read = readSpan(offset, buffer, size)) return read;
  if (GetLastError() != ERROR_LOCK_VIOLATION || !locked) return std::nullopt;
  const std::uint64_t end = std::min(offset + size, fileSize);
  const std::uint64_t lockStart = std::max(offset, locked->offset);
  const std::uint64_t lockEnd = std::min(end, locked->offset + locked->length);
  if (lockStart >= lockEnd) return std::nullopt;
  const auto before = static_cast<DWORD>(lockStart - offset);
  const auto zeros = static_cast<DWORD>(lockEnd - lockStart);
  const auto after = static_cast<DWORD>(end - lockEnd);
  if (before > 0 && readSpan(offset, buffer, before) != before) return std::nullopt;
  std::fill_n(buffer + before, zeros, '\0');
  if (after > 0 && readSpan(lockEnd, buffer + before + zeros, after) != after) return std::nullopt;
  return before + zeros + after;
}

}  // namespace

CopyResult copyFileWide(std::wstring_view source, std::wstring_view target, bool overwrite,
                        std::stop_token stop, std::optional<LockedBytes> zeroWhereLocked) {
  // Shared for writing too: the program that owns a database may keep it open while it is
  // copied, with its latest changes in a log beside it.
  const auto from =
      ownFileHandle(CreateFileW(longPathForm(source).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from) return CopyResult::SourceUnreadable;
  const auto to = ownFileHandle(CreateFileW(longPathForm(target).c_str(), GENERIC_WRITE | DELETE, 0,
                                            nullptr, overwrite ? CREATE_ALWAYS : CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!to) return CopyResult::TargetUnwritable;
  // Pieces that stay in the processor's cache between the read and the write: 4 MB pieces took
  // twice as long as these on a book of 500 MB; smaller ones only add calls.
  constexpr DWORD kPiece = 256 << 10;
  const auto buffer = std::make_unique<char[]>(kPiece);
  LARGE_INTEGER size{};
  GetFileSizeEx(from.get(), &size);
  CopyResult result = CopyResult::Stopped;
  for (std::uint64_t offset = 0; !stop.stop_requested();) {
    const auto piece = readAt(from.get(), static_cast<std::uint64_t>(size.QuadPart), offset,
                              buffer.get(), kPiece, zeroWhereLocked);
    if (!piece) {
      result = CopyResult::SourceUnreadable;
      break;
    }
    const DWORD read = *piece;
    if (read == 0) return CopyResult::Copied;
    offset += read;
    DWORD written = 0;
    if (!WriteFile(to.get(), buffer.get(), read, &written, nullptr) || written != read) {
      result = CopyResult::TargetUnwritable;
      break;
    }
  }
  discardOnClose(to.get());
  return result;
}

bool fileExistsWide(std::wstring_view path) {
  return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool removeDirectoryTree(std::wstring_view path) {
  std::wstring longPath = longPathForm(path);
  while (longPath.size() > rootLength(longPath) && longPath.ends_with(L'\\')) longPath.pop_back();
  WIN32_FIND_DATAW entry;
  const auto find = ownFindHandle(FindFirstFileW((longPath + L"\\*").c_str(), &entry));
  if (find) {
    do {
      const std::wstring_view name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = longPath + L'\\' + entry.cFileName;
      // A junction or link is removed itself, never followed.
      const bool descend = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                           (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
      if (descend) {
        removeDirectoryTree(child);
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(child.c_str());
      } else {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
          SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find.get(), &entry));
  }
  RemoveDirectoryW(longPath.c_str());
  return !fileExistsWide(longPath);
}

NewFileResult writeNewFile(std::wstring_view path, std::string_view bytes) {
  const std::wstring longPath = longPathForm(path);
  const auto file = ownFileHandle(CreateFileW(longPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    // A directory of that name is refused with "access denied" rather than "exists".
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        (error == ERROR_ACCESS_DENIED && fileExistsWide(longPath)))
      return NewFileResult::AlreadyExists;
    return NewFileResult::Failed;
  }
  constexpr size_t kChunk = 1 << 20;
  for (size_t done = 0; done < bytes.size();) {
    const DWORD size = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, size, &written, nullptr) || written != size) {
      discardOnClose(file.get());
      return NewFileResult::Failed;
    }
    done += size;
  }
  return NewFileResult::Written;
}
