// The program's command line, read as a drop.
#include "app/CommandLine.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <memory>

namespace {

struct LocalFreer {
  void operator()(LPWSTR* arguments) const { LocalFree(arguments); }
};

// A drop gives full paths: a relative argument is taken from the current folder, as Explorer
// would have named it.
std::wstring fullPath(const wchar_t* argument) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(argument, static_cast<DWORD>(path.size()), path.data(), nullptr);
    if (length == 0) return argument;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
}

}  // namespace

std::wstring droppedTextOf(const wchar_t* commandLine) {
  int count = 0;
  const std::unique_ptr<LPWSTR, LocalFreer> arguments(CommandLineToArgvW(commandLine, &count));
  if (!arguments || count < 2) return std::wstring();
  if (count == 2) return fullPath(arguments.get()[1]);
  std::wstring text;
  for (int i = 1; i < count; ++i) text += fullPath(arguments.get()[i]) + L"\r\n";
  return text;
}
