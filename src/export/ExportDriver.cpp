// One export for one dropped path.
#include "export/ExportDriver.h"

#include <windows.h>

#include <string>

#include "export/BookWalker.h"
#include "export/SevenZipUnpacker.h"
#include "win/TemporaryFolder.h"
#include "win/WideFileOps.h"

namespace {

// The file name without its folder and without the text from its last "." on.
std::wstring baseName(std::wstring_view path) {
  const std::wstring_view stem = path.substr(0, path.rfind(L'.'));
  const size_t slash = stem.rfind(L'\\');
  return std::wstring(slash == std::wstring_view::npos ? stem : stem.substr(slash + 1));
}

}  // namespace

void ExportDriver::Run(std::wstring_view dropped) {
  const bool single = dropped.find(L"\r\n") == std::wstring_view::npos;
  if (single && dropped.ends_with(L".pwb")) {
    runPacked(dropped);
  } else if (single && dropped.ends_with(L".db")) {
    BookWalker(ui_).run(dropped);
  } else {
    ui_.reportStopped(ExportStop::InvalidFile);
  }
}

void ExportDriver::runPacked(std::wstring_view archive) {
  const std::wstring program = SevenZipUnpacker::FindProgram();
  if (program == L"\\7z.exe") {
    ui_.reportStopped(ExportStop::SevenZipMissing);
    return;
  }
  const TemporaryFolder folder;
  const auto result = [&] {
    const BusyScope busy(ui_);
    if (!folder.created()) return SevenZipUnpacker::ExtractResult::NotStarted;
    return SevenZipUnpacker::Extract(program, std::wstring(archive), folder.path(),
                                     [this] { ui_.keepResponsive(); });
  }();
  const std::wstring database = folder.file(baseName(archive) + L".db");
  if (result != SevenZipUnpacker::ExtractResult::Extracted || !fileExistsWide(database)) {
    ui_.reportStopped(ExportStop::UnpackFailed);
    return;
  }
  // The unpacked database is the export's own, removed with its folder: read it where it is,
  // whatever attributes the archive gave it.
  SetFileAttributesW(longPathForm(database).c_str(), FILE_ATTRIBUTE_NORMAL);
  BookWalker(ui_).run(database, BookFile::Private);
}
