// A read transaction on the user's own book, from a read-only connection.
#include "bookdb/BookReadLock.h"

BookReadLock::BookReadLock(std::wstring_view path) {
  // Where the lock cannot be had, these statements fail and the copy is made as before.
  if (!book_.OpenReadOnly(path)) return;
  // The transaction begins reading with its first statement; the lock is then held until the end.
  book_.Query("BEGIN").MoveNext();
  book_.Query("SELECT count(*) FROM sqlite_schema").MoveNext();
}

BookReadLock::~BookReadLock() { book_.Query("COMMIT").MoveNext(); }
