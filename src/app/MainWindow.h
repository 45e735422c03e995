// The program's one window: the large drop label, the Program and Options menus, and the drop
// target that starts each export.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/DropTarget.h"
#include "app/MenuTable.h"

class MainWindow {
 public:
  // Raised on the window's own thread with the dropped text.
  using FileDroppedHandler = std::function<void(const std::string& ansiDropped)>;

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
  // Shows the wait cursor over the window while busy.
  void setBusy(bool busy);

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

  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH background_ = nullptr;
  DropTarget* dropTarget_;  // COM reference owned by this window
  FileDroppedHandler onFileDropped_;
  bool busy_ = false;
};

// The product's web addresses.
extern const std::string kHelpUrl;
extern const std::string kHomeUrl;
