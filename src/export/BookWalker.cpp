// The book walk: one book database becomes a folder tree of article files.
#include "export/BookWalker.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "bookdb/BookReader.h"
#include "export/BookCopy.h"
#include "export/BookRowStream.h"
#include "export/ChapterList.h"
#include "export/NameRule.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

// How many directories are made in a row before the window is let answer.
constexpr size_t kDirectoriesBetweenPumps = 64;

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

}  // namespace

void BookWalker::run(std::wstring_view databasePath, BookFile file) {
  const ExportOptions options = ui_.options();
  // The user's own book is never opened for writing: the walk reads a copy of it, made while
  // the user chooses the folder. Reading starts meanwhile too, as soon as the book is there:
  // by the OK, the first files' rows are waiting.
  std::optional<BookCopy> copy;
  if (file == BookFile::UsersOwn) copy.emplace(databasePath);
  std::optional<BookRowStream> rows;
  if (copy)
    rows.emplace(copy->path(), copy->copied());
  else
    rows.emplace(std::wstring(databasePath));
  const auto exportFolder = ui_.chooseExportFolder();
  if (!exportFolder) return;
  if (ui_.stopRequested()) {
    ui_.reportCancelled(0, 0);
    return;
  }
  // The book is let go and its copy goes before the notice, which stays until the user closes
  // it.
  const auto letGoOfTheBook = [&] {
    rows.reset();
    copy.reset();
  };
  failures_ = ExportFailures();
  cancelled_ = false;
  written_ = 0;
  total_ = 0;
  std::optional<ExportStop> stop;
  if (exportFolder->empty() || !isDirectoryWide(*exportFolder)) {
    letGoOfTheBook();
    stop = ExportStop::FolderMissing;
  } else {
    const BusyScope busy(ui_);
    stop = walk(*rows, *exportFolder, options);
    letGoOfTheBook();
  }
  if (stop)
    ui_.reportStopped(*stop);
  else if (cancelled_)
    ui_.reportCancelled(written_, total_);
  else
    ui_.reportFinished(failures_);
}

std::optional<ExportStop> BookWalker::walk(BookRowStream& rows, const std::wstring& exportFolder,
                                           const ExportOptions& options) {
  // A stop is looked at whenever the walk waits for the reader and before each article.
  const auto keepWaiting = [this] {
    ui_.keepResponsive();
    return !ui_.stopRequested();
  };
  const auto stopped = [this] {
    cancelled_ = ui_.stopRequested();
    return cancelled_;
  };
  const BookRowStream::Contents* contents = rows.contents(keepWaiting);
  if (contents == nullptr) {
    stopped();
    return std::nullopt;
  }
  const BookRowStream::Contents& book = *contents;
  if (book.status == BookReader::Status::Unreadable)
    return book.fault == BookFault::WorkingSpace ? ExportStop::NoWorkingSpace
                                                 : ExportStop::UnreadableBook;
  const std::vector<BookFolder>& folders = book.folders;

  ChapterList chapterList;
  if (options.exportChapterList && !chapterList.open(exportFolder)) failures_.addName("toc.html");
  // A quote in a folder id marks a book that was tampered with: nothing is exported from it.
  for (const auto& folder : folders)
    if (folder.utf8Id.find('\'') != std::string::npos) return ExportStop::UnsafeId;

  // Every folder's directory is made before the first article, while the reader ends its lookup
  // and count if the choice was quicker: making them one after another is faster than making
  // each between the files of the folders before it (a tenth of the time of a book of 4,000
  // small folders, under Wine).
  struct FolderDirectory {
    std::wstring path;
    bool made;
  };
  std::vector<FolderDirectory> folderDirectories;
  folderDirectories.reserve(folders.size());
  for (const auto& folder : folders) {
    const std::wstring path =
        joinPath(exportFolder, sanitizeName(utf8ToWide(folder.utf8Name), NameKind::Directory));
    folderDirectories.push_back({path, createDirectoryTree(path)});
    if (folderDirectories.size() % kDirectoriesBetweenPumps == 0 && !keepWaiting()) {
      stopped();
      return std::nullopt;
    }
  }
  // The directories' failures are named with their folders, after the damaged book.
  const std::optional<BookRowStream::Overview> overviewRead = rows.overview(keepWaiting);
  if (!overviewRead) {
    stopped();
    return std::nullopt;
  }
  const BookRowStream::Overview& overview = *overviewRead;
  if (overview.fault == BookFault::WorkingSpace) return ExportStop::NoWorkingSpace;
  if (book.status == BookReader::Status::Damaged || overview.rowsLostUnplaced)
    failures_.addDamagedBook();
  const int total = overview.articleCount;
  total_ = total;
  int done = 0;
  ui_.showProgress(done, total);
  for (size_t f = 0; f < folders.size(); ++f) {
    const BookFolder& folder = folders[f];
    const std::wstring& folderDirectory = folderDirectories[f].path;
    if (!folderDirectories[f].made) failures_.addName(folder.utf8Name);
    if (!overview.lostRows.empty() && overview.lostRows[f].any())
      failures_.addLostRows(folder.utf8Name, overview.lostRows[f].articles,
                            overview.lostRows[f].categories);
    chapterList.folderHeading(folder.utf8Name);

    std::wstring directory = folderDirectory;
    int counter = 0;
    for (;;) {
      // Every article written so far is whole; toc.html lists just those.
      const std::optional<BookRowStream::Item> next =
          stopped() ? std::nullopt : rows.next(keepWaiting);
      if (!next) {
        stopped();
        chapterList.close();
        total_ = std::max(done, total);
        return std::nullopt;
      }
      const BookRowStream::Item& item = *next;
      if (item.endOfFolder) {
        if (item.fault == BookFault::WorkingSpace) return ExportStop::NoWorkingSpace;
        if (!item.folderComplete) failures_.addName(folder.utf8Name);
        break;
      }
      const BookRow& row = item.row;
      if (row.kind == BookRow::Kind::Category) {
        directory =
            joinPath(folderDirectory, sanitizeName(utf8ToWide(row.utf8Title), NameKind::Directory));
        if (!createDirectoryTree(directory)) failures_.addName(row.utf8Title);
        chapterList.categoryHeading(row.utf8Title);
        counter = 0;
        continue;
      }
      chapterList.articleLine(row.isTxt, row.utf8Title);
      std::wstring base = sanitizeName(utf8ToWide(row.utf8Title), NameKind::FileBase);
      if (options.numberFileNames) base = std::to_wstring(++counter) + L". " + base;
      // An article whose content cannot be read is named, never written empty.
      if (row.kind == BookRow::Kind::UnreadableArticle ||
          !writeArticle(directory, base, row.isTxt ? L".txt" : L".md", row.content))
        failures_.addName(row.utf8Title);
      else
        ++written_;
      ui_.showProgress(++done, std::max(done, total));
    }
  }
  if (!chapterList.close()) failures_.addName("toc.html");
  return std::nullopt;
}
