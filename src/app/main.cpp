// Start-up: the window, the message loop, exit code 0.
#include <ole2.h>
#include <windows.h>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/MenuTable.h"
#include "export/ExportDriver.h"
#include "win/TemporaryFolder.h"

namespace {

// DLLs are loaded from the system folder only, never from the program's own (the Downloads
// folder, where a planted DLL could wait). Windows 7 has this only with its update KB2533623.
void restrictDllSearch() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  restrictDllSearch();
  // What an export ended by force left in the temporary folder.
  removeStaleTemporaryFolders();
  // OLE for drag and drop and the folder chooser.
  if (FAILED(OleInitialize(nullptr))) return 1;
  int exitCode = 0;
  {
    MainWindow window;
    window.setExportRunner(
        [](const std::wstring& dropped, ExportUi& ui) { ExportDriver(ui).Run(dropped); });
    if (window.create(showCommand)) {
      // A book handed over by Explorer is exported as a drop of it, once the window is shown.
      const std::wstring handedOver = droppedTextOf(GetCommandLineW());
      if (!handedOver.empty()) window.startExport(handedOver);
      const UniqueAccelerators keys = createAccelerators();
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window.handle(), keys.get(), &message)) continue;
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
