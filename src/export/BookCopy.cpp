// The copy of the user's own book, made on a thread of its own.
#include "export/BookCopy.h"

#include <new>

#include "bookdb/BookReadLock.h"
#include "win/WideFileOps.h"

namespace {

BookFault faultOf(CopyResult result) {
  switch (result) {
    case CopyResult::Copied:
      return BookFault::None;
    case CopyResult::SourceUnreadable:
      return BookFault::Unreadable;
    case CopyResult::TargetUnwritable:
      return BookFault::WorkingSpace;
    case CopyResult::Stopped:
      return BookFault::Stopped;
  }
  return BookFault::Unreadable;
}

// The book and the log that may hold its latest changes, as of one moment where that can be had.
BookFault copyBook(const std::wstring& source, const std::wstring& target, std::stop_token stop) {
  const BookReadLock oneMoment(source);
  if (const BookFault fault =
          faultOf(copyFileWide(source, target, true, stop, BookReadLock::kLockBytes));
      fault != BookFault::None)
    return fault;
  for (const wchar_t* companion : {L"-wal", L"-journal"}) {
    if (!fileExistsWide(source + companion)) continue;
    if (const BookFault fault =
            faultOf(copyFileWide(source + companion, target + companion, true, stop));
        fault != BookFault::None)
      return fault;
  }
  return BookFault::None;
}

}  // namespace

BookCopy::BookCopy(std::wstring_view source)
    : path_(folder_.file(L"tmp.db")),
      result_(copied_.get_future().share()),
      copier_([this, source = std::wstring(source)](std::stop_token stop) {
        BookFault fault = BookFault::WorkingSpace;
        try {
          if (folder_.created()) fault = copyBook(source, path_, stop);
        } catch (const std::bad_alloc&) {
          fault = BookFault::Unreadable;  // no memory left even for the copy's buffer
        }
        copied_.set_value(fault);
      }) {}
