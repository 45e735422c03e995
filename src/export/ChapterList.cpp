// toc.html: the outline of an export, one UTF-8 document that each export extends.
#include "export/ChapterList.h"

#include "win/TextConversion.h"
#include "win/WideFileOps.h"

namespace {

constexpr size_t kFlushBytes = 64 * 1024;

// Valid UTF-8 with the HTML specials as entities; invalid bytes become U+FFFD.
void appendEscaped(std::string& out, std::string_view utf8) {
  for (const char c : wideToUtf8(utf8ToWide(utf8))) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

bool ChapterList::open(const std::wstring& exportFolder) {
  const std::wstring path = longPathForm(joinPath(exportFolder, L"toc.html"));
  file_ = ownFileHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_.get(), &size) ||
      !SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_END)) {
    file_.reset();
    return false;
  }
  failed_ = false;
  if (size.QuadPart == 0) pending_ += "<meta charset=\"utf-8\">\n";
  writeLine("<h1>", wideToUtf8(exportFolder), "</h1>\n");
  return true;
}

void ChapterList::folderHeading(std::string_view utf8Name) {
  writeLine("<h2>", utf8Name, "</h2>\n");
}

void ChapterList::categoryHeading(std::string_view utf8Title) {
  writeLine("<h3>", utf8Title, "</h3>\n");
}

void ChapterList::articleLine(bool isTxt, std::string_view utf8Title) {
  writeLine(isTxt ? "<p><strong>T</strong> " : "<p><strong>M</strong> ", utf8Title, "</p>\n");
}

void ChapterList::writeLine(std::string_view open, std::string_view utf8Text,
                            std::string_view close) {
  if (!file_) return;
  pending_ += open;
  appendEscaped(pending_, utf8Text);
  pending_ += close;
  if (pending_.size() >= kFlushBytes) flush();
}

void ChapterList::flush() {
  DWORD written = 0;
  if (!pending_.empty() && (!WriteFile(file_.get(), pending_.data(),
                                       static_cast<DWORD>(pending_.size()), &written, nullptr) ||
                            written != pending_.size()))
    failed_ = true;
  pending_.clear();
}

bool ChapterList::close() {
  if (!file_) return !failed_;
  flush();
  file_.reset();
  return !failed_;
}
