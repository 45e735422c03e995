// The book's tables as the export reads them: the live folders in book order, and each
// folder's categories and articles in rank order. Reading goes on past pages that cannot be
// read: what SQLite can still read is read, and what it cannot is told.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bookdb/SqliteDB.h"

struct BookFolder {
  std::string utf8Id;
  std::string utf8Name;
};

struct BookRow {
  enum class Kind {
    Category,           // the folder's later articles belong to it
    Article,            // with its content
    UnreadableArticle,  // its title could be read, its content could not
  };
  Kind kind = Kind::Article;
  std::string utf8Title;
  bool isTxt = false;
  std::string content;
};

class BookReader {
 public:
  // Opens a private copy of a book: the reader locks it for as long as it lives. False when it
  // cannot be opened at all.
  bool open(std::wstring_view path);
  // Once `stop` holds, every query fails quickly, as on a page that cannot be read.
  void stopWhen(const std::atomic<bool>& stop) { db_.stopWhen(stop); }
  // Adds to the copy the lookup of each folder's rows that readFolder() reads by: once, before
  // the first readFolder(). It reads the start of every row: a while on a large book.
  void buildLookup();

  enum class Status {
    Complete,
    Damaged,     // some rows could not be read; the others are there
    Unreadable,  // nothing could be read
  };
  // The folders that are neither deleted nor the trash, in book order.
  Status readFolders(std::vector<BookFolder>& folders);
  // The live articles of the live folders; 0 when they cannot be counted.
  int countArticles();
  // Hands the rows of one folder to `onRow` in rank order. False when some of its rows could
  // not be read at all (their titles unknown) or the folder's rows cannot be queried.
  bool readFolder(std::string_view utf8FolderId, const std::function<void(BookRow&)>& onRow);
  // True when building the lookup passed over rows of the article or category table because
  // the pages that hold them cannot be read.
  bool rowsLost() const { return rowsLost_; }

 private:
  bool execute(const char* sql);
  bool fillLookup();

  SqliteDB db_;
  bool lookupReady_ = false;
  bool rowsLost_ = false;
  SqliteDataset folderRows_;  // the lookup's rows of one folder, in rank order
  SqliteDataset article_;
  SqliteDataset articleHead_;  // title and extension alone, for an article that cannot be read
  SqliteDataset category_;
};

// The rowids of every row of `table` that can still be read, in order: the rows on pages that
// cannot be read are passed over.
std::vector<std::int64_t> readableRowids(const SqliteDB& db, std::string_view table);
