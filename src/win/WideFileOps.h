// File-system helpers on UTF-16 paths of any length and any characters.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

// `path` made absolute from the current folder, with its "." and ".." resolved, at any length;
// unchanged when Windows cannot tell.
std::wstring fullPathOf(const std::wstring& path);

// The form Windows takes for paths beyond MAX_PATH: "/" becomes "\", "D:\x" becomes "\\?\D:\x"
// and "\\server\share\x" becomes "\\?\UNC\server\share\x". Other paths are returned unchanged.
std::wstring longPathForm(std::wstring_view path);

// `directory` + "\" + `name`, with no doubled separator when `directory` already ends in one
// (a drive root such as "D:\").
std::wstring joinPath(std::wstring_view directory, std::wstring_view name);

// Creates every missing directory of `path`, outermost first. True when it is a directory
// afterwards.
bool createDirectoryTree(std::wstring_view path);
bool isDirectoryWide(std::wstring_view path);
enum class CopyResult {
  Copied,
  SourceUnreadable,  // the source cannot be opened or read
  TargetUnwritable,  // the target cannot be made or written: the disk may be full
  Stopped,
};
// Bytes of a file that another program may hold locked and that hold nothing worth copying.
struct LockedBytes {
  std::uint64_t offset;
  std::uint32_t length;
};
// Copies the bytes of `source` to `target`, which gets plain attributes. A copy that fails
// part-way, or is stopped through `stop`, is removed; an existing target is replaced only with
// `overwrite`. Where a read is refused by a lock on `zeroWhereLocked`, those bytes are copied as
// zeros.
CopyResult copyFileWide(std::wstring_view source, std::wstring_view target, bool overwrite,
                        std::stop_token stop = {},
                        std::optional<LockedBytes> zeroWhereLocked = std::nullopt);
// True for an existing file or directory of that name.
bool fileExistsWide(std::wstring_view path);
// Deletes a directory with everything in it, depth-first. True when it is gone afterwards.
bool removeDirectoryTree(std::wstring_view path);

enum class NewFileResult { Written, AlreadyExists, Failed };
// Writes `bytes` to a file that must not exist yet; an existing file or directory of that name
// is left untouched.
NewFileResult writeNewFile(std::wstring_view path, std::string_view bytes);
