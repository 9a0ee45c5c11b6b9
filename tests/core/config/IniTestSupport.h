#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace cq::test {

// A folder of its own per test, removed afterwards.
class IniFolderTest : public ::testing::Test {
 protected:
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      (std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
       "." + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::path file = folder / "Languages.ini";

  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder, ignored);
  }

  void Put(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
  std::string Get() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
};

// Checks that every line is a section header or key=text with CRLF endings, and counts each
// section + key pair; fails the test on any other line.
inline std::map<std::string, int> CountEntries(const std::string& text) {
  std::map<std::string, int> counts;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a line without CRLF: " << text.substr(start);
      break;
    }
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (line.find('=') != std::string::npos && !section.empty()) {
      ++counts[section + "|" + line.substr(0, line.find('='))];
    } else {
      ADD_FAILURE() << "a malformed line: " << line;
    }
  }
  return counts;
}

}  // namespace cq::test
