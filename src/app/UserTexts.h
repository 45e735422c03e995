// Every text the program shows, in one place: UTF-16, and code page 936 bytes for the menu's A
// functions.
#pragma once

namespace texts {

// Notice titles.
extern const wchar_t* const kDefaultNoticeTitle;
extern const wchar_t* const kErrorTitle;
extern const wchar_t* const kInfoTitle;
extern const wchar_t* const kGuardTitle;

// Export notices.
extern const wchar_t* const kDone;
extern const wchar_t* const kDoneWithFailures;  // followed by the count, then kFailuresSuffix
extern const wchar_t* const kFailuresSuffix;
extern const wchar_t* const kMoreFailures;
extern const wchar_t* const kDamagedBook;  // listed among the failures
// A folder listed among the failures with the rows of it that could not be read: %1 is its name,
// %2 and %3 the numbers of articles and categories.
extern const wchar_t* const kLostArticles;
extern const wchar_t* const kLostCategories;
extern const wchar_t* const kLostArticlesAndCategories;
extern const wchar_t* const kNoWorkingSpace;
extern const wchar_t* const kFolderMissing;
extern const wchar_t* const kUnreadableBook;
extern const wchar_t* const kUnsafeId;
extern const wchar_t* const kSevenZipMissing;
extern const wchar_t* const kUnpackFailed;
extern const wchar_t* const kInvalidFile;
extern const wchar_t* const kChooseFolderPrompt;  // for the wide folder chooser

// The window.
extern const wchar_t* const kWindowTitle;
extern const wchar_t* const kDropLabel;  // for the wide label control
extern const char* const kProgramMenu;
extern const char* const kAttribution;
extern const char* const kAboutItem;
extern const char* const kHelpItem;
extern const char* const kOptionsMenu;
extern const char* const kChapterListItem;
extern const char* const kNumberingItem;
extern const char* const kNumberingExample;
// "正在导出：第 n 篇，共 N 篇", for the wide label.
extern const wchar_t* const kProgressBefore;
extern const wchar_t* const kProgressBetween;
extern const wchar_t* const kProgressAfter;

}  // namespace texts
