// Unpacking a packed book (.pwb, a 7-Zip archive) with the 7-Zip installed on the machine.
#pragma once

#include <functional>
#include <string>

namespace SevenZipUnpacker {

// 7-Zip's install folder from the registry with "\7z.exe" appended; just "\7z.exe" when 7-Zip
// is not installed. The folder is read for the user, then for all users (64-bit view, then
// 32-bit view). The program file itself is not tested.
std::wstring FindProgram();

enum class ExtractResult {
  NotStarted,  // 7-Zip could not be started
  Failed,      // 7-Zip reported a fatal error: damaged or encrypted archive, and the like
  Stopped,     // asked to stop: 7-Zip was ended where it was
  Extracted,
};

// Extracts every file of `archive`, without its folders, into `outputFolder`, overwriting, and
// waits until 7-Zip ends, calling `goOn` whenever messages arrive for this thread and at least
// every 50 ms: when it answers false, 7-Zip is ended and the extraction stops.
ExtractResult Extract(const std::wstring& program, const std::wstring& archive,
                      const std::wstring& outputFolder, const std::function<bool()>& goOn);

}  // namespace SevenZipUnpacker
