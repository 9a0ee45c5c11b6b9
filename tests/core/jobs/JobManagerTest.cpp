#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "core/app/ClickLock.h"
#include "core/app/JobStatusPaint.h"
#include "core/jobs/JobManager.h"
#include "support/FakeSite.h"
#include "support/StepUntil.h"

namespace cq {
namespace {

using test::TFakeSite;
using test::TGate;

// Binds every task whose row it knows and records what it collects.
class TRecordingTarget : public TJobTarget {
 public:
  std::set<TRowId> rows;
  std::vector<std::string> collected;  // OriginKey + ":" + ErrorText
  const TJobManager* manager = nullptr;

  bool BindJob(const TJob& job) override { return rows.count(job.Task().OriginRow) > 0; }
  void CollectJob(const TJob& job) override {
    // A completion may run a dialog's own loop, which steps the manager: the job is out by then.
    for (std::size_t i = 0; i < JobSlotCount; ++i) {
      if (manager->Slot(i) == &job) collected.push_back("collected in its slot");
    }
    collected.push_back(job.Task().OriginKey + ":" + job.ErrorText());
  }
};

class JobManagerTest : public testing::Test {
 protected:
  void TearDown() override {
    gate_.Open();
    manager_.reset();
    EXPECT_TRUE(jobs_.WaitForNone());
  }

  // A search task for row `row` that waits at the test's gate.
  TTask Task(TRowId row, TTaskKind kind = taskSearch) {
    target_.rows.insert(row);
    TTask task;
    task.Kind = kind;
    task.OriginKey = "row" + std::to_string(row);
    task.OriginRow = row;
    task.Site = &site_;
    task.Term = "gated";
    return task;
  }
  std::vector<std::string> SlotKeys() const {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < JobSlotCount; ++i) {
      keys.push_back(manager_->Slot(i) ? manager_->Slot(i)->Task().OriginKey : "-");
    }
    return keys;
  }
  std::vector<std::string> QueueKeys() const {
    std::vector<std::string> keys;
    for (const TTask& task : tasks_) keys.push_back(task.OriginKey);
    return keys;
  }

  TGate gate_;
  TFakeSite site_{"fake.example"};
  TRecordingTarget target_;
  TTaskQueue tasks_;
  std::shared_ptr<TChangedFlag> changed_ = std::make_shared<TChangedFlag>(false);
  test::TJobCount jobs_;
  std::unique_ptr<TJobManager> manager_ =
      std::make_unique<TJobManager>(target_, tasks_, changed_, jobs_.Factory());

  void SetUp() override {
    target_.manager = manager_.get();
    site_.OnSearch("gated", test::Gated(gate_));
    site_.OnSearch("quick", test::Finds({site_.Melody("A")}));
    site_.OnSearch("broken", test::Fails("Server is down"));
  }
};

TEST_F(JobManagerTest, EightTasksFillTheFiveSlotsHeadFirstAndThreeWait) {
  for (TRowId row = 1; row <= 8; ++row) tasks_.push_back(Task(row));
  manager_->JobManagerStep();
  EXPECT_EQ(SlotKeys(), (std::vector<std::string>{"row1", "row2", "row3", "row4", "row5"}));
  EXPECT_EQ(QueueKeys(), (std::vector<std::string>{"row6", "row7", "row8"}));
  EXPECT_TRUE(changed_->load());
  for (std::size_t i = 0; i < JobSlotCount; ++i) EXPECT_NE(manager_->Slot(i)->Status(), jsWaiting);
  // Nothing finishes while the gate is shut, so further steps change nothing.
  manager_->JobManagerStep();
  EXPECT_EQ(QueueKeys().size(), 3u);
}

TEST_F(JobManagerTest, CancelledTaskAtTheHeadCostsItsSlotOneTurn) {
  TTask cancelled = Task(1);
  cancelled.Kind = taskNone;
  tasks_.push_back(cancelled);
  for (TRowId row = 2; row <= 7; ++row) tasks_.push_back(Task(row));
  manager_->JobManagerStep();
  EXPECT_EQ(SlotKeys(), (std::vector<std::string>{"-", "row2", "row3", "row4", "row5"}));
  EXPECT_EQ(QueueKeys(), (std::vector<std::string>{"row6", "row7"}));
  manager_->JobManagerStep();
  EXPECT_EQ(SlotKeys()[0], "row6");
}

TEST_F(JobManagerTest, TaskWhoseRowIsGoneStartsNothingAndVanishes) {
  tasks_.push_back(Task(1));
  tasks_.push_back(Task(2));
  target_.rows.erase(1);
  manager_->JobManagerStep();
  EXPECT_EQ(SlotKeys(), (std::vector<std::string>{"-", "row2", "-", "-", "-"}));
  EXPECT_TRUE(tasks_.empty());
  EXPECT_EQ(jobs_.Live(), 1);
}

TEST_F(JobManagerTest, FinishedJobsAreCollectedInSlotOrderAndTheirSlotsRefilled) {
  TTask quick = Task(1);
  quick.Term = "quick";
  TTask broken = Task(2);
  broken.Term = "broken";
  tasks_ = {quick, broken, Task(3)};
  manager_->JobManagerStep();
  tasks_.push_back(Task(4));
  tasks_.push_back(Task(5));
  tasks_.push_back(Task(6));
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!(manager_->Slot(0)->Finished() && manager_->Slot(1)->Finished()) &&
         std::chrono::steady_clock::now() < limit) {
    manager_->WaitForFinish(std::chrono::milliseconds(10));
  }
  // One step collects both, then refills the freed slots before the empty ones, in slot order.
  manager_->JobManagerStep();
  EXPECT_EQ(target_.collected, (std::vector<std::string>{"row1:", "row2:Server is down"}));
  EXPECT_EQ(SlotKeys(), (std::vector<std::string>{"row4", "row5", "row3", "row6", "-"}));
  EXPECT_TRUE(tasks_.empty());
}

