// Every text the program shows, in one place. This file is compiled with code page 936 as its
// execution character set, so each literal is stored as the bytes the A functions expect.
#include "export/UserTexts.h"

namespace texts {

const char* const kDefaultNoticeTitle = "友情提醒";
const char* const kErrorTitle = "错误";
const char* const kInfoTitle = "提示";
const char* const kGuardTitle = "导出异常";

const char* const kDone = "完成。";
const char* const kDoneWithFailures = "完成，但有 ";
const char* const kFailuresSuffix = " 项未能写出：";
const char* const kMoreFailures = "……";
const char* const kFolderMissing = "发生错误：文件夹不存在。";
const char* const kUnreadableBook = "无法读取书籍数据库。";
const char* const kUnsafeId = "书籍 ID 异常，可能存在 SQL 注入。程序将中断导出。";
const char* const kSevenZipMissing =
    "找不到 7-Zip，请先安装 7-Zip。\r\n你也可以自行解压后拖入其中的 db 文件。";
const char* const kUnpackFailed = "文件解压失败。";
const char* const kInvalidFile = "文件不合法。";
const wchar_t* const kChooseFolderPrompt = L"选择导出位置（建议使用空文件夹）";

}  // namespace texts
