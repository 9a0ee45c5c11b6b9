#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <sstream>

#include "cli/SearchRun.h"
#include "support/FakeSite.h"

namespace cq::cli {
namespace {

using test::TFakeSite;
using test::TScript;

// The search command's part of a command line; answers the parser's complaint, if any.
std::optional<std::string> ParseSearch(std::vector<std::string> args, TSearchOptions& options) {
  CLI::App command;
  DeclareSearchOptions(command, options);
  std::reverse(args.begin(), args.end());
  try {
    command.parse(args);
  } catch (const CLI::ParseError& error) {
    return error.what();
  }
  return std::nullopt;
}

class SearchRunTest : public testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    TSearchOptions options;
    if (auto error = ParseSearch(args, options)) {
      err_ << *error;
      return 2;
    }
    std::vector<const TSite*> selected;
    if (auto error = SelectSites(sites_, options.Sites, selected)) {
      err_ << *error;
      return 2;
    }
    return RunSearch(options, selected, out_, err_, false);
  }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A Cyrillic title in windows-1251, printed as UTF-8.
  const std::string bells1251_ = "\xCA\xEE\xEB\xEE\xEA\xEE\xEB";
  const std::string bellsUtf8_ = "\xD0\x9A\xD0\xBE\xD0\xBB\xD0\xBE\xD0\xBA\xD0\xBE\xD0\xBB";
  TFakeSite a_{"Alpha"};
  TFakeSite b_{"Beta"};
  std::vector<const TSite*> sites_{&a_, &b_};
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST(SearchArgs, ParsingAndErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* error;  // part of the message, or null
  };
  const Case cases[] = {
      {{"--site", "Alpha", "--pages", "--json", "bells"}, nullptr},
      {{"--site", "Alpha", "bells", "--pages"}, nullptr},  // one name per --site
      {{"abc"}, nullptr},
      {{}, "TERM is required"},
      {{"ab"}, "at least 3 characters"},
      {{"--verbose", "bells"}, "--verbose"},
      {{"bells", "--site"}, "--site"},
  };
  for (const Case& c : cases) {
    TSearchOptions options;
    const auto error = ParseSearch(c.args, options);
    if (c.error == nullptr) {
      EXPECT_FALSE(error.has_value()) << *error;
    } else {
      ASSERT_TRUE(error.has_value()) << c.error;
      EXPECT_NE(error->find(c.error), std::string::npos) << *error;
    }
  }
  TSearchOptions options;
  ASSERT_FALSE(ParseSearch(
      {"--site", "Beta", "--definition", "a.yaml", "--site", "alpha", "--json", "--", "-my bells"},
      options));
  EXPECT_EQ(options.Sites, (std::vector<std::string>{"Beta", "alpha"}));
  EXPECT_EQ(options.Definitions, (std::vector<std::string>{"a.yaml"}));
  EXPECT_TRUE(options.Json);
  EXPECT_FALSE(options.Pages);
  EXPECT_EQ(options.Term, "-my bells");
}

TEST_F(SearchRunTest, PrintsAMelodyPerLineInUtf8AndSearchesEverySite) {
  a_.OnSearch("bells", test::Finds({a_.Melody("Tune"), a_.Melody(bells1251_)}));
  b_.OnSearch("bells", test::Finds({b_.Melody("Other")}));
  EXPECT_EQ(Run({"bells"}), 0);
  // The sites answer in any order; a site's melodies keep theirs.
  std::vector<std::string> lines = OutLines();
  std::erase(lines, "Beta\tOther\thttp://Beta/Other");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Alpha\tTune\thttp://Alpha/Tune",
                       "Alpha\t" + bellsUtf8_ + "\thttp://Alpha/" + bellsUtf8_,
                   }));
  // Without --pages no page is read.
  EXPECT_EQ(a_.Calls("page"), 0);
}

TEST_F(SearchRunTest, FailedSiteGoesToStderrAndTheOthersGoOn) {
  a_.OnSearch("bells", test::Fails("Cannot retreive page from the Internet."));
  b_.OnSearch("bells", test::Finds({b_.Melody("Other")}));
  EXPECT_EQ(Run({"bells"}), 1);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{"Beta\tOther\thttp://Beta/Other"}));
  EXPECT_EQ(err_.str(), "Alpha: Cannot retreive page from the Internet.\n");
}

