// The book's tables as the export reads them, read on past pages that cannot be read.
#include "bookdb/BookReader.h"

#include <charconv>
#include <limits>
#include <optional>

namespace {

constexpr std::int64_t kFirstRowid = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLastRowid = std::numeric_limits<std::int64_t>::max();

constexpr const char* kFolderQuery =
    "SELECT name, id FROM Folder WHERE deleted=0 AND id IS NOT 'PW_Trash'";
constexpr const char* kFolderByRowid =
    "SELECT name, id FROM Folder WHERE deleted=0 AND id IS NOT 'PW_Trash' AND rowid=?1";
// The articles the walk will meet, folder row by folder row.
constexpr const char* kArticleCountQuery =
    "SELECT COUNT(*) FROM Folder JOIN Article ON Article.folderId = Folder.id "
    "WHERE Folder.deleted=0 AND Folder.id IS NOT 'PW_Trash' AND Article.deleted=0";

// Nobody else opens the private copy: one lock held for the whole walk instead of one taken per
// query, and no waiting for the disk, since the copy is thrown away. The page cache holds the
// inner pages of a large book's table, which every row's lookup passes through.
constexpr const char* kWorkingCopySetup[] = {
    "PRAGMA locking_mode=EXCLUSIVE",
    "PRAGMA synchronous=OFF",
    "PRAGMA cache_size=-8192",
};

// Each folder's rows in rank order, found without scanning the book once per folder. It holds
// only what sits at the start of each row, so that one damaged content page costs one article,
// and it lives in a database of its own, which a damaged book cannot spoil. Rows inserted in
// rowid order, articles first: rows of equal rank keep that order. Its columns take the types
// of the book's own, so that a folder id compares as it does in the book.
constexpr const char* kLookupTable =
    "CREATE TEMP TABLE vellumix_rows AS SELECT folderId, rank, rowid AS row, 0 AS isCategory "
    "FROM Article WHERE 0";
constexpr const char* kLookupIndex =
    "CREATE INDEX temp.vellumix_rows_by_folder ON vellumix_rows (folderId, rank)";
// The keys of a table's rows: all at once, and of one row. A row is copied by itself with an
// exact match: a range would also step to the next row, which may sit on a page that cannot be
// read.
struct KeyCopy {
  const char* table;
  const char* allRows;
  const char* oneRow;
};
constexpr KeyCopy kArticleKeys = {
    "Article",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 0 FROM Article ORDER BY rowid",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 0 FROM Article WHERE rowid=?1"};
constexpr KeyCopy kCategoryKeys = {
    "Category",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 1 FROM Category "
    "WHERE deleted=0 ORDER BY rowid",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 1 FROM Category "
    "WHERE deleted=0 AND rowid=?1"};
constexpr const char* kRowsOfFolder =
    "SELECT row, isCategory FROM temp.vellumix_rows WHERE folderId=?1 ORDER BY rank, rowid";
// Whether an article is deleted is asked here rather than in the lookup: in a book the flag may
// come after the content, and a content page that cannot be read must cost that article only.
constexpr const char* kArticleByRowid =
    "SELECT title, extension, deleted=0, content FROM Article WHERE rowid=?1";
constexpr const char* kArticleHeadByRowid = "SELECT title, extension FROM Article WHERE rowid=?1";
constexpr const char* kCategoryByRowid = "SELECT name FROM Category WHERE rowid=?1";

std::optional<std::int64_t> toInt64(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// How far `to` lies beyond `from`, and a rowid that far beyond: rowids span the whole 64-bit
// range, whose width no signed difference holds.
std::uint64_t distance(std::int64_t from, std::int64_t to) {
  return static_cast<std::uint64_t>(to) - static_cast<std::uint64_t>(from);
}

std::int64_t advance(std::int64_t from, std::uint64_t by) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(from) + by);
}

// One statement run to its end: true when it ran without an error.
bool runToEnd(SqliteDataset& statement) {
  while (statement.MoveNext()) {
  }
  return statement.isReady() && !statement.failed();
}

enum class KeyCopyResult { AllRows, RowsLost, Impossible };

// Copies the keys of every row that can be read into the lookup: all at once, or, when that
// fails part-way, row by row over the rows that can still be read.
KeyCopyResult copyKeys(const SqliteDB& db, const KeyCopy& copy) {
  auto all = db.Query(copy.allRows);
  if (runToEnd(all)) return KeyCopyResult::AllRows;
  if (!all.isReady()) return KeyCopyResult::Impossible;
  auto one = db.Query(copy.oneRow);
  for (const std::int64_t rowid : readableRowids(db, copy.table)) {
    one.Bind(1, rowid);
    runToEnd(one);
  }
  return KeyCopyResult::RowsLost;
}

}  // namespace

