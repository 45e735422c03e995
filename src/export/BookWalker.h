// The book walk: one book database becomes a folder tree of article files in a folder the
// user chooses, with toc.html when asked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/ExportUi.h"

class BookWalker {
 public:
  explicit BookWalker(ExportUi& ui) : ui_(ui) {}
  // Exports the database at `databasePath`; every outcome is told through the UI.
  void run(std::wstring_view databasePath);

 private:
  // No value when the walk ran to its end.
  std::optional<ExportStop> walk(const std::wstring& databasePath, const std::wstring& exportFolder,
                                 const ExportOptions& options);

  ExportUi& ui_;
  ExportFailures failures_;
};
