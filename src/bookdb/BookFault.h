// Why a book could not be read whole, as far as reading it can tell.
#pragma once

enum class BookFault {
  None,
  Unreadable,    // the book's pages cannot be read: damaged, not a database, or too large
  WorkingSpace,  // the private copy or lookup could not be written: the temporary disk is full
                 // or failing, and the book itself may well be sound
  Stopped,       // the export is being stopped: not an error, and nothing more is read
};

// The fault behind an SQLite result code, primary or extended; None for a code that is no
// error.
BookFault faultOfSqliteCode(int code);
