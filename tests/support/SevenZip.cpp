// The real 7-Zip of the test prefix: making archives, and pointing the registry at it.
#include "support/SevenZip.h"

#include <gtest/gtest.h>

#include "win/Handles.h"

namespace {

std::optional<SevenZipPathValue> readPath(HKEY root, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, L"Software\\7-Zip", 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueRegKey key(opened);
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), L"Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  return SevenZipPathValue{buffer, type};
}

void writePath(HKEY root, REGSAM view, const std::optional<SevenZipPathValue>& path) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, L"Software\\7-Zip", 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot open the 7-Zip key";
    return;
  }
  const UniqueRegKey key(opened);
  if (path)
    RegSetValueExW(key.get(), L"Path", 0, path->type,
                   reinterpret_cast<const BYTE*>(path->folder.c_str()),
                   static_cast<DWORD>((path->folder.size() + 1) * sizeof(wchar_t)));
  else
    RegDeleteValueW(key.get(), L"Path");
}

}  // namespace

std::wstring bundledSevenZipFolder() {
  return sizeof(void*) == 8 ? L"C:\\Program Files\\7-Zip" : L"C:\\Program Files (x86)\\7-Zip";
}

DWORD runSevenZip(const std::wstring& arguments, const std::wstring& workingFolder) {
  std::wstring commandLine =
      L"\"" + bundledSevenZipFolder() + L"\\7z.exe\" " + arguments + L" -bso0 -bsp0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, workingFolder.c_str(), &startup, &process)) {
    ADD_FAILURE() << "cannot start 7-Zip";
    return 255;
  }
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  WaitForSingleObject(processHandle.get(), 60000);
  DWORD exitCode = 255;
  GetExitCodeProcess(processHandle.get(), &exitCode);
  return exitCode;
}

ScopedSevenZipRegistry::ScopedSevenZipRegistry()
    : savedUser_(readPath(HKEY_CURRENT_USER, 0)),
      saved64_(readPath(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY)),
      saved32_(readPath(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY)) {}

ScopedSevenZipRegistry::~ScopedSevenZipRegistry() {
  writePath(HKEY_CURRENT_USER, 0, savedUser_);
  writePath(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, saved64_);
  writePath(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, saved32_);
}

void ScopedSevenZipRegistry::setUserPath(const std::optional<std::wstring>& folder, DWORD type) {
  writePath(HKEY_CURRENT_USER, 0,
            folder ? std::optional<SevenZipPathValue>({*folder, type}) : std::nullopt);
}

void ScopedSevenZipRegistry::setMachinePath(REGSAM view,
                                            const std::optional<std::wstring>& folder) {
  writePath(HKEY_LOCAL_MACHINE, view,
            folder ? std::optional<SevenZipPathValue>({*folder, REG_SZ}) : std::nullopt);
}
