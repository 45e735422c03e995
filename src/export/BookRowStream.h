// Reads a book on a thread of its own, from the moment it is there, a little ahead of the
// thread that writes the files: first its folders, then the lookup of the folders' rows and how
// many articles there are, then each folder's rows in order, then the end of that folder. Rows
// cross between the two in batches of about a megabyte (one article alone when it is larger),
// and a thread is woken only when it waits, so that handing a row over costs next to nothing.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bookdb/BookReader.h"

class BookRowStream {
 public:
  struct Item {
    bool endOfFolder = false;
    bool folderComplete = true;  // with endOfFolder: whether every row of the folder was read
    BookFault fault = BookFault::None;  // with endOfFolder: what ended the reading, if anything
    BookRow row;
  };

  // The book as first opened.
  struct Contents {
    // Unreadable too when the book never arrived or cannot be opened: then nothing follows.
    BookReader::Status status = BookReader::Status::Unreadable;
    // With Unreadable: WorkingSpace when the book's copy could not be written.
    BookFault fault = BookFault::Unreadable;
    std::vector<BookFolder> folders;  // the live ones, in book order
  };

  // What is known before the first row.
  struct Overview {
    // WorkingSpace when the lookup could not be written: then nothing follows.
    BookFault fault = BookFault::None;
    int articleCount = 0;  // live ones in the live folders; 0 when they cannot be counted
    // Rows were passed over on pages that cannot be read, and no index tells whose they were.
    bool rowsLostUnplaced = false;
    // Otherwise the rows passed over, by folder in the order of the contents; empty when none.
    std::vector<LostRows> lostRows;
  };

  // Starts reading the book at `databasePath`, a private copy, once `arrived` is ready: it
  // tells what kept the book from getting there, if anything. Without `arrived` the book is there
  // already.
  explicit BookRowStream(std::wstring databasePath, std::shared_future<BookFault> arrived = {});
  // Stops the reading thread, cutting short whatever it reads, and waits for it.
  ~BookRowStream();
  BookRowStream(const BookRowStream&) = delete;
  BookRowStream& operator=(const BookRowStream&) = delete;

  // Waits for the book to be opened; while it waits, `keepWaiting` is called at least every
  // 50 ms, and the wait is given up when it answers false (then null). The answer lives as long
  // as the stream.
  const Contents* contents(const std::function<bool()>& keepWaiting);
  // Waits for the overview, as contents() does. Only for a book that is not Unreadable.
  std::optional<Overview> overview(const std::function<bool()>& keepWaiting);
  // The next item, in the order of the folders. Waits as contents() does.
  std::optional<Item> next(const std::function<bool()>& keepWaiting);

 private:
  void read();
  void readBook();
  // Hands `value` to the writer under lock_, waking it when it waits.
  template <typename T>
  void publish(std::optional<T>& slot, T value);
  // With lock_ held, waits for the reader until `ready` holds; false when given up.
  bool waitForReader(const std::function<bool()>& ready, const std::function<bool()>& keepWaiting);
  // Waits for room, then queues `item`; false when the stream is being stopped.
  bool push(Item item);

  const std::wstring databasePath_;
  const std::shared_future<BookFault> arrived_;
  // Set under lock_; also read by SQLite's steps on the reading thread, without it. Before the
  // book, whose connection looks at it, so that it outlives the connection.
  std::atomic<bool> stopping_ = false;
  BookReader book_;  // the reading thread's alone
  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE itemsArrived_ = CONDITION_VARIABLE_INIT;  // or the contents, or the overview
  CONDITION_VARIABLE roomMade_ = CONDITION_VARIABLE_INIT;
  // Guarded by lock_ up to readerEnded_. The contents never change once set.
  std::optional<Contents> contents_;
  std::optional<Overview> overview_;
  std::deque<Item> queued_;
  size_t queuedBytes_ = 0;
  bool readerWaiting_ = false;
  bool writerWaiting_ = false;
  bool readerEnded_ = false;  // whatever was not handed over by then never will be
  std::deque<Item> taken_;    // the writer's batch, taken from queued_ in one go
  std::thread reader_;
};
