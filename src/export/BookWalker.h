// The book walk: one book database becomes a folder tree of article files in a folder the
// user chooses, with toc.html when asked for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/ExportUi.h"

class BookWalker {
 public:
  explicit BookWalker(ExportUi& ui) : ui_(ui) {}
  // Exports the database at `databasePath`; every outcome is told through the UI.
  void run(std::wstring_view databasePath);

 private:
  enum class Outcome { Finished, UnreadableBook, UnsafeId };
  Outcome walk(const std::wstring& databasePath, const std::wstring& exportFolder,
               const ExportOptions& options);
  void noteFailure(std::string_view utf8Name);
  // Rows the book holds could not be read, and nobody can tell whose they were.
  void noteDamagedBook();
  Notice finishedNotice() const;

  struct FailedItem {
    std::string utf8Name;
    bool damagedBook;
  };

  ExportUi& ui_;
  int failureCount_ = 0;
  std::vector<FailedItem> failedItems_;  // the first few only
};
