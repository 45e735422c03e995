// The sample book of the end-to-end tests and the demo, and where the program is.
#pragma once

#include <map>
#include <string>

// Vellumix.exe of this build, beside the test programs' folder.
std::wstring vellumixExe();

// Writes 我的小说.db into `folder` and returns its path.
std::wstring sampleDatabase(const std::wstring& folder);
// Writes 我的小说.pwb (packed with the real 7-Zip) into `folder` and returns its path.
std::wstring makeSampleBook(const std::wstring& folder);
// The tree an export of the sample book gives, with or without numbered names.
std::map<std::string, std::string> sampleTree(bool numbered);
