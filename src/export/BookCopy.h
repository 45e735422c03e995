// The copy of the user's own book that an export reads: made in a private folder on a thread of
// its own, so that it runs while the user chooses where the export goes.
#pragma once

#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <thread>

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

  // Waits for the copy to end, calling `whileWaiting` at least every 50 ms. True when the whole
  // book was copied. Called once.
  bool wait(const std::function<void()>& whileWaiting);
  const std::wstring& path() const { return path_; }

 private:
  TemporaryFolder folder_;
  std::wstring path_;
  std::promise<bool> copied_;
  std::future<bool> result_;
  // Last, so that it is stopped and joined before anything it uses goes.
  std::jthread copier_;
};
