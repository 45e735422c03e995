// A path handed over by Explorer (a file dragged onto the program, "打开方式", "发送到"): the
// program's command line, read as a drop of the same files would give it.
#pragma once

#include <string>

// Empty when no argument was given; one full path for one argument; several paths, each
// followed by CR LF, for several (which the export refuses, as it refuses several dropped files).
std::wstring droppedTextOf(const wchar_t* commandLine);
