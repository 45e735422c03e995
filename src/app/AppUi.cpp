// The export engine's user interface, on the real window, dialogs and notices.
#include "app/AppUi.h"

#include "app/FolderChooser.h"
#include "app/NoticeBox.h"
#include "export/UserTexts.h"

ExportOptions AppUi::options() {
  return {window_.isChecked(Command::ToggleChapterList),
          window_.isChecked(Command::ToggleNumbering)};
}

std::optional<std::wstring> AppUi::chooseExportFolder() {
  return chooseFolder(window_.handle(), texts::kChooseFolderPrompt);
}

void AppUi::showNotice(const Notice& notice) {
  NoticeBox(notice.text, {notice.flags, notice.title, std::nullopt, -1});
}

void AppUi::setBusy(bool busy) { window_.setBusy(busy); }

void AppUi::showProgress(int done, int total) { window_.showProgress(done, total); }

void AppUi::keepResponsive() { window_.pumpMessages(); }

void AppUi::setDropTargetEnabled(bool enabled) {
  if (enabled)
    window_.dropTarget().registerDropTarget(window_.handle());
  else
    window_.dropTarget().revokeDropTarget(window_.handle());
}
