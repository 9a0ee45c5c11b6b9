#include <gtest/gtest.h>
#include <sched.h>

#include <stdexcept>
#include <thread>

#include "core/jobs/Jobs.h"
#include "support/FakeSite.h"

namespace cq {
namespace {

using test::TFakeSite;
using test::TGate;

// A site whose search fails with an exception that carries no message.
class TSilentFailure : public TFakeSite {
 public:
  using TFakeSite::TFakeSite;
  void Search(const std::string&, TMelodyList&, const TFetchContext&) const override {
    throw std::runtime_error("");
  }
};

class JobsTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(jobs_.WaitForNone()); }

  std::shared_ptr<TJob> MakeJob(TTask task, TFetchTimeouts timeouts = {}) {
    return jobs_.Factory(timeouts)(std::move(task), changed_, finished_);
  }
  // Runs the job body on a thread of the test's own and waits for it.
  static void RunToEnd(const std::shared_ptr<TJob>& job) {
    std::thread thread([job] { job->Execute(); });
    thread.join();
  }
  static TTask SearchTask(const TSite& site, const std::string& term) {
    TTask task;
    task.Kind = taskSearch;
    task.Site = &site;
    task.Term = term;
    return task;
  }

  TFakeSite site_{"fake.example"};
  test::TJobCount jobs_;
  std::shared_ptr<TChangedFlag> changed_ = std::make_shared<TChangedFlag>(false);
  std::shared_ptr<TFinishSignal> finished_ = std::make_shared<TFinishSignal>();
};

TEST_F(JobsTest, SearchJobPublishesItsMelodiesAndFinishes) {
  site_.OnSearch("bells", test::Finds({site_.Melody("One"), site_.Melody("Two")}));
  auto job = MakeJob(SearchTask(site_, "bells"));
  EXPECT_EQ(job->Status(), jsWaiting);
  RunToEnd(job);
  ASSERT_TRUE(job->Finished());
  EXPECT_EQ(job->ErrorText(), "");
  ASSERT_EQ(job->Melodies().size(), 2u);
  EXPECT_EQ(job->Melodies()[1].Title.str(), "Two");
  EXPECT_TRUE(changed_->load());
  EXPECT_TRUE(finished_->Wait(std::chrono::milliseconds(0)));
}

TEST_F(JobsTest, FailuresBecomeTheErrorTextAndTheJobStillFinishes) {
  site_.OnSearch("bells", test::Fails("Cannot retreive page from the Internet."));
  auto job = MakeJob(SearchTask(site_, "bells"));
  RunToEnd(job);
  EXPECT_EQ(job->Status(), jsFinished);
  EXPECT_EQ(job->ErrorText(), "Cannot retreive page from the Internet.");
  EXPECT_TRUE(job->Melodies().empty());

  const TSilentFailure silent{"silent.example"};
  auto silentJob = MakeJob(SearchTask(silent, "bells"));
  RunToEnd(silentJob);
  EXPECT_NE(silentJob->ErrorText(), "") << "a failure without a message taken for success";
}

TEST_F(JobsTest, StopRequestIsSeenAtTheNextReportAndEndsTheJob) {
  TGate gate;
  site_.OnSearch("slow", test::Gated(gate));
  auto job = MakeJob(SearchTask(site_, "slow"));
  TJob::Start(job);
  // The job runs until it is asked to stop; it never sees the gate open.
  while (job->Status() == jsInitializing || job->Status() == jsWaiting) std::this_thread::yield();
  EXPECT_FALSE(job->Finished());
  job->RequestStop();
  ASSERT_TRUE(finished_->Wait(std::chrono::seconds(20)));
  EXPECT_TRUE(job->Finished());
  EXPECT_EQ(job->ErrorText(), EAbort().what());
  EXPECT_EQ(site_.Stopped(), 1);
}

TEST_F(JobsTest, StartedJobRunsAtIdlePriority) {
  site_.OnSearch("bells", test::Finds({}));
  auto job = MakeJob(SearchTask(site_, "bells"));
  TJob::Start(job);
  ASSERT_TRUE(finished_->Wait(std::chrono::seconds(20)));
  EXPECT_EQ(site_.LastPolicy(), SCHED_IDLE);
}

TEST_F(JobsTest, JobFetchesUnderItsOwnersTimeLimits) {
  auto job =
      MakeJob(SearchTask(site_, "bells"), {std::chrono::seconds(1), std::chrono::seconds(2)});
  RunToEnd(job);
  EXPECT_EQ(site_.LastTimeouts().Connect, std::chrono::seconds(1));
  EXPECT_EQ(site_.LastTimeouts().Stall, std::chrono::seconds(2));
}

TEST_F(JobsTest, ForgottenJobIsFreedByItsOwnThread) {
  TGate gate;
  site_.OnSearch("slow", test::Gated(gate));
  std::weak_ptr<TJob> watch;
  {
    auto job = MakeJob(SearchTask(site_, "slow"));
    watch = job;
    TJob::Start(job);
  }
  // Nobody but its thread holds the job now.
  EXPECT_EQ(jobs_.Live(), 1);
  if (const std::shared_ptr<TJob> job = watch.lock()) {
    job->RequestStop();
  } else {
    FAIL() << "the running job was freed";
  }
  EXPECT_TRUE(jobs_.WaitForNone());
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace cq
