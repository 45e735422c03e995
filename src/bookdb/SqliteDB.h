// The connection to one SQLite book database, opened by its UTF-16 path.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "bookdb/SqliteDataset.h"

class SqliteDB {
 public:
  SqliteDB() = default;
  SqliteDB(const SqliteDB&) = delete;
  SqliteDB& operator=(const SqliteDB&) = delete;
  ~SqliteDB() { Close(); }

  // Opens the database at `path`, of any length and any characters (closing any open one
  // first). Without allowCreate the file must exist and nothing is created; ":memory:" (any
  // case) or an empty path opens an in-memory database, and only with allowCreate.
  bool Open(std::wstring_view path, bool allowCreate = false);
  // Opens an existing database for reading only: nothing is ever written to it or beside it.
  bool OpenReadOnly(std::wstring_view path);
  // A record set for the first statement of `utf8Sql`; empty (not ready) when it does not
  // prepare. The record set borrows the connection.
  SqliteDataset Query(std::string_view utf8Sql) const;
  // False only when statements were still open; the connection is forgotten all the same and
  // goes away once they are finished.
  bool Close();
  bool isOpen() const { return connection_ != nullptr; }
  // Once `stop` holds, the statement running fails at its next few steps, and so does every
  // later one: a long read is cut short from another thread. Set on an open connection.
  void stopWhen(const std::atomic<bool>& stop);

 private:
  bool openWith(std::wstring_view path, int flags);

  sqlite3* connection_ = nullptr;
};
