// Windows-1252 text conversion of the library's text fields.

#include <gtest/gtest.h>

#include "library/Cp1252.h"

namespace veerline::library {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheWindowsSpecificCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80\x8A\x9F\xE9\xFF"), "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\xA9\xC3\xBF");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x93\xE2\x84\xA2"), "\x96\x99");  // en dash, trade mark
}

TEST(Cp1252, ReplacesWhatItCannotHold) {
  EXPECT_EQ(Utf8ToCp1252("\xCE\xA9"), "?");               // Greek omega
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");              // overlong '/'
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");         // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80x"), "????x");  // past U+10FFFF
}

}  // namespace
}  // namespace veerline::library
