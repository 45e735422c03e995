// The sample book of the end-to-end tests and the demo, and where the program is.
#pragma once

#include <map>
#include <string>

// Vellumix.exe of this build, beside the test programs' folder.
std::wstring vellumixExe();

// Writes `name`.db into `folder` and returns its path.
std::wstring sampleDatabase(const std::wstring& folder, const std::wstring& name = L"我的小说");
// Writes `name`.pwb (packed with the real 7-Zip, holding `name`.db) into `folder` and returns
// its path.
std::wstring makeSampleBook(const std::wstring& folder, const std::wstring& name = L"我的小说");
// The tree an export of the sample book gives, with or without numbered names.
std::map<std::string, std::string> sampleTree(bool numbered);
