// The engine's user interface for tests: answers the folder chooser as told and keeps every
// notice and state change in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/ExportUi.h"

class RecordingUi : public ExportUi {
 public:
  ExportOptions exportOptions;
  std::optional<std::wstring> chosenFolder;  // no value: the user cancels
  std::vector<Notice> notices;
  // "options", "choose", "busy", "idle", "drop off", "drop on", "notice"
  std::vector<std::string> events;
  std::vector<std::pair<int, int>> progress;  // (done, total) as reported

  ExportOptions options() override {
    events.push_back("options");
    return exportOptions;
  }
  std::optional<std::wstring> chooseExportFolder() override {
    events.push_back("choose");
    return chosenFolder;
  }
  void showNotice(const Notice& notice) override {
    events.push_back("notice");
    notices.push_back(notice);
  }
  void setBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
  void showProgress(int done, int total) override { progress.emplace_back(done, total); }
  void keepResponsive() override {}
  void setDropTargetEnabled(bool enabled) override {
    events.push_back(enabled ? "drop on" : "drop off");
  }
};
