// Unpacking a packed book with the 7-Zip installed on the machine.
#include "export/SevenZipUnpacker.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "win/Handles.h"

namespace {

constexpr const wchar_t* kKey = L"Software\\7-Zip";
constexpr const wchar_t* kValue = L"Path";

std::optional<std::wstring> readInstallFolder(HKEY root, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, kKey, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueRegKey key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring folder(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(folder.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  // The stored text may or may not end in its terminator.
  folder.resize(std::min<size_t>(size / sizeof(wchar_t), folder.size()));
  if (const auto end = folder.find(L'\0'); end != std::wstring::npos) folder.resize(end);
  if (type == REG_EXPAND_SZ && !folder.empty()) {
    const DWORD expandedSize = ExpandEnvironmentStringsW(folder.c_str(), nullptr, 0);
    std::wstring expanded(expandedSize, L'\0');
    if (expandedSize == 0 ||
        ExpandEnvironmentStringsW(folder.c_str(), expanded.data(), expandedSize) == 0)
      return std::nullopt;
    expanded.resize(wcslen(expanded.c_str()));
    folder = std::move(expanded);
  }
  if (folder.empty()) return std::nullopt;
  return folder;
}

}  // namespace

namespace SevenZipUnpacker {

std::wstring FindProgram() {
  auto folder = readInstallFolder(HKEY_CURRENT_USER, 0);
  // 7-Zip's own installer records the folder for all users.
  if (!folder) folder = readInstallFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
  if (!folder) folder = readInstallFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
  return folder.value_or(std::wstring()) + L"\\7z.exe";
}

namespace {

UniqueHandle jobThatEndsItsProcessesWithUs() {
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) return job;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof limits))
    job.reset();
  return job;
}

}  // namespace

ExtractResult Extract(const std::wstring& program, const std::wstring& archive,
                      const std::wstring& outputFolder, const std::function<bool()>& goOn) {
  // "-p" gives an empty password: an encrypted book then fails at once instead of 7-Zip
  // waiting for a password on a console nobody sees. Without messages and progress 7-Zip never
  // prints a file name, which it cannot do for a name its console's code page lacks: it would
  // stop and extract nothing.
  std::wstring commandLine =
      L"\"" + program + L"\" e \"" + archive + L"\" -o\"" + outputFolder + L"\" -y -p -bso0 -bsp0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process))
    return ExtractResult::NotStarted;
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  // 7-Zip goes with us: however this program ends (Task Manager, a crash), Windows ends 7-Zip when
  // the job's last handle, ours, closes. Where no job can be had (Windows 7 inside another job),
  // it runs as before.
  const UniqueHandle job = jobThatEndsItsProcessesWithUs();
  if (job) AssignProcessToJobObject(job.get(), processHandle.get());
  ResumeThread(threadHandle.get());
  const HANDLE waitOn = processHandle.get();
  while (MsgWaitForMultipleObjects(1, &waitOn, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
    if (!goOn()) {
      // Ended by the handle we were given, never looked up by name; waited for, so that the
      // files it holds open can be removed.
      TerminateProcess(processHandle.get(), 1);
      WaitForSingleObject(processHandle.get(), 5000);
      return ExtractResult::Stopped;
    }
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(processHandle.get(), &exitCode);
  // 7-Zip: 0 no error, 1 warnings only, 2 and above fatal.
  return exitCode >= 2 ? ExtractResult::Failed : ExtractResult::Extracted;
}

}  // namespace SevenZipUnpacker
