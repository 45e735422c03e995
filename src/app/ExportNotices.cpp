// What the user is told when an export ends.
#include "app/ExportNotices.h"

#include "app/UserTexts.h"
#include "win/TextConversion.h"

namespace {

// `format` with %1, %2 and %3 replaced by the arguments.
std::wstring formatText(std::wstring_view format, const std::wstring (&arguments)[3]) {
  std::wstring text;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] >= L'1' &&
        format[i + 1] <= L'3') {
      text += arguments[format[++i] - L'1'];
    } else {
      text += format[i];
    }
  }
  return text;
}

std::wstring failureLine(const ExportFailures::Item& item) {
  if (item.damagedBook) return texts::kDamagedBook;
  const std::wstring name = utf8ToWide(item.utf8Name);
  if (item.lostArticles == 0 && item.lostCategories == 0) return name;
  const wchar_t* format = item.lostCategories == 0 ? texts::kLostArticles
                          : item.lostArticles == 0 ? texts::kLostCategories
                                                   : texts::kLostArticlesAndCategories;
  return formatText(format, {name, std::to_wstring(item.lostArticles),
                             std::to_wstring(item.lostCategories)});
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
  if (failures.moreThanListed())
    text += std::wstring(L"\r\n") + texts::kMoreFailures;
  return {text, texts::kErrorTitle, MB_ICONERROR};
}
