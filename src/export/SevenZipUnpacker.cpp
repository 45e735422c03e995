// Unpacking a packed book with the 7-Zip installed on the machine.
#include "export/SevenZipUnpacker.h"

#include <windows.h>

#include <optional>

#include "export/Handles.h"
#include "export/TempFolderName.h"

namespace {

constexpr const char* kKey = "Software\\7-Zip";
constexpr const char* kValue = "Path";

std::optional<std::string> readInstallFolder(HKEY root, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, kKey, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueRegKey key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::string folder(size, '\0');
  if (RegQueryValueExA(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(folder.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  folder.resize(std::min<size_t>(size, folder.size()));
  // The stored text may or may not end in its terminator.
  if (const auto end = folder.find('\0'); end != std::string::npos) folder.resize(end);
  if (folder.empty()) return std::nullopt;
  return folder;
}

}  // namespace

namespace SevenZipUnpacker {

std::string FindProgram() {
  auto folder = readInstallFolder(HKEY_CURRENT_USER, 0);
  // 7-Zip's own installer records the folder for all users.
  if (!folder) folder = readInstallFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
  if (!folder) folder = readInstallFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
  return folder.value_or(std::string()) + "\\7z.exe";
}

std::string MakeTempFolderName() { return makeTempFolderName(); }

ExtractResult Extract(const std::string& ansiProgram, const std::string& ansiArchive,
                      const std::string& ansiOutputFolder,
                      const std::function<void()>& whileWaiting) {
  // "-p" gives an empty password: an encrypted book then fails at once instead of 7-Zip
  // waiting for a password on a console nobody sees.
  std::string commandLine =
      "\"" + ansiProgram + "\" e \"" + ansiArchive + "\" -o\"" + ansiOutputFolder + "\" -y -p";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process))
    return ExtractResult::NotStarted;
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  const HANDLE waitOn = processHandle.get();
  while (MsgWaitForMultipleObjects(1, &waitOn, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0)
    whileWaiting();
  DWORD exitCode = 0;
  GetExitCodeProcess(processHandle.get(), &exitCode);
  // 7-Zip: 0 no error, 1 warnings only, 2 and above fatal.
  return exitCode >= 2 ? ExtractResult::Failed : ExtractResult::Extracted;
}

}  // namespace SevenZipUnpacker
