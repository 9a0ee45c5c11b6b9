#include <gtest/gtest.h>

#include <algorithm>

#include "core/app/SearchDriver.h"
#include "support/FakeSite.h"
#include "support/StepUntil.h"

namespace cq {
namespace {

using test::TFakeSite;
using test::TGate;
using test::TScript;

class TRecordingSink : public TJobSink {
 public:
  std::vector<std::string> events;
  void SaveCompleted(const TJob& job) override { events.push_back("save " + job.FileName()); }
  void PlayCompleted(const TJob& job) override { events.push_back("play " + job.FileName()); }
};

TScript PageWith(TMelodyFormat format, std::vector<std::string> urls) {
  TScript script;
  for (const std::string& url : urls) script.Links[format].push_back({FormatNames[format], url});
  return script;
}

class SearchDriverTest : public testing::Test {
 protected:
  void TearDown() override {
    gate_.Open();
    driver_.reset();
    EXPECT_TRUE(jobs_.WaitForNone());
  }

  void Search(const std::string& term, std::vector<bool> checked = {true, true, true}) {
    settings_.SearchSites = std::move(checked);
    driver_->SearchBtnClick(term, settings_);
  }
  bool StepUntil(const std::function<bool()>& done) {
    return test::StepUntil(driver_->Manager(), done);
  }
  // "key|waiting|job|error" per row, the key shortened to the title for melody rows.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    const TResultModel& results = driver_->Results();
    for (std::size_t i = 0; i < results.size(); ++i) {
      const TResult& row = results[i];
      std::string text =
          row.Kind == rkSite ? "site " + row.Site->GetName() : row.Melody.Title.str();
      if (row.Waiting) text += " waiting";
      if (row.Job != nullptr) text += " job";
      if (row.Melody.Processed) text += " processed";
      if (!row.ErrorText.empty()) text += " error " + row.ErrorText.str();
      rows.push_back(text);
    }
    return rows;
  }
  std::vector<std::string> Queue() const {
    std::vector<std::string> queue;
    for (const TTask& task : driver_->Manager().Tasks()) {
      queue.push_back(std::to_string(int{task.Kind}) + " " + task.OriginKey);
    }
    return queue;
  }
  bool Settled() const { return driver_->Manager().Idle(); }

  TGate gate_;
  TFakeSite a_{"a.example"};
  TFakeSite b_{"b.example"};
  TFakeSite c_{"c.example"};
  TRecordingSink sink_;
  int updateChecks_ = 0;
  TSearchSettings settings_;
  test::TJobCount jobs_;
  std::unique_ptr<TSearchDriver> driver_ = std::make_unique<TSearchDriver>(
      std::vector<const TSite*>{&a_, &b_, &c_}, sink_, [this] { ++updateChecks_; },
      jobs_.Factory());
};

TEST(SearchHistory, RecordingRules) {
  struct Case {
    std::vector<std::string> before;
    std::string term;
    int limit;
    std::vector<std::string> after;
  };
  const std::string yo = "\xB8\xEB\xEA\xE0";  // Cyrillic lower case
  const std::string YO = "\xA8\xCB\xCA\xC0";  // the same word upper case
  const Case cases[] = {
      {{"ABC"}, "abc", 20, {"abc"}},
      {{"one", "ABC", "two", "abc"}, "Abc", 20, {"Abc", "one", "two"}},
      {{"t5", "t4", "t3", "t2", "t1"}, "t6", 5, {"t6", "t5", "t4", "t3", "t2"}},
      {{"same", "older"}, "same", 5, {"same", "older"}},
      {{yo}, YO, 20, {YO, yo}},
      {{}, "first", 20, {"first"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> history = c.before;
    RecordSearchTerm(history, c.term, c.limit);
    EXPECT_EQ(history, c.after) << c.term;
  }
}

TEST(ResultJobRules, AFinishedJobLeavesItsRowToTheJobThatTookItLater) {
  TFakeSite site{"a.example"};
  TResultModel results;
  TTaskQueue tasks;
  TRecordingSink sink;
  TResultJobRules rules(results, tasks, sink);
  TResult row;
  row.Kind = rkMelody;
  row.Melody = site.Melody("A1", true);
  row.Melody.Links[fmWav] = {{"WAV", "a1.wav"}};
  TTask task;
  task.Kind = taskDownload;
  task.OriginRow = results.Append(row);
  task.Melody = row.Melody;
  TJob earlier(task, nullptr, nullptr);
  TJob later(task, nullptr, nullptr);
  ASSERT_TRUE(rules.BindJob(earlier) && rules.BindJob(later));
  earlier.Execute();
  rules.CollectJob(earlier);
  EXPECT_EQ(results[0].Job, &later);
}

TEST_F(SearchDriverTest, SearchPutsARowAndATaskPerCheckedSite) {
  settings_.History = {"older"};
  settings_.SearchSites = {true, false, true};
  const auto& history = driver_->SearchBtnClick("bells", settings_);
  EXPECT_EQ(history, (std::vector<std::string>{"bells", "older"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"site a.example waiting", "site c.example waiting"}));
  EXPECT_EQ(Queue(), (std::vector<std::string>{"1 a.example", "1 c.example"}));
  EXPECT_EQ(driver_->Manager().Tasks()[1].Term, "bells");
  EXPECT_TRUE(driver_->RefreshResults());
  EXPECT_EQ(driver_->KeyMirror().Items(), (std::vector<std::string>{"a.example", "c.example"}));
  EXPECT_FALSE(driver_->RefreshResults());
}

TEST_F(SearchDriverTest, UpdateCheckStartsOnTheFirstSearchWithUpdatesOn) {
  settings_.Updates = false;
  Search("bells", {false, false, false});
  EXPECT_EQ(updateChecks_, 0);
  settings_.Updates = true;
  Search("bells", {false, false, false});
  Search("bells", {false, false, false});
  EXPECT_EQ(updateChecks_, 1);
  EXPECT_TRUE(driver_->UpdateCheckStarted());
}

TEST_F(SearchDriverTest, SearchReplacesItsSiteRowByTheMelodiesAndQueuesTheirPages) {
  a_.OnSearch("bells", test::Finds({a_.Melody("A1"), a_.Melody("A2", true), a_.Melody("A3")}));
  a_.OnPage("http://a.example/A1", test::Gated(gate_));
  a_.OnPage("http://a.example/A3", test::Gated(gate_));
  b_.OnSearch("bells", test::Gated(gate_));
  c_.OnSearch("bells", test::Gated(gate_));
  Search("bells");
  ASSERT_TRUE(StepUntil([&] { return driver_->Results().size() == 5; }));
  // The three melodies take the site row's place; the other sites keep their order. The two
  // page tasks were queued in order and taken by the free slots in the same step.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 job", "A2 processed", "A3 job",
                                              "site b.example job", "site c.example job"}));
  const TJobManager& manager = driver_->Manager();
  ASSERT_NE(manager.Slot(0), nullptr);
  ASSERT_NE(manager.Slot(3), nullptr);
  EXPECT_EQ(manager.Slot(0)->Task().OriginKey, "a.example - A1 - http://a.example/A1");
  EXPECT_EQ(manager.Slot(0)->Task().Kind, taskMelodyPage);
  EXPECT_EQ(manager.Slot(3)->Task().OriginKey, "a.example - A3 - http://a.example/A3");
  EXPECT_EQ(manager.Slot(4), nullptr);
  EXPECT_TRUE(manager.Tasks().empty());
}

