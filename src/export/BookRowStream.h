// Reads a book's folders on a thread of its own, a little ahead of the thread that writes the
// files: first the lookup of the folders' rows and how many articles there are, then each
// folder's rows in order, then the end of that folder. Rows cross between the two in batches of
// about a megabyte (one article alone when it is larger), and a thread is woken only when it
// waits, so that handing a row over costs next to nothing.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "bookdb/BookReader.h"

class BookRowStream {
 public:
  struct Item {
    bool endOfFolder = false;
    bool folderComplete = true;  // with endOfFolder: whether every row of the folder was read
    BookRow row;
  };

  // What is known before the first row.
  struct Overview {
    int articleCount = 0;   // live ones in the live folders; 0 when they cannot be counted
    bool rowsLost = false;  // rows were passed over on pages that cannot be read
  };

  // From here on the opened `book` belongs to the stream's thread until the stream is gone.
  BookRowStream(BookReader& book, const std::vector<BookFolder>& folders);
  // Stops the reading thread and waits for it.
  ~BookRowStream();
  BookRowStream(const BookRowStream&) = delete;
  BookRowStream& operator=(const BookRowStream&) = delete;

  // Waits for the overview; while it waits, `whileWaiting` is called at least every 50 ms.
  Overview overview(const std::function<void()>& whileWaiting);
  // The next item, in the order of the folders. Waits as overview() does.
  Item next(const std::function<void()>& whileWaiting);

 private:
  void read(BookReader& book, const std::vector<BookFolder>& folders);
  // With lock_ held, waits for the reader until `ready` holds.
  void waitForReader(const std::function<bool()>& ready, const std::function<void()>& whileWaiting);
  // Waits for room, then queues `item`; false when the stream is being stopped.
  bool push(Item item);

  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE itemsArrived_ = CONDITION_VARIABLE_INIT;  // or the overview
  CONDITION_VARIABLE roomMade_ = CONDITION_VARIABLE_INIT;
  std::optional<Overview> overview_;  // guarded by lock_, as all up to taken_
  std::deque<Item> queued_;
  size_t queuedBytes_ = 0;
  bool readerWaiting_ = false;
  bool writerWaiting_ = false;
  bool stopping_ = false;
  std::deque<Item> taken_;  // the writer's batch, taken from queued_ in one go
  std::thread reader_;
};
