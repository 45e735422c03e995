// The command line read as a drop: what Explorer hands over when a book is dragged onto the
// program or opened with it.
#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "win/TextConversion.h"

namespace {

TEST(CommandLineTest, ArgumentsBecomeTheTextOfADrop) {
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring here =
      std::wstring(current) + (std::wstring(current).ends_with(L"\\") ? L"" : L"\\");
  const std::wstring longPath =
      L"C:\\" + std::wstring(150, L'长') + L"\\" + std::wstring(150, L'路') + L"\\书.db";
  const std::wstring program = L"\"C:\\Program Files\\Vellumix\\Vellumix.exe\"";
  const struct {
    const char* name;
    std::wstring arguments;
    std::wstring dropped;
  } cases[] = {
      {"none", L"", L""},
      {"one", L" \"C:\\书 😀\\春秋.db\"", L"C:\\书 😀\\春秋.db"},
      {"longer than MAX_PATH", L" \"" + longPath + L"\"", longPath},
      {"relative", L" 春秋.pwb", here + L"春秋.pwb"},
      {"with dots", L" \"C:\\书\\..\\稿\\.\\春秋.db\"", L"C:\\稿\\春秋.db"},
      {"two", L" C:\\a.db \"D:\\b c.pwb\"", L"C:\\a.db\r\nD:\\b c.pwb\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(wideToUtf8(droppedTextOf((program + c.arguments).c_str())), wideToUtf8(c.dropped));
  }
}

}  // namespace
