// The book walk: one book database becomes a folder tree of article files in a folder the
// user chooses, with toc.html when asked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/BookRowStream.h"
#include "export/ExportUi.h"

// Whose the database file is: the user's own is only ever read, through a copy; a private one
// (the database 7-Zip unpacked into a temporary folder) is read in place.
enum class BookFile { UsersOwn, Private };

class BookWalker {
 public:
  explicit BookWalker(ExportUi& ui) : ui_(ui) {}
  // Exports the database at `databasePath`; every outcome is told through the UI.
  void run(std::wstring_view databasePath, BookFile file = BookFile::UsersOwn);

 private:
  // No value when the walk ran to its end or was stopped on request (then cancelled_).
  std::optional<ExportStop> walk(BookRowStream& rows, const std::wstring& exportFolder,
                                 const ExportOptions& options);

  ExportUi& ui_;
  ExportFailures failures_;
  // When the walk stopped on request: how far it got.
  bool cancelled_ = false;
  int written_ = 0;
  int total_ = 0;
};
