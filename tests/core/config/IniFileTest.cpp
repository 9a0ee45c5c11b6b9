#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/IniTestSupport.h"
#include "core/config/IniFile.h"

namespace cq::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::Optional;

using IniFileTest = IniFolderTest;

TEST_F(IniFileTest, ReadsWithTheRulesOfProfileFiles) {
  Put("orphan=before any section\r\n"
      "[English]\r\n"
      "Status.Waiting=Waiting\r\n"
      "  Status.Connecting  =  Connecting  \r\n"
      "Status.Empty=\r\n"
      "Status.Waiting=second entry of a key\r\n"
      "a line without an equals sign\r\n"
      "[Russian]\n"
      "Status.Waiting=\xCE\xE6\xE8\xE4\xE0\xED\xE8\xE5\n"
      "\xC0\xC1=Cyrillic key\n"
      "[english]\r\n"
      "Later.Key=from the second English section\r\n");
  TIniFile ini(file);
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"English", "Status.Waiting", "Waiting"},
      {"ENGLISH", "status.WAITING", "Waiting"},  // names compare without case
      {"English", "Status.Empty", ""},           // an empty text is a text
      {"English", "Later.Key", "from the second English section"},
      {"English", "orphan", std::nullopt},
      {"English", "a line without an equals sign", std::nullopt},
      {"Russian", "\xC0\xC1", "Cyrillic key"},
      {"Russian", "\xE0\xE1", std::nullopt},  // Cyrillic letters keep their case
      {"German", "Status.Waiting", std::nullopt},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ini.Read(test.section, test.key), test.text) << test.section << " " << test.key;
  }
}

TEST_F(IniFileTest, WritesIntoTheFirstSectionOfThatNameAndKeepsEverythingElse) {
  Put("; translators: keep the keys\r\n[English]\r\nA=1\r\n\r\n[Russian]\r\nA=\xC0\r\n");
  TIniFile ini(file);

  EXPECT_TRUE(ini.Write("ENGLISH", "B", "2"));  // added after the section's last entry
  // Several entries in one rewrite: a later entry of a section and key wins.
  EXPECT_TRUE(ini.Write({{"russian", "a", "\xC1"},  // replaces, whatever the case
                         {"German", "C", "0"},      // a new section at the end
                         {"English", "Empty", ""},
                         {"GERMAN", "c", "3"}}));

  EXPECT_EQ(Get(),
            "; translators: keep the keys\r\n[English]\r\nA=1\r\nB=2\r\nEmpty=\r\n\r\n"
            "[Russian]\r\na=\xC1\r\n\r\n[German]\r\nc=3\r\n");
  EXPECT_THAT(ini.Read("English", "Empty"), Optional(std::string()));
  EXPECT_THAT(FolderNames(), ElementsAre("Languages.ini"));  // no temporary file left behind
}

TEST_F(IniFileTest, RefusesEntriesThatWouldNotReadBackAsThemselves) {
  Put("[English]\r\nA=1\r\n");
  TIniFile ini(file);
  struct Case {
    const char* section;
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"English", "B", "two\r\nlines"}, {"Eng\nlish", "B", "x"}, {"English", "B=C", "x"},
      {"Eng]lish", "B", "x"},           {"English", "", "x"},    {"English", "[Section]", "x"},
  };
  for (const Case& test : cases) {
    EXPECT_FALSE(ini.Write(test.section, test.key, test.text)) << test.key << "=" << test.text;
  }
  EXPECT_EQ(Get(), "[English]\r\nA=1\r\n");
}

TEST_F(IniFileTest, AFolderThatCannotBeWrittenFailsQuietly) {
  // /proc takes no new files, not even from root.
  TIniFile ini("/proc/Languages.ini");
  EXPECT_FALSE(ini.Write("English", "A", "1"));
  EXPECT_EQ(ini.Read("English", "A"), std::nullopt);
}

TEST_F(IniFileTest, AFileMarkedReadOnlyIsLeftAloneEvenByRoot) {
  Put("[English]\r\nA=1\r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  TIniFile ini(file);
  EXPECT_FALSE(ini.Write("English", "B", "2"));
  EXPECT_EQ(Get(), "[English]\r\nA=1\r\n");
}

TEST_F(IniFileTest, ProcessesAddingKeysAtOnceLoseNothingAndWriteEachKeyOnce) {
  constexpr int kProcesses = 4;
  constexpr int kShared = 30;
  constexpr int kOwn = 10;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TIniFile ini(file);
      bool ok = true;
      for (int i = 0; i < kShared + kOwn; ++i) {
        const std::string key = i < kShared ? "Shared." + std::to_string((i + p * 7) % kShared)
                                            : "Own" + std::to_string(p) + "." + std::to_string(i);
        if (!ini.Read("English", key)) ok = ini.Write("English", key, "text of " + key) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto counts = CountEntries(Get());
  EXPECT_EQ(counts.size(), static_cast<std::size_t>(kShared + kProcesses * kOwn));
  for (const auto& [key, count] : counts) EXPECT_EQ(count, 1) << key;
  EXPECT_THAT(FolderNames(), ElementsAre("Languages.ini"));
}

}  // namespace
}  // namespace cq::test
