// The program's command line, read as a drop.
#include "app/CommandLine.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <memory>

#include "win/WideFileOps.h"

namespace {

struct LocalFreer {
  void operator()(LPWSTR* arguments) const { LocalFree(arguments); }
};

}  // namespace

std::wstring droppedTextOf(const wchar_t* commandLine) {
  int count = 0;
  const std::unique_ptr<LPWSTR, LocalFreer> arguments(CommandLineToArgvW(commandLine, &count));
  if (!arguments || count < 2) return std::wstring();
  // A drop gives full paths: a relative argument is taken from the current folder, as Explorer
  // would have named it.
  if (count == 2) return fullPathOf(arguments.get()[1]);
  std::wstring text;
  for (int i = 1; i < count; ++i) text += fullPathOf(arguments.get()[i]) + L"\r\n";
  return text;
}
