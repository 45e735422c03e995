// SQLite's temporary files on a full disk: a VFS in front of the real one that refuses their
// writes.
#include "support/FullTemporaryDisk.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <memory>

namespace {

constexpr const char* kVfsName = "win32-longpath";
constexpr int kTemporaryFiles = SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TEMP_JOURNAL |
                                SQLITE_OPEN_TRANSIENT_DB | SQLITE_OPEN_SUBJOURNAL;

sqlite3_vfs* real = nullptr;
std::atomic<int> refused = 0;

// The shim's file: its own methods, then the real file right behind it.
struct ShimFile {
  sqlite3_file base;
  bool temporary;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

ShimFile* shim(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file); }
sqlite3_file* inner(sqlite3_file* file) { return shim(file)->real(); }

int shimWrite(sqlite3_file* file, const void* data, int size, sqlite3_int64 offset) {
  if (shim(file)->temporary) {
    ++refused;
    return SQLITE_FULL;
  }
  return inner(file)->pMethods->xWrite(inner(file), data, size, offset);
}

// Every other method goes to the real file as it is.
const sqlite3_io_methods kMethods = {
    3,
    [](sqlite3_file* f) { return inner(f)->pMethods->xClose(inner(f)); },
    [](sqlite3_file* f, void* data, int size, sqlite3_int64 offset) {
      return inner(f)->pMethods->xRead(inner(f), data, size, offset);
    },
    shimWrite,
    [](sqlite3_file* f, sqlite3_int64 size) {
      return inner(f)->pMethods->xTruncate(inner(f), size);
    },
    [](sqlite3_file* f, int flags) { return inner(f)->pMethods->xSync(inner(f), flags); },
    [](sqlite3_file* f, sqlite3_int64* size) {
      return inner(f)->pMethods->xFileSize(inner(f), size);
    },
    [](sqlite3_file* f, int lock) { return inner(f)->pMethods->xLock(inner(f), lock); },
    [](sqlite3_file* f, int lock) { return inner(f)->pMethods->xUnlock(inner(f), lock); },
    [](sqlite3_file* f, int* out) { return inner(f)->pMethods->xCheckReservedLock(inner(f), out); },
    [](sqlite3_file* f, int op, void* arg) {
      return inner(f)->pMethods->xFileControl(inner(f), op, arg);
    },
    [](sqlite3_file* f) { return inner(f)->pMethods->xSectorSize(inner(f)); },
    [](sqlite3_file* f) { return inner(f)->pMethods->xDeviceCharacteristics(inner(f)); },
    [](sqlite3_file* f, int region, int size, int extend, void volatile** out) {
      return inner(f)->pMethods->xShmMap(inner(f), region, size, extend, out);
    },
    [](sqlite3_file* f, int offset, int n, int flags) {
      return inner(f)->pMethods->xShmLock(inner(f), offset, n, flags);
    },
    [](sqlite3_file* f) { inner(f)->pMethods->xShmBarrier(inner(f)); },
    [](sqlite3_file* f, int deleteFlag) {
      return inner(f)->pMethods->xShmUnmap(inner(f), deleteFlag);
    },
    [](sqlite3_file* f, sqlite3_int64 offset, int size, void** out) {
      return inner(f)->pMethods->xFetch(inner(f), offset, size, out);
    },
    [](sqlite3_file* f, sqlite3_int64 offset, void* page) {
      return inner(f)->pMethods->xUnfetch(inner(f), offset, page);
    },
};

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  ShimFile* wrapped = shim(file);
  wrapped->base.pMethods = nullptr;
  wrapped->temporary = (flags & kTemporaryFiles) != 0;
  const int rc = real->xOpen(real, name, wrapped->real(), flags, outFlags);
  // A real file that failed to open has nothing to close, and neither has the shim's.
  if (wrapped->real()->pMethods != nullptr) wrapped->base.pMethods = &kMethods;
  return rc;
}

}  // namespace

FullTemporaryDisk::FullTemporaryDisk() : shim_(new sqlite3_vfs) {
  sqlite3_initialize();
  real = sqlite3_vfs_find(kVfsName);
  if (real == nullptr) {
    ADD_FAILURE() << "no VFS " << kVfsName;
    return;
  }
  *shim_ = *real;
  shim_->szOsFile = static_cast<int>(sizeof(ShimFile)) + real->szOsFile;
  shim_->xOpen = shimOpen;
  refused = 0;
  // Registered after the default VFS and before the real one of that name, which it hides.
  sqlite3_vfs_register(shim_, 0);
}

FullTemporaryDisk::~FullTemporaryDisk() {
  sqlite3_vfs_unregister(shim_);
  delete shim_;
}

int FullTemporaryDisk::refusedWrites() { return refused; }
