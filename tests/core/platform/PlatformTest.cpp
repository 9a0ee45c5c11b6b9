#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"

namespace cq {
namespace {

namespace fs = std::filesystem;

TEST(LatinCase, ChangesOnlyTheLatinLetters) {
  EXPECT_EQ(UpperLatin("abc XYZ 09 \xE0\xFF"), "ABC XYZ 09 \xE0\xFF");
  EXPECT_EQ(LowerLatin("ABC xyz \xC0\xDF"), "abc xyz \xC0\xDF");
  EXPECT_TRUE(EqualsIgnoringLatinCase("Status.Waiting", "STATUS.waiting"));
  EXPECT_FALSE(EqualsIgnoringLatinCase("\xE0", "\xC0"));  // Cyrillic a and A
  EXPECT_FALSE(EqualsIgnoringLatinCase("abc", "abcd"));
}

TEST(Cp1251, EveryAssignedByteSurvivesTheRoundTrip) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != 0x98) all += static_cast<char>(byte);  // 0x98 is unassigned
  }
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  const std::string euros(5000, '\x88');  // three UTF-8 bytes each
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(euros)), euros);
}

TEST(Cp1251, WhatCannotBeHeldBecomesOneQuestionMarkPerCharacter) {
  struct Case {
    const char* utf8;
    const char* cp1251;
  };
  const Case cases[] = {
      {"a\xE4\xB8\xAD"
       "b",
       "a?b"},                      // a CJK character: three bytes, one mark
      {"\xF0\x9F\x8E\xB5!", "?!"},  // a four-byte character
      {"x\xFFy", "x?y"},            // not UTF-8 at all
      {"\xD0", "?"},                // cut off at the end
      {"\xE4\xB8"
       "z",
       "?z"},  // cut off in the middle
  };
  for (const Case& test : cases) EXPECT_EQ(Utf8ToCp1251(test.utf8), test.cp1251) << test.utf8;
  EXPECT_EQ(Cp1251ToUtf8("a\x98z"), "a?z");
}

TEST(SpecialFolders, FollowTheXdgFolders) {
  const std::string home = std::getenv("HOME");
  EXPECT_EQ(GetSpecialFolder(sfAppData, "fallback"), std::getenv("XDG_DATA_HOME"));
  EXPECT_EQ(UserCacheFolder(), std::getenv("XDG_CACHE_HOME"));
  EXPECT_EQ(UserConfigFolder(), std::getenv("XDG_CONFIG_HOME"));

  const std::string config = std::getenv("XDG_CONFIG_HOME");
  fs::create_directories(home + "/Tunes");
  std::ofstream(config + "/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                               "XDG_MUSIC_DIRECTORY=\"$HOME/Wrong\"\n"
                                               "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n"
                                               "XDG_DOCUMENTS_DIR=\"$HOME/\"\n";
  EXPECT_EQ(GetSpecialFolder(sfMyMusic, "fallback"), home + "/Tunes");
  // A user folder set to HOME itself is switched off; no Documents folder exists either.
  EXPECT_EQ(GetSpecialFolder(sfPersonal, "fallback"), "fallback");
  fs::remove(config + "/user-dirs.dirs");
}

TEST(SpecialFolders, ARelativeXdgVariableIsIgnored) {
  const std::string saved = std::getenv("XDG_CACHE_HOME");
  ::setenv("XDG_CACHE_HOME", "relative/cache", 1);
  const std::string folder = UserCacheFolder();
  ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
  EXPECT_EQ(folder, std::string(std::getenv("HOME")) + "/.cache");
}

}  // namespace
}  // namespace cq
