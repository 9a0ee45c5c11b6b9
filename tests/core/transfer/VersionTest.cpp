#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>

#include "core/platform/TempFiles.h"
#include "core/transfer/FileText.h"
#include "core/transfer/Version.h"

namespace cq {
namespace {

namespace fs = std::filesystem;

TEST(Version, TextIsTheLetterVAndTheFourParts) {
  struct Case {
    TVersion version;
    const char* text;
  };
  const Case cases[] = {
      {{1, 1, 0, 96}, "v1.1.0.96"},
      {{65535, 65535, 65535, 65535}, "v65535.65535.65535.65535"},
  };
  for (const Case& test : cases) EXPECT_EQ(VersionText(test.version), test.text);
}

TEST(Version, EachPartOutranksAllPartsAfterIt) {
  const TVersion ordered[] = {
      {0, 0, 0, 1},
      {0, 0, 1, 0},
      {0, 1, 0, 0},
      {1, 0, 0, 0},
      {1, 1, 0, 96},
      {65535, 0, 0, 0},
      {65535, 65535, 65535, 65535},
  };
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_LT(ordered[i - 1].AsNumber(), ordered[i].AsNumber()) << VersionText(ordered[i]);
  }
  EXPECT_EQ((TVersion{1, 2, 3, 4}.AsNumber()), 0x0001000200030004u);
}

TEST(WriteTempFile, WritesEachBlockToANewFileWithTheExtension) {
  const std::string first("{\\rtf1 licence}\0\xFF", 17);
  const std::string second = "MThd";
  const std::string a = WriteTempFile(first, ".rtf");
  const std::string b = WriteTempFile(first, ".rtf");
  const std::string c = WriteTempFile(second, ".mid");

  const std::set<std::string> names = {a, b, c};
  EXPECT_EQ(names.size(), 3u) << "a name was handed out twice";
  for (const std::string& name : names) {
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(fs::path(name).parent_path(), fs::temp_directory_path());
  }
  EXPECT_EQ(fs::path(a).extension(), ".rtf");
  EXPECT_EQ(fs::path(c).extension(), ".mid");
  EXPECT_EQ(ReadFileText(a), first);
  EXPECT_EQ(ReadFileText(b), first);
  EXPECT_EQ(ReadFileText(c), second);
}

TEST(WriteTempFile, GivesAnEmptyNameWhenItCannotWrite) {
  const std::string saved = std::getenv("TMPDIR");
  ::setenv("TMPDIR", (saved + "/no/such/folder").c_str(), 1);
  const std::string name = WriteTempFile("data", ".mid");
  ::setenv("TMPDIR", saved.c_str(), 1);
  EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace cq
