// What the user is told when an export ends.
#include "app/ExportNotices.h"

#include "app/UserTexts.h"
#include "win/TextConversion.h"

namespace {

std::wstring failureLine(const ExportFailures::Item& item) {
  if (item.damagedBook) return texts::kDamagedBook;
  const std::wstring name = utf8ToWide(item.utf8Name);
  if (item.lostArticles == 0 && item.lostCategories == 0) return name;
  const wchar_t* format = item.lostCategories == 0 ? texts::kLostArticles
                          : item.lostArticles == 0 ? texts::kLostCategories
                                                   : texts::kLostArticlesAndCategories;
  return texts::format(
      format, {name, std::to_wstring(item.lostArticles), std::to_wstring(item.lostCategories)});
}

}  // namespace

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
    case ExportStop::NoWorkingSpace:
      return {texts::kNoWorkingSpace, texts::kErrorTitle, MB_ICONERROR};
  }
  return {};
}

Notice noticeFor(const ExportFailures& failures) {
  if (failures.count() == 0) return {texts::kDone, texts::kInfoTitle, MB_ICONINFORMATION};
  std::wstring text =
      texts::kDoneWithFailures + std::to_wstring(failures.count()) + texts::kFailuresSuffix;
  for (const auto& item : failures.listed()) text += L"\r\n" + failureLine(item);
  if (failures.moreThanListed()) text += std::wstring(L"\r\n") + texts::kMoreFailures;
  return {text, texts::kErrorTitle, MB_ICONERROR};
}

Notice noticeForCancelled(int written, int total) {
  if (written == 0 && total == 0) return {texts::kCancelled, texts::kInfoTitle, MB_ICONINFORMATION};
  return {texts::format(texts::kCancelledPartway,
                        {std::to_wstring(written), std::to_wstring(total - written)}),
          texts::kInfoTitle, MB_ICONINFORMATION};
}
