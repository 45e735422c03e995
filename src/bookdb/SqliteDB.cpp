// The connection to one SQLite book database, opened by its ANSI path.
#include "bookdb/SqliteDB.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bookdb/TextConversion.h"

namespace {

bool isMemoryName(std::string_view path) {
  constexpr std::string_view kMemory = ":MEMORY:";
  if (path.size() != kMemory.size()) return false;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper != kMemory[i]) return false;
  }
  return true;
}

bool fileIsReadable(const std::string& ansiPath) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(ansiPath.c_str(), "r"),
                                                             &std::fclose);
  return file != nullptr;
}

}  // namespace

bool SqliteDB::Open(std::string_view ansiPath, bool allowCreate) {
  Close();
  const bool inMemory = ansiPath.empty() || isMemoryName(ansiPath);
  if (inMemory && !allowCreate) return false;
  if (!inMemory && !allowCreate && !fileIsReadable(std::string(ansiPath))) return false;

  const auto utf8Path = inMemory ? std::optional<std::string>(":memory:") : ansiToUtf8(ansiPath);
  if (!utf8Path) return false;
  // Without allowCreate the file was just found; never create one if it vanished meanwhile.
  const int flags = SQLITE_OPEN_READWRITE | (allowCreate ? SQLITE_OPEN_CREATE : 0);
  sqlite3* connection = nullptr;
  const int rc = sqlite3_open_v2(utf8Path->c_str(), &connection, flags, nullptr);
  connection_ = connection;
  if (rc != SQLITE_OK) {
    Close();
    return false;
  }
  return true;
}

SqliteDataset SqliteDB::Query(std::string_view ansiSql) const {
  SqliteDataset dataset;
  dataset.Prepare(connection_, ansiSql);
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
