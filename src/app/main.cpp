// Start-up: the window, the message loop, exit code 0.
#include <ole2.h>
#include <windows.h>

#include "app/AppUi.h"
#include "app/MainWindow.h"
#include "export/ExportDriver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  // OLE for drag and drop and the folder chooser.
  if (FAILED(OleInitialize(nullptr))) return 1;
  int exitCode = 0;
  {
    MainWindow window;
    AppUi ui(window);
    ExportDriver driver(ui);
    window.setFileDroppedHandler([&driver](const std::wstring& dropped) { driver.Run(dropped); });
    if (window.create(showCommand)) {
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    } else {
      exitCode = 1;
    }
  }
  OleUninitialize();
  return exitCode;
}
