#include "engine/common/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace tf {
namespace {

TEST(OrderedJobsTest, RunsEveryJobInPostedOrderBeforeDrainReturns) {
  std::vector<int> seen;
  OrderedJobs jobs(2);  // a small limit makes Post wait for the worker
  for (int i = 0; i < 500; ++i) jobs.Post([&seen, i] { seen.push_back(i); });
  jobs.Drain();
  ASSERT_EQ(seen.size(), 500u);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(seen[i], i);
}

TEST(OrderedJobsTest, AFailingJobIsToldByDrainAndTheOthersStillRun) {
  std::atomic<int> ran{0};
  OrderedJobs jobs;
  jobs.Post([&] { ++ran; });
  jobs.Post([] { throw std::runtime_error("disk full"); });
  jobs.Post([&] { ++ran; });
  EXPECT_THROW(jobs.Drain(), std::runtime_error);
  EXPECT_EQ(ran.load(), 2);
  jobs.Drain();  // told once
}

TEST(OrderedJobsTest, TheDestructorRunsWhatIsStillQueued) {
  std::atomic<int> ran{0};
  {
    OrderedJobs jobs;
    for (int i = 0; i < 50; ++i) jobs.Post([&] { ++ran; });
  }
  EXPECT_EQ(ran.load(), 50);
}

}  // namespace
}  // namespace tf
