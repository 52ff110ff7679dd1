// The scheduler driven tick by tick with a set clock and fake runs that
// block until the test lets them end.
#include "engine/host/analysis_host.h"
#include "support/listed_sites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/site/site_status_hook.h"
#include "engine/store/system_data.h"

namespace tf {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

// Wednesday 2007-01-10 on the system's day count (weekday 3).
constexpr int kWednesday = 3;
TimeValue Wednesday(int hour, int minute, double second = 0) {
  return ComposeTime(2007, 1, 10, hour, minute, 0) + second;
}

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Polls until the condition holds or a generous deadline passes.
bool Eventually(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Analyses that block until the test releases their site, or, when asked
// to, until the site is told to stop.
class FakeRuns {
 public:
  AnalysisHost::AnalysisRun Run(bool end_on_stop = false) {
    return [this, end_on_stop](CSite& site) {
      std::unique_lock<std::mutex> lock(mutex_);
      started_.push_back(site.ProjectName);
      while (released_.count(&site) == 0 && !(end_on_stop && site.state == kSiteStopping)) {
        gate_.wait_for(lock, 1ms);
      }
      released_.erase(&site);
      ended_.push_back(site.ProjectName);
    };
  }
  void Release(const CSite& site) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_.insert(&site);
    gate_.notify_all();
  }
  Names started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_;
  }
  Names ended() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable gate_;
  std::set<const CSite*> released_;
  Names started_;
  Names ended_;
};

class AnalysisHostTest : public testing::Test {
 protected:
  void SetUp() override {
    SystemData.MaxAnalyses = 2;
    previous_hook_ = SetSiteStatusHandler([this](CSite& site) {
      std::lock_guard<std::mutex> lock(notified_mutex_);
      notified_.push_back(site.ProjectName + ":" + std::to_string(site.state));
    });
  }
  void TearDown() override {
    for (const auto& site : SiteList.sites()) runs_.Release(*site);
    host_.reset();
    SiteList.Clear();
    SetSiteStatusHandler(previous_hook_);
  }

  // Sites A, B, ... in list order.
  void AddSites(int count) {
    for (int i = count - 1; i >= 0; --i) {
      auto* site = new CSite;
      site->ProjectID = i + 1;
      site->ProjectName = std::string(1, static_cast<char>('A' + i));
      AddToSiteList(site);
    }
  }
  CSite& Site(const std::string& name) { return tf::test::ListedSite(name); }
  Names States() { return tf::test::ListedSiteStates(); }
  void MakeHost(bool end_on_stop = false) {
    host_ = std::make_unique<AnalysisHost>([this] { return now_.load(); },
                                           runs_.Run(end_on_stop));
  }
  // Lets the site's run end and waits until its thread gave the slot back.
  void Finish(const std::string& name) {
    int running = host_->running_analyses();
    runs_.Release(Site(name));
    ASSERT_TRUE(Eventually([&] { return host_->running_analyses() < running; })) << name;
    EXPECT_EQ(Site(name).state, kSiteIdle);
  }
  Names Notified() {
    std::lock_guard<std::mutex> lock(notified_mutex_);
    return notified_;
  }

  std::atomic<TimeValue> now_{Wednesday(14, 30)};
  FakeRuns runs_;
  std::unique_ptr<AnalysisHost> host_;
  SiteStatusHandler previous_hook_;
  std::mutex notified_mutex_;
  Names notified_;
};

TEST_F(AnalysisHostTest, AnalyzeAllRunsTwoAndStartsThePendingInListOrderAsSlotsFree) {
  AddSites(5);
  MakeHost();
  host_->StartOrQueueAll();
  EXPECT_EQ(States(), (Names{"A:2", "B:2", "C:1", "D:1", "E:1"}));
  for (const char* name : {"C", "D", "E"}) {
    EXPECT_EQ(Site(name).StatusText(), "Waiting for other analyses to finish") << name;
  }
  ASSERT_TRUE(Eventually([&] { return runs_.started().size() == 2; }));

  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:2", "B:2", "C:1", "D:1", "E:1"})) << "no slot is free";

  Finish("B");
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:2", "B:0", "C:2", "D:1", "E:1"}));
  Finish("A");
  Finish("C");
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:0", "B:0", "C:0", "D:2", "E:2"}));
  Finish("D");
  Finish("E");
  EXPECT_TRUE(Eventually([&] { return runs_.ended().size() == 5; }));
  EXPECT_EQ(Sorted(runs_.started()), (Names{"A", "B", "C", "D", "E"})) << "one run each";
  EXPECT_EQ(Site("C").StatusText(), "") << "run fields cleared at the end";
}

