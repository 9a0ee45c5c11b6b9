#pragma once

#include <sched.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "core/Errors.h"
#include "core/sites/Sites.h"
#include "core/transfer/Jobs.h"

namespace cq::test {

// A gate a fake operation waits at, polling its progress callback the way a fetch does, so a
// stop request ends it. Opened by the test.
class TGate {
 public:
  void Open() { open_.store(true); }
  bool IsOpen() const { return open_.load(); }
  // Waits until open; throws EAbort when the job is asked to stop meanwhile.
  void Pass(const TProgressCallback& progress) const {
    while (!IsOpen()) {
      if (progress(jsConnecting, 0.0)) throw EAbort();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

 private:
  std::atomic<bool> open_{false};
};

// What a fake operation does: wait at a gate (if any), then fail or succeed.
struct TScript {
  TGate* Gate = nullptr;
  std::string Error;
  TMelodyList Melodies;                            // Search
  std::array<TMelodyLinkList, FormatCount> Links;  // LoadMelodyPage
};

inline TScript Gated(TGate& gate) {
  TScript script;
  script.Gate = &gate;
  return script;
}
inline TScript Fails(std::string error) {
  TScript script;
  script.Error = std::move(error);
  return script;
}
inline TScript Finds(TMelodyList melodies) {
  TScript script;
  script.Melodies = std::move(melodies);
  return script;
}

// A site with scripted answers per search term and per melody page address. Everything the job
// threads touch is guarded, so a test may read the counters at any time.
class TFakeSite : public TSite {
 public:
  explicit TFakeSite(std::string name) : name_(std::move(name)) {}

  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + "/"; }

  void OnSearch(const std::string& term, TScript script) {
    std::lock_guard guard(lock_);
    searches_[term] = std::move(script);
  }
  void OnPage(const std::string& url, TScript script) {
    std::lock_guard guard(lock_);
    pages_[url] = std::move(script);
  }
  // The melody this site would list, with its page at "http://<name>/<title>".
  TMelody Melody(const std::string& title, bool processed = false) const {
    TMelody melody;
    melody.Title = title;
    melody.PageURL = "http://" + name_ + "/" + title;
    melody.Site = this;
    melody.Processed = processed;
    return melody;
  }

  void Search(const std::string& term, TMelodyList& melodies,
              const TProgressCallback& progress) const override {
    const TScript script = Take(searches_, term, "search");
    Play(script, progress);
    melodies = script.Melodies;
  }
  void LoadMelodyPage(TMelody& melody, const TProgressCallback& progress) const override {
    if (melody.Processed) return;
    const TScript script = Take(pages_, melody.PageURL.str(), "page");
    Play(script, progress);
    melody.Links = script.Links;
    melody.Processed = true;
  }
  void FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex,
                 const TProgressCallback& progress, std::string& fileName) const override {
    Count("file");
    if (progress(jsDownloading, 0.5)) throw EAbort();
    fileName = "/cache/" + melody.Links[format].at(static_cast<std::size_t>(linkIndex)).URL.str();
  }

  int Calls(const std::string& what) const {
    std::lock_guard guard(lock_);
    const auto found = calls_.find(what);
    return found == calls_.end() ? 0 : found->second;
  }
  // The scheduling policy of the last thread that ran an operation of this site.
  int LastPolicy() const { return lastPolicy_.load(); }
  int Stopped() const { return stopped_.load(); }

 private:
  TScript Take(const std::map<std::string, TScript>& scripts, const std::string& key,
               const char* what) const {
    Count(what);
    lastPolicy_.store(sched_getscheduler(0));
    std::lock_guard guard(lock_);
    const auto found = scripts.find(key);
    if (found == scripts.end())
      throw std::runtime_error("unscripted " + std::string(what) + " " + key);
    return found->second;
  }
  void Play(const TScript& script, const TProgressCallback& progress) const {
    try {
      if (script.Gate != nullptr) script.Gate->Pass(progress);
    } catch (const EAbort&) {
      ++stopped_;
      throw;
    }
    if (!script.Error.empty()) throw std::runtime_error(script.Error);
    progress(jsProcessing, 0.0);
  }
  void Count(const std::string& what) const {
    std::lock_guard guard(lock_);
    ++calls_[what];
  }

  std::string name_;
  mutable std::mutex lock_;
  std::map<std::string, TScript> searches_;
  std::map<std::string, TScript> pages_;
  mutable std::map<std::string, int> calls_;
  mutable std::atomic<int> lastPolicy_{-1};
  mutable std::atomic<int> stopped_{0};
};

// Waits (polling briefly) until every job object of the process is freed, so the fake sites
// they use may go; false after a generous limit.
inline bool WaitForJobsToEnd() {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (TJob::LiveJobs() > 0) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace cq::test
