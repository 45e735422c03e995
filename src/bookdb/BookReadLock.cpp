// A read transaction on the user's own book, from a read-only connection.
#include "bookdb/BookReadLock.h"

#include <sqlite3.h>

#include "win/TextConversion.h"

BookReadLock::BookReadLock(std::wstring_view path) {
  // Read-only: no journal, log or index of the log is ever made beside the user's book.
  if (sqlite3_open_v2(wideToUtf8(longPathForm(path)).c_str(), &connection_, SQLITE_OPEN_READONLY,
                      "win32-longpath") != SQLITE_OK)
    return;
  sqlite3_db_config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  // The transaction begins reading with its first statement; the lock is then held until the end.
  held_ = sqlite3_exec(connection_, "BEGIN; SELECT count(*) FROM sqlite_schema;", nullptr, nullptr,
                       nullptr) == SQLITE_OK;
}

BookReadLock::~BookReadLock() {
  if (held_) sqlite3_exec(connection_, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close_v2(connection_);
}
