// The real 7-Zip of the test prefix: making archives, and pointing the registry at it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The folder of the test prefix's 7-Zip for this program's architecture.
std::wstring bundledSevenZipFolder();

// Runs 7z.exe with `arguments` in `workingFolder`, its messages and progress off (it cannot
// print names outside its console's code page); returns its exit code.
DWORD runSevenZip(const std::wstring& arguments, const std::wstring& workingFolder);

// A registry value that locates 7-Zip: its text and its type (REG_SZ or REG_EXPAND_SZ).
struct SevenZipPathValue {
  std::wstring folder;
  DWORD type;
};

// Sets the registry values that locate 7-Zip for one test and puts the old ones back after.
class ScopedSevenZipRegistry {
 public:
  ScopedSevenZipRegistry();
  ~ScopedSevenZipRegistry();
  ScopedSevenZipRegistry(const ScopedSevenZipRegistry&) = delete;
  ScopedSevenZipRegistry& operator=(const ScopedSevenZipRegistry&) = delete;

  // No value: the value is removed. `type` is REG_SZ or REG_EXPAND_SZ.
  void setUserPath(const std::optional<std::wstring>& folder, DWORD type = REG_SZ);
  void setMachinePath(REGSAM view, const std::optional<std::wstring>& folder);

 private:
  std::optional<SevenZipPathValue> savedUser_, saved64_, saved32_;
};
