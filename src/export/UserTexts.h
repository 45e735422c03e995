// Every text the program shows, in one place. Compiled to code page 936 bytes for the A functions.
#pragma once

namespace texts {

// Notice titles.
extern const char* const kDefaultNoticeTitle;
extern const char* const kErrorTitle;
extern const char* const kInfoTitle;
extern const char* const kGuardTitle;

// Export notices.
extern const char* const kDone;
extern const char* const kDoneWithFailures;  // followed by the count, then kFailuresSuffix
extern const char* const kFailuresSuffix;
extern const char* const kMoreFailures;
extern const char* const kDamagedBook;  // listed among the failures
extern const char* const kFolderMissing;
extern const char* const kUnreadableBook;
extern const char* const kUnsafeId;
extern const char* const kSevenZipMissing;
extern const char* const kUnpackFailed;
extern const char* const kInvalidFile;
extern const wchar_t* const kChooseFolderPrompt;  // for the wide folder chooser

// The window.
extern const char* const kWindowTitle;
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
