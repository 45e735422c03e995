// What the export engine needs from the user interface, and what it tells it: the engine says
// what happened; the app, which implements this with the real window, words and shows it. The
// tests implement it with a recorder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportOptions {
  bool exportChapterList = false;  // also write toc.html
  bool numberFileNames = false;    // "1. title.txt"
};

// Why an export ended before writing anything more.
enum class ExportStop {
  InvalidFile,      // not one file ending in ".pwb" or ".db"
  SevenZipMissing,  // a packed book, and no 7-Zip installed
  UnpackFailed,     // 7-Zip could not be started or could not unpack the book
  FolderMissing,    // the chosen export folder does not exist
  UnreadableBook,   // the book database cannot be read at all
  UnsafeId,         // a folder id marks a book that was tampered with
  NoWorkingSpace,   // the book's private copy or lookup could not be written on the temporary
                    // disk; the book itself may well be sound
};

// What an export that ran to its end could not write: how much, and the first few by name.
class ExportFailures {
 public:
  static constexpr size_t kListed = 5;
  struct Item {
    std::string utf8Name;      // a folder, category or article, or toc.html
    bool damagedBook = false;  // instead of a name: rows of the book could not be read
    // With a folder's name: at most this many of its rows could not be read.
    int lostArticles = 0;
    int lostCategories = 0;
  };

  void addName(std::string_view utf8Name) { add({std::string(utf8Name)}, 1); }
  void addDamagedBook() { add({std::string(), true}, 1); }
  // Each lost row counts as one failure.
  void addLostRows(std::string_view utf8Folder, int articles, int categories) {
    add({std::string(utf8Folder), false, articles, categories}, articles + categories);
  }
  int count() const { return count_; }
  const std::vector<Item>& listed() const { return listed_; }
  // Some failures did not fit in the list.
  bool moreThanListed() const { return moreThanListed_; }

 private:
  void add(Item item, int count) {
    count_ += count;
    if (listed_.size() < kListed)
      listed_.push_back(std::move(item));
    else
      moreThanListed_ = true;
  }

  int count_ = 0;
  bool moreThanListed_ = false;
  std::vector<Item> listed_;
};

class ExportUi {
 public:
  virtual ~ExportUi() = default;
  // The two option check marks, as they are now.
  virtual ExportOptions options() = 0;
  // The export folder the user chose: no value when cancelled, an empty path when the choice
  // has no file-system path.
  virtual std::optional<std::wstring> chooseExportFolder() = 0;
  // The export stopped early; returns when the user has been told.
  virtual void reportStopped(ExportStop why) = 0;
  // The export ran to its end, perhaps with failures; returns when the user has been told.
  virtual void reportFinished(const ExportFailures& failures) = 0;
  // The export stopped when asked, having written `written` of the book's `total` articles (0 of
  // 0 when it stopped before it began writing); returns when the user has been told.
  virtual void reportCancelled(int written, int total) = 0;
  // Whether the export is asked to stop: looked at before each article and while it waits. It
  // then stops where it is, with every file it wrote whole.
  virtual bool stopRequested() = 0;
  // The wait cursor; the window takes no input while busy.
  virtual void setBusy(bool busy) = 0;
  // The export has written `done` of `total` articles. Called for every article: the user
  // interface decides how often to show it.
  virtual void showProgress(int done, int total) = 0;
  // Lets the window repaint and answer the system while the export waits.
  virtual void keepResponsive() = 0;
};

// Busy for as long as it lives.
class BusyScope {
 public:
  explicit BusyScope(ExportUi& ui) : ui_(ui) { ui_.setBusy(true); }
  ~BusyScope() { ui_.setBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ExportUi& ui_;
};
