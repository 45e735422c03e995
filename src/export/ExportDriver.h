// One export for one dropped path: a packed book is unpacked first, a book database is walked
// in place.
#pragma once

#include <string_view>

#include "export/ExportUi.h"

class ExportDriver {
 public:
  explicit ExportDriver(ExportUi& ui) : ui_(ui) {}
  // `dropped` is one path, or several each followed by CR LF (refused).
  void Run(std::wstring_view dropped);

 private:
  void runPacked(std::wstring_view archive);

  ExportUi& ui_;
};
