// The naming rule for directories and article files.
#include "export/NameRule.h"

#include <gtest/gtest.h>

namespace {

TEST(NameRuleTest, DirectoryNames) {
  const struct {
    std::wstring_view name;
    std::wstring_view expected;
  } cases[] = {
      {L"第一卷", L"第一卷"},
      {L"a|b>c<d\"e?f*g:h/i\\j", L"a_b_c_d_e_f_g_h_i_j"},
      {L"tab\there\x01\x1f", L"tab_here__"},
      {L"", L"_"},
      {L"trailing...", L"trailing___"},
      {L"trailing . ", L"trailing___"},
      {L"..", L"__"},
      {L" lead", L" lead"},
      {L"CON", L"CON_"},
      {L"aux", L"aux_"},
      {L"Com7", L"Com7_"},
      {L"LPT1.old", L"LPT1_.old"},
      {L"NUL .x", L"NUL _.x"},
      {L"COM0", L"COM0"},
      {L"CONSOLE", L"CONSOLE"},
      {L"1. CON", L"1. CON"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sanitizeName(c.name, NameKind::Directory), c.expected) << c.name.data();
}

TEST(NameRuleTest, FileBasesKeepTrailingDotsAndLeaveDeviceNamesToTheFinalName) {
  EXPECT_EQ(sanitizeName(L"ends...", NameKind::FileBase), L"ends...");
  EXPECT_EQ(sanitizeName(L"CON", NameKind::FileBase), L"CON");
  EXPECT_EQ(sanitizeName(L"", NameKind::FileBase), L"_");
  EXPECT_EQ(sanitizeName(L"a:b", NameKind::FileBase), L"a_b");
}

TEST(NameRuleTest, FinalNamesAvoidDevices) {
  const struct {
    std::wstring_view name;
    std::wstring_view expected;
  } cases[] = {
      {L"CON.txt", L"CON_.txt"},
      {L"con.md", L"con_.md"},
      {L"aux", L"aux_"},
      {L"CON .txt", L"CON _.txt"},
      {L"1. CON.txt", L"1. CON.txt"},
      {L"CON_0.txt", L"CON_0.txt"},
      {L"prn.tar.txt", L"prn_.tar.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(guardDeviceName(std::wstring(c.name)), c.expected);
}

TEST(NameRuleTest, LongNamesAreCutAtAWholeCharacter) {
  const std::wstring ascii(300, L'x');
  EXPECT_EQ(sanitizeName(ascii, NameKind::FileBase), std::wstring(200, L'x'));

  const std::wstring pairAtTheCut = std::wstring(199, L'x') + L"😀tail";
  EXPECT_EQ(sanitizeName(pairAtTheCut, NameKind::FileBase), std::wstring(199, L'x'));

  const std::wstring pairBeforeTheCut = std::wstring(198, L'x') + L"😀tail";
  EXPECT_EQ(sanitizeName(pairBeforeTheCut, NameKind::FileBase), std::wstring(198, L'x') + L"😀");

  EXPECT_EQ(sanitizeName(std::wstring(199, L'x') + L"..", NameKind::Directory),
            std::wstring(199, L'x') + L"_");
}

}  // namespace
