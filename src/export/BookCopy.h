// The copy of the user's own book that an export reads: made in a private folder on a thread of
// its own, so that it runs while the user chooses where the export goes.
#pragma once

#include <future>
#include <string>
#include <string_view>
#include <thread>

#include "bookdb/BookFault.h"
#include "win/TemporaryFolder.h"

class BookCopy {
 public:
  // Starts copying the book at `source`, with the journal or write-ahead log that may hold its
  // latest changes.
  explicit BookCopy(std::wstring_view source);
  // A copy still running is stopped; the private folder goes with everything in it.
  ~BookCopy() = default;
  BookCopy(const BookCopy&) = delete;
  BookCopy& operator=(const BookCopy&) = delete;

  // Ready once the copy has ended: None when the whole book was copied, otherwise what kept it
  // from being copied. It stays valid after the copy is gone.
  std::shared_future<BookFault> copied() const { return result_; }
  const std::wstring& path() const { return path_; }

 private:
  TemporaryFolder folder_;
  std::wstring path_;
  std::promise<BookFault> copied_;
  std::shared_future<BookFault> result_;
  // Last, so that it is stopped and joined before anything it uses goes.
  std::jthread copier_;
};
