// The book walk: one book database becomes a folder tree of article files.
#include "export/BookWalker.h"

#include <windows.h>

#include <algorithm>

#include "bookdb/BookReader.h"
#include "export/ChapterList.h"
#include "export/NameRule.h"
#include "export/UserTexts.h"
#include "win/TemporaryFolder.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

constexpr size_t kListedFailures = 5;

// Copies the book and the journal or write-ahead log that may hold its latest changes.
bool copyBook(const std::wstring& source, const std::wstring& target) {
  if (!copyFileWide(source, target, true)) return false;
  // The copy of a read-only book must take the lookup.
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

}  // namespace

void BookWalker::run(std::wstring_view databasePath) {
  const ExportOptions options = ui_.options();
  const auto exportFolder = ui_.chooseExportFolder();
  if (!exportFolder) return;
  if (exportFolder->empty() || !isDirectoryWide(*exportFolder)) {
    ui_.showNotice({texts::kFolderMissing, texts::kErrorTitle, MB_ICONERROR});
    return;
  }
  failureCount_ = 0;
  failedItems_.clear();
  switch (walk(std::wstring(databasePath), *exportFolder, options)) {
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

BookWalker::Outcome BookWalker::walk(const std::wstring& databasePath,
                                     const std::wstring& exportFolder,
                                     const ExportOptions& options) {
  const BusyScope busy(ui_);
  const TemporaryFolder work;
  const std::wstring copy = work.file(L"tmp.db");
  BookReader book;
  if (!work.created() || !copyBook(databasePath, copy) || !book.open(copy))
    return Outcome::UnreadableBook;
  std::vector<BookFolder> folders;
  const BookReader::Status folderStatus = book.readFolders(folders);
  if (folderStatus == BookReader::Status::Unreadable) return Outcome::UnreadableBook;

  ChapterList chapterList;
  if (options.exportChapterList && !chapterList.open(exportFolder)) noteFailure("toc.html");
  // A quote in a folder id marks a book that was tampered with: nothing is exported from it.
  for (const auto& folder : folders)
    if (folder.utf8Id.find('\'') != std::string::npos) return Outcome::UnsafeId;
  if (folderStatus == BookReader::Status::Damaged || book.rowsLost()) noteDamagedBook();

  const int total = book.countArticles();
  int done = 0;
  ui_.showProgress(done, total);

  for (const auto& folder : folders) {
    const std::wstring folderDirectory =
        joinPath(exportFolder, sanitizeName(utf8ToWide(folder.utf8Name), NameKind::Directory));
    if (!createDirectoryTree(folderDirectory)) noteFailure(folder.utf8Name);
    chapterList.folderHeading(folder.utf8Name);

    std::wstring directory = folderDirectory;
    int counter = 0;
    const bool complete = book.readFolder(folder.utf8Id, [&](BookRow& row) {
      if (row.kind == BookRow::Kind::Category) {
        directory =
            joinPath(folderDirectory, sanitizeName(utf8ToWide(row.utf8Title), NameKind::Directory));
        if (!createDirectoryTree(directory)) noteFailure(row.utf8Title);
        chapterList.categoryHeading(row.utf8Title);
        counter = 0;
        return;
      }
      chapterList.articleLine(row.isTxt, row.utf8Title);
      std::wstring base = sanitizeName(utf8ToWide(row.utf8Title), NameKind::FileBase);
      if (options.numberFileNames) base = std::to_wstring(++counter) + L". " + base;
      // An article whose content cannot be read is named, never written empty.
      if (row.kind == BookRow::Kind::UnreadableArticle ||
          !writeArticle(directory, base, row.isTxt ? L".txt" : L".md", row.content))
        noteFailure(row.utf8Title);
      ui_.showProgress(++done, std::max(done, total));
    });
    if (!complete) noteFailure(folder.utf8Name);
  }
  if (!chapterList.close()) noteFailure("toc.html");
  return Outcome::Finished;
}

void BookWalker::noteFailure(std::string_view utf8Name) {
  ++failureCount_;
  if (failedItems_.size() < kListedFailures) failedItems_.push_back({std::string(utf8Name), false});
}

void BookWalker::noteDamagedBook() {
  ++failureCount_;
  if (failedItems_.size() < kListedFailures) failedItems_.push_back({std::string(), true});
}

Notice BookWalker::finishedNotice() const {
  if (failureCount_ == 0) return {texts::kDone, texts::kInfoTitle, MB_ICONINFORMATION};
  std::wstring text =
      texts::kDoneWithFailures + std::to_wstring(failureCount_) + texts::kFailuresSuffix;
  for (const auto& item : failedItems_)
    text += L"\r\n" +
            (item.damagedBook ? std::wstring(texts::kDamagedBook) : utf8ToWide(item.utf8Name));
  if (failureCount_ > static_cast<int>(kListedFailures))
    text += std::wstring(L"\r\n") + texts::kMoreFailures;
  return {text, texts::kErrorTitle, MB_ICONERROR};
}