TEST_F(SearchDriverTest, SearchThatFindsNothingRemovesItsRow) {
  a_.OnSearch("bells", test::Finds({}));
  b_.OnSearch("bells", test::Finds({b_.Melody("B1", true)}));
  Search("bells", {true, true, false});
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"B1 processed"}));
}

TEST_F(SearchDriverTest, ClickRaisesTheClickedMelodysPageToTheHead) {
  TMelodyList found;
  for (const char* title : {"A1", "A2", "A3", "A4", "A5"}) {
    found.push_back(a_.Melody(title));
    a_.OnPage(std::string("http://a.example/") + title, test::Gated(gate_));
  }
  a_.OnSearch("bells", test::Finds(found));
  b_.OnSearch("bells", test::Gated(gate_));
  c_.OnSearch("bells", test::Gated(gate_));
  Search("bells");
  ASSERT_TRUE(StepUntil([&] { return driver_->Results().size() == 7; }));
  // The collecting step gave the three free slots to the first three pages.
  ASSERT_EQ(Queue(), (std::vector<std::string>{"2 a.example - A4 - http://a.example/A4",
                                               "2 a.example - A5 - http://a.example/A5"}));
  // A click through a mirror that does not hold the row yet raises nothing.
  driver_->ClickRow(4);
  EXPECT_EQ(Queue().size(), 2u);
  EXPECT_EQ(driver_->SelectedKey(), "a.example - A5 - http://a.example/A5");
  ASSERT_TRUE(driver_->RefreshResults());
  driver_->ClickRow(4);
  EXPECT_EQ(Queue(), (std::vector<std::string>{"2 a.example - A5 - http://a.example/A5",
                                               "2 a.example - A4 - http://a.example/A4",
                                               "0 a.example - A5 - http://a.example/A5"}));
  EXPECT_EQ(driver_->Manager().Tasks()[0].OriginRow, driver_->Results().IdAt(4));
  // The raised page starts first.
  driver_->JobManagerTimer();
  EXPECT_EQ(Queue().size(), 3u);
  // Rows that are being read, site rows and clicks below the list queue nothing.
  for (long index : {0L, 5L, -1L}) driver_->ClickRow(index);
  EXPECT_EQ(Queue().size(), 3u);
  EXPECT_EQ(driver_->SelectedKey(), "");
}

