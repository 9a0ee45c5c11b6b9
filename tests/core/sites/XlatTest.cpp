#include <gtest/gtest.h>

#include <string>

#include "core/platform/Text.h"
#include "core/sites/Xlat.h"

namespace cq {
namespace {

std::string Byte(unsigned value) {
  return std::string(1, static_cast<char>(value));
}

TEST(Xlat, EncodesEveryLetterAndSmallYoAsIconvDoes) {
  for (unsigned letter = 184; letter <= 255; ++letter) {
    if (letter > 184 && letter < 192) continue;
    EXPECT_EQ(XlatEncode(Byte(letter)), Cp1251ToUtf8(Byte(letter))) << "byte " << letter;
    EXPECT_EQ(XlatEncode(Byte(letter)).size(), 2u) << "byte " << letter;
  }
}

TEST(Xlat, DecodeReversesEncodeForEveryConvertedLetter) {
  std::string all;
  for (unsigned letter = 192; letter <= 255; ++letter) all += Byte(letter);
  all += Byte(184);
  EXPECT_EQ(XlatDecode(XlatEncode(all)), all);
}

struct DecodeCase {
  const char* name;
  std::string utf8;
  std::string cp1251;
};

TEST(Xlat, DecodeConvertsOnlyTheSixtyFiveLetters) {
  const DecodeCase cases[] = {
      {"plain Latin text", "Love me 2", "Love me 2"},
      {"Cyrillic word", "\xD0\x9B\xD1\x8E\xD0\xB1\xD0\xBE\xD0\xB2\xD1\x8C",
       "\xCB\xFE\xE1\xEE\xE2\xFC"},
      {"small yo", "\xD1\x91", "\xB8"},
      {"capital Yo stays UTF-8", "\xD0\x81", "\xD0\x81"},
      {"dash stays UTF-8",
       "a\xE2\x80\x94"
       "b",
       "a\xE2\x80\x94"
       "b"},
      {"lead byte at the end", "x\xD0", "x\xD0"},
      {"doubled lead byte", "\xD0\xD0\x90", "\xD0\xC0"},
      {"D1 beyond the letters", "\xD1\x90", "\xD1\x90"},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(XlatDecode(c.utf8), c.cp1251) << c.name;
}

}  // namespace
}  // namespace cq
