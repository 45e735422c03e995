// One export for one dropped path.
#include "export/ExportDriver.h"

#include <windows.h>

#include <string>

#include "bookdb/TextConversion.h"
#include "export/BookWalker.h"
#include "export/SevenZipUnpacker.h"
#include "export/UserTexts.h"
#include "export/WideFileOps.h"

namespace {

// No drops reach the window while it lives.
class DropPause {
 public:
  explicit DropPause(ExportUi& ui) : ui_(ui) { ui_.setDropTargetEnabled(false); }
  ~DropPause() { ui_.setDropTargetEnabled(true); }
  DropPause(const DropPause&) = delete;
  DropPause& operator=(const DropPause&) = delete;

 private:
  ExportUi& ui_;
};

// Removes the unpacking folder with everything in it when it goes.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string ansiPath) : ansiPath_(std::move(ansiPath)) {}
  ~TemporaryFolder() { removeDirectoryTree(ansiToWide(ansiPath_)); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& ansiPath() const { return ansiPath_; }

 private:
  std::string ansiPath_;
};

// The file name without its folder and without the text from its last "." on, found by
// characters: in code page 936 a "\" byte can be the second half of a character.
std::string baseName(std::string_view ansiPath) {
  const std::wstring path = ansiToWide(ansiPath);
  const std::wstring stem = path.substr(0, path.rfind(L'.'));
  const size_t slash = stem.rfind(L'\\');
  return wideToAnsi(slash == std::wstring::npos ? stem : stem.substr(slash + 1)).value_or("");
}

}  // namespace

void ExportDriver::Run(std::string_view ansiDropped) {
  const DropPause pause(ui_);
  const bool single = ansiDropped.find("\r\n") == std::string_view::npos;
  if (single && ansiDropped.ends_with(".pwb")) {
    runPacked(ansiDropped);
  } else if (single && ansiDropped.ends_with(".db")) {
    BookWalker(ui_).run(ansiDropped);
  } else {
    showError(texts::kInvalidFile);
  }
}

void ExportDriver::runPacked(std::string_view ansiArchive) {
  const std::string program = SevenZipUnpacker::FindProgram();
  if (program == "\\7z.exe") {
    showError(texts::kSevenZipMissing);
    return;
  }
  const TemporaryFolder folder(SevenZipUnpacker::MakeTempFolderName());
  const auto result = [&] {
    const BusyScope busy(ui_);
    return SevenZipUnpacker::Extract(program, std::string(ansiArchive), folder.ansiPath(),
                                     [this] { ui_.keepResponsive(); });
  }();
  const std::string database = folder.ansiPath() + "\\" + baseName(ansiArchive) + ".db";
  if (result != SevenZipUnpacker::ExtractResult::Extracted ||
      !fileExistsWide(ansiToWide(database))) {
    showError(texts::kUnpackFailed);
    return;
  }
  BookWalker(ui_).run(database);
}

void ExportDriver::showError(const char* ansiText) {
  ui_.showNotice({ansiText, texts::kErrorTitle, MB_ICONERROR});
}
