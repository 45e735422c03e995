// The copy of the user's own book, made on a thread of its own.
#include "export/BookCopy.h"

#include "win/WideFileOps.h"

namespace {

bool copyBook(const std::wstring& source, const std::wstring& target, std::stop_token stop) {
  if (!copyFileWide(source, target, true, stop)) return false;
  for (const wchar_t* companion : {L"-wal", L"-journal"}) {
    if (fileExistsWide(source + companion) &&
        !copyFileWide(source + companion, target + companion, true, stop))
      return false;
  }
  return true;
}

}  // namespace

BookCopy::BookCopy(std::wstring_view source)
    : path_(folder_.file(L"tmp.db")),
      result_(copied_.get_future().share()),
      copier_([this, source = std::wstring(source)](std::stop_token stop) {
        copied_.set_value(folder_.created() && copyBook(source, path_, stop));
      }) {}