TEST_F(AnalysisHostTest, StartingARunningOrPendingSiteChangesNothing) {
  SystemData.MaxAnalyses = 1;
  AddSites(2);
  MakeHost();
  using Result = AnalysisHost::StartResult;
  EXPECT_EQ(host_->StartOrQueue(Site("A")), Result::kStarted);
  EXPECT_EQ(host_->StartOrQueue(Site("A")), Result::kUnchanged);
  EXPECT_EQ(host_->StartOrQueue(Site("B")), Result::kQueued);
  EXPECT_EQ(host_->StartOrQueue(Site("B")), Result::kUnchanged);
  EXPECT_EQ(host_->running_analyses(), 1);
}

TEST_F(AnalysisHostTest, ScheduledHourSeenFirstMidHourStartsAtTheFirstTickOnly) {
  AddSites(2);
  Site("A").settings.EnableSchedule = 1;
  Site("A").settings.RunSchedule[kWednesday] = 1 << 14;
  Site("B").settings.RunSchedule[kWednesday] = 1 << 14;  // schedule switched off
  MakeHost();
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:2", "B:0"}));
  ASSERT_TRUE(Eventually([&] { return runs_.started().size() == 1; }));
  EXPECT_EQ(Site("A").history.LastScanDate, Wednesday(14, 30)) << "from the host's clock";
  Finish("A");

  now_ = Wednesday(14, 50);
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:0", "B:0"})) << "the hour was seen already";

  host_->ForgetSeenHour(Site("A"));  // the schedule was edited
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:2", "B:0"}));
}

TEST_F(AnalysisHostTest, SiteBusyAtTheFirstTickOfItsHourIsNotStartedLaterInIt) {
  AddSites(1);
  CSite& a = Site("A");
  a.settings.EnableSchedule = 1;
  a.settings.RunSchedule[kWednesday] = 1 << 14 | 1 << 15;
  now_ = Wednesday(13, 59, 59.5);
  MakeHost();
  host_->Tick();
  EXPECT_EQ(a.state, kSiteIdle) << "hour 13 is not scheduled";
  host_->StartOrQueue(a);  // by hand, before the hour

  now_ = Wednesday(13, 59, 59.7);  // counts as 14:00
  host_->Tick();
  Finish("A");
  now_ = Wednesday(14, 20);
  host_->Tick();
  EXPECT_EQ(a.state, kSiteIdle) << "not started again in hour 14";

  now_ = Wednesday(15, 0, 0.1);
  host_->Tick();
  EXPECT_EQ(a.state, kSiteRunning);
  EXPECT_TRUE(Eventually([&] { return runs_.started() == Names{"A", "A"}; }));
}

TEST_F(AnalysisHostTest, StopMakesAPendingSiteIdleAndARunningSiteStopping) {
  SystemData.MaxAnalyses = 1;
  AddSites(3);
  MakeHost();
  host_->StartOrQueueAll();
  ASSERT_EQ(States(), (Names{"A:2", "B:1", "C:1"}));
  ASSERT_TRUE(Eventually([&] { return runs_.started().size() == 1; }));

  host_->Stop(Site("B"));
  EXPECT_EQ(Site("B").state, kSiteIdle);
  EXPECT_EQ(Site("B").StatusText(), "") << "run fields cleared";
  host_->Stop(Site("A"));
  host_->Stop(Site("A"));
  EXPECT_EQ(Site("A").state, kSiteStopping);

  Finish("A");
  host_->Tick();
  EXPECT_EQ(States(), (Names{"A:0", "B:0", "C:2"})) << "the stopped pending site stays idle";
  EXPECT_EQ(host_->running_analyses(), 1);

  Names notified = Notified();
  for (const char* change : {"A:2", "B:1", "B:0", "A:3", "A:0"}) {
    EXPECT_NE(std::find(notified.begin(), notified.end(), change), notified.end()) << change;
  }
  EXPECT_EQ(std::count(notified.begin(), notified.end(), "A:3"), 1) << "the second stop did nothing";
}

