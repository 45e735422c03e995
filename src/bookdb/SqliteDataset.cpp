// A forward-only record set over one prepared SELECT statement.
#include "bookdb/SqliteDataset.h"

#include <sqlite3.h>

#include "bookdb/TextConversion.h"

namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameNameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

}  // namespace

void SqliteDataset::StatementDeleter::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

bool SqliteDataset::Prepare(sqlite3* connection, std::string_view ansiSql) {
  Close();
  if (connection == nullptr || ansiSql.empty()) return false;
  const auto utf8Sql = ansiToUtf8(ansiSql);
  if (!utf8Sql) return false;
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare(connection, utf8Sql->c_str(), -1, &statement, nullptr);
  connection_ = connection;
  statement_.reset(statement);
  return rc == SQLITE_OK && statement != nullptr;
}

bool SqliteDataset::MoveFirst() {
  if (!isReady()) return false;
  atEnd_ = false;
  sqlite3_reset(statement_.get());
  int rc = sqlite3_step(statement_.get());
  const bool ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
  count_ = 0;
  while (rc == SQLITE_ROW) {
    ++count_;
    rc = sqlite3_step(statement_.get());
  }
  sqlite3_reset(statement_.get());
  counted_ = true;
  atEnd_ = count_ == 0;
  return ok;
}

bool SqliteDataset::MoveNext() {
  // A finished statement would start over on the next step.
  if (!isReady() || atEnd_) return false;
  const bool onRow = sqlite3_step(statement_.get()) == SQLITE_ROW;
  atEnd_ = !onRow;
  return onRow;
}

int SqliteDataset::columnIndex(std::string_view name) const {
  const auto utf8Name = ansiToUtf8(name);
  if (!utf8Name) return -1;
  const int columns = sqlite3_column_count(statement_.get());
  for (int i = 0; i < columns; ++i) {
    const char* column = sqlite3_column_name(statement_.get(), i);
    if (sameNameIgnoringAsciiCase(column ? column : "", *utf8Name)) return i;
  }
  return -1;
}

std::string SqliteDataset::read(int index, Kind kind, bool* ok) const {
  if (ok) *ok = false;
  if (!isReady() || index < 0) return std::string();
  std::string value;
  if (kind == Kind::Text) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), index));
    if (text) value = utf8ToAnsi(text).value_or(std::string());
  } else if (sqlite3_column_type(statement_.get(), index) == SQLITE_TEXT) {
    // Text as UTF-8 whatever the database's own text encoding.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), index));
    const int size = sqlite3_column_bytes(statement_.get(), index);
    if (text && size > 0) value.assign(text, static_cast<size_t>(size));
  } else {
    const void* blob = sqlite3_column_blob(statement_.get(), index);
    const int size = sqlite3_column_bytes(statement_.get(), index);
    if (blob && size > 0) value.assign(static_cast<const char*>(blob), static_cast<size_t>(size));
  }
  if (ok) *ok = sqlite3_errcode(connection_) == SQLITE_ROW;
  return value;
}

std::string SqliteDataset::ReadText(std::string_view name, bool* ok) const {
  if (ok) *ok = false;
  if (!isReady() || name.empty()) return std::string();
  return read(columnIndex(name), Kind::Text, ok);
}

std::string SqliteDataset::ReadText(int number, bool* ok) const {
  return read(number > 0 ? number - 1 : -1, Kind::Text, ok);
}

std::string SqliteDataset::ReadBytes(std::string_view name, bool* ok) const {
  if (ok) *ok = false;
  if (!isReady() || name.empty()) return std::string();
  return read(columnIndex(name), Kind::Bytes, ok);
}

std::string SqliteDataset::ReadBytes(int number, bool* ok) const {
  return read(number > 0 ? number - 1 : -1, Kind::Bytes, ok);
}

bool SqliteDataset::Close() {
  statement_.reset();
  connection_ = nullptr;
  count_ = 0;
  counted_ = false;
  atEnd_ = false;
  return true;
}
