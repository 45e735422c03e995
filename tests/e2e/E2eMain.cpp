// The end-to-end tests; with --demo FOLDER one export of the sample book through the window with
// both options ticked, printing the notice and the tree and saving a screenshot of the window
// with its Options menu open; with --site FOLDER the screenshots of the product's pages.
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>

#include "e2e/RemoteApp.h"
#include "e2e/SampleBook.h"
#include "support/BookBuilder.h"
#include "support/TempDir.h"
#include "win/GdiOwners.h"
#include "win/Handles.h"
#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

// The screen area of the window, and `margin` pixels around it for a menu that may stand out of
// it, as a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::wstring& path, int margin = 20) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left + 2 * margin;
  const int height = rect.bottom - rect.top + 2 * margin;
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
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left - margin, rect.top - margin,
           SRCCOPY);
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

// The shell's window that shows a folder.
BOOL CALLBACK considerFolderWindow(HWND window, LPARAM param) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (std::wstring_view(className) != L"ExplorerWClass" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

HWND findFolderWindow() {
  HWND found = nullptr;
  EnumWindows(&considerFolderWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A book long enough for its export to be photographed half-way.
std::wstring longBook(const std::wstring& folder) {
  const std::wstring path = folder + L"\\长篇小说.db";
  BookBuilder book(path);
  book.exec("BEGIN");
  for (int volume = 1; volume <= 3; ++volume) {
    const std::string id = "v" + std::to_string(volume);
    book.folder(id, "第" + std::to_string(volume) + "卷");
    for (int chapter = 1; chapter <= 2000; ++chapter)
      book.article(id, "第" + std::to_string(chapter) + "章", "txt", chapter,
                   std::string(3000, 'x'));
  }
  book.exec("COMMIT");
  return path;
}

int runSite(const std::wstring& folder) {
  OleInitialize(nullptr);
  const std::wstring books = folder + L"\\books";
  const std::wstring longExport = folder + L"\\长篇导出";
  const std::wstring sampleExport = folder + L"\\我的小说 导出";
  for (const auto& path : {books, longExport, sampleExport}) createDirectoryTree(path);
  const std::wstring sample = sampleDatabase(books);
  const std::wstring longer = longBook(books);

  RemoteApp app(vellumixExe());
  if (!app.window()) return 1;
  // A window just shown may not have painted yet.
  RedrawWindow(app.window(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(1000);
  saveScreenshot(app.window(), folder + L"\\window.bmp", 0);
  app.openMenu('P');
  saveScreenshot(app.window(), folder + L"\\program.bmp", 0);
  app.closeMenu();
  app.chooseMenuItem('O', 'C');
  app.chooseMenuItem('O', 'N');
  app.openMenu('O');
  saveScreenshot(app.window(), folder + L"\\options.bmp", 0);
  app.closeMenu();

  app.dropFiles({longer});
  app.answerFolderChooser(longExport);
  waitFor("the export is a third done", 60000, [&] { return app.progressPercent() >= 33; });
  saveScreenshot(app.window(), folder + L"\\progress.bmp", 0);
  app.takeNotice(120000);

  app.dropFiles({sample});
  app.answerFolderChooser(sampleExport);
  app.takeNotice();
  const DWORD exitCode = app.close();

  // The exported folder as the shell shows it.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"explorer.exe \"" + sampleExport + L"\"";
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 1;
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  HWND shown = nullptr;
  waitFor("the folder is shown", 20000, [&] { return (shown = findFolderWindow()) != nullptr; });
  if (shown) {
    SetWindowPos(shown, HWND_TOP, 60, 60, 640, 360, SWP_SHOWWINDOW);
    Sleep(1500);
    saveScreenshot(shown, folder + L"\\folder.bmp", 0);
    PostMessageW(shown, WM_CLOSE, 0, 0);
  }
  WaitForSingleObject(processHandle.get(), 10000);
  OleUninitialize();
  return ::testing::Test::HasFailure() || exitCode != 0 || !shown ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--demo") return runDemo(argv[2]);
  if (argc == 3 && std::wstring(argv[1]) == L"--site") return runSite(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
