#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/sites/Sites.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/Fetch.h"
#include "core/transfer/FileText.h"
#include "support/HttpServer.h"

namespace cq::test {

// Holds server handlers that must stall until the test lets them go (at the latest when it ends).
class Gate {
 public:
  ~Gate() { Open(); }
  void Open() {
    std::lock_guard guard(lock_);
    open_ = true;
    changed_.notify_all();
  }
  void Wait() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return open_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool open_ = false;
};

struct Report {
  TJobStatus status;
  double progress;
};

// Records every report of a fetch; answers "stop" once `stopWhen` says so.
class Recorder {
 public:
  std::function<bool(const Report&)> stopWhen;
  std::vector<Report> reports;

  TFetchContext Context() {
    return {[this](TJobStatus status, double progress) {
      reports.push_back({status, progress});
      return stopWhen && stopWhen(reports.back());
    }};
  }
};

// Every file in the folder of the address's cache file.
inline std::vector<std::string> FilesBeside(const std::string& url) {
  std::vector<std::string> names;
  const std::filesystem::path folder = std::filesystem::path(CacheFileName(url)).parent_path();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

inline std::string Body(std::size_t size, char seed = 'a') {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    body[i] = static_cast<char>(seed + static_cast<char>(i % 23));
  return body;
}

// A fresh proxy server per test.
class FetchTest : public ::testing::Test {
 protected:
  void SetUp() override { server.BecomeProxy(); }
  void TearDown() override { gate.Open(); }

  // The gate outlives the server, whose destructor waits for handlers that stood at the gate.
  Gate gate;
  HttpServer server;
};

}  // namespace cq::test
