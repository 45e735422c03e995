// What the export engine needs from the user interface. The app implements it with the real
// window, dialogs and notices; the tests with a recorder.
#pragma once

#include <optional>
#include <string>

struct ExportOptions {
  bool exportChapterList = false;  // also write toc.html
  bool numberFileNames = false;    // "1. title.txt"
};

struct Notice {
  std::wstring text;
  std::wstring title;
  unsigned flags = 0;  // MB_ICONERROR (0x10) or MB_ICONINFORMATION (0x40)
};

class ExportUi {
 public:
  virtual ~ExportUi() = default;
  // The two option check marks, as they are now.
  virtual ExportOptions options() = 0;
  // The export folder the user chose: no value when cancelled, an empty path when the choice
  // has no file-system path.
  virtual std::optional<std::wstring> chooseExportFolder() = 0;
  // A modal notice; returns when the user has closed it.
  virtual void showNotice(const Notice& notice) = 0;
  // The wait cursor; the window takes no input while busy.
  virtual void setBusy(bool busy) = 0;
  // The export has written `done` of `total` articles. Called for every article: the user
  // interface decides how often to show it.
  virtual void showProgress(int done, int total) = 0;
  // Lets the window repaint and answer the system while the export waits.
  virtual void keepResponsive() = 0;
  // Whether the window takes dropped files; off while an export runs.
  virtual void setDropTargetEnabled(bool enabled) = 0;
};

// Busy for as long as it lives.
class BusyScope {
 public:
  explicit BusyScope(ExportUi& ui) : ui_(ui) { ui_.setBusy(true); }
  ~BusyScope() { ui_.setBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ExportUi& ui_;
};
