#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/transfer/AddressEncoding.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"
#include "core/transfer/Md5.h"

namespace cq {
namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Segment(const std::string& url) {
  return fs::path(CacheFileName(url)).filename();
}

TEST(CacheFileName, NamesTheSegment) {
  struct Case {
    const char* url;
    const char* segment;
  };
  const Case cases[] = {
      {"http://tones.example/", "default.html"},
      {"http://tones.example/?page=2", "default.html"},
      {"http://tones.example", "tones.example"},  // after the last '/', and it holds a point
      {"http://tones.example/melody/12345", "12345.html"},
      {"http://tones.example/a/b.mid?x=1", "b.mid"},
      {"http://tones.example/a/b?x=1/c.d", "b.html"},  // the query goes before the cut
      {"http://tones.example/a\\b.wav", "b.wav"},
      {"http://tones.example/x:y.mmf", "y.mmf"},
      {"", "default.html"},
  };
  for (const Case& test : cases) EXPECT_EQ(Segment(test.url), test.segment) << test.url;
}

TEST(CacheFileName, QueryStringsSeparateFoldersButNotSegments) {
  const std::string a = CacheFileName("http://t.example/s.php?q=a");
  const std::string b = CacheFileName("http://t.example/s.php?q=b");
  const std::string none = CacheFileName("http://t.example/s.php");
  EXPECT_NE(fs::path(a).parent_path(), fs::path(b).parent_path());
  EXPECT_NE(fs::path(a).parent_path(), fs::path(none).parent_path());
  EXPECT_EQ(fs::path(a).filename(), fs::path(none).filename());
}

TEST(CacheFileName, NoAddressLeadsOutOfItsDigestFolder) {
  const std::string longName(400, 'n');
  const char* const hostile[] = {
      "http://evil.example/..",  "http://evil.example/.",      "http://evil.example/a/..?x=1",
      "http://evil.example/a/.", "http://evil.example/..\\..", "http://evil.example/%2e%2e",
      "http://evil.example/...",
  };
  std::vector<std::string> urls(std::begin(hostile), std::end(hostile));
  urls.push_back("http://evil.example/" + longName);
  urls.push_back("http://evil.example/" + longName + ".mid");
  urls.push_back("http://evil.example/" + std::string(300, '\xE4') + ".mp3");
  for (const std::string& url : urls) {
    const fs::path name = CacheFileName(url);
    const std::string segment = name.filename();
    EXPECT_EQ(name.parent_path().string(), CacheFolder() + MD5String(url)) << url;
    EXPECT_NE(segment, ".") << url;
    EXPECT_NE(segment, "..") << url;
    EXPECT_FALSE(segment.empty()) << url;
    // Room is left for "_partial..." and "_origwontrename..." within a 255-byte file name.
    EXPECT_LE(segment.size(), 200u) << url;
    EXPECT_EQ(name.lexically_normal(), name) << url;
  }
  EXPECT_EQ(Segment("http://evil.example/.."), "default.html");
  EXPECT_EQ(Segment("http://evil.example/%2e%2e"), "%2e%2e.html");
  EXPECT_THAT(Segment("http://evil.example/" + longName + ".mid"), EndsWith(".mid"));
  EXPECT_NE(Segment("http://e.example/" + longName + "a"),
            Segment("http://e.example/" + longName + "b"));
}

TEST(EncodeQuery, EncodesAllBytesOutsideTheKeptSetAsTwoUpperCaseDigits) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const std::string encoded = EncodeQuery(std::string(1, c));
    const bool kept = std::isalnum(byte) != 0 && byte < 128;
    if (kept || c == '-' || c == '_') {
      EXPECT_EQ(encoded, std::string(1, c));
    } else if (c == ' ') {
      EXPECT_EQ(encoded, "+");
    } else {
      char expected[4];
      std::snprintf(expected, sizeof expected, "%%%02X", byte);
      EXPECT_EQ(encoded, expected);
    }
  }
}

class FileTextTest : public ::testing::Test {
 protected:
  fs::path folder =
      fs::temp_directory_path() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
};

TEST_F(FileTextTest, AMissingFileIsAnInputOutputError) {
  try {
    ReadFileText(folder / "missing.html");
    ADD_FAILURE() << "read a missing file";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
  }
}

TEST_F(FileTextTest, AnEmptyFileIsAnError) {
  const fs::path name = folder / "empty.html";
  std::ofstream(name, std::ios::binary).flush();
  EXPECT_THROW(ReadFileText(name), std::runtime_error);
}

}  // namespace
}  // namespace cq