std::vector<std::int64_t> readableRowids(const SqliteDB& db, std::string_view table) {
  std::vector<std::int64_t> rowids;
  auto scan =
      db.Query("SELECT rowid FROM " + std::string(table) + " WHERE rowid>=?1 ORDER BY rowid");
  // Reading can start at `from` when seeking there finds a row or the end without an error.
  const auto canStartAt = [&scan](std::int64_t from) {
    scan.Bind(1, from);
    return scan.MoveNext() || !scan.failed();
  };
  std::int64_t from = kFirstRowid;
  while (scan.isReady()) {
    scan.Bind(1, from);
    while (scan.MoveNext()) {
      const auto rowid = toInt64(scan.ReadBytes(1));
      if (rowid) rowids.push_back(*rowid);
    }
    if (!scan.failed()) break;
    // The page after the last row read cannot be read. Seeking beyond it lands on the next page
    // that can: find the first start that does, doubling the step, then halving it back.
    const bool readSome = !rowids.empty() && rowids.back() >= from;
    if (readSome && rowids.back() == kLastRowid) break;
    std::int64_t failing = readSome ? rowids.back() + 1 : from;
    if (canStartAt(failing)) {
      // A fresh seek gets past what the scan could not: go on from there, always forward.
      if (readSome) {
        from = failing;
        continue;
      }
      if (failing == kLastRowid) break;
      from = failing + 1;
      continue;
    }
    std::optional<std::int64_t> working;
    for (std::uint64_t step = 1; !working; step *= 2) {
      const std::int64_t probe =
          step >= distance(failing, kLastRowid) ? kLastRowid : advance(failing, step);
      if (canStartAt(probe)) {
        working = probe;
      } else if (probe == kLastRowid) {
        break;
      } else {
        failing = probe;
      }
    }
    if (!working) break;
    while (distance(failing, *working) > 1) {
      const std::int64_t middle = advance(failing, distance(failing, *working) / 2);
      if (canStartAt(middle))
        working = middle;
      else
        failing = middle;
    }
    from = *working;
  }
  return rowids;
}

bool BookReader::execute(const char* sql) {
  auto statement = db_.Query(sql);
  return runToEnd(statement);
}

bool BookReader::open(std::wstring_view path) {
  if (!db_.Open(path)) return false;
  for (const char* setup : kWorkingCopySetup) execute(setup);
  return true;
}

void BookReader::buildLookup() {
  lookupReady_ = fillLookup();
  // Prepared after the lookup's tables: a prepared statement does not outlive a schema change.
  folderRows_ = db_.Query(kRowsOfFolder);
  article_ = db_.Query(kArticleByRowid);
  articleHead_ = db_.Query(kArticleHeadByRowid);
  category_ = db_.Query(kCategoryByRowid);
}

bool BookReader::fillLookup() {
  if (!execute(kLookupTable)) return false;
  for (const KeyCopy& copy : {kArticleKeys, kCategoryKeys}) {
    const KeyCopyResult result = copyKeys(db_, copy);
    if (result == KeyCopyResult::Impossible) return false;
    if (result == KeyCopyResult::RowsLost) rowsLost_ = true;
  }
  // Without its index the lookup still answers, by a scan per folder.
  execute(kLookupIndex);
  return true;
}

BookReader::Status BookReader::readFolders(std::vector<BookFolder>& folders) {
  folders.clear();
  auto rows = db_.Query(kFolderQuery);
  if (!rows.isReady()) return Status::Unreadable;
  while (rows.MoveNext()) folders.push_back({rows.ReadBytes(2), rows.ReadBytes(1)});
  if (!rows.failed()) return Status::Complete;

  // Part of the table cannot be read: take, in the same order, every folder that can.
  auto byRowid = db_.Query(kFolderByRowid);
  if (byRowid.isReady()) {
    folders.clear();
    for (const std::int64_t rowid : readableRowids(db_, "Folder")) {
      byRowid.Bind(1, rowid);
      if (byRowid.MoveNext()) folders.push_back({byRowid.ReadBytes(2), byRowid.ReadBytes(1)});
    }
  }
  return folders.empty() ? Status::Unreadable : Status::Damaged;
}

int BookReader::countArticles() {
  auto count = db_.Query(kArticleCountQuery);
  if (!count.MoveNext()) return 0;
  return static_cast<int>(toInt64(count.ReadBytes(1)).value_or(0));
}

bool BookReader::readFolder(std::string_view utf8FolderId,
                            const std::function<void(BookRow&)>& onRow) {
  if (!lookupReady_ || !folderRows_.Bind(1, utf8FolderId)) return false;
  bool complete = true;
  while (folderRows_.MoveNext()) {
    const auto rowid = toInt64(folderRows_.ReadBytes(1));
    const bool isCategory = folderRows_.ReadBytes(2) == "1";
    if (!rowid) continue;
    BookRow row;
    if (isCategory) {
      // Without its name, the articles after it have no place: the rest of the folder waits.
      category_.Bind(1, *rowid);
      if (!category_.MoveNext()) return false;
      row.kind = BookRow::Kind::Category;
      row.utf8Title = category_.ReadBytes(1);
      onRow(row);
      continue;
    }
    article_.Bind(1, *rowid);
    if (article_.MoveNext()) {
      if (article_.ReadBytes(3) != "1") continue;  // deleted
      bool contentRead = false;
      row.utf8Title = article_.ReadBytes(1);
      row.isTxt = article_.ReadBytes(2) == "txt";
      row.content = article_.ReadBytes(4, &contentRead);
      row.kind = contentRead ? BookRow::Kind::Article : BookRow::Kind::UnreadableArticle;
      if (!contentRead) row.content.clear();
      onRow(row);
    } else if (article_.failed()) {
      articleHead_.Bind(1, *rowid);
      if (!articleHead_.MoveNext()) {
        complete = false;  // not even its title: the folder is told instead
        continue;
      }
      row.kind = BookRow::Kind::UnreadableArticle;
      row.utf8Title = articleHead_.ReadBytes(1);
      row.isTxt = articleHead_.ReadBytes(2) == "txt";
      onRow(row);
    }
  }
  return complete && !folderRows_.failed();
}
