#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/sites/Sites.h"
#include "core/sites/registry/ProgramSites.h"
#include "support/FakeSite.h"

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

// Each registry keeps the sites it was given, in their order, apart from any other.
TEST(SiteRegistry, KeepsItsOwnSitesInOrder) {
  const test::TFakeSite alpha("Alpha");
  const test::TFakeSite beta("Beta");
  TSiteRegistry fakes;
  fakes.Add(beta);
  fakes.Add(alpha);
  const TSiteRegistry builtIn = BuiltInSites();
  const TSiteRegistry again = BuiltInSites();
  EXPECT_EQ(fakes.Sites(), (std::vector<const TSite*>{&beta, &alpha}));
  ASSERT_EQ(builtIn.Sites().size(), again.Sites().size());
  for (std::size_t i = 0; i < builtIn.Sites().size(); ++i) {
    EXPECT_NE(builtIn.Sites()[i], again.Sites()[i]);
    EXPECT_EQ(builtIn.Sites()[i]->GetName(), again.Sites()[i]->GetName());
  }
}

// Job threads may use the sites while the program ends: they outlive whatever exit destroys.
TEST(SiteRegistry, KeptUntilExitOutlivesTheEndOfTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static const TSiteRegistry* kept = nullptr;
        // Registered first, so it runs after the destruction of anything built later.
        std::atexit([] {
          for (const TSite* site : kept->Sites())
            std::fprintf(stderr, "%s;", site->GetName().c_str());
        });
        kept = &KeptUntilExit(BuiltInSites());
        std::exit(0);
      },
      testing::ExitedWithCode(0), "Tune Request;Melody Archive;.*;MIDI Archive;Tone Uploads;");
}

}  // namespace
}  // namespace cq
