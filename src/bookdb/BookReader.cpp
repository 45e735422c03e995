// The book's tables as the export reads them, read on past pages that cannot be read.
#include "bookdb/BookReader.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

namespace {

constexpr std::int64_t kFirstRowid = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLastRowid = std::numeric_limits<std::int64_t>::max();

// The folders exported: neither deleted nor the trash.
constexpr std::string_view kLiveFolder = "Folder.deleted=0 AND Folder.id IS NOT 'PW_Trash'";
const std::string kFolderQuery = "SELECT name, id FROM Folder WHERE " + std::string(kLiveFolder);
const std::string kFolderByRowid = kFolderQuery + " AND rowid=?1";
// The articles the walk will meet, folder row by folder row.
const std::string kArticleCountQuery =
    "SELECT COUNT(*) FROM Folder JOIN Article ON Article.folderId = Folder.id WHERE " +
    std::string(kLiveFolder) + " AND Article.deleted=0";

// Nobody else opens the private copy: one lock held for the whole walk instead of one taken per
// query, and no waiting for the disk, since the copy is thrown away. The page cache holds the
// inner pages of a large book's table, which every row's lookup passes through. Cells are checked
// against their page as they are read, so that a damaged page is told as such.
constexpr const char* kWorkingCopySetup[] = {
    "PRAGMA locking_mode=EXCLUSIVE",
    "PRAGMA synchronous=OFF",
    "PRAGMA cache_size=-8192",
    "PRAGMA cell_size_check=ON",
};

// Each folder's rows in rank order, found without scanning the book once per folder. It holds
// only what sits at the start of each row, so that one damaged content page costs one article,
// and it lives in a database of its own, which a damaged book cannot spoil. Rows inserted in
// rowid order, articles first: rows of equal rank keep that order. The folder id takes the type
// of the book's own column, so that it compares as it does in the book; the rank takes none, so
// that ranks of any type sort as the book's own query sorts them.
constexpr const char* kLookupTable =
    "CREATE TEMP TABLE vellumix_rows AS SELECT folderId, +rank AS rank, 0 AS row, "
    "0 AS isCategory, 1 AS live FROM Article WHERE 0";
constexpr const char* kLookupIndex =
    "CREATE INDEX temp.vellumix_rows_by_folder ON vellumix_rows (folderId, rank)";
// The keys of a table's rows: all at once, and of one row. A row is copied by itself with an
// exact match: a range would also step to the next row, which may sit on a page that cannot be
// read. Deleted categories are kept too, so that the rows read can be counted against the book's
// index.
struct KeyCopy {
  const char* table;
  const char* allRows;
  const char* oneRow;
};
constexpr KeyCopy kArticleKeys = {
    "Article",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 0, 1 FROM Article "
    "ORDER BY rowid",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 0, 1 FROM Article "
    "WHERE rowid=?1"};
constexpr KeyCopy kCategoryKeys = {
    "Category",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 1, deleted=0 FROM Category "
    "ORDER BY rowid",
    "INSERT INTO temp.vellumix_rows SELECT folderId, rank, rowid, 1, deleted=0 FROM Category "
    "WHERE rowid=?1"};
constexpr const char* kRowsOfFolder =
    "SELECT row, isCategory FROM temp.vellumix_rows WHERE folderId=?1 AND live "
    "ORDER BY rank, rowid";
constexpr const char* kLookupRowsOfFolder =
    "SELECT COUNT(*) FROM temp.vellumix_rows WHERE folderId=?1 AND isCategory=?2";
// Whether an article is deleted is asked here rather than in the lookup: in a book the flag may
// come after the content, and a content page that cannot be read must cost that article only.
constexpr const char* kArticleByRowid =
    "SELECT title, extension, deleted=0, content FROM Article WHERE rowid=?1";
constexpr const char* kArticleHeadByRowid = "SELECT title, extension FROM Article WHERE rowid=?1";
constexpr const char* kCategoryByRowid = "SELECT name FROM Category WHERE rowid=?1";
// A folder's rows by the book's own query, for tables that cannot be read by rowid: a page that
// cannot be read ends the folder.
constexpr const char* kRowsOfFolderByQuery =
    "SELECT title, extension, rank, content, 0 AS isCategory FROM Article "
    "WHERE deleted=0 AND folderId=?1 "
    "UNION ALL SELECT name, '', rank, '', 1 FROM Category WHERE deleted=0 AND folderId=?1 "
    "ORDER BY rank";

// The same rows in the order the tables keep them, for a folder whose rows cannot all be read:
// each table is read up to its first page that cannot be, and the rows then sorted here. The
// rank's type and its value as a number sort as SQLite sorts the rank itself.
constexpr const char* kArticlesOfFolderUnsorted =
    "SELECT title, extension, rank, content, 0, typeof(rank), CAST(rank AS REAL) FROM Article "
    "WHERE deleted=0 AND folderId=?1";
constexpr const char* kCategoriesOfFolderUnsorted =
    "SELECT name, '', rank, '', 1, typeof(rank), CAST(rank AS REAL) FROM Category "
    "WHERE deleted=0 AND folderId=?1";

// A row's rank as SQLite orders it: NULL first, then numbers by value, then text and blobs by
// their bytes.
struct RankKey {
  int typeOrder = 0;
  double number = 0;
  std::string bytes;
  bool operator<(const RankKey& other) const {
    if (typeOrder != other.typeOrder) return typeOrder < other.typeOrder;
    if (typeOrder == 1) return number < other.number;
    return bytes < other.bytes;
  }
};

// The row a folder's query is on: its columns are title, extension, rank, content and whether it
// is a category.
BookRow rowOfFolderQuery(const SqliteDataset& query) {
  BookRow row;
  row.utf8Title = query.ReadBytes(1);
  if (query.ReadBytes(5) == "1") {
    row.kind = BookRow::Kind::Category;
    return row;
  }
  bool contentRead = false;
  row.isTxt = query.ReadBytes(2) == "txt";
  row.content = query.ReadBytes(4, &contentRead);
  if (!contentRead) row.kind = BookRow::Kind::UnreadableArticle;
  return row;
}

// What the book declares a table to be, from its schema.
enum class TableShape {
  NotATable,   // missing, a view, a virtual or a shadow table
  Table,       // an ordinary table that cannot be read by rowid
  RowidTable,  // an ordinary table whose rows are found by rowid
};

TableShape shapeOf(const SqliteDB& db, const char* table) {
  auto kind = db.Query("SELECT type, wr FROM pragma_table_list(?1) WHERE schema='main'");
  kind.Bind(1, table);
  if (!kind.MoveNext() || kind.ReadBytes(1) != "table") return TableShape::NotATable;
  if (kind.ReadBytes(2) != "0") return TableShape::Table;  // WITHOUT ROWID
  // A column of that name hides the rowid.
  auto shadowing =
      db.Query("SELECT 1 FROM pragma_table_xinfo(?1, 'main') WHERE name='rowid' COLLATE NOCASE");
  shadowing.Bind(1, table);
  if (shadowing.MoveNext() || shadowing.failed()) return TableShape::Table;
  return TableShape::RowidTable;
}

// The name of an index on `table` whose first column is folderId and that lists every row;
// empty when there is none.
std::string folderIndexOf(const SqliteDB& db, const char* table) {
  auto index = db.Query(
      "SELECT il.name FROM pragma_index_list(?1) AS il, pragma_index_info(il.name) AS ii "
      "WHERE ii.seqno=0 AND ii.name='folderId' COLLATE NOCASE AND il.partial=0 LIMIT 1");
  index.Bind(1, table);
  return index.MoveNext() ? index.ReadBytes(1) : std::string();
}

std::string quotedName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// Only these stop a read early; a page that cannot be read is passed over or told instead.
BookFault endingFault(const SqliteDataset& statement) {
  const BookFault fault = statement.fault();
  return fault == BookFault::WorkingSpace || fault == BookFault::Stopped ? fault : BookFault::None;
}

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

// One statement run to its end: what kept it from running, if anything did.
BookFault runToEnd(SqliteDataset& statement) {
  if (!statement.isReady()) return BookFault::Unreadable;
  while (statement.MoveNext()) {
  }
  return statement.fault();
}

struct KeyCopyResult {
  bool copied = false;    // the lookup holds the keys of every row that can be read
  bool rowsLost = false;  // rows were passed over on pages that cannot be read
  BookFault fault = BookFault::None;
};

// Copies the keys of every row that can be read into the lookup: all at once, or, when that
// fails part-way on a page that cannot be read, row by row over the rows that still can.
KeyCopyResult copyKeys(const SqliteDB& db, const KeyCopy& copy) {
  auto all = db.Query(copy.allRows);
  if (!all.isReady()) return {};
  const BookFault fault = runToEnd(all);
  if (fault == BookFault::None) return {true, false, BookFault::None};
  if (fault != BookFault::Unreadable) return {false, false, fault};
  auto one = db.Query(copy.oneRow);
  for (const std::int64_t rowid : readableRowids(db, copy.table)) {
    one.Bind(1, rowid);
    runToEnd(one);
    if (endingFault(one) != BookFault::None) return {false, true, endingFault(one)};
  }
  return {true, true, BookFault::None};
}

}  // namespace

