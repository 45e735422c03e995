// Conversions between code page 936, UTF-8 and UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include "win/TextConversion.h"

namespace {

TEST(TextConversionTest, SystemCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST(TextConversionTest, AnsiAndUtf8RoundTrip) {
  const struct {
    std::string ansi;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"plain ascii", "plain ascii"},
      {"\xb4\xed\xce\xf3", "错误"},
      {"D:\\\x87\x5c.pwb", "D:\\嘰.pwb"},  // the trail byte 0x5C is part of the character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ansiToUtf8(c.ansi), c.utf8);
    EXPECT_EQ(utf8ToAnsi(c.utf8), c.ansi);
  }
}

TEST(TextConversionTest, NoLookAlikesForCharactersOutsideTheCodePage) {
  for (const char* utf8 : {"😀", "한국어", "ภาษาไทย", "عربي"})
    EXPECT_EQ(utf8ToAnsi(utf8), std::nullopt) << utf8;
}

TEST(TextConversionTest, InvalidBytesFailExactConversions) {
  EXPECT_EQ(utf8ToAnsi("\xff\xfe"), std::nullopt);
  EXPECT_EQ(utf8ToAnsi("\xe4\xb8"), std::nullopt);  // cut off
  EXPECT_EQ(ansiToUtf8("\x81"), std::nullopt);      // lead byte without its trail byte
  EXPECT_EQ(utf8ToWide("a\xff"
                       "b"),
            L"a\xfffd"
            L"b");
}

TEST(TextConversionTest, Utf8AndUtf16KeepEveryCharacter) {
  const std::wstring wide = L"표제 😀 第一章\r\n";
  EXPECT_EQ(utf8ToWide(wideToUtf8(wide)), wide);
  EXPECT_EQ(wideToUtf8(L"😀"), "\xf0\x9f\x98\x80");
  EXPECT_EQ(utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

}  // namespace
