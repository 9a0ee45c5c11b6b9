#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <latch>
#include <random>
#include <thread>

#include "config/IniTestSupport.h"
#include "core/config/Translation.h"

namespace cq::test {
namespace {

using ::testing::ElementsAre;

class TranslationTest : public IniFolderTest {
 protected:
  void Open() {
    OpenLanguageFile(file.string());
    SetCurrentLanguage("");
  }
};

TEST_F(TranslationTest, LooksUpTheLanguageAndAddsWhatIsMissing) {
  Put("[English]\r\nStatus.Waiting=Waiting\r\nFormatMenu.Play=\r\n"
      "[Russian]\r\nSTATUS.WAITING=\xCE\xE6\xE8\xE4\xE0\xED\xE8\xE5\r\n");
  Open();
  struct Case {
    const char* language;
    const char* key;
    const char* defaultText;
    const char* result;
  };
  const Case cases[] = {
      {"Russian", "Status.Waiting", "Waiting", "\xCE\xE6\xE8\xE4\xE0\xED\xE8\xE5"},
      {"russian", "status.waiting", "Waiting", "\xCE\xE6\xE8\xE4\xE0\xED\xE8\xE5"},
      {"English", "FormatMenu.Play", "Play", ""},  // present but empty: no default
      {"Russian", "Status.Connecting", "Connecting", "Connecting"},
      {"German", "Messages.InetError", "Cannot retreive page from the Internet.",
       "Cannot retreive page from the Internet."},
      {"English", "MainMenu.", "", ""},  // no default: nothing to write
  };
  for (const Case& test : cases) {
    EXPECT_EQ(Translate(test.language, test.key, test.defaultText), test.result) << test.key;
  }
  EXPECT_EQ(Get(),
            "[English]\r\nStatus.Waiting=Waiting\r\nFormatMenu.Play=\r\n"
            "[Russian]\r\nSTATUS.WAITING=\xCE\xE6\xE8\xE4\xE0\xED\xE8\xE5\r\n"
            "Status.Connecting=Connecting\r\n\r\n"
            "[German]\r\nMessages.InetError=Cannot retreive page from the Internet.\r\n");
}

TEST_F(TranslationTest, ALanguageThatLacksAKeyReceivesTheTextOfTheEarlierOne) {
  Put("[English]\r\nForms.About.OK=OK\r\n[Russian]\r\nA=1\r\n");
  Open();
  const std::string shown = Translate("English", "Forms.About.OK", "design text");
  EXPECT_EQ(Translate("Russian", "Forms.About.OK", shown), "OK");
  EXPECT_EQ(Translate("Russian", "Forms.About.OK", "anything"), "OK");
}

TEST_F(TranslationTest, TheCurrentLanguageServesTheShortForm) {
  Put("[English]\r\nA=in English\r\n[Russian]\r\nA=in Russian\r\n");
  Open();
  EXPECT_EQ(CurrentLanguage(), "");
  EXPECT_EQ(Translate("A", "default"), "default");  // before any language is chosen
  SetCurrentLanguage("Russian");
  EXPECT_EQ(Translate("A", "default"), "in Russian");
  EXPECT_EQ(Get(), "[English]\r\nA=in English\r\n[Russian]\r\nA=in Russian\r\n");
}

TEST_F(TranslationTest, TheKeysMissingInABurstAreWrittenTogetherWhenItEnds) {
  const std::string before = "[English]\r\nA=1\r\n";
  Put(before);
  Open();
  {
    const TTranslationBurst burst;
    EXPECT_EQ(Translate("English", "B", "2"), "2");
    {
      const TTranslationBurst inner;
      EXPECT_EQ(Translate("Russian", "B", "\xC2"), "\xC2");
    }
    std::thread([] { Translate("English", "C", "3"); }).join();
    EXPECT_EQ(Translate("english", "b", "other"), "2");  // a waiting key answers like a written one
    EXPECT_EQ(Get(), before);
  }
  EXPECT_EQ(Get(), "[English]\r\nA=1\r\nB=2\r\nC=3\r\n\r\n[Russian]\r\nB=\xC2\r\n");
}

TEST_F(TranslationTest, AFileThatCannotBeWrittenStillGivesTheDefaults) {
  OpenLanguageFile("/proc/Languages.ini");  // no new files there, not even for root
  EXPECT_THAT(LanguageList(), ElementsAre("English"));
  EXPECT_EQ(Translate("English", "Status.Waiting", "Waiting"), "Waiting");
}

TEST_F(TranslationTest, EightThreadsAddingKeysLeaveEachKeyOnce) {
  Put("[English]\r\nKnown=known text\r\n");
  Open();
  SetCurrentLanguage("English");
  constexpr int kThreads = 8;
  constexpr int kShared = 40;
  constexpr int kOwn = 15;
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::string> keys;
      for (int i = 0; i < kShared; ++i) keys.push_back("Shared." + std::to_string(i));
      for (int i = 0; i < kOwn; ++i)
        keys.push_back("Own" + std::to_string(t) + "." + std::to_string(i));
      std::shuffle(keys.begin(), keys.end(), std::mt19937(static_cast<unsigned>(t)));
      start.arrive_and_wait();
      for (const std::string& key : keys) {
        // The current language is read here while the main thread may be setting it.
        if (Translate(key, "text of " + key) != "text of " + key) ++wrong;
        if (Translate("Known", "other") != "known text") ++wrong;
      }
    });
  }
  for (int i = 0; i < 100; ++i) SetCurrentLanguage("English");
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(wrong, 0);
  const auto counts = CountEntries(Get());
  EXPECT_EQ(counts.size(), static_cast<std::size_t>(1 + kShared + kThreads * kOwn));
  for (const auto& [key, count] : counts) EXPECT_EQ(count, 1) << key;
  EXPECT_THAT(FolderNames(), ElementsAre("Languages.ini"));
}

}  // namespace
}  // namespace cq::test
