// One export for one dropped path: a packed book is unpacked first, a book database is walked
// in place.
#pragma once

#include <string_view>

#include "export/ExportUi.h"

class ExportDriver {
 public:
  explicit ExportDriver(ExportUi& ui) : ui_(ui) {}
  // `ansiDropped` is one path, or several each followed by CR LF (refused).
  void Run(std::string_view ansiDropped);

 private:
  void runPacked(std::string_view ansiArchive);
  void showError(const char* ansiText);

  ExportUi& ui_;
};
