// A forward-only record set over one prepared SELECT statement.
#include "bookdb/SqliteDataset.h"

#include <sqlite3.h>

#include <new>

#include "win/AsciiFold.h"

BookFault faultOfSqliteCode(int code) {
  switch (code & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return BookFault::None;
    case SQLITE_INTERRUPT:
      return BookFault::Stopped;
    // Reading writes only to the private copy and SQLite's own temporary files, both on the
    // temporary disk.
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
      return BookFault::WorkingSpace;
    case SQLITE_IOERR:
      // A page that cannot be read is the book's; anything else is a write, on the temporary disk.
      return code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ ||
                     code == SQLITE_IOERR_NOMEM || code == SQLITE_IOERR
                 ? BookFault::Unreadable
                 : BookFault::WorkingSpace;
    default:
      return BookFault::Unreadable;
  }
}

void SqliteDataset::StatementDeleter::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

bool SqliteDataset::Prepare(sqlite3* connection, std::string_view utf8Sql) {
  Close();
  if (connection == nullptr || utf8Sql.empty()) return false;
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v2(connection, utf8Sql.data(), static_cast<int>(utf8Sql.size()),
                                    &statement, nullptr);
  connection_ = connection;
  statement_.reset(statement);
  return rc == SQLITE_OK && statement != nullptr;
}

bool SqliteDataset::step() {
  const int rc = sqlite3_step(statement_.get());
  onRow_ = rc == SQLITE_ROW;
  if (onRow_) {
    errorCode_ = 0;
    return true;
  }
  atEnd_ = true;
  errorCode_ = rc == SQLITE_DONE ? 0 : rc;
  return false;
}

void SqliteDataset::startOver() {
  sqlite3_reset(statement_.get());
  onRow_ = false;
  atEnd_ = false;
  errorCode_ = 0;
}

bool SqliteDataset::MoveNext() {
  // A finished statement would start over on the next step.
  if (!isReady() || atEnd_) return false;
  return step();
}

bool SqliteDataset::Bind(int number, std::string_view utf8Text) {
  if (!isReady()) return false;
  startOver();
  return sqlite3_bind_text(statement_.get(), number, utf8Text.data(),
                           static_cast<int>(utf8Text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteDataset::Bind(int number, std::int64_t value) {
  if (!isReady()) return false;
  startOver();
  return sqlite3_bind_int64(statement_.get(), number, value) == SQLITE_OK;
}

int SqliteDataset::columnIndex(std::string_view name) const {
  const int columns = sqlite3_column_count(statement_.get());
  for (int i = 0; i < columns; ++i) {
    const char* column = sqlite3_column_name(statement_.get(), i);
    if (equalIgnoringAsciiCase(std::string_view(column ? column : ""), name)) return i;
  }
  return -1;
}

std::string SqliteDataset::read(int index, bool* ok) const {
  if (ok) *ok = false;
  if (!isReady() || !onRow_ || index < 0 || index >= sqlite3_column_count(statement_.get()))
    return std::string();
  sqlite3_stmt* statement = statement_.get();
  const int type = sqlite3_column_type(statement, index);
  // Text as UTF-8 whatever the database's own text encoding; numbers as their text.
  const bool asText = type != SQLITE_BLOB;
  const void* data = asText ? static_cast<const void*>(sqlite3_column_text(statement, index))
                            : sqlite3_column_blob(statement, index);
  const int size = sqlite3_column_bytes(statement, index);
  // No data for a value that has some means the value could not be fetched (no memory for
  // its conversion); an empty blob legitimately has none.
  if (data == nullptr && type != SQLITE_NULL && !(type == SQLITE_BLOB && size == 0))
    return std::string();
  std::string value;
  try {
    if (data && size > 0) value.assign(static_cast<const char*>(data), static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    // A value larger than the memory left (a 32-bit program has 2 GB in all) is not read.
    return std::string();
  }
  if (ok) *ok = true;
  return value;
}

std::string SqliteDataset::ReadBytes(std::string_view name, bool* ok) const {
  if (ok) *ok = false;
  if (!isReady() || name.empty()) return std::string();
  return read(columnIndex(name), ok);
}

std::string SqliteDataset::ReadBytes(int number, bool* ok) const {
  return read(number > 0 ? number - 1 : -1, ok);
}

bool SqliteDataset::Close() {
  statement_.reset();
  connection_ = nullptr;
  onRow_ = false;
  atEnd_ = false;
  errorCode_ = 0;
  return true;
}
