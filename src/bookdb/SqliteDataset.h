// A forward-only record set over one prepared SELECT statement.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "bookdb/BookFault.h"

struct sqlite3;
struct sqlite3_stmt;

class SqliteDataset {
 public:
  SqliteDataset() = default;
  SqliteDataset(SqliteDataset&&) noexcept = default;
  SqliteDataset& operator=(SqliteDataset&&) noexcept = default;
  ~SqliteDataset() = default;

  // True when a row is current. False at the end of the rows and on an error alike: failed()
  // tells them apart.
  bool MoveNext();
  // True when the last step ended in an error (a damaged page, a failed read, no memory) rather
  // than on a row or at the end of the rows.
  bool failed() const { return errorCode_ != 0; }
  // The SQLite result code of that error, extended; 0 when the last step did not fail.
  int errorCode() const { return errorCode_; }
  // What that error means for the book; None when the last step did not fail.
  BookFault fault() const { return faultOfSqliteCode(errorCode_); }

  // Parameter `number` (1-based) of the statement takes a value; the statement starts over.
  bool Bind(int number, std::string_view utf8Text);
  bool Bind(int number, std::int64_t value);

  // A column by name (ASCII letters matched in any case) or by 1-based number, as stored (text
  // as UTF-8, numbers as their text). `ok`, when given, tells whether the value came from a
  // current row and could be read (a value too large for the memory left is not).
  std::string ReadBytes(std::string_view name, bool* ok = nullptr) const;
  std::string ReadBytes(int number, bool* ok = nullptr) const;

  bool Close();
  bool isReady() const { return connection_ != nullptr && statement_ != nullptr; }

 private:
  friend class SqliteDB;
  struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const;
  };

  // Prepares the first statement of `utf8Sql`; a failure leaves the record set empty.
  bool Prepare(sqlite3* connection, std::string_view utf8Sql);
  // One step; keeps what it said. True on a row.
  bool step();
  void startOver();
  int columnIndex(std::string_view name) const;
  std::string read(int index, bool* ok) const;

  sqlite3* connection_ = nullptr;  // borrowed from the SqliteDB
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement_;
  bool onRow_ = false;  // the last step yielded a row, which the statement still holds
  bool atEnd_ = false;  // the last step found no further row, or failed
  int errorCode_ = 0;   // of the last step
};
