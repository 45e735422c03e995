// The export engine's user interface, on the real window, dialogs and notices.
#pragma once

#include "app/MainWindow.h"
#include "export/ExportUi.h"

class AppUi : public ExportUi {
 public:
  explicit AppUi(MainWindow& window) : window_(window) {}

  ExportOptions options() override;
  std::optional<std::wstring> chooseExportFolder() override;
  void reportStopped(ExportStop why) override;
  void reportFinished(const ExportFailures& failures) override;
  void setBusy(bool busy) override;
  void showProgress(int done, int total) override;
  void keepResponsive() override;

 private:
  MainWindow& window_;
};
