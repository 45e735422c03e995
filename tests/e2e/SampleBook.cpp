// The sample book of the end-to-end tests and the demo.
#include "e2e/SampleBook.h"

#include <windows.h>

#include "support/BookBuilder.h"
#include "support/SevenZip.h"

std::wstring vellumixExe() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.rfind(L'\\'));  // .../tests
  folder.resize(folder.rfind(L'\\'));  // the build folder
  return folder + L"\\src\\app\\Vellumix.exe";
}

std::wstring sampleDatabase(const std::wstring& folder, const std::wstring& name) {
  const std::wstring path = folder + L"\\" + name + L".db";
  BookBuilder(path)
      .folder("v1", "第一卷 起风")
      .folder("extra", "番外")
      .article("v1", "序章", "txt", 1, "风从北方来。\r\n")
      .category("v1", "上篇", 2)
      .article("v1", "第一章 相遇", "txt", 3, "他们在桥上相遇。\r\n")
      .article("v1", "设定笔记", "md", 4, "# 人物\n- 林\n")
      .category("v1", "下篇", 5)
      .article("v1", "第二章 离别", "txt", 6, "雨停了。\r\n")
      .article("extra", "后记", "md", 1, "谢谢阅读。\n")
      .article("v1", "草稿", "txt", 7, "删掉了", 1);
  return path;
}

std::wstring makeSampleBook(const std::wstring& folder, const std::wstring& name) {
  sampleDatabase(folder, name);
  runSevenZip(L"a -t7z \"" + name + L".pwb\" \"" + name + L".db\"", folder);
  DeleteFileW((folder + L"\\" + name + L".db").c_str());
  return folder + L"\\" + name + L".pwb";
}

std::map<std::string, std::string> sampleTree(bool numbered) {
  const std::string n1 = numbered ? "1. " : "";
  const std::string n2 = numbered ? "2. " : "";
  return {
      {"第一卷 起风/", ""},
      {"第一卷 起风/" + n1 + "序章.txt", "风从北方来。\r\n"},
      {"第一卷 起风/上篇/", ""},
      {"第一卷 起风/上篇/" + n1 + "第一章 相遇.txt", "他们在桥上相遇。\r\n"},
      {"第一卷 起风/上篇/" + n2 + "设定笔记.md", "# 人物\n- 林\n"},
      {"第一卷 起风/下篇/", ""},
      {"第一卷 起风/下篇/" + n1 + "第二章 离别.txt", "雨停了。\r\n"},
      {"番外/", ""},
      {"番外/" + n1 + "后记.md", "谢谢阅读。\n"},
  };
}
