// The ring shelf, the sample site no built-in scraper reads: a search's pages chain by their
// rel="next" links, every result opens a melody page, and every file link there downloads a file
// of the format its address names.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "SampleSites.h"

namespace cq::samples {

namespace {

constexpr std::string_view kBase = "http://ringshelf.example";

std::vector<std::string> Captured(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

}  // namespace

TEST(RingShelfTest, SearchPagesLeadToMelodiesAndTheirFiles) {
  TSampleSites sites(TCatalogue::Load(CQ_SAMPLE_SITES_DATA "/catalogue.tsv"),
                     TMedia::Load(CQ_SAMPLE_SITES_DATA "/media"), {});
  const auto get = [&sites](const std::string& address) {
    EXPECT_TRUE(address.starts_with(kBase)) << address;
    return sites.Handle("ringshelf.example", address.substr(kBase.size()));
  };
  const std::regex next(R"re(<a class="page-link next" rel="next" href="([^"]+)")re");
  const std::regex melody(R"re(<h2 class="track-name"><a href="([^"]+)")re");
  const std::regex file(
      R"re(<div class="file-item file-\w+">\r\n<a class="file-link" href="([^"]+)")re");
  const std::map<std::string, std::string> leadBytes = {
      {"mid", "MThd"}, {"mmf", "MMMD"}, {"wav", "RIFF"}, {"mp3", "\xFF\xF3"}};

  const struct {
    const char* term;  // as sent: UTF-8, percent-encoded
    std::size_t pages;
    std::size_t melodies;
  } cases[] = {{"love", 5, 49}, {"%D0%BD%D0%BE%D1%87%D1%8C", 1, 6}, {"qqqzz", 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.term);
    std::vector<std::string> melodies;
    std::size_t pages = 0;
    for (std::string address = std::string(kBase) + "/search/?q=" + c.term; !address.empty();) {
      const TReply page = get(address);
      ASSERT_EQ(page.Status, 200) << address;
      EXPECT_EQ(page.ContentType, "text/html; charset=utf-8");
      EXPECT_EQ(page.Body.find("<table"), std::string::npos);
      ++pages;
      for (const std::string& link : Captured(page.Body, melody)) melodies.push_back(link);
      const std::vector<std::string> nextLinks = Captured(page.Body, next);
      ASSERT_LE(nextLinks.size(), 1u);
      address = nextLinks.empty() ? "" : nextLinks[0];
    }
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(melodies.size(), c.melodies);
    for (const std::string& address : melodies) {
      const TReply page = get(address);
      ASSERT_EQ(page.Status, 200) << address;
      const std::vector<std::string> files = Captured(page.Body, file);
      EXPECT_FALSE(files.empty()) << address;
      for (const std::string& fileAddress : files) {
        const std::string lead = leadBytes.at(fileAddress.substr(fileAddress.rfind('.') + 1));
        EXPECT_TRUE(get(fileAddress).Body.starts_with(lead)) << fileAddress;
      }
    }
  }
}

}  // namespace cq::samples
