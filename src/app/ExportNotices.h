// What the user is told when an export ends: the text, title and icon of each notice.
#pragma once

#include <windows.h>

#include <string>

#include "export/ExportUi.h"

struct Notice {
  std::wstring text;
  std::wstring title;
  UINT flags = 0;  // MB_ICONERROR or MB_ICONINFORMATION, with the OK button
};

Notice noticeFor(ExportStop why);
Notice noticeFor(const ExportFailures& failures);
// A stop on request after `written` of `total` articles.
Notice noticeForCancelled(int written, int total);
