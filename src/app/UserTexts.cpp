// Every text the program shows, in one place, in UTF-16.
#include "app/UserTexts.h"

namespace texts {

std::wstring format(std::wstring_view format, std::initializer_list<std::wstring> arguments) {
  std::wstring text;
  for (size_t i = 0; i < format.size(); ++i) {
    const size_t argument = i + 1 < format.size() ? format[i + 1] - L'1' : arguments.size();
    if (format[i] == L'%' && argument < arguments.size()) {
      text += arguments.begin()[argument];
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

const wchar_t* const kDefaultNoticeTitle = L"友情提醒";
const wchar_t* const kErrorTitle = L"错误";
const wchar_t* const kInfoTitle = L"提示";
const wchar_t* const kGuardTitle = L"导出异常";

const wchar_t* const kDone = L"完成。";
const wchar_t* const kDoneWithFailures = L"完成，但有 ";
const wchar_t* const kFailuresSuffix = L" 项未能写出：";
const wchar_t* const kMoreFailures = L"……";
const wchar_t* const kDamagedBook = L"（书籍数据库已损坏）";
const wchar_t* const kLostArticles = L"%1（最多 %2 篇无法读取）";
const wchar_t* const kLostCategories = L"%1（最多 %3 个分类无法读取）";
const wchar_t* const kLostArticlesAndCategories = L"%1（最多 %2 篇、%3 个分类无法读取）";
const wchar_t* const kNoWorkingSpace =
    L"临时文件夹所在的磁盘空间不足或无法写入，无法导出。\r\n书籍文件本身没有问题。";
const wchar_t* const kCancelled = L"已停止导出。";
const wchar_t* const kCancelledPartway = L"已停止导出：已写出 %1 篇，另有 %2 篇未写出。";
const wchar_t* const kStopQuestion = L"正在导出，要停止吗？";
const wchar_t* const kShutdownReason = L"正在导出书籍";
const wchar_t* const kFolderMissing = L"发生错误：文件夹不存在。";
const wchar_t* const kUnreadableBook = L"无法读取书籍数据库。";
const wchar_t* const kUnsafeId = L"书籍 ID 异常，可能存在 SQL 注入。程序将中断导出。";
const wchar_t* const kSevenZipMissing =
    L"找不到 7-Zip，请先安装 7-Zip。\r\n你也可以自行解压后拖入其中的 db 文件。";
const wchar_t* const kUnpackFailed = L"文件解压失败。";
const wchar_t* const kInvalidFile = L"文件不合法。";
const wchar_t* const kChooseFolderPrompt = L"选择导出位置（建议使用空文件夹）";
const wchar_t* const kOpenDialogTitle = L"选择要导出的书籍";
const wchar_t* const kBookFilesFilter = L"书籍文件 (*.pwb;*.db)";
const wchar_t* const kBookFilesPattern = L"*.pwb;*.db";
const wchar_t* const kAllFilesFilter = L"所有文件 (*.*)";
const wchar_t* const kAllFilesPattern = L"*.*";

const wchar_t* const kWindowTitle = L"Vellumix";
const wchar_t* const kDropLabel =
    L"\r\n\r\n拖到这里\r\n\r\n（只接受 db 和 pwb 文件，\r\n后者需要另行安装 7-Zip）";
const wchar_t* const kProgramMenu = L"程序 (&P)";
const wchar_t* const kOpenItem = L"打开书籍文件... (&O)\tCtrl+O";
const wchar_t* const kAttribution =
    L"Vellumix " VELLUMIX_VERSION L" · 版权所有 2026 Vellumix 开发团队";
const wchar_t* const kAboutItem = L"关于... (&A)";
const wchar_t* const kHelpItem = L"帮助... (&H)";
const wchar_t* const kOptionsMenu = L"选项 (&O)";
const wchar_t* const kChapterListItem = L"导出篇章目录 (&C)";
const wchar_t* const kNumberingItem = L"在文件名中附加编号 (&N)";
const wchar_t* const kNumberingExample = L"导出的文件名将会形如：1. 文件名.txt";
const wchar_t* const kProgress = L"正在导出：第 %1 篇，共 %2 篇（按 Esc 停止）";

}  // namespace texts
