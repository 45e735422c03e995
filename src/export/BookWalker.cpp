// The book walk: one book database becomes a folder tree of article files.
#include "export/BookWalker.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "bookdb/SqliteDB.h"
#include "bookdb/TextConversion.h"
#include "export/ChapterList.h"
#include "export/NameRule.h"
#include "export/TempFolderName.h"
#include "export/UserTexts.h"
#include "export/WideFileOps.h"

namespace {

constexpr size_t kListedFailures = 5;

constexpr const char* kFolderQuery =
    "SELECT name, id FROM Folder WHERE deleted=0 AND id IS NOT 'PW_Trash'";
// The articles the walk will meet, folder row by folder row.
constexpr const char* kArticleCountQuery =
    "SELECT COUNT(*) FROM Folder JOIN Article ON Article.folderId = Folder.id "
    "WHERE Folder.deleted=0 AND Folder.id IS NOT 'PW_Trash' AND Article.deleted=0";
constexpr int kFolderName = 1;
constexpr int kFolderId = 2;

// Nobody else opens the private copy: one lock held for the whole walk instead of one taken per
// query, and no waiting for the disk, since the copy is thrown away. The page cache holds the
// inner pages of a large book's table, which every folder's lookup passes through.
// Looking up a folder's rows must not scan the whole book once per folder; with the indexes,
// each folder's articles and categories also come in rank order without sorting their contents.
constexpr const char* kWorkingCopySetup[] = {
    "PRAGMA locking_mode=EXCLUSIVE",
    "PRAGMA synchronous=OFF",
    "PRAGMA cache_size=-8192",
    "CREATE INDEX IF NOT EXISTS vellumix_article_by_folder ON Article (folderId, rank)",
    "CREATE INDEX IF NOT EXISTS vellumix_category_by_folder ON Category (folderId, rank)",
};

// Rows of both tables, told apart by a column of their own: an article's extension may be any
// text, "cat" included.
std::string articleQuery(const std::string& ansiId) {
  return "SELECT title, extension, rank, content, 0 AS isCategory FROM Article WHERE deleted=0 "
         "AND folderId='" +
         ansiId +
         "' UNION ALL SELECT name AS title, 'cat' AS extension, rank, '' AS content, "
         "1 AS isCategory FROM Category WHERE deleted=0 AND folderId='" +
         ansiId + "' ORDER BY rank";
}

// Columns of the article query.
constexpr int kRowTitle = 1;
constexpr int kRowExtension = 2;
constexpr int kRowContent = 4;
constexpr int kRowIsCategory = 5;

// The private folder that holds the working copy of the book; removed with it.
class WorkingFolder {
 public:
  WorkingFolder() : ansiPath_(makeTempFolderName()), created_(makeWorkingFolder(ansiPath_)) {}
  ~WorkingFolder() { removeDirectoryTree(ansiToWide(ansiPath_)); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

  bool created() const { return created_; }
  std::string ansiFile(std::string_view name) const { return ansiPath_ + "\\" + std::string(name); }

 private:
  std::string ansiPath_;
  bool created_;
};

// Copies the book and the journal or write-ahead log that may hold its latest changes.
bool copyBook(std::string_view ansiSource, const std::string& ansiTarget) {
  const std::wstring source = ansiToWide(ansiSource);
  const std::wstring target = ansiToWide(ansiTarget);
  if (!copyFileWide(source, target, true)) return false;
  // The copy of a read-only book must take the lookup indexes.
  SetFileAttributesW(longPathForm(target).c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const wchar_t* companion : {L"-wal", L"-journal"}) {
    if (fileExistsWide(source + companion) &&
        !copyFileWide(source + companion, target + companion, true))
      return false;
  }
  return true;
}

// Writes an article under `base` + `suffix`, or under `base` + "_n" + `suffix` for the first n
// that no file or directory has yet.
bool writeArticle(const std::wstring& directory, const std::wstring& base, std::wstring_view suffix,
                  std::string_view content) {
  for (int n = -1;; ++n) {
    const std::wstring name =
        guardDeviceName(base + (n < 0 ? L"" : L"_" + std::to_wstring(n)) + std::wstring(suffix));
    switch (writeNewFile(joinPath(directory, name), content)) {
      case NewFileResult::Written:
        return true;
      case NewFileResult::Failed:
        return false;
      case NewFileResult::AlreadyExists:
        break;
    }
  }
}

struct FolderRow {
  std::string utf8Name;
  std::string utf8Id;
};

}  // namespace

void BookWalker::run(std::string_view ansiDatabasePath) {
  const ExportOptions options = ui_.options();
  const auto exportFolder = ui_.chooseExportFolder();
  if (!exportFolder) return;
  if (exportFolder->empty() || !isDirectoryWide(*exportFolder)) {
    ui_.showNotice({texts::kFolderMissing, texts::kErrorTitle, MB_ICONERROR});
    return;
  }
  failureCount_ = 0;
  failedNames_.clear();
  switch (walk(ansiDatabasePath, *exportFolder, options)) {
    case Outcome::UnreadableBook:
      ui_.showNotice({texts::kUnreadableBook, texts::kErrorTitle, MB_ICONERROR});
      break;
    case Outcome::UnsafeId:
      ui_.showNotice({texts::kUnsafeId, texts::kGuardTitle, MB_ICONERROR});
      break;
    case Outcome::Finished:
      ui_.showNotice(finishedNotice());
      break;
  }
}

BookWalker::Outcome BookWalker::walk(std::string_view ansiDatabasePath,
                                     const std::wstring& exportFolder,
                                     const ExportOptions& options) {
  const BusyScope busy(ui_);
  const WorkingFolder work;
  const std::string ansiCopy = work.ansiFile("tmp.db");
  SqliteDB db;
  if (!work.created() || !copyBook(ansiDatabasePath, ansiCopy) || !db.Open(ansiCopy))
    return Outcome::UnreadableBook;
  for (const char* setup : kWorkingCopySetup) db.Query(setup).MoveNext();
  auto folderRows = db.Query(kFolderQuery);
  if (!folderRows.isReady()) return Outcome::UnreadableBook;

  ChapterList chapterList;
  if (options.exportChapterList && !chapterList.open(exportFolder)) noteFailure("toc.html");

  std::vector<FolderRow> folders;
  while (folderRows.MoveNext()) {
    FolderRow row{folderRows.ReadBytes(kFolderName), folderRows.ReadBytes(kFolderId)};
    // The id is spliced into the article query below.
    if (row.utf8Id.find('\'') != std::string::npos) return Outcome::UnsafeId;
    folders.push_back(std::move(row));
  }
  folderRows.Close();

  auto countRows = db.Query(kArticleCountQuery);
  const int total = countRows.MoveNext() ? std::atoi(countRows.ReadBytes(1).c_str()) : 0;
  countRows.Close();
  int done = 0;
  ui_.showProgress(done, total);

  for (const auto& folder : folders) {
    const std::wstring folderDirectory =
        joinPath(exportFolder, sanitizeName(utf8ToWide(folder.utf8Name), NameKind::Directory));
    if (!createDirectoryTree(folderDirectory)) noteFailure(folder.utf8Name);
    chapterList.folderHeading(folder.utf8Name);

    const auto ansiId = utf8ToAnsi(folder.utf8Id);
    auto rows = ansiId ? db.Query(articleQuery(*ansiId)) : SqliteDataset();
    if (!rows.isReady()) {
      noteFailure(folder.utf8Name);
      continue;
    }
    std::wstring directory = folderDirectory;
    int counter = 0;
    while (rows.MoveNext()) {
      const std::string utf8Title = rows.ReadBytes(kRowTitle);
      if (rows.ReadBytes(kRowIsCategory) == "1") {
        directory =
            joinPath(folderDirectory, sanitizeName(utf8ToWide(utf8Title), NameKind::Directory));
        if (!createDirectoryTree(directory)) noteFailure(utf8Title);
        chapterList.categoryHeading(utf8Title);
        counter = 0;
        continue;
      }
      const bool isTxt = rows.ReadBytes(kRowExtension) == "txt";
      chapterList.articleLine(isTxt, utf8Title);
      std::wstring base = sanitizeName(utf8ToWide(utf8Title), NameKind::FileBase);
      if (options.numberFileNames) base = std::to_wstring(++counter) + L". " + base;
      if (!writeArticle(directory, base, isTxt ? L".txt" : L".md", rows.ReadBytes(kRowContent)))
        noteFailure(utf8Title);
      ui_.showProgress(++done, std::max(done, total));
    }
  }
  if (!chapterList.close()) noteFailure("toc.html");
  return Outcome::Finished;
}

void BookWalker::noteFailure(std::string_view utf8Name) {
  ++failureCount_;
  if (failedNames_.size() < kListedFailures) failedNames_.emplace_back(utf8Name);
}

Notice BookWalker::finishedNotice() const {
  if (failureCount_ == 0) return {texts::kDone, texts::kInfoTitle, MB_ICONINFORMATION};
  std::string text = std::string(texts::kDoneWithFailures) + std::to_string(failureCount_) +
                     texts::kFailuresSuffix;
  for (const auto& name : failedNames_) text += "\r\n" + wideToAnsiForDisplay(utf8ToWide(name));
  if (failureCount_ > static_cast<int>(kListedFailures))
    text += std::string("\r\n") + texts::kMoreFailures;
  return {text, texts::kErrorTitle, MB_ICONERROR};
}