TEST_F(AnalysisHostTest, StopAllLeavesPendingSitesIdleAndWaitsForEveryRun) {
  AddSites(3);
  MakeHost();
  host_->StartOrQueueAll();
  ASSERT_TRUE(Eventually([&] { return runs_.started().size() == 2; }));

  Names at_return;
  int running_at_return = -1;
  std::thread exit_path([&] {
    host_->StopAll();
    host_->WaitForAll();
    at_return = States();
    running_at_return = host_->running_analyses();
  });
  ASSERT_TRUE(Eventually([&] { return Site("A").state == kSiteStopping &&
                                      Site("B").state == kSiteStopping; }));
  EXPECT_EQ(Site("C").state, kSiteIdle);
  runs_.Release(Site("A"));
  runs_.Release(Site("B"));
  exit_path.join();
  EXPECT_EQ(at_return, (Names{"A:0", "B:0", "C:0"}));
  EXPECT_EQ(running_at_return, 0);
  EXPECT_EQ(Sorted(runs_.ended()), (Names{"A", "B"}));

  host_->Tick();
  EXPECT_EQ(host_->StartOrQueue(Site("C")), AnalysisHost::StartResult::kUnchanged)
      << "nothing starts after the stop";
}

TEST_F(AnalysisHostTest, TickReportsEachChangeOfStateAndNextRunOnce) {
  AddSites(2);
  CSite& a = Site("A");
  a.settings.EnableSchedule = 1;
  a.settings.RunSchedule[kWednesday] = 1 << 18;
  MakeHost();

  auto report = [&] {
    Names seen;
    for (const auto& change : host_->Tick()) {
      seen.push_back(change.site->ProjectName + (change.state_changed ? " state " : " ") +
                     std::to_string(change.state) +
                     (change.next_run_changed ? " next " : " ") +
                     std::to_string(static_cast<long long>(change.next_run)));
    }
    return seen;
  };
  const std::string at18 = std::to_string(static_cast<long long>(Wednesday(18, 0)));
  const std::string at17 = std::to_string(static_cast<long long>(Wednesday(17, 0)));
  EXPECT_EQ(report(), (Names{"A state 0 next " + at18, "B state 0 0"})) << "all at first";
  EXPECT_EQ(report(), Names{});

  a.settings.RunSchedule[kWednesday] |= 1 << 17;
  EXPECT_EQ(report(), (Names{"A 0 next " + at17}));
  EXPECT_EQ(report(), Names{});

  host_->StartOrQueue(Site("B"));
  EXPECT_EQ(report(), (Names{"B state 2 0"}));
}

TEST_F(AnalysisHostTest, RunThatThrowsLeavesTheSiteIdleWithItsErrorAndFreesTheSlot) {
  AddSites(1);
  host_ = std::make_unique<AnalysisHost>([this] { return now_.load(); },
                                         [](CSite&) { throw std::runtime_error("disk full"); });
  host_->StartOrQueue(Site("A"));
  ASSERT_TRUE(Eventually([&] { return host_->running_analyses() == 0; }));
  EXPECT_EQ(Site("A").state, kSiteIdle);
  EXPECT_EQ(Site("A").ErrorText(), "disk full");
}

TEST_F(AnalysisHostTest, SiteDeletedWhileRunningIsStoppedAndWaitedFor) {
  AddSites(2);
  MakeHost(/*end_on_stop=*/true);
  host_->StartOrQueueAll();
  ASSERT_TRUE(Eventually([&] { return runs_.started().size() == 2; }));
  RemoveSiteFromList(&Site("A"));
  EXPECT_EQ(runs_.ended(), Names{"A"}) << "its run ended before the site went away";
  host_->Tick();  // forgets it and joins its thread
  ASSERT_TRUE(Eventually([&] { return host_->running_analyses() == 1; }));
  EXPECT_EQ(States(), Names{"B:2"});
}

}  // namespace
}  // namespace tf
