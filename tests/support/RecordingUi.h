// The engine's user interface for tests: answers the folder chooser as told and keeps every
// notice, worded as the app words it, and every state change in order.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/ExportNotices.h"
#include "export/ExportUi.h"
#include "win/TextConversion.h"

// A notice is checked whole (text, title and icon) and printed readably when it differs.
inline bool operator==(const Notice& a, const Notice& b) {
  return a.text == b.text && a.title == b.title && a.flags == b.flags;
}
inline void PrintTo(const Notice& notice, std::ostream* out) {
  *out << "[" << wideToUtf8(notice.title) << "] " << wideToUtf8(notice.text) << " (flags 0x"
       << std::hex << notice.flags << std::dec << ")";
}

class RecordingUi : public ExportUi {
 public:
  ExportOptions exportOptions;
  std::optional<std::wstring> chosenFolder;  // no value: the user cancels
  std::vector<Notice> notices;
  // "options", "choose", "busy", "idle", "notice"
  std::vector<std::string> events;
  std::vector<std::pair<int, int>> progress;  // (done, total) as reported
  std::function<void()> duringExport;         // called at the first progress report
  std::function<void()> atNotice;             // called as each notice is shown
  std::function<void()> whileChoosing;        // called before the chooser answers
  std::function<bool()> stopWhen;             // asked whether to stop

  ExportOptions options() override {
    events.push_back("options");
    return exportOptions;
  }
  std::optional<std::wstring> chooseExportFolder() override {
    events.push_back("choose");
    if (whileChoosing) whileChoosing();
    return chosenFolder;
  }
  void reportStopped(ExportStop why) override { record(noticeFor(why)); }
  void reportFinished(const ExportFailures& failures) override { record(noticeFor(failures)); }
  void reportCancelled(int written, int total) override {
    record(noticeForCancelled(written, total));
  }
  bool stopRequested() override { return stopWhen && stopWhen(); }
  void setBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
  void showProgress(int done, int total) override {
    if (progress.empty() && duringExport) duringExport();
    progress.emplace_back(done, total);
  }
  void keepResponsive() override {}

 private:
  void record(Notice notice) {
    if (atNotice) atNotice();
    events.push_back("notice");
    notices.push_back(std::move(notice));
  }
};
