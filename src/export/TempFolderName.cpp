// Names for fresh folders in the system temporary directory.
#include "export/TempFolderName.h"

#include <windows.h>

#include <cstdio>

std::string makeTempFolderName() {
  static DWORD counter = 0;
  char temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, temp);
  std::string directory(temp, length <= MAX_PATH ? length : 0);
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  for (DWORD number = GetTickCount() + counter++;; ++number) {
    char name[16];
    std::snprintf(name, sizeof name, "%lx.tmp", static_cast<unsigned long>(number));
    const std::string candidate = directory + name;
    if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
  }
}
