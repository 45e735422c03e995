// The program's one window: the large drop label, the Program and Options menus, and the drop
// target that starts each export.
#pragma once

#include <windows.h>
// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include <functional>
#include <memory>
#include <string>

#include "app/DropTarget.h"
#include "app/MenuTable.h"
#include "win/ComOwner.h"

class MainWindow {
 public:
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
  HFONT labelFont() const { return font_; }
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
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void onCommand(Command command);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onSize(int width, int height);
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
  HFONT font_ = nullptr;
  HBRUSH background_ = nullptr;
  ComOwner<DropTarget> dropTarget_;
  FileDroppedHandler onFileDropped_;
  bool busy_ = false;
  bool exporting_ = false;  // a dropped file is being exported
};

// The product's web addresses.
extern const std::string kHelpUrl;
extern const std::string kHomeUrl;
