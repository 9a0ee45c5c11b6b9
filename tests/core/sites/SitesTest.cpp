#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/sites/AllSites.h"
#include "core/sites/Sites.h"

namespace cq {
namespace {

TEST(ShortString, KeepsUpTo255BytesAndCutsTheRest) {
  struct Case {
    std::size_t length;
    std::size_t kept;
  };
  for (const Case test :
       {Case{0, 0}, Case{1, 1}, Case{254, 254}, Case{255, 255}, Case{256, 255}, Case{1000, 255}}) {
    std::string text;
    for (std::size_t i = 0; i < test.length; ++i) text += static_cast<char>('a' + i % 26);
    const ShortString fromString(text);
    ShortString assigned;
    assigned = text.c_str();
    EXPECT_EQ(fromString.size(), test.kept) << test.length;
    EXPECT_EQ(fromString.view(), text.substr(0, test.kept)) << test.length;
    EXPECT_EQ(assigned, fromString) << test.length;
  }
}

TEST(Formats, ACaptionNamesAFormatWhenItHoldsItsNameInAnyCase) {
  struct Case {
    const char* caption;
    std::vector<TMelodyFormat> formats;
  };
  const Case cases[] = {
      {"Download MP3", {fmMp3}},       {"wav/mmf", {fmWav, fmMmf}},
      {"Mmf with vibration", {fmMmf}}, {"MID", {}},
      {"\xEC\xE8\xE4\xE8", {}},  // Cyrillic letters that look alike are not Latin
  };
  for (const Case& test : cases) {
    std::vector<TMelodyFormat> found;
    for (TMelodyFormat format : AllFormats) {
      if (CaptionNamesFormat(test.caption, format)) found.push_back(format);
    }
    EXPECT_EQ(found, test.formats) << test.caption;
  }
}

// Job threads may use the sites while the program ends: they outlive whatever exit destroys.
TEST(AllSites, OutliveTheEndOfTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // Registered first, so it runs after the destruction of anything built later.
        std::atexit([] {
          for (const TSite* site : RegisteredSites())
            std::fprintf(stderr, "%s;", site->GetName().c_str());
        });
        RegisterAllSites();
        std::exit(0);
      },
      testing::ExitedWithCode(0), "Tune Request;Melody Archive;.*;MIDI Archive;Tone Uploads;");
}

}  // namespace
}  // namespace cq
