// One export on a thread of its own, and its one way to stop.
#include "app/ExportJob.h"

#include <new>
#include <optional>

#include "app/MainWindow.h"

ExportJob::ExportJob(MainWindow& window, Runner run, std::wstring dropped, UINT endedMessage)
    : ui_(window), ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  const HWND handle = window.handle();
  thread_ =
      std::thread([this, run = std::move(run), dropped = std::move(dropped), handle, endedMessage] {
        try {
          run(dropped, ui_);
        } catch (const std::bad_alloc&) {
          // A book made to exhaust the memory ends its export, never the program.
          ui_.reportStopped(ExportStop::UnreadableBook);
        }
        PostMessageW(handle, endedMessage, 0, 0);
        SetEvent(ended_.get());
      });
}

ExportJob::~ExportJob() {
  stop(false);
  if (thread_.joinable()) thread_.join();
}

bool ExportJob::stop(bool tellUser, DWORD limitMs) {
  ui_.requestStop(tellUser);
  const DWORD start = GetTickCount();
  const HANDLE endedEvent = ended_.get();
  std::optional<int> quit;  // handed back to the main loop once the wait is over
  bool done = false;
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (limitMs != INFINITE && elapsed >= limitMs) break;
    // The export's thread may be waiting for the window (its notice, the folder chooser): the
    // window answers while it waits here.
    const DWORD woken = MsgWaitForMultipleObjectsEx(
        1, &endedEvent, limitMs == INFINITE ? INFINITE : limitMs - elapsed, QS_ALLINPUT,
        MWMO_INPUTAVAILABLE);
    if (woken != WAIT_OBJECT_0 + 1) {
      done = woken == WAIT_OBJECT_0;
      if (woken != WAIT_TIMEOUT) break;
      continue;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = static_cast<int>(message.wParam);
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) PostQuitMessage(*quit);
  if (!done && !ended()) return false;
  if (thread_.joinable()) thread_.join();
  return true;
}
