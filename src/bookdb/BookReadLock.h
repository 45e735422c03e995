// A read transaction on the user's own book, which its application may be writing: while it is
// held, the book and its log keep the state of one moment, so that a copy of both fits together.
// A writer cannot commit to a book with a rollback journal meanwhile (it waits, as it waits for
// any reader), nor start its write-ahead log over. Nothing is ever written to the book.
#pragma once

#include <string_view>

#include "bookdb/SqliteDB.h"
#include "win/WideFileOps.h"

class BookReadLock {
 public:
  // Takes the lock where it can be had: not where the application keeps the book locked for
  // itself alone, nor where the book is not one SQLite can read. Without it, a copy is made as
  // before.
  explicit BookReadLock(std::wstring_view path);
  ~BookReadLock();
  BookReadLock(const BookReadLock&) = delete;
  BookReadLock& operator=(const BookReadLock&) = delete;

  // The bytes SQLite locks in a database file (they hold no data): a copy made meanwhile reads
  // them as zeros where a lock refuses the read.
  static constexpr LockedBytes kLockBytes = {0x40000000, 512};

 private:
  SqliteDB book_;
};
