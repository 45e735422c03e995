// The real 7-Zip of the test prefix: making archives, and pointing the registry at it.
#include "support/SevenZip.h"

#include <gtest/gtest.h>

#include "export/Handles.h"

namespace {

std::optional<std::string> readPath(HKEY root, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, "Software\\7-Zip", 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueRegKey key(opened);
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1;
  if (RegQueryValueExA(key.get(), "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buffer);
}

void writePath(HKEY root, REGSAM view, const std::optional<std::string>& folder) {
  HKEY opened = nullptr;
  if (RegCreateKeyExA(root, "Software\\7-Zip", 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot open the 7-Zip key";
    return;
  }
  const UniqueRegKey key(opened);
  if (folder)
    RegSetValueExA(key.get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder->c_str()),
                   static_cast<DWORD>(folder->size() + 1));
  else
    RegDeleteValueA(key.get(), "Path");
}

}  // namespace

std::wstring bundledSevenZipFolder() {
  return sizeof(void*) == 8 ? L"C:\\Program Files\\7-Zip" : L"C:\\Program Files (x86)\\7-Zip";
}

DWORD runSevenZip(const std::wstring& arguments, const std::wstring& workingFolder) {
  std::wstring commandLine = L"\"" + bundledSevenZipFolder() + L"\\7z.exe\" " + arguments;
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

void ScopedSevenZipRegistry::setUserPath(const std::optional<std::string>& ansiFolder) {
  writePath(HKEY_CURRENT_USER, 0, ansiFolder);
}

void ScopedSevenZipRegistry::setMachinePath(REGSAM view,
                                            const std::optional<std::string>& ansiFolder) {
  writePath(HKEY_LOCAL_MACHINE, view, ansiFolder);
}
