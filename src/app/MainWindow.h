// The program's one window: the large drop label, the Program and Options menus, the drop
// target that starts each export, and the export job it owns.
#pragma once

#include <windows.h>
// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DropTarget.h"
#include "app/MenuTable.h"
#include "win/ComOwner.h"
#include "win/GdiOwners.h"

class ExportJob;
class ExportUi;

class MainWindow {
 public:
  static constexpr const wchar_t* kClassName = L"VellumixMainWindow";
  // Runs the export of a dropped text, on the export's own thread, with its UI.
  using ExportRunner = std::function<void(const std::wstring& dropped, ExportUi& ui)>;

  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates and shows the window; false when Windows refuses.
  bool create(int showCommand);
  HWND handle() const { return window_; }
  HWND label() const { return label_; }
  HFONT labelFont() const { return font_.get(); }
  DropTarget& dropTarget() { return *dropTarget_; }
  void setExportRunner(ExportRunner runner) { runExport_ = std::move(runner); }
  // A drop, or a path opened otherwise: its export starts once the window gets to it. False,
  // and nothing happens, while an export is under way.
  bool startExport(std::wstring dropped);
  // From a drop taken to the end of its export.
  bool exportUnderWay() const { return exporting_; }

  bool isChecked(Command item) const;
  void setChecked(Command item, bool checked);
  // While busy: the busy cursor, and the menus and drops do nothing; when it ends, the window
  // returns to its label.
  void setBusy(bool busy);
  // Shows how far the export is, in the window and on the taskbar button; cheap however often
  // it is called.
  void showProgress(int done, int total);
  // The same from any thread: shown once the window gets to it.
  void postProgress(int done, int total);
  // Repaints and answers the system: dispatches what is queued for this thread.
  void pumpMessages();
  HWND progressBar() const { return progress_; }

  // Runs `task` on the window's thread and returns when it has run: at once on that thread,
  // otherwise once the window takes the call. False when the window is gone.
  bool runOnWindowThread(const std::function<void()>& task);
  bool onWindowThread() const;

  // Hands a web address to the shell.
  static void openUrl(const char* url);

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // No value: the message goes on to DefWindowProcW.
  std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void onCommand(Command command);
  std::optional<LRESULT> onClose();
  // Asks whether to stop the export under way, and stops it on Yes.
  void askToStop();
  // Stops the export and waits for it (see ExportJob::stop), then ends it.
  void stopExport(bool tellUser, DWORD limitMs = INFINITE);
  // Once the export's thread has ended: the window takes drops again.
  void endExport();
  void onEndSession(bool ending);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onSize();
  HBRUSH onLabelColours(HDC dc);
  std::optional<LRESULT> onSetCursor();
  void onStartExport();
  void onDestroy();
  void applyDpi(UINT dpi);
  void layOutChildren();
  void drawProgress(int done, int total);

  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND progress_ = nullptr;
  ComOwner<ITaskbarList3> taskbar_;  // where Windows has it, made at the first export
  bool taskbarLookedUp_ = false;
  UINT dpi_ = 96;
  DWORD lastRedrawTick_ = 0;
  UniqueFont font_;
  UniqueBrush background_;
  ComOwner<DropTarget> dropTarget_;
  ExportRunner runExport_;
  std::wstring pendingDrop_;  // taken, its export not yet started
  std::unique_ptr<ExportJob> job_;
  bool busy_ = false;
  bool exporting_ = false;     // from a drop taken to the end of its export
  bool stoppingJob_ = false;   // within stopExport()
  bool askingToStop_ = false;  // the question is showing
  // The latest progress posted from the export's thread, and whether the window has yet to
  // show it.
  std::atomic<int> postedDone_ = 0;
  std::atomic<int> postedTotal_ = 0;
  std::atomic<bool> progressPosted_ = false;
};

// The product's web addresses.
extern const std::string kHelpUrl;
extern const std::string kHomeUrl;