TEST_F(SearchRunTest, PagesPrintTheLinksPerFormat) {
  TMelody ready = a_.Melody("Ready", true);
  ready.Links[fmMp3] = {{"MP3", "http://Alpha/ready.mp3"}};
  a_.OnSearch("bells", test::Finds({a_.Melody("Tune"), ready, a_.Melody("Gone")}));
  TScript page;
  page.Links[fmWav] = {{"WAV", "http://Alpha/tune.wav"}};
  page.Links[fmMidi] = {{"MIDI", "http://Alpha/tune.mid"}, {"MIDI vibra", "http://Alpha/v.mid"}};
  a_.OnPage("http://Alpha/Tune", page);
  a_.OnPage("http://Alpha/Gone", test::Fails("No such page"));
  EXPECT_EQ(Run({"--site", "Alpha", "--pages", "bells"}), 1);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{
                            "Alpha\tReady\thttp://Alpha/Ready",
                            "\tMP3\tMP3\thttp://Alpha/ready.mp3",
                            "Alpha\tTune\thttp://Alpha/Tune",
                            "\tWAV\tWAV\thttp://Alpha/tune.wav",
                            "\tMIDI\tMIDI\thttp://Alpha/tune.mid",
                            "\tMIDI\tMIDI vibra\thttp://Alpha/v.mid",
                        }));
  EXPECT_EQ(err_.str(), "Alpha: Gone: No such page\n");
}

TEST_F(SearchRunTest, JsonHasOneObjectPerMelody) {
  TMelody odd = a_.Melody("Say \"hi\"\\now", true);
  odd.Links[fmMmf] = {{"MMF\t1", "http://Alpha/a.mmf"}};
  a_.OnSearch("bells", test::Finds({odd}));
  EXPECT_EQ(Run({"--site", "Alpha", "--json", "bells"}), 0);
  EXPECT_EQ(out_.str(),
            "{\"site\":\"Alpha\",\"title\":\"Say \\\"hi\\\"\\\\now\",\"page\":\"http://Alpha/Say "
            "\\\"hi\\\"\\\\now\"}\n");
  out_.str("");
  EXPECT_EQ(Run({"--site", "Alpha", "--json", "--pages", "bells"}), 0);
  EXPECT_EQ(out_.str(),
            "{\"site\":\"Alpha\",\"title\":\"Say \\\"hi\\\"\\\\now\",\"page\":\"http://Alpha/Say "
            "\\\"hi\\\"\\\\now\",\"links\":{\"MMF\":[{\"caption\":\"MMF\\t1\",\"url\":"
            "\"http://Alpha/a.mmf\"}]}}\n");
}

TEST_F(SearchRunTest, TextsFromSitesCannotSplitLinesOrSteerTheTerminal) {
  struct Case {
    std::string title;  // windows-1251, as a site gives it
    const char* shown;  // UTF-8, as printed
  };
  const Case cases[] = {
      {"a\tb", "a\\tb"},
      {"a\r\nAlpha\tforged", "a\\r\\nAlpha\\tforged"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x1b]0;x\a\x1b[2J", "\\x1b]0;x\\x07\\x1b[2J"},
      {"C:\\tones\x7f", "C:\\\\tones\\x7f"},
  };
  for (const Case& test : cases) {
    TMelody melody = a_.Melody(test.title, true);
    melody.Links[fmMidi] = {{test.title, "http://Alpha/x.mid"}};
    a_.OnSearch("bells", test::Finds({melody}));
    b_.OnSearch("bells", test::Finds({b_.Melody(test.title)}));
    b_.OnPage("http://Beta/" + test.title, test::Fails("No such page"));
    out_.str("");
    err_.str("");
    EXPECT_EQ(Run({"--pages", "bells"}), 1);
    const std::string shown = test.shown;
    EXPECT_EQ(OutLines(), (std::vector<std::string>{"Alpha\t" + shown + "\thttp://Alpha/" + shown,
                                                    "\tMIDI\t" + shown + "\thttp://Alpha/x.mid"}));
    EXPECT_EQ(err_.str(), "Beta: " + shown + ": No such page\n");
  }
}

TEST_F(SearchRunTest, ProgressLineGoesToStderrAndIsClearedAtTheEnd) {
  a_.OnSearch("bells", test::Finds({a_.Melody("Tune", true)}));
  TSearchOptions options;
  options.Term = "bells";
  options.Pages = true;
  EXPECT_EQ(RunSearch(options, {&a_}, out_, err_, true), 0);
  const std::string progress = err_.str();
  EXPECT_NE(progress.find("sites 1/1, pages 0/0"), std::string::npos) << progress;
  EXPECT_EQ(progress.substr(progress.size() - 4), "\r\033[K");
  EXPECT_EQ(OutLines(), (std::vector<std::string>{"Alpha\tTune\thttp://Alpha/Tune"}));
}

}  // namespace
}  // namespace cq::cli