std::vector<std::int64_t> readableRowids(const SqliteDB& db, std::string_view table) {
  std::vector<std::int64_t> rowids;
  auto scan =
      db.Query("SELECT rowid FROM " + std::string(table) + " WHERE rowid>=?1 ORDER BY rowid");
  const auto stopped = [&scan] { return endingFault(scan) != BookFault::None; };
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
    if (!scan.failed() || stopped()) break;
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
    for (std::uint64_t step = 1; !working && !stopped(); step *= 2) {
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
    while (distance(failing, *working) > 1 && !stopped()) {
      const std::int64_t middle = advance(failing, distance(failing, *working) / 2);
      if (canStartAt(middle))
        working = middle;
      else
        failing = middle;
    }
    if (stopped()) break;
    from = *working;
  }
  return rowids;
}

BookFault BookReader::execute(const char* sql) {
  auto statement = db_.Query(sql);
  return runToEnd(statement);
}

bool BookReader::open(std::wstring_view path) {
  if (!db_.Open(path)) return false;
  for (const char* setup : kWorkingCopySetup) execute(setup);
  const TableShape folder = shapeOf(db_, "Folder");
  const TableShape article = shapeOf(db_, "Article");
  const TableShape category = shapeOf(db_, "Category");
  if (folder == TableShape::NotATable || article == TableShape::NotATable ||
      category == TableShape::NotATable) {
    db_.Close();
    return false;
  }
  foldersByRowid_ = folder == TableShape::RowidTable;
  rowsByRowid_ = article == TableShape::RowidTable && category == TableShape::RowidTable;
  return true;
}

