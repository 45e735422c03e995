// The processes a test's program started, seen from outside.
#include "support/Processes.h"

// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include "win/Handles.h"

std::vector<DWORD> childProcessesOf(DWORD parent) {
  std::vector<DWORD> children;
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry))
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  return children;
}
