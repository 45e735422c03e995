// The export engine's user interface, on the real window, dialogs and notices.
#include "app/AppUi.h"

#include "app/ExportNotices.h"
#include "app/FolderChooser.h"
#include "app/NoticeBox.h"
#include "app/UserTexts.h"

namespace {

// The program's notices wait for the user: no time-out.
void show(const Notice& notice) {
  NoticeBox(notice.text, {notice.flags, notice.title, std::nullopt, -1});
}

}  // namespace

ExportOptions AppUi::options() {
  return {window_.isChecked(Command::ToggleChapterList),
          window_.isChecked(Command::ToggleNumbering)};
}

std::optional<std::wstring> AppUi::chooseExportFolder() {
  return chooseFolder(window_.handle(), texts::kChooseFolderPrompt);
}

void AppUi::reportStopped(ExportStop why) { show(noticeFor(why)); }

void AppUi::reportFinished(const ExportFailures& failures) { show(noticeFor(failures)); }

void AppUi::setBusy(bool busy) { window_.setBusy(busy); }

void AppUi::showProgress(int done, int total) { window_.showProgress(done, total); }

void AppUi::keepResponsive() { window_.pumpMessages(); }
