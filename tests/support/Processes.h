// The processes a test's program started, seen from outside.
#pragma once

#include <windows.h>

#include <vector>

// The ids of the processes that process `parent` started and that still run.
std::vector<DWORD> childProcessesOf(DWORD parent);