TEST_F(JobManagerTest, AbandonedJobsAreAskedToStopAndNeverCollected) {
  for (TRowId row = 1; row <= 3; ++row) tasks_.push_back(Task(row));
  manager_->JobManagerStep();
  manager_->DropTasks();
  manager_->AbandonJobs();
  EXPECT_TRUE(manager_->Idle());
  EXPECT_TRUE(jobs_.WaitForNone());
  EXPECT_EQ(site_.Stopped(), 3);
  manager_->JobManagerStep();
  EXPECT_TRUE(target_.collected.empty());
}

TEST_F(JobManagerTest, EndingTheManagerWhileJobsRunNeitherWaitsNorLeaks) {
  for (TRowId row = 1; row <= 5; ++row) tasks_.push_back(Task(row));
  manager_->JobManagerStep();
  EXPECT_EQ(jobs_.Live(), 5);
  // The gate stays shut: only the stop request can end these jobs.
  manager_.reset();
  EXPECT_TRUE(jobs_.WaitForNone());
  EXPECT_EQ(site_.Stopped(), 5);
}

TEST(JobStatusPaint, BarOrWord) {
  struct Case {
    TJobStatus status;
    double progress;
    bool bar;
    int filled;
    const char* text;
  };
  const Case cases[] = {
      {jsDownloading, 0.005, false, 0, "Downloading"},
      {jsDownloading, 0.5, true, 50, ""},
      {jsDownloading, 1.01, true, 101, ""},
      {jsDownloading, 1.02, false, 0, "Downloading"},
      {jsDownloading, 0.125, true, 12, ""},  // 12.5 rounds to the even 12
      {jsRetrying, 15, false, 0, "Retrying (15)"},
      {jsRetrying, 2.5, false, 0, "Retrying (2)"},
      {jsWaiting, 0, false, 0, "Waiting"},
      {jsFinished, 0, false, 0, ""},
  };
  for (const Case& c : cases) {
    const TJobStatusPaint paint = JobStatusPaint(c.status, c.progress, 100);
    EXPECT_EQ(paint.Bar, c.bar) << int{c.status} << " " << c.progress;
    EXPECT_EQ(paint.Filled, c.filled) << c.progress;
    EXPECT_EQ(paint.Text, c.text) << c.progress;
    EXPECT_EQ(paint.Waiting, c.status == jsWaiting);
  }
}

TEST(ClickLock, ConsistencyErrorsAndSkippedTicks) {
  TClickLock lock;
  lock.Take();
  try {
    lock.Take();
    FAIL() << "taking a held lock";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "!!!");
  }
  lock.Release();
  try {
    lock.Release();
    FAIL() << "releasing a free lock";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "!!!!!");
  }

  int runs = 0;
  EXPECT_TRUE(RunLocked(lock, [&] {
    ++runs;
    // A tick that arrives inside a click (a menu's own loop) is dropped.
    EXPECT_FALSE(RunLocked(lock, [&] { ++runs; }));
  }));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(lock.Held());
  EXPECT_THROW(RunLocked(lock, [] { throw std::runtime_error("dialog failed"); }),
               std::runtime_error);
  EXPECT_FALSE(lock.Held());
}

TEST_F(JobManagerTest, TimerTickIsSkippedWhileTheClickLockIsHeld) {
  TClickLock lock;
  tasks_.push_back(Task(1));
  lock.Take();
  EXPECT_FALSE(JobManagerTimer(lock, *manager_));
  EXPECT_EQ(tasks_.size(), 1u);
  lock.Release();
  EXPECT_TRUE(JobManagerTimer(lock, *manager_));
  EXPECT_TRUE(tasks_.empty());
  EXPECT_FALSE(lock.Held());
}

}  // namespace
}  // namespace cq