BookFault BookReader::buildLookup() {
  if (!rowsByRowid_) {
    folderQuery_ = db_.Query(kRowsOfFolderByQuery);
    return BookFault::None;
  }
  const BookFault fault = fillLookup();
  if (fault != BookFault::None) return fault;
  folderRows_ = db_.Query(kRowsOfFolder);
  article_ = db_.Query(kArticleByRowid);
  articleHead_ = db_.Query(kArticleHeadByRowid);
  category_ = db_.Query(kCategoryByRowid);
  return BookFault::None;
}

BookFault BookReader::fillLookup() {
  const BookFault made = execute(kLookupTable);
  if (made != BookFault::None) return made == BookFault::Unreadable ? BookFault::None : made;
  for (const auto& [copy, lost] : {std::pair{&kArticleKeys, &articleRowsLost_},
                                   std::pair{&kCategoryKeys, &categoryRowsLost_}}) {
    const KeyCopyResult result = copyKeys(db_, *copy);
    *lost = result.rowsLost;
    if (result.fault != BookFault::None) return result.fault;
    if (!result.copied) return BookFault::None;
  }
  // Without its index the lookup still answers, by a scan per folder.
  const BookFault indexed = execute(kLookupIndex);
  if (indexed == BookFault::Stopped) return indexed;
  lookupReady_ = true;
  return BookFault::None;
}

BookReader::Status BookReader::readFolders(std::vector<BookFolder>& folders) {
  folders.clear();
  auto rows = db_.Query(kFolderQuery);
  if (!rows.isReady()) return Status::Unreadable;
  while (rows.MoveNext()) folders.push_back({rows.ReadBytes(2), rows.ReadBytes(1)});
  if (!rows.failed()) return Status::Complete;
  if (endingFault(rows) != BookFault::None) return Status::Unreadable;

  // Part of the table cannot be read: take, in the same order, every folder that can.
  if (foldersByRowid_) {
    auto byRowid = db_.Query(kFolderByRowid);
    if (byRowid.isReady()) {
      folders.clear();
      for (const std::int64_t rowid : readableRowids(db_, "Folder")) {
        byRowid.Bind(1, rowid);
        if (byRowid.MoveNext()) folders.push_back({byRowid.ReadBytes(2), byRowid.ReadBytes(1)});
      }
    }
  }
  return folders.empty() ? Status::Unreadable : Status::Damaged;
}

int BookReader::countArticles() {
  auto count = db_.Query(kArticleCountQuery);
  if (!count.MoveNext()) return 0;
  return static_cast<int>(toInt64(count.ReadBytes(1)).value_or(0));
}

