// The console's tick and exit path over the host layer, with a set clock
// and analyses that block until released or stopped.
#include "console/console_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "console/exit_sequence.h"
#include "console/site_list_model.h"
#include "console_fixture.h"
#include "engine/common/busy.h"
#include "support/message_box_recorder.h"

namespace tf::console::test {
namespace {

class ConsoleSchedulerTest : public SiteListTest {
 protected:
  void MakeScheduler() {
    scheduler_ = std::make_unique<ConsoleScheduler>([this] { return now_.load(); }, runs_.Run());
  }
  void TearDown() override {
    if (scheduler_) scheduler_->host().StopAll();
    scheduler_.reset();
    SiteListTest::TearDown();
  }
  // Lets the site's run end and waits until it gave its slot back.
  void Finish(const std::string& name) {
    runs_.Release(Site(name));
    ASSERT_TRUE(Eventually([&] { return Site(name).state == kSiteIdle; })) << name;
  }

  std::atomic<TimeValue> now_{Wednesday(14, 30)};
  BlockingRuns runs_;
  std::unique_ptr<ConsoleScheduler> scheduler_;
};

TEST_F(ConsoleSchedulerTest, AnalyzeAllRunsTwoAndTheRowsFollowTheStates) {
  AddSites({"A", "B", "C", "D", "E"});
  MakeScheduler();
  SiteListModel rows;
  rows.Fill(now_);
  scheduler_->AnalyzeAll();
  EXPECT_EQ(States(), (Names{"A:2", "B:2", "C:1", "D:1", "E:1"}));
  EXPECT_EQ(Site("C").StatusText(), "Waiting for other analyses to finish");
  rows.Apply(*scheduler_->Tick());
  EXPECT_EQ(rows.row(0).last_analysis, "Running");
  EXPECT_EQ(rows.row(2).last_analysis, "Pending");

  Finish("A");
  rows.Apply(*scheduler_->Tick());
  EXPECT_EQ(States(), (Names{"A:0", "B:2", "C:2", "D:1", "E:1"})) << "next pending in list order";
  EXPECT_EQ(rows.row(0).last_analysis, FormatDateOrEmpty(Wednesday(14, 30)))
      << "the last analysis time after the run";
}

TEST_F(ConsoleSchedulerTest, NoTickRunsWhileBusyOrAfterTheExitBegan) {
  AddSites({"A"});
  Site("A").settings.EnableSchedule = 1;
  Site("A").settings.RunSchedule[kWednesday] = 1 << 14;
  MakeScheduler();
  {
    BusyScope busy;
    EXPECT_FALSE(scheduler_->Tick().has_value());
    EXPECT_EQ(Site("A").state, kSiteIdle) << "the due site waits for the busy work";
  }
  scheduler_->Suspend();
  EXPECT_FALSE(scheduler_->Tick().has_value());
  EXPECT_EQ(scheduler_->Analyze(&Site("A")), AnalysisHost::StartResult::kUnchanged);
  EXPECT_EQ(Site("A").state, kSiteIdle);
}

TEST_F(ConsoleSchedulerTest, ScheduledSiteStartsAtTheFirstTickEvenMidHour) {
  AddSites({"A"});
  Site("A").settings.EnableSchedule = 1;
  Site("A").settings.RunSchedule[kWednesday] = 1 << 14;
  MakeScheduler();
  ASSERT_TRUE(scheduler_->Tick().has_value());
  EXPECT_EQ(Site("A").state, kSiteRunning);
  Finish("A");
  now_ = Wednesday(14, 59);
  scheduler_->Tick();
  EXPECT_EQ(Site("A").state, kSiteIdle) << "once per hour";
}

TEST_F(ConsoleSchedulerTest, StopMakesAPendingSiteIdleAndARunningOneStopping) {
  SystemData.MaxAnalyses = 1;
  AddSites({"A", "B"});
  MakeScheduler();
  scheduler_->AnalyzeAll();
  scheduler_->Stop(&Site("B"));
  EXPECT_EQ(Site("B").state, kSiteIdle);
  scheduler_->Stop(nullptr);
  ASSERT_TRUE(Eventually([&] { return runs_.started() == 1; }));
  scheduler_->Stop(&Site("A"));
  EXPECT_TRUE(Site("A").state == kSiteStopping || Site("A").state == kSiteIdle);
  EXPECT_TRUE(Eventually([&] { return Site("A").state == kSiteIdle; }));
}

// --- Exit -------------------------------------------------------------------

class ExitTest : public ConsoleSchedulerTest {
 protected:
  ShutdownSteps Recording() {
    return {[this] { steps_.push_back("write back"); },
            [this] { steps_.push_back("stop translation"); },
            [this] {
              steps_.push_back("delete sites");
              SiteList.Clear();
            },
            [this] { steps_.push_back("close databases"); }};
  }
  Names steps_;
};

TEST_F(ExitTest, CancelWhileRunningChangesNothing) {
  AddSites({"A"});
  MakeScheduler();
  scheduler_->Analyze(&Site("A"));
  tf::test::MessageBoxRecorder boxes;
  SetMessageBoxHandler([](std::string_view, std::string_view, unsigned) { return kIdCancel; });
  EXPECT_FALSE(ConfirmStop(*scheduler_, Recording()));
  EXPECT_EQ(Site("A").state, kSiteRunning);
  EXPECT_TRUE(steps_.empty());
  EXPECT_FALSE(scheduler_->suspended());
  EXPECT_EQ(BusyCount(), 0);
}

TEST_F(ExitTest, OkWhileTwoRunAndOnePendsWaitsForTheRunsAndStartsNoMore) {
  AddSites({"A", "B", "C"});
  MakeScheduler();
  scheduler_->AnalyzeAll();
  ASSERT_TRUE(Eventually([&] { return runs_.started() == 2; }));
  tf::test::MessageBoxRecorder boxes;
  EXPECT_TRUE(ConfirmStop(*scheduler_, Recording()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, kRunningQuestion);
  EXPECT_EQ(boxes.boxes()[0].caption, "Confirm stop");
  EXPECT_EQ(runs_.started(), 2) << "the pending site never started";
  EXPECT_EQ(scheduler_->host().running_analyses(), 0);
  EXPECT_EQ(steps_, (Names{"write back", "stop translation", "delete sites", "close databases"}));
  EXPECT_FALSE(scheduler_->Tick().has_value());
}

TEST_F(ExitTest, NothingRunningButAScheduleSetAsksTheScheduledQuestion) {
  AddSites({"A", "B"});
  Site("B").settings.EnableSchedule = 1;
  Site("B").settings.RunSchedule[4] = 1 << 3;
  MakeScheduler();
  tf::test::MessageBoxRecorder boxes;
  EXPECT_TRUE(ConfirmStop(*scheduler_, Recording()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, kScheduledQuestion);
}

TEST_F(ExitTest, NothingRunningOrScheduledEndsWithoutAQuestion) {
  AddSites({"A"});
  MakeScheduler();
  tf::test::MessageBoxRecorder boxes;
  EXPECT_TRUE(ConfirmStop(*scheduler_, Recording()));
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
}  // namespace tf::console::test
