// The end-to-end tests, or with --demo FOLDER one export of the sample book through the window
// with both options ticked: it prints the notice and the tree and saves a screenshot of the
// window with its Options menu open.
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>

#include "e2e/RemoteApp.h"
#include "e2e/SampleBook.h"
#include "support/TempDir.h"
#include "win/GdiOwners.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

// The screen area of the window and its open menu, as a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::wstring& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left + 40;
  const int height = rect.bottom - rect.top + 40;
  const WindowDc screen(nullptr);
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const UniqueBitmap bitmap(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap) return false;
  {
    const SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left - 20, rect.top - 20, SRCCOPY);
  }
  const DWORD rowBytes = ((width * 3 + 3) / 4) * 4;
  const DWORD imageBytes = rowBytes * height;
  BITMAPFILEHEADER file{
      0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes),
      0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  bytes.append(static_cast<const char*>(bits), imageBytes);
  writeFileBytes(path, bytes);
  return true;
}

void print(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stdout); }

int runDemo(const std::wstring& folder) {
  OleInitialize(nullptr);
  removeDirectoryTree(folder + L"\\export");
  createDirectoryTree(folder + L"\\export");
  const std::wstring packed = makeSampleBook(folder);
  RemoteApp app(vellumixExe());
  if (!app.window()) return 1;
  app.chooseMenuItem('O', 'C');
  app.chooseMenuItem('O', 'N');
  print("Dropping " + wideToUtf8(packed) + "\n");
  app.dropFiles({packed});
  app.answerFolderChooser(folder + L"\\export");
  const ShownNotice notice = app.takeNotice();
  print("Notice: [" + wideToUtf8(notice.title) + "] " + wideToUtf8(notice.text) +
        "\n\nExported tree:\n");
  for (const auto& [name, bytes] : readTree(folder + L"\\export"))
    print("  " + name +
          (name.ends_with("/") ? "" : "  (" + std::to_string(bytes.size()) + " bytes)") + "\n");
  app.openMenu('O');
  saveScreenshot(app.window(), folder + L"\\window.bmp");
  app.closeMenu();
  const DWORD exitCode = app.close();
  OleUninitialize();
  return ::testing::Test::HasFailure() || exitCode != 0 || notice.text.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--demo") return runDemo(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
