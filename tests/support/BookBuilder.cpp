// Writes real book databases for the tests.
#include "support/BookBuilder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

constexpr const char* kFolderAndCategory = R"(
  CREATE TABLE Folder (id TEXT PRIMARY KEY, name TEXT, deleted INTEGER DEFAULT 0,
                       parentId TEXT, createTime INTEGER DEFAULT 1700000000);
  CREATE TABLE Category (id INTEGER PRIMARY KEY, folderId TEXT, name TEXT, rank REAL,
                         deleted INTEGER DEFAULT 0, collapsed INTEGER DEFAULT 0);
  INSERT INTO Folder (id, name) VALUES ('PW_Trash', '回收站');
)";
constexpr const char* kArticle = R"(
  CREATE TABLE Article (id INTEGER PRIMARY KEY, folderId TEXT, title TEXT, extension TEXT,
                        rank REAL, content TEXT, deleted INTEGER DEFAULT 0,
                        wordCount INTEGER DEFAULT 0, updateTime INTEGER DEFAULT 1700000000);
)";
constexpr const char* kArticleWithoutRowid = R"(
  CREATE TABLE Article (id TEXT PRIMARY KEY, folderId TEXT, title TEXT, extension TEXT,
                        rank REAL, content TEXT, deleted INTEGER DEFAULT 0,
                        wordCount INTEGER DEFAULT 0, updateTime INTEGER DEFAULT 1700000000)
                        WITHOUT ROWID;
)";

void bindText(sqlite3_stmt* statement, int index, std::optional<std::string_view> text) {
  if (text)
    sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                      SQLITE_TRANSIENT);
  else
    sqlite3_bind_null(statement, index);
}

}  // namespace

BookBuilder::BookBuilder(const std::wstring& path, Schema schema) {
  DeleteFileW(longPathForm(path).c_str());
  if (sqlite3_open_v2(wideToUtf8(longPathForm(path)).c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "win32-longpath") != SQLITE_OK)
    ADD_FAILURE() << "cannot create book";
  if (schema == Schema::None) return;
  exec(kFolderAndCategory);
  exec(schema == Schema::Book ? kArticle : kArticleWithoutRowid);
}

BookBuilder::~BookBuilder() { finish(); }

void BookBuilder::finish() {
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

BookBuilder& BookBuilder::exec(std::string_view sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK)
    ADD_FAILURE() << "book SQL failed: " << (error ? error : "?") << "\n" << sql;
  sqlite3_free(error);
  return *this;
}

BookBuilder& BookBuilder::folder(std::string_view id, std::optional<std::string_view> name,
                                 int deleted) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db_, "INSERT INTO Folder (id, name, deleted) VALUES (?, ?, ?)", -1, &s,
                     nullptr);
  bindText(s, 1, id);
  bindText(s, 2, name);
  sqlite3_bind_int(s, 3, deleted);
  if (sqlite3_step(s) != SQLITE_DONE) ADD_FAILURE() << "folder insert failed";
  sqlite3_finalize(s);
  return *this;
}

BookBuilder& BookBuilder::article(std::string_view folderId, std::optional<std::string_view> title,
                                  std::string_view extension, double rank, std::string_view content,
                                  int deleted) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db_,
                     "INSERT INTO Article (folderId, title, extension, rank, content, deleted, id) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)",
                     -1, &s, nullptr);
  bindText(s, 1, folderId);
  bindText(s, 2, title);
  bindText(s, 3, extension);
  sqlite3_bind_double(s, 4, rank);
  bindText(s, 5, content);
  sqlite3_bind_int(s, 6, deleted);
  sqlite3_bind_int(s, 7, ++articles_);
  if (sqlite3_step(s) != SQLITE_DONE) ADD_FAILURE() << "article insert failed";
  sqlite3_finalize(s);
  return *this;
}

BookBuilder& BookBuilder::category(std::string_view folderId, std::string_view name, double rank,
                                   int deleted) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db_,
                     "INSERT INTO Category (folderId, name, rank, deleted) VALUES (?, ?, ?, ?)", -1,
                     &s, nullptr);
  bindText(s, 1, folderId);
  bindText(s, 2, name);
  sqlite3_bind_double(s, 3, rank);
  sqlite3_bind_int(s, 4, deleted);
  if (sqlite3_step(s) != SQLITE_DONE) ADD_FAILURE() << "category insert failed";
  sqlite3_finalize(s);
  return *this;
}
