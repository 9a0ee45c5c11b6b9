#pragma once

#include <sched.h>

#include <array>
#include <atomic>
#include <chrono>
#include <initializer_list>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "core/Errors.h"
#include "core/app/ResultModel.h"
#include "core/jobs/JobManager.h"
#include "core/sites/Sites.h"
#include "core/sites/registry/SiteRegistry.h"

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

inline TMelodyLinkList Links(std::initializer_list<std::pair<const char*, const char*>> links) {
  TMelodyLinkList list;
  for (const auto& [caption, url] : links) list.push_back({caption, url});
  return list;
}

// The one fake site of all tests: scripted answers per search term and per melody page address,
// local files per link address. A term or page nobody scripted finds nothing, a link nobody
// shelved is fetched as "/cache/<address>". Everything the job threads touch is guarded, so a
// test may read the counters at any time.
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
  // `term` finds `melody` too, whose page offers `links` per format.
  void Shelve(const std::string& term, const TMelody& melody,
              std::array<TMelodyLinkList, FormatCount> links) {
    std::lock_guard guard(lock_);
    searches_[term].Melodies.push_back(melody);
    pages_[melody.PageURL.str()].Links = std::move(links);
  }
  // The link address `url` is fetched as the local file `path`.
  void ShelveFile(const std::string& url, const std::string& path) {
    std::lock_guard guard(lock_);
    files_[url] = path;
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
              const TFetchContext& fetch) const override {
    const TScript script = Take(searches_, term, "search", fetch);
    Play(script, fetch.Progress);
    melodies = script.Melodies;
  }
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override {
    if (melody.Processed) return;
    const TScript script = Take(pages_, melody.PageURL.str(), "page", fetch);
    Play(script, fetch.Progress);
    melody.Links = script.Links;
    melody.Processed = true;
  }
  void FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex, const TFetchContext& fetch,
                 std::string& fileName) const override {
    Count("file");
    if (fetch.Progress(jsDownloading, 0.5)) throw EAbort();
    const std::string url = melody.Links[format].at(static_cast<std::size_t>(linkIndex)).URL.str();
    std::lock_guard guard(lock_);
    const auto found = files_.find(url);
    fileName = found == files_.end() ? "/cache/" + url : found->second;
  }

  int Calls(const std::string& what) const {
    std::lock_guard guard(lock_);
    const auto found = calls_.find(what);
    return found == calls_.end() ? 0 : found->second;
  }
  // The scheduling policy of the last thread that ran an operation of this site.
  int LastPolicy() const { return lastPolicy_.load(); }
  int Stopped() const { return stopped_.load(); }
  // The time limits the last search or page was read under.
  TFetchTimeouts LastTimeouts() const {
    std::lock_guard guard(lock_);
    return lastTimeouts_;
  }

 private:
  TScript Take(const std::map<std::string, TScript>& scripts, const std::string& key,
               const char* what, const TFetchContext& fetch) const {
    Count(what);
    lastPolicy_.store(sched_getscheduler(0));
    std::lock_guard guard(lock_);
    lastTimeouts_ = fetch.Timeouts;
    const auto found = scripts.find(key);
    return found == scripts.end() ? TScript() : found->second;
  }
  void Play(const TScript& script, const TProgressCallback& progress) const {
    try {
      if (script.Gate != nullptr) script.Gate->Pass(progress);
    } catch (const EAbort&) {
      ++stopped_;
      throw;
    }
    if (!script.Error.empty()) throw std::runtime_error(script.Error);
    if (progress(jsProcessing, 0.0)) throw EAbort();
  }
  void Count(const std::string& what) const {
    std::lock_guard guard(lock_);
    ++calls_[what];
  }

  std::string name_;
  mutable std::mutex lock_;
  std::map<std::string, TScript> searches_;
  std::map<std::string, TScript> pages_;
  std::map<std::string, std::string> files_;
  mutable std::map<std::string, int> calls_;
  mutable TFetchTimeouts lastTimeouts_;
  mutable std::atomic<int> lastPolicy_{-1};
  mutable std::atomic<int> stopped_{0};
};

// A sink for searches whose completions nobody looks at.
struct TNoSaves : TJobSink {
  void SaveCompleted(const TJob&) override {}
  void PlayCompleted(const TJob&) override {}
};

// A registry of two sites, one with a Cyrillic (windows-1251) name; the sites last the process.
inline TSiteRegistry TwoFakeSites() {
  static const TFakeSite latin("Alpha Tones");
  static const TFakeSite cyrillic("\xC1\xE5\xF2\xE0 \xEC\xE5\xEB\xEE\xE4\xE8\xE8");
  TSiteRegistry registry;
  registry.Add(latin);
  registry.Add(cyrillic);
  return registry;
}

// Makes the program's jobs, fetching under `timeouts`, and counts them, so that a test can wait
// until every job it started is freed before its fake sites go.
class TJobCount {
 public:
  TJobFactory Factory(TFetchTimeouts timeouts = {}) const {
    return [live = live_, make = JobFactory(timeouts)](TTask task,
                                                       std::shared_ptr<TChangedFlag> changed,
                                                       std::shared_ptr<TFinishSignal> finished) {
      std::shared_ptr<TJob> job = make(std::move(task), std::move(changed), std::move(finished));
      live->fetch_add(1, std::memory_order_relaxed);
      TJob* const raw = job.get();
      return std::shared_ptr<TJob>(raw, [live, job = std::move(job)](TJob*) mutable {
        job.reset();
        live->fetch_sub(1, std::memory_order_release);
      });
    };
  }
  // Jobs not yet freed: abandoned ones drop out once their threads end.
  int Live() const { return live_->load(std::memory_order_acquire); }
  // Waits (polling briefly) until every job is freed; false after a generous limit.
  bool WaitForNone() const {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Live() > 0) {
      if (std::chrono::steady_clock::now() > limit) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  std::shared_ptr<std::atomic<int>> live_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace cq::test
