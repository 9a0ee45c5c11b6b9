// One job manager step over a long list: it collects five finished jobs and starts five tasks.
// No step may compute every row's key, so the cost must not grow with the rows' text.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/app/ResultModel.h"
#include "core/jobs/JobManager.h"

namespace cq {
namespace {

// Answers every page at once with one link, as a site whose pages are all in the cache would.
class TInstantSite : public TSite {
 public:
  std::string GetName() const override { return "instant.example"; }
  std::string GetHomePage() const override { return "http://instant.example/"; }
  void Search(const std::string&, TMelodyList& melodies, const TFetchContext&) const override {
    melodies.clear();
  }
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override {
    fetch.Progress(jsProcessing, 0.0);
    melody.Links[fmMidi] = {{"MIDI", melody.PageURL.str() + ".mid"}};
    melody.Processed = true;
  }
};

class TNoSink : public TJobSink {
 public:
  void SaveCompleted(const TJob&) override {}
  void PlayCompleted(const TJob&) override {}
};

void StepWithFiveCollectedAndFiveStarted(benchmark::State& state) {
  const auto rowCount = static_cast<std::size_t>(state.range(0));
  TInstantSite site;
  TNoSink sink;
  TResultModel results;
  TTaskQueue tasks;
  TResultJobRules rules(results, tasks, sink);
  TJobManager manager(rules, tasks, results.ChangedFlag());

  std::vector<TRowId> ids;
  for (std::size_t i = 0; i < rowCount; ++i) {
    TResult row;
    row.Kind = rkMelody;
    row.Melody.Title = "Melody number " + std::to_string(i) + " with a title of usual length";
    row.Melody.PageURL = "http://instant.example/melodies/" + std::to_string(i) + "/page.html";
    row.Melody.Site = &site;
    row.Waiting = true;
    ids.push_back(results.Append(row));
  }
  // The queue runs from the first row, the farthest from where lookups start.
  std::size_t next = 0;
  auto refill = [&] {
    while (tasks.size() < 2 * JobSlotCount) {
      const std::size_t index = next++ % rowCount;
      TTask task;
      task.Kind = taskMelodyPage;
      task.OriginRow = ids[index];
      task.Melody = results[index].Melody;
      task.Melody.Processed = false;
      tasks.push_back(std::move(task));
    }
  };
  refill();
  manager.JobManagerStep();

  for (auto _ : state) {
    state.PauseTiming();
    refill();
    for (std::size_t slot = 0; slot < JobSlotCount; ++slot) {
      while (manager.Slot(slot) == nullptr || !manager.Slot(slot)->Finished()) {
        manager.WaitForFinish(std::chrono::milliseconds(1));
      }
    }
    state.ResumeTiming();
    manager.JobManagerStep();
  }
  state.counters["rows"] = static_cast<double>(rowCount);
}

BENCHMARK(StepWithFiveCollectedAndFiveStarted)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
}  // namespace cq

BENCHMARK_MAIN();
