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

#include "bookdb/BookFault.h"
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

// Rows of one folder that the book's index on folderId lists but whose pages cannot be read.
// Some may have been deleted rows, which would not have been exported: these are at most.
struct LostRows {
  int articles = 0;
  int categories = 0;
  bool any() const { return articles > 0 || categories > 0; }
};

class BookReader {
 public:
  // Opens a private copy of a book: the reader locks it for as long as it lives. False when it
  // cannot be opened at all, or when Folder, Article or Category is not an ordinary table of
  // the book (missing, a view, a virtual table): such a book cannot be read faithfully.
  bool open(std::wstring_view path);
  // Once `stop` holds, every query ends quickly and nothing more is read.
  void stopWhen(const std::atomic<bool>& stop) { db_.stopWhen(stop); }
  // Adds to the copy the lookup of each folder's rows that readFolder() reads by: once, before
  // the first readFolder(). It reads the start of every row: a while on a large book.
  // WorkingSpace when the lookup cannot be written; a lookup that a damaged book keeps from
  // being built leaves each folder's rows unread instead.
  BookFault buildLookup();

  enum class Status {
    Complete,
    Damaged,     // some rows could not be read; the others are there
    Unreadable,  // nothing could be read
  };
  // The folders that are neither deleted nor the trash, in book order.
  Status readFolders(std::vector<BookFolder>& folders);
  // The live articles of the live folders; 0 when they cannot be counted.
  int countArticles();

  struct FolderResult {
    bool complete = true;  // false when some rows were not read at all (their titles unknown)
    BookFault fault = BookFault::None;  // why reading stopped early, if it did
  };
  // Hands the rows of one folder to `onRow` in rank order.
  FolderResult readFolder(std::string_view utf8FolderId,
                          const std::function<void(BookRow&)>& onRow);
  // True when building the lookup passed over rows of the article or category table because
  // the pages that hold them cannot be read.
  bool rowsLost() const { return articleRowsLost_ || categoryRowsLost_; }
  // With rowsLost(): for each of `folders`, the rows passed over, counted in the book's indexes
  // on folderId. Empty when no such index can tell (none exists, or it is damaged too).
  std::vector<LostRows> lostRows(const std::vector<BookFolder>& folders);

 private:
  BookFault execute(const char* sql);
  BookFault fillLookup();
  FolderResult readFolderByLookup(std::string_view utf8FolderId,
                                  const std::function<void(BookRow&)>& onRow);
  FolderResult readFolderByQuery(std::string_view utf8FolderId,
                                 const std::function<void(BookRow&)>& onRow);
  // For a folder whose query fails before its first row: the rows that can be read, sorted here.
  FolderResult readFolderUnsorted(std::string_view utf8FolderId,
                                  const std::function<void(BookRow&)>& onRow);

  SqliteDB db_;
  // Which tables can be read row by row through their rowids, and so past a damaged page.
  bool foldersByRowid_ = false;
  bool rowsByRowid_ = false;  // both Article and Category
  bool lookupReady_ = false;
  bool articleRowsLost_ = false;
  bool categoryRowsLost_ = false;
  SqliteDataset folderRows_;  // the lookup's rows of one folder, in rank order
  SqliteDataset article_;
  SqliteDataset articleHead_;  // title and extension alone, for an article that cannot be read
  SqliteDataset category_;
  SqliteDataset folderQuery_;  // a folder's rows by the book's own query, without the lookup
};

// The rowids of every row of `table` that can still be read, in order: the rows on pages that
// cannot be read are passed over. A stop ends it with what it has.
std::vector<std::int64_t> readableRowids(const SqliteDB& db, std::string_view table);
