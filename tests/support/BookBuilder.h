// Writes real book databases for the tests: the tables Folder, Article and Category with the
// columns the program reads and a few it does not.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

class BookBuilder {
 public:
  // Book: the tables as the application makes them; ArticleWithoutRowid: the same with the
  // articles in a WITHOUT ROWID table keyed by a text id.
  enum class Schema { Book, ArticleWithoutRowid, None };
  // Creates (or replaces) the database file at `path`, with the book's tables unless told not to.
  explicit BookBuilder(const std::wstring& path, Schema schema = Schema::Book);
  BookBuilder(const BookBuilder&) = delete;
  BookBuilder& operator=(const BookBuilder&) = delete;
  ~BookBuilder();

  BookBuilder& folder(std::string_view id, std::optional<std::string_view> name, int deleted = 0);
  // `title` absent writes NULL; the content is stored as TEXT with exactly these bytes.
  BookBuilder& article(std::string_view folderId, std::optional<std::string_view> title,
                       std::string_view extension, double rank, std::string_view content,
                       int deleted = 0);
  BookBuilder& category(std::string_view folderId, std::string_view name, double rank,
                        int deleted = 0);
  // Runs any SQL on the book, for schemas the builder does not make.
  BookBuilder& exec(std::string_view sql);
  // Closes the database; the builder can no longer be used.
  void finish();

 private:
  sqlite3* db_ = nullptr;
  int articles_ = 0;  // the id of the last article written
};