std::vector<LostRows> BookReader::lostRows(const std::vector<BookFolder>& folders) {
  if (!lookupReady_) return {};
  std::vector<LostRows> lost(folders.size());
  const struct {
    const char* table;
    bool rowsLost;
    int LostRows::*count;
    std::int64_t isCategory;
  } tables[] = {{"Article", articleRowsLost_, &LostRows::articles, 0},
                {"Category", categoryRowsLost_, &LostRows::categories, 1}};
  for (const auto& table : tables) {
    if (!table.rowsLost) continue;
    const std::string index = folderIndexOf(db_, table.table);
    if (index.empty()) return {};
    // Counting by folder id alone reads the index and never the table's own pages.
    auto listed = db_.Query("SELECT COUNT(*) FROM " + quotedName(table.table) + " INDEXED BY " +
                            quotedName(index) + " WHERE folderId=?1");
    auto read = db_.Query(kLookupRowsOfFolder);
    for (size_t f = 0; f < folders.size(); ++f) {
      listed.Bind(1, folders[f].utf8Id);
      read.Bind(1, folders[f].utf8Id);
      read.Bind(2, table.isCategory);
      if (!listed.MoveNext() || !read.MoveNext()) return {};
      const auto inIndex = toInt64(listed.ReadBytes(1));
      const auto inLookup = toInt64(read.ReadBytes(1));
      if (!inIndex || !inLookup) return {};
      if (*inIndex > *inLookup) lost[f].*table.count += static_cast<int>(*inIndex - *inLookup);
    }
  }
  return lost;
}

BookReader::FolderResult BookReader::readFolder(std::string_view utf8FolderId,
                                                const std::function<void(BookRow&)>& onRow) {
  return rowsByRowid_ ? readFolderByLookup(utf8FolderId, onRow)
                      : readFolderByQuery(utf8FolderId, onRow);
}

BookReader::FolderResult BookReader::readFolderByQuery(std::string_view utf8FolderId,
                                                       const std::function<void(BookRow&)>& onRow) {
  if (!folderQuery_.Bind(1, utf8FolderId)) return {false, BookFault::None};
  bool handedOver = false;
  while (folderQuery_.MoveNext()) {
    handedOver = true;
    BookRow row = rowOfFolderQuery(folderQuery_);
    onRow(row);
  }
  if (!folderQuery_.failed()) return {true, BookFault::None};
  if (endingFault(folderQuery_) != BookFault::None || handedOver)
    return {false, endingFault(folderQuery_)};
  return readFolderUnsorted(utf8FolderId, onRow);
}

BookReader::FolderResult BookReader::readFolderUnsorted(
    std::string_view utf8FolderId, const std::function<void(BookRow&)>& onRow) {
  struct RankedRow {
    RankKey rank;
    BookRow row;
  };
  std::vector<RankedRow> rows;
  for (const char* sql : {kArticlesOfFolderUnsorted, kCategoriesOfFolderUnsorted}) {
    auto scan = db_.Query(sql);
    scan.Bind(1, utf8FolderId);
    while (scan.MoveNext()) {
      RankedRow ranked;
      ranked.row = rowOfFolderQuery(scan);
      const std::string type = scan.ReadBytes(6);
      ranked.rank.typeOrder = type == "null" ? 0 : type == "text" ? 2 : type == "blob" ? 3 : 1;
      if (ranked.rank.typeOrder == 1) {
        const std::string number = scan.ReadBytes(7);
        std::from_chars(number.data(), number.data() + number.size(), ranked.rank.number);
      } else {
        ranked.rank.bytes = scan.ReadBytes(3);
      }
      rows.push_back(std::move(ranked));
    }
    if (endingFault(scan) != BookFault::None) return {false, endingFault(scan)};
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const RankedRow& a, const RankedRow& b) { return a.rank < b.rank; });
  for (RankedRow& ranked : rows) onRow(ranked.row);
  return {false, BookFault::None};
}

BookReader::FolderResult BookReader::readFolderByLookup(
    std::string_view utf8FolderId, const std::function<void(BookRow&)>& onRow) {
  if (!lookupReady_ || !folderRows_.Bind(1, utf8FolderId)) return {false, BookFault::None};
  bool complete = true;
  while (folderRows_.MoveNext()) {
    const auto rowid = toInt64(folderRows_.ReadBytes(1));
    const bool isCategory = folderRows_.ReadBytes(2) == "1";
    if (!rowid) continue;
    BookRow row;
    if (isCategory) {
      // Without its name, the articles after it have no place: the rest of the folder waits.
      category_.Bind(1, *rowid);
      if (!category_.MoveNext()) return {false, endingFault(category_)};
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
      if (endingFault(article_) != BookFault::None) return {false, endingFault(article_)};
      articleHead_.Bind(1, *rowid);
      if (!articleHead_.MoveNext()) {
        if (endingFault(articleHead_) != BookFault::None) return {false, endingFault(articleHead_)};
        complete = false;  // not even its title: the folder is told instead
        continue;
      }
      row.kind = BookRow::Kind::UnreadableArticle;
      row.utf8Title = articleHead_.ReadBytes(1);
      row.isTxt = articleHead_.ReadBytes(2) == "txt";
      onRow(row);
    }
  }
  return {complete && !folderRows_.failed(), endingFault(folderRows_)};
}
