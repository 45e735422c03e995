// One export for one dropped path.
#include "export/ExportDriver.h"

#include <windows.h>

#include <string>
#include <vector>

#include "export/BookWalker.h"
#include "export/SevenZipUnpacker.h"
#include "win/AsciiFold.h"
#include "win/Handles.h"
#include "win/TemporaryFolder.h"
#include "win/WideFileOps.h"

namespace {

// The file name without its folder and without the text from its last "." on.
std::wstring baseName(std::wstring_view path) {
  const std::wstring_view stem = path.substr(0, path.rfind(L'.'));
  const size_t slash = stem.rfind(L'\\');
  return std::wstring(slash == std::wstring_view::npos ? stem : stem.substr(slash + 1));
}

// Adds the files ending in ".db" under `folder`, at any depth, to `found`.
void findDatabases(const std::wstring& folder, std::vector<std::wstring>& found) {
  WIN32_FIND_DATAW entry;
  const auto find =
      ownFindHandle(FindFirstFileW(longPathForm(joinPath(folder, L"*")).c_str(), &entry));
  if (!find) return;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        findDatabases(joinPath(folder, name), found);
    } else if (name.size() > 3 &&
               equalIgnoringAsciiCase(name.substr(name.size() - 3), std::wstring_view(L".db"))) {
      found.push_back(joinPath(folder, name));
    }
  } while (FindNextFileW(find.get(), &entry));
}

// The database that 7-Zip unpacked into `folder`: the one named after the archive, or else the
// archive's only database, whatever its name (a copy of a book that the user renamed still holds
// the old name); empty when there is neither.
std::wstring unpackedDatabase(const std::wstring& folder, std::wstring_view archive) {
  const std::wstring named = joinPath(folder, baseName(archive) + L".db");
  if (fileExistsWide(named)) return named;
  std::vector<std::wstring> databases;
  findDatabases(folder, databases);
  return databases.size() == 1 ? databases.front() : std::wstring();
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
    return SevenZipUnpacker::Extract(program, std::wstring(archive), folder.path(), [this] {
      ui_.keepResponsive();
      return !ui_.stopRequested();
    });
  }();
  if (result == SevenZipUnpacker::ExtractResult::Stopped) {
    ui_.reportCancelled(0, 0);
    return;
  }
  const std::wstring database = result == SevenZipUnpacker::ExtractResult::Extracted
                                    ? unpackedDatabase(folder.path(), archive)
                                    : std::wstring();
  if (database.empty()) {
    ui_.reportStopped(ExportStop::UnpackFailed);
    return;
  }
  // The unpacked database is the export's own, removed with its folder: read it where it is,
  // whatever attributes the archive gave it.
  SetFileAttributesW(longPathForm(database).c_str(), FILE_ATTRIBUTE_NORMAL);
  BookWalker(ui_).run(database, BookFile::Private);
}
