// What the user is told when an export ends.
#include "app/ExportNotices.h"

#include "app/UserTexts.h"
#include "win/TextConversion.h"

Notice noticeFor(ExportStop why) {
  switch (why) {
    case ExportStop::InvalidFile:
      return {texts::kInvalidFile, texts::kErrorTitle, MB_ICONERROR};
    case ExportStop::SevenZipMissing:
      return {texts::kSevenZipMissing, texts::kErrorTitle, MB_ICONERROR};
    case ExportStop::UnpackFailed:
      return {texts::kUnpackFailed, texts::kErrorTitle, MB_ICONERROR};
    case ExportStop::FolderMissing:
      return {texts::kFolderMissing, texts::kErrorTitle, MB_ICONERROR};
    case ExportStop::UnreadableBook:
      return {texts::kUnreadableBook, texts::kErrorTitle, MB_ICONERROR};
    case ExportStop::UnsafeId:
      return {texts::kUnsafeId, texts::kGuardTitle, MB_ICONERROR};
  }
  return {};
}

Notice noticeFor(const ExportFailures& failures) {
  if (failures.count() == 0) return {texts::kDone, texts::kInfoTitle, MB_ICONINFORMATION};
  std::wstring text =
      texts::kDoneWithFailures + std::to_wstring(failures.count()) + texts::kFailuresSuffix;
  for (const auto& item : failures.listed())
    text += L"\r\n" +
            (item.damagedBook ? std::wstring(texts::kDamagedBook) : utf8ToWide(item.utf8Name));
  if (failures.count() > static_cast<int>(failures.listed().size()))
    text += std::wstring(L"\r\n") + texts::kMoreFailures;
  return {text, texts::kErrorTitle, MB_ICONERROR};
}
