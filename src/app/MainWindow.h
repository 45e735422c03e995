// The program's one window: the large drop label, the Program and Options menus, and the drop
// target that starts each export.
#pragma once

#include <windows.h>
// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DropTarget.h"
#include "app/MenuTable.h"
#include "win/ComOwner.h"
#include "win/GdiOwners.h"

class MainWindow {
 public:
  static constexpr const wchar_t* kClassName = L"VellumixMainWindow";
  // Raised on the window's own thread with the dropped text.
  using FileDroppedHandler = std::function<void(const std::wstring& dropped)>;

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
  void setFileDroppedHandler(FileDroppedHandler handler) { onFileDropped_ = std::move(handler); }

  bool isChecked(Command item) const;
  void setChecked(Command item, bool checked);
  // While busy: the wait cursor, and the window takes no input; when it ends, the window
  // returns to its label.
  void setBusy(bool busy);
  // Shows how far the export is, in the window and on the taskbar button, and lets the window
  // repaint and answer; cheap however often it is called.
  void showProgress(int done, int total);
  // Repaints and answers the system: dispatches what is queued for this thread.
  void pumpMessages();
  HWND progressBar() const { return progress_; }

  // Hands a web address to the shell.
  static void openUrl(const char* url);

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // No value: the message goes on to DefWindowProcW.
  std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void onCommand(Command command);
  std::optional<LRESULT> onClose();
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onSize();
  HBRUSH onLabelColours(HDC dc);
  std::optional<LRESULT> onSetCursor();
  // The drop target's handler: takes a drop when no export runs.
  bool onFilesDropped(std::wstring dropped);
  void onStartExport();
  void onDestroy();
  void applyDpi(UINT dpi);
  void layOutChildren();
  void drawProgress(int done, int total);
  bool exportUnderWay() const { return exporting_ || busy_; }

  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND progress_ = nullptr;
  ComOwner<ITaskbarList3> taskbar_;  // where Windows has it, made at the first export
  bool taskbarLookedUp_ = false;
  UINT dpi_ = 96;
  DWORD lastPumpTick_ = 0;
  DWORD lastRedrawTick_ = 0;
  UniqueFont font_;
  UniqueBrush background_;
  ComOwner<DropTarget> dropTarget_;
  FileDroppedHandler onFileDropped_;
  std::wstring pendingDrop_;  // taken, its export not yet started
  bool busy_ = false;
  bool exporting_ = false;  // from a drop taken to the end of its export
};

// The product's web addresses.
extern const std::string kHelpUrl;
extern const std::string kHomeUrl;
