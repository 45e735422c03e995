// The real 7-Zip of the test prefix: making archives, and pointing the registry at it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The folder of the test prefix's 7-Zip for this program's architecture.
std::wstring bundledSevenZipFolder();

// Runs 7z.exe with `arguments` in `workingFolder`; returns its exit code.
DWORD runSevenZip(const std::wstring& arguments, const std::wstring& workingFolder);

// Sets the registry values that locate 7-Zip for one test and puts the old ones back after.
class ScopedSevenZipRegistry {
 public:
  ScopedSevenZipRegistry();
  ~ScopedSevenZipRegistry();
  ScopedSevenZipRegistry(const ScopedSevenZipRegistry&) = delete;
  ScopedSevenZipRegistry& operator=(const ScopedSevenZipRegistry&) = delete;

  // No value: the value is removed.
  void setUserPath(const std::optional<std::string>& ansiFolder);
  void setMachinePath(REGSAM view, const std::optional<std::string>& ansiFolder);

 private:
  std::optional<std::string> savedUser_, saved64_, saved32_;
};
