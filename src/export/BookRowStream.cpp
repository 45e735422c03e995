// Reads a book's folders on a thread of its own, a little ahead of the writer.
#include "export/BookRowStream.h"

#include <utility>

namespace {

// Enough for the writer never to wait while the reader keeps up, small beside the working set:
// the writer's batch and the one being filled are both held at once.
constexpr size_t kBatchBytes = 1 << 20;
constexpr size_t kBatchItems = 1024;
constexpr DWORD kResponsiveIntervalMs = 50;

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

BookRowStream::BookRowStream(BookReader& book, const std::vector<BookFolder>& folders)
    : reader_([this, &book, &folders] { read(book, folders); }) {}

BookRowStream::~BookRowStream() {
  {
    const ExclusiveLock lock(lock_);
    stopping_ = true;
  }
  WakeAllConditionVariable(&roomMade_);
  reader_.join();
}

void BookRowStream::read(BookReader& book, const std::vector<BookFolder>& folders) {
  book.buildLookup();
  const Overview overview{book.countArticles(), book.rowsLost()};
  bool wakeWriter = false;
  {
    const ExclusiveLock lock(lock_);
    overview_ = overview;
    wakeWriter = std::exchange(writerWaiting_, false);
  }
  if (wakeWriter) WakeConditionVariable(&itemsArrived_);
  for (const auto& folder : folders) {
    bool stopped = false;
    const bool complete = book.readFolder(folder.utf8Id, [&](BookRow& row) {
      if (!stopped) stopped = !push({false, true, std::move(row)});
    });
    if (stopped || !push({true, complete, BookRow()})) return;
  }
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

void BookRowStream::waitForReader(const std::function<bool()>& ready,
                                  const std::function<void()>& whileWaiting) {
  while (!ready()) {
    writerWaiting_ = true;
    if (!SleepConditionVariableSRW(&itemsArrived_, &lock_, kResponsiveIntervalMs, 0) && !ready()) {
      ReleaseSRWLockExclusive(&lock_);
      whileWaiting();
      AcquireSRWLockExclusive(&lock_);
    }
  }
  writerWaiting_ = false;
}

BookRowStream::Overview BookRowStream::overview(const std::function<void()>& whileWaiting) {
  const ExclusiveLock lock(lock_);
  waitForReader([this] { return overview_.has_value(); }, whileWaiting);
  return *overview_;
}

BookRowStream::Item BookRowStream::next(const std::function<void()>& whileWaiting) {
  if (taken_.empty()) {
    bool wakeReader = false;
    {
      AcquireSRWLockExclusive(&lock_);
      waitForReader([this] { return !queued_.empty(); }, whileWaiting);
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
