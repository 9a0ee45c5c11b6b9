#pragma once

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/sites/ParseDebug.h"
#include "core/sites/Scraping.h"
#include "core/sites/Sites.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"
#include "support/HttpServer.h"

namespace cq::test {

// The bytes of a page under tests/fixtures.
inline std::string Fixture(const std::string& name) {
  std::ifstream file(std::string(CQ_FIXTURES) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (text.str().empty()) ADD_FAILURE() << "missing fixture " << name;
  return text.str();
}

// Every test has the sites' hosts on its own server, an empty page cache, and a current
// directory of its own for the dumps; dumps are enabled.
class SiteTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.BecomeProxy();
    std::filesystem::remove_all(CacheFolder());
    previous_ = std::filesystem::current_path();
    folder_ =
        std::filesystem::temp_directory_path() /
        ("sites-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
    std::filesystem::create_directories(std::filesystem::path(DumpMarkerPath()).parent_path());
    std::ofstream(DumpMarkerPath()) << "";
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
    std::filesystem::remove(DumpMarkerPath());
  }

  // The dumps written in this test, by file name.
  static std::vector<std::string> Dumps() {
    std::vector<std::string> names;
    if (!std::filesystem::exists(DumpFolder)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(DumpFolder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The text report of this test's only dump of `site`.
  static std::string DumpReport(const TSite& site) {
    for (const std::string& name : Dumps()) {
      const std::string suffix = "-" + site.GetName() + ".txt";
      if (name.size() > suffix.size() && name.ends_with(suffix)) {
        return ReadFileText(std::string(DumpFolder) + "/" + name);
      }
    }
    return {};
  }

  // The message `operation` fails with; empty when it does not fail.
  static std::string FailureOf(const std::function<void()>& operation) {
    try {
      operation();
    } catch (const ESiteError& error) {
      return error.what();
    }
    return {};
  }

  static TMelody MelodyAt(const TSite& site, const std::string& pageUrl) {
    TMelody melody;
    melody.PageURL = pageUrl;
    melody.Site = &site;
    return melody;
  }

  // What a format's links hold, as "caption|address" lines.
  static std::vector<std::string> LinksOf(const TMelody& melody, TMelodyFormat format) {
    std::vector<std::string> lines;
    for (const TMelodyLink& link : melody.Links[format]) {
      lines.push_back(link.Caption.str() + "|" + link.URL.str());
    }
    return lines;
  }

  HttpServer server_;
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};

inline const TFetchContext NoStop{[](TJobStatus, double) { return false; }};

}  // namespace cq::test
