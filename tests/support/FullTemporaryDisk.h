// SQLite's temporary files on a disk that is full: while it lives, every write to a temporary
// file of a connection opened through the long-path VFS (as the program opens books) fails as
// Windows reports a full disk. The databases themselves are written as usual.
#pragma once

struct sqlite3_vfs;

class FullTemporaryDisk {
 public:
  FullTemporaryDisk();
  ~FullTemporaryDisk();
  FullTemporaryDisk(const FullTemporaryDisk&) = delete;
  FullTemporaryDisk& operator=(const FullTemporaryDisk&) = delete;

  // How many writes were refused so far.
  static int refusedWrites();

 private:
  sqlite3_vfs* shim_;
};
