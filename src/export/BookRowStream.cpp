// Reads a book on a thread of its own, a little ahead of the writer.
#include "export/BookRowStream.h"

#include <chrono>
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

BookRowStream::BookRowStream(std::wstring databasePath, std::shared_future<bool> arrived)
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
  if (arrived_.valid()) {
    while (arrived_.wait_for(kArrivalLookInterval) != std::future_status::ready)
      if (stopping_) return;
  }
  Contents contents;
  if ((!arrived_.valid() || arrived_.get()) && book_.open(databasePath_)) {
    book_.stopWhen(stopping_);
    contents.status = book_.readFolders(contents.folders);
  }
  publish(contents_, std::move(contents));
  // Read only from here on, by both threads.
  const Contents& book = *contents_;
  if (book.status == BookReader::Status::Unreadable) return;

  book_.buildLookup();
  publish(overview_, Overview{book_.countArticles(), book_.rowsLost()});
  for (const auto& folder : book.folders) {
    bool stopped = false;
    const bool complete = book_.readFolder(folder.utf8Id, [&](BookRow& row) {
      if (!stopped) stopped = !push({false, true, std::move(row)});
    });
    if (stopped || !push({true, complete, BookRow()})) return;
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

const BookRowStream::Contents& BookRowStream::contents(const std::function<void()>& whileWaiting) {
  const ExclusiveLock lock(lock_);
  waitForReader([this] { return contents_.has_value(); }, whileWaiting);
  return *contents_;
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
