// The export engine's user interface on the real window, dialogs and notices.
#include "app/AppUi.h"

#include "app/ExportNotices.h"
#include "app/FolderChooser.h"
#include "app/NoticeBox.h"
#include "app/UserTexts.h"

ExportOptions AppUi::options() {
  ExportOptions options;
  window_.runOnWindowThread([&] {
    options = {window_.isChecked(Command::ToggleChapterList),
               window_.isChecked(Command::ToggleNumbering)};
  });
  return options;
}

std::optional<std::wstring> AppUi::chooseExportFolder() {
  std::optional<std::wstring> folder;
  window_.runOnWindowThread([&] {
    // Asked to stop before the choice (Windows ending the session): as if cancelled.
    if (!stop_) folder = chooseFolder(window_.handle(), texts::kChooseFolderPrompt);
  });
  return folder;
}

void AppUi::show(const Notice& notice) {
  // The program's notices wait for the user: no time-out. A user who went on to another window
  // during a long export is shown that it ended by the taskbar button, flashing until they come
  // back.
  window_.runOnWindowThread([&] {
    if (quiet_) return;
    if (GetForegroundWindow() != window_.handle()) {
      FLASHWINFO flash{sizeof flash, window_.handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
      FlashWindowEx(&flash);
    }
    NoticeBox(notice.text, {notice.flags, notice.title, window_.handle(), -1});
  });
}

void AppUi::reportStopped(ExportStop why) { show(noticeFor(why)); }

void AppUi::reportFinished(const ExportFailures& failures) { show(noticeFor(failures)); }

void AppUi::reportCancelled(int written, int total) { show(noticeForCancelled(written, total)); }

void AppUi::setBusy(bool busy) {
  window_.runOnWindowThread([&] { window_.setBusy(busy); });
}

void AppUi::showProgress(int done, int total) { window_.postProgress(done, total); }

void AppUi::keepResponsive() {
  if (window_.onWindowThread()) window_.pumpMessages();
}

void AppUi::requestStop(bool tellUser) {
  if (!tellUser) quiet_ = true;
  stop_ = true;
}
