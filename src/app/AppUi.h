// The export engine's user interface on the real window, dialogs and notices. The engine runs
// on an export's own thread: what it asks of the window is done on the window's thread, and its
// progress is posted there.
#pragma once

#include <atomic>

#include "app/ExportNotices.h"
#include "app/MainWindow.h"
#include "export/ExportUi.h"

class AppUi : public ExportUi {
 public:
  explicit AppUi(MainWindow& window) : window_(window) {}

  ExportOptions options() override;
  std::optional<std::wstring> chooseExportFolder() override;
  void reportStopped(ExportStop why) override;
  void reportFinished(const ExportFailures& failures) override;
  void reportCancelled(int written, int total) override;
  bool stopRequested() override { return stop_; }
  void setBusy(bool busy) override;
  void showProgress(int done, int total) override;
  void keepResponsive() override;

  // Asks the export to stop; `tellUser` false withholds every later notice (Windows is ending
  // the session).
  void requestStop(bool tellUser);

 private:
  void show(const Notice& notice);

  MainWindow& window_;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> quiet_ = false;
};
