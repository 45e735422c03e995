// Every text the program shows, in one place, in UTF-16: no code page is needed to show them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace texts {

// `format` with %1, %2, ... replaced by the arguments in turn.
std::wstring format(std::wstring_view format, std::initializer_list<std::wstring> arguments);

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
// A stop on request: before any article was written, and part-way (%1 written, %2 not).
extern const wchar_t* const kCancelled;
extern const wchar_t* const kCancelledPartway;
extern const wchar_t* const kStopQuestion;    // asked when the window is closed during an export
extern const wchar_t* const kShutdownReason;  // why the export holds up the end of the session
extern const wchar_t* const kFolderMissing;
extern const wchar_t* const kUnreadableBook;
extern const wchar_t* const kUnsafeId;
extern const wchar_t* const kSevenZipMissing;
extern const wchar_t* const kUnpackFailed;
extern const wchar_t* const kInvalidFile;
extern const wchar_t* const kChooseFolderPrompt;  // for the wide folder chooser
// The file dialog of the Open item: its title and its two filters (name, then pattern).
extern const wchar_t* const kOpenDialogTitle;
extern const wchar_t* const kBookFilesFilter;
extern const wchar_t* const kBookFilesPattern;
extern const wchar_t* const kAllFilesFilter;
extern const wchar_t* const kAllFilesPattern;

// The window.
extern const wchar_t* const kWindowTitle;
extern const wchar_t* const kDropLabel;  // for the wide label control
extern const wchar_t* const kProgramMenu;
extern const wchar_t* const kOpenItem;  // with its key, Ctrl+O
extern const wchar_t* const kAttribution;
extern const wchar_t* const kAboutItem;
extern const wchar_t* const kHelpItem;
extern const wchar_t* const kOptionsMenu;
extern const wchar_t* const kChapterListItem;
extern const wchar_t* const kNumberingItem;
extern const wchar_t* const kNumberingExample;
// The progress line: %1 the article being written, %2 how many there are.
extern const wchar_t* const kProgress;

}  // namespace texts
