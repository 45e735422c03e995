// Reads a book on a thread of its own, a little ahead of the writer.
#include "export/BookRowStream.h"

#include <chrono>
#include <new>
#include <utility>

namespace {

// Enough for the writer never to wait while the reader keeps up, small beside the working set:
// the writer's batch and the one being filled are both held at once.
constexpr size_t kBatchBytes = 1 << 20;
constexpr size_t kBatchItems = 1024;
constexpr DWORD kResponsiveIntervalMs = 50;
// How often a reader waiting for its book looks whether it is being stopped.
constexpr auto kArrivalLookInterval = std::chrono::milliseconds(10);

// Holds a slim lock for as long as it lives.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

BookRowStream::BookRowStream(std::wstring databasePath, std::shared_future<BookFault> arrived)
    : databasePath_(std::move(databasePath)),
      arrived_(std::move(arrived)),
      reader_([this] { read(); }) {}

BookRowStream::~BookRowStream() {
  {
    const ExclusiveLock lock(lock_);
    stopping_ = true;
  }
  WakeAllConditionVariable(&roomMade_);
  reader_.join();
}

void BookRowStream::read() {
  try {
    readBook();
  } catch (const std::bad_alloc&) {
    // Out of memory, as a book built to exhaust it would leave us: what was not handed over is
    // told as unread.
  }
  bool wakeWriter = false;
  {
    const ExclusiveLock lock(lock_);
    if (!contents_) contents_.emplace();
    if (!overview_) overview_.emplace();
    readerEnded_ = true;
    wakeWriter = std::exchange(writerWaiting_, false);
  }
  if (wakeWriter) WakeConditionVariable(&itemsArrived_);
}

void BookRowStream::readBook() {
  Contents contents;
  if (arrived_.valid()) {
    while (arrived_.wait_for(kArrivalLookInterval) != std::future_status::ready)
      if (stopping_) return;
    contents.fault = arrived_.get();
  } else {
    contents.fault = BookFault::None;
  }
  if (contents.fault == BookFault::None) {
    if (book_.open(databasePath_)) {
      book_.stopWhen(stopping_);
      contents.status = book_.readFolders(contents.folders);
    } else {
      contents.fault = BookFault::Unreadable;
    }
  }
  publish(contents_, std::move(contents));
  // Read only from here on, by both threads.
  const Contents& book = *contents_;
  if (book.status == BookReader::Status::Unreadable) return;

  Overview overview;
  overview.fault = book_.buildLookup();
  if (overview.fault == BookFault::None) {
    overview.articleCount = book_.countArticles();
    if (book_.rowsLost()) {
      overview.lostRows = book_.lostRows(book.folders);
      overview.rowsLostUnplaced = overview.lostRows.empty();
    }
  }
  const bool lookupBuilt = overview.fault == BookFault::None;
  publish(overview_, std::move(overview));
  if (!lookupBuilt) return;
  for (const auto& folder : book.folders) {
    bool stopped = false;
    const BookReader::FolderResult result = book_.readFolder(folder.utf8Id, [&](BookRow& row) {
      if (!stopped) stopped = !push({false, true, BookFault::None, std::move(row)});
    });
    if (stopped || !push({true, result.complete, result.fault, BookRow()})) return;
    if (result.fault != BookFault::None) return;
  }
}

template <typename T>
void BookRowStream::publish(std::optional<T>& slot, T value) {
  bool wakeWriter = false;
  {
    const ExclusiveLock lock(lock_);
    slot = std::move(value);
    wakeWriter = std::exchange(writerWaiting_, false);
  }
  if (wakeWriter) WakeConditionVariable(&itemsArrived_);
}

bool BookRowStream::push(Item item) {
  const size_t bytes = item.row.content.size();
  bool wakeWriter = false;
  {
    const ExclusiveLock lock(lock_);
    // A large article waits until the batch is taken, then goes alone.
    while (!stopping_ && !queued_.empty() &&
           (queuedBytes_ + bytes > kBatchBytes || queued_.size() >= kBatchItems)) {
      readerWaiting_ = true;
      SleepConditionVariableSRW(&roomMade_, &lock_, INFINITE, 0);
    }
    if (stopping_) return false;
    queuedBytes_ += bytes;
    queued_.push_back(std::move(item));
    wakeWriter = std::exchange(writerWaiting_, false);
  }
  if (wakeWriter) WakeConditionVariable(&itemsArrived_);
  return true;
}

bool BookRowStream::waitForReader(const std::function<bool()>& ready,
                                  const std::function<bool()>& keepWaiting) {
  bool waiting = true;
  while (!ready() && waiting) {
    writerWaiting_ = true;
    if (!SleepConditionVariableSRW(&itemsArrived_, &lock_, kResponsiveIntervalMs, 0) && !ready()) {
      ReleaseSRWLockExclusive(&lock_);
      waiting = keepWaiting();
      AcquireSRWLockExclusive(&lock_);
    }
  }
  writerWaiting_ = false;
  return ready();
}

const BookRowStream::Contents* BookRowStream::contents(const std::function<bool()>& keepWaiting) {
  const ExclusiveLock lock(lock_);
  if (!waitForReader([this] { return contents_.has_value() || readerEnded_; }, keepWaiting))
    return nullptr;
  return &*contents_;
}

std::optional<BookRowStream::Overview> BookRowStream::overview(
    const std::function<bool()>& keepWaiting) {
  const ExclusiveLock lock(lock_);
  if (!waitForReader([this] { return overview_.has_value() || readerEnded_; }, keepWaiting))
    return std::nullopt;
  return *overview_;
}

std::optional<BookRowStream::Item> BookRowStream::next(const std::function<bool()>& keepWaiting) {
  if (taken_.empty()) {
    bool wakeReader = false;
    {
      AcquireSRWLockExclusive(&lock_);
      if (!waitForReader([this] { return !queued_.empty() || readerEnded_; }, keepWaiting)) {
        ReleaseSRWLockExclusive(&lock_);
        return std::nullopt;
      }
      if (queued_.empty()) {
        // The reader ended before the end of the book: each folder left is told as unread.
        ReleaseSRWLockExclusive(&lock_);
        return Item{true, false, BookFault::None, BookRow()};
      }
      taken_.swap(queued_);
      queuedBytes_ = 0;
      wakeReader = std::exchange(readerWaiting_, false);
      ReleaseSRWLockExclusive(&lock_);
    }
    if (wakeReader) WakeConditionVariable(&roomMade_);
  }
  Item item = std::move(taken_.front());
  taken_.pop_front();
  return item;
}
