// Names for fresh folders in the system temporary directory.
#pragma once

#include <string>

// The temporary directory plus a number in lower-case hexadecimal and ".tmp" (ANSI), taken
// from the tick count plus a per-process counter so that two names made in one tick differ,
// and increased until nothing has that name. Nothing is created.
std::string makeTempFolderName();