TEST_F(SearchDriverTest, TwoDownloadsInARowStartLatestFirst) {
  TMelody melody = a_.Melody("A1", true);
  melody.Links[fmMp3] = {{"MP3", "one.mp3"}, {"MP3 long", "two.mp3"}};
  a_.OnSearch("bells", test::Finds({melody}));
  Search("bells", {true, false, false});
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  driver_->OpenFormatMenu(0, fmMp3);
  driver_->MenuDownloadClick(0);
  driver_->MenuPlayClick(1);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 waiting processed"}));
  EXPECT_EQ(Queue(), (std::vector<std::string>{"4 a.example - A1 - http://a.example/A1",
                                               "3 a.example - A1 - http://a.example/A1"}));
  driver_->Manager().JobManagerStep();
  EXPECT_EQ(driver_->Manager().Slot(0)->Task().Kind, taskPlay);
  EXPECT_EQ(driver_->Manager().Slot(1)->Task().Kind, taskDownload);
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  // Both finish in their own time; each completion comes once, with its own file.
  std::sort(sink_.events.begin(), sink_.events.end());
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"play /cache/two.mp3", "save /cache/one.mp3"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 processed"}));
}

TEST_F(SearchDriverTest, NewSearchAbandonsEverything) {
  TMelody melody = a_.Melody("A1", true);
  melody.Links[fmWav] = {{"WAV", "one.wav"}};
  a_.OnSearch("bells", test::Finds({melody}));
  b_.OnSearch("bells", test::Gated(gate_));
  c_.OnSearch("bells", test::Gated(gate_));
  Search("bells");
  ASSERT_TRUE(StepUntil([&] { return driver_->Results().size() == 3; }));
  driver_->OpenFormatMenu(0, fmWav);
  driver_->MenuDownloadClick(0);
  // A queued download and two running searches, then a new search.
  a_.OnSearch("tunes", test::Gated(gate_));
  b_.OnSearch("tunes", test::Gated(gate_));
  Search("tunes", {true, true, false});
  EXPECT_EQ(driver_->Manager().BusySlots(), 0u);
  EXPECT_EQ(Queue(), (std::vector<std::string>{"1 a.example", "1 b.example"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"site a.example waiting", "site b.example waiting"}));
  // The abandoned jobs stop at their next report and are freed; nothing of theirs comes back.
  driver_->JobManagerTimer();
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (b_.Stopped() + c_.Stopped() < 2 && std::chrono::steady_clock::now() < limit) {
    driver_->Manager().WaitForFinish(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(b_.Stopped(), 1);
  EXPECT_EQ(c_.Stopped(), 1);
  driver_->JobManagerTimer();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"site a.example job", "site b.example job"}));
  EXPECT_TRUE(sink_.events.empty());
  EXPECT_EQ(a_.Calls("file"), 0);
}

TEST_F(SearchDriverTest, DuplicateRowsAreServedLikeAnyOther) {
  // A site that lists the same melody twice: same key, two rows, two pages read.
  a_.OnSearch("bells", test::Finds({a_.Melody("Twin"), a_.Melody("Twin"), a_.Melody("Solo")}));
  a_.OnPage("http://a.example/Twin", PageWith(fmWav, {"twin.wav"}));
  a_.OnPage("http://a.example/Solo", PageWith(fmWav, {"solo.wav"}));
  Search("bells", {true, false, false});
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"Twin processed", "Twin processed", "Solo processed"}));
  EXPECT_EQ(a_.Calls("page"), 3);
  EXPECT_EQ(driver_->Manager().BusySlots(), 0u);
  // Downloads for both twins at once, started in one step: each is collected.
  driver_->OpenFormatMenu(0, fmWav);
  driver_->MenuDownloadClick(0);
  driver_->OpenFormatMenu(1, fmWav);
  driver_->MenuDownloadClick(0);
  driver_->OpenFormatMenu(1, fmWav);
  driver_->MenuPlayClick(0);
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  EXPECT_EQ(sink_.events.size(), 3u);
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"Twin processed", "Twin processed", "Solo processed"}));
}

TEST_F(SearchDriverTest, LaterSuccessClearsTheRowsError) {
  a_.OnSearch("bells", test::Finds({a_.Melody("A1")}));
  a_.OnPage("http://a.example/A1", test::Fails("Timed out"));
  Search("bells", {true, false, false});
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 error Timed out"}));
  a_.OnPage("http://a.example/A1", PageWith(fmMidi, {"a1.mid"}));
  driver_->RefreshResults();
  driver_->ClickRow(0);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 waiting error Timed out"}));
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1 processed"}));
}

TEST_F(SearchDriverTest, RequestForARowThatIsGoneIsDroppedSilently) {
  a_.OnSearch("bells", test::Finds({a_.Melody("A1", true)}));
  Search("bells", {true, false, false});
  ASSERT_TRUE(StepUntil([&] { return Settled(); }));
  driver_->OpenFormatMenu(0, fmWav);
  Search("bells", {false, false, false});
  driver_->MenuDownloadClick(0);
  EXPECT_EQ(Queue().size(), 1u);
  driver_->JobManagerTimer();
  EXPECT_TRUE(driver_->Manager().Idle());
  EXPECT_EQ(a_.Calls("file"), 0);
}

}  // namespace
}  // namespace cq
