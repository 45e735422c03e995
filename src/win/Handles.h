// Owners for Windows handles, so that each is closed on every way out.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// CreateFile reports failure as INVALID_HANDLE_VALUE, which the owner must not keep.
inline UniqueHandle ownFileHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
using UniqueFindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

inline UniqueFindHandle ownFindHandle(HANDLE handle) {
  return UniqueFindHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;
