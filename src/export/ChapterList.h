// toc.html: the outline of an export (folders, categories, articles), one UTF-8 document that
// each export into the same folder extends.
#pragma once

#include <string>
#include <string_view>

#include "win/Handles.h"

class ChapterList {
 public:
  ChapterList() = default;
  ChapterList(const ChapterList&) = delete;
  ChapterList& operator=(const ChapterList&) = delete;
  ~ChapterList() { close(); }

  // Opens (or creates) toc.html in the export folder, never truncating it, and writes the
  // heading with the folder's path. False when it cannot be opened.
  bool open(const std::wstring& exportFolder);
  void folderHeading(std::string_view utf8Name);
  void categoryHeading(std::string_view utf8Title);
  void articleLine(bool isTxt, std::string_view utf8Title);
  // False when any line could not be written.
  bool close();

 private:
  void writeLine(std::string_view open, std::string_view utf8Text, std::string_view close);
  void flush();

  UniqueHandle file_;
  std::string pending_;
  bool failed_ = false;
};
