// Sites in the global site list for the console's model tests, and
// analyses that block until the test lets them end.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/display.h"
#include "engine/host/analysis_host.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "support/listed_sites.h"

namespace tf::console::test {

using Names = std::vector<std::string>;

// Wednesday 2007-01-10 (weekday 3).
constexpr int kWednesday = 3;
inline TimeValue Wednesday(int hour, int minute) { return ComposeTime(2007, 1, 10, hour, minute, 0); }

// Polls until the condition holds or a generous deadline passes.
inline bool Eventually(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class BlockingRuns {
 public:
  // Each run waits until released or told to stop.
  AnalysisHost::AnalysisRun Run() {
    return [this](CSite& site) {
      std::unique_lock<std::mutex> lock(mutex_);
      ++started_;
      while (released_.count(&site) == 0 && site.state != kSiteStopping) {
        gate_.wait_for(lock, std::chrono::milliseconds(1));
      }
      released_.erase(&site);
    };
  }
  void Release(const CSite& site) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_.insert(&site);
    gate_.notify_all();
  }
  int started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable gate_;
  std::set<const CSite*> released_;
  int started_ = 0;
};

class SiteListTest : public testing::Test {
 protected:
  void SetUp() override { SystemData.MaxAnalyses = 2; }
  void TearDown() override {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    SiteList.Clear();
  }
  // Sites named as given, listed in the given order.
  void AddSites(const Names& names) {
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
      auto* site = new CSite;
      site->ProjectID = static_cast<std::int32_t>(++next_id_);
      site->ProjectName = *name;
      AddToSiteList(site);
    }
  }
  CSite& Site(const std::string& name) { return tf::test::ListedSite(name); }
  Names States() { return tf::test::ListedSiteStates(); }

  int next_id_ = 0;
};

}  // namespace tf::console::test
