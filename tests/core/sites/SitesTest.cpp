#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/sites/Sites.h"
#include "core/transfer/Inet.h"
#include "support/HttpServer.h"
#include "support/NamedSite.h"

namespace cq {
namespace {

using ::testing::ElementsAre;

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

TEST(ShortString, HoldsAnyByteAndReplacesOnAssignment) {
  const std::string bytes("\xCF\xF0\x00\xFF", 4);
  ShortString text = bytes;
  EXPECT_EQ(text.str(), bytes);
  text = std::string_view("shorter");
  EXPECT_EQ(text, "shorter");
  text = static_cast<const char*>(nullptr);
  EXPECT_TRUE(text.empty());
}

TEST(Formats, ACaptionNamesAFormatWhenItHoldsItsNameInAnyCase) {
  struct Case {
    const char* caption;
    std::vector<TMelodyFormat> formats;
  };
  const Case cases[] = {
      {"Download MP3", {fmMp3}},
      {"midi (poly)", {fmMidi}},
      {"wav/mmf", {fmWav, fmMmf}},
      {"Mmf with vibration", {fmMmf}},
      {"MID", {}},
      {"\xEC\xE8\xE4\xE8", {}},  // Cyrillic letters that look alike are not Latin
      {"", {}},
  };
  for (const Case& test : cases) {
    std::vector<TMelodyFormat> found;
    for (TMelodyFormat format : AllFormats) {
      if (CaptionNamesFormat(test.caption, format)) found.push_back(format);
    }
    EXPECT_EQ(found, test.formats) << test.caption;
  }
}

TEST(Registry, KeepsTheOrderOfRegistration) {
  static const test::TNamedSite first("first.example"), second("second.example"),
      third("third.example");
  const std::size_t before = RegisteredSites().size();
  RegisterSite(first);
  RegisterSite(second);
  RegisterSite(third);
  const auto& sites = RegisteredSites();
  ASSERT_EQ(sites.size(), before + 3);
  EXPECT_THAT(std::vector<const TSite*>(sites.end() - 3, sites.end()),
              ElementsAre(&first, &second, &third));
}

TEST(FetchFile, FetchesTheChosenLinkThroughTheCache) {
  test::HttpServer server;
  server.Serve("files.example", "/a.mid", "first midi");
  server.Serve("files.example", "/b.mid", "second midi");
  server.BecomeProxy();
  const test::TNamedSite site("files.example");
  TMelody melody;
  melody.Site = &site;
  melody.Links[fmMidi] = {{"MIDI", "http://files.example/a.mid"},
                          {"MIDI poly", "http://files.example/b.mid"}};
  std::vector<TJobStatus> statuses;
  const TProgressCallback progress = [&](TJobStatus status, double) {
    statuses.push_back(status);
    return false;
  };

  std::string fileName;
  site.FetchFile(melody, fmMidi, 1, progress, fileName);
  EXPECT_EQ(fileName, CacheFileName("http://files.example/b.mid"));
  EXPECT_EQ(ReadFileText(fileName), "second midi");
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front(), jsConnecting);
  EXPECT_EQ(statuses.back(), jsProcessing);

  // The cache is allowed: the second time, the server is not asked.
  std::string again;
  site.FetchFile(melody, fmMidi, 1, progress, again);
  EXPECT_EQ(again, fileName);
  EXPECT_EQ(server.Hits("files.example", "/b.mid"), 1);
  EXPECT_EQ(server.Hits("files.example", "/a.mid"), 0);
}

TEST(FetchFile, ALinkThatIsNotThereIsAnError) {
  const test::TNamedSite site("none.example");
  TMelody melody;
  melody.Links[fmWav] = {{"WAV", "http://none.example/a.wav"}};
  std::string fileName = "unchanged";
  for (int index : {-1, 1}) {
    EXPECT_THROW(site.FetchFile(melody, fmWav, index, {}, fileName), std::out_of_range) << index;
  }
  EXPECT_THROW(site.FetchFile(melody, fmMp3, 0, {}, fileName), std::out_of_range);
  EXPECT_EQ(fileName, "unchanged");
}

}  // namespace
}  // namespace cq
