// The connection to one SQLite book database, opened by its UTF-16 path.
#include "bookdb/SqliteDB.h"

#include <sqlite3.h>

#include <windows.h>

#include "win/AsciiFold.h"
#include "win/Handles.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

bool fileIsReadable(std::wstring_view path) {
  const auto file =
      ownFileHandle(CreateFileW(longPathForm(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file != nullptr;
}

}  // namespace

bool SqliteDB::Open(std::wstring_view path, bool allowCreate) {
  Close();
  const bool inMemory =
      path.empty() || equalIgnoringAsciiCase(path, std::wstring_view(L":memory:"));
  if (inMemory && !allowCreate) return false;
  if (!inMemory && !allowCreate && !fileIsReadable(path)) return false;

  // Without allowCreate the file was just found; never create one if it vanished meanwhile.
  return openWith(inMemory ? std::wstring_view(L":memory:") : path,
                  SQLITE_OPEN_READWRITE | (allowCreate ? SQLITE_OPEN_CREATE : 0));
}

bool SqliteDB::OpenReadOnly(std::wstring_view path) {
  Close();
  return fileIsReadable(path) && openWith(path, SQLITE_OPEN_READONLY);
}

bool SqliteDB::openWith(std::wstring_view path, int flags) {
  // SQLite's long-path layer takes the "\\?\" form as it is and opens files with the wide
  // functions, so the path may be of any length and hold any characters.
  const std::string utf8Path = path == L":memory:" ? ":memory:" : wideToUtf8(longPathForm(path));
  sqlite3* connection = nullptr;
  const int rc = sqlite3_open_v2(utf8Path.c_str(), &connection, flags, "win32-longpath");
  connection_ = connection;
  if (rc != SQLITE_OK) {
    Close();
    return false;
  }
  // A book comes from elsewhere: its schema may not alter the file behind SQLite's back nor call
  // functions with side effects, and a failure tells exactly what failed.
  sqlite3_extended_result_codes(connection, 1);
  sqlite3_db_config(connection, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(connection, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  return true;
}

void SqliteDB::stopWhen(const std::atomic<bool>& stop) {
  // How many of SQLite's steps pass between two looks at `stop`: a look costs next to nothing,
  // and a thousand steps take well under a millisecond.
  constexpr int kStepsBetweenLooks = 1000;
  sqlite3_progress_handler(
      connection_, kStepsBetweenLooks,
      [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
      const_cast<std::atomic<bool>*>(&stop));
}

SqliteDataset SqliteDB::Query(std::string_view utf8Sql) const {
  SqliteDataset dataset;
  dataset.Prepare(connection_, utf8Sql);
  return dataset;
}

bool SqliteDB::Close() {
  if (connection_ == nullptr) return true;
  sqlite3* connection = connection_;
  connection_ = nullptr;
  if (sqlite3_close(connection) == SQLITE_BUSY) {
    // Record sets still hold statements: let SQLite close it when the last one is finished.
    sqlite3_close_v2(connection);
    return false;
  }
  return true;
}
