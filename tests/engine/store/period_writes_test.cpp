#include "engine/stats/period_writes.h"

#include "engine/run/period_flush.h"
#include "engine/run/reset_statistics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <span>
#include <thread>
#include <vector>

#include "engine/logs/log_stream.h"
#include "engine/site/text_item.h"
#include "statistics_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

class PeriodWritesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(site().OpenSiteDatabase());
    site().run.current_hour = ComposeTime(2007, 1, 7, 10, 0, 0);
    site().run.current_day = ComposeTime(2007, 1, 7, 0, 0, 0);
    item_.SetCategory(1);
    item_.ItemID = 12;
  }
  void TearDown() override { site().CloseSiteDatabase(); }
  CSite& site() { return shop_.site(); }

  test::StatisticsSite shop_;
  CTextItem item_;
};

TEST_F(PeriodWritesTest, PeriodRowsAddUpAndCountersStartAgain) {
  std::vector<ItemPeriodRow> rows;
  for (int i = 0; i < 2; ++i) {
    item_.hour = PeriodCounters{1, 3000000000LL, 1, 0, 1, 10};
    rows.push_back(TakeItemPeriodRow(item_, ItemPeriod::kHour));
    EXPECT_EQ(item_.hour.Hits, 0);
    EXPECT_EQ(item_.hour.Bytes, 0);
  }
  std::vector<std::size_t> written;
  WriteItemPeriods(site().database(), ItemPeriod::kHour, site().run.current_hour, rows,
                   [&](std::size_t k) { written.push_back(k); });
  EXPECT_EQ(written, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(shop_.Rows("SELECT * FROM tblHour"),
            Rows{"2007-01-07 10:00:00|1|12|2|6000000000.0|2|0|2|20"})
      << "one row; bytes beyond 32 bits";

  const struct {
    TimeValue day;
    std::int32_t hits;
  } days[] = {{site().run.current_day, 1}, {ComposeTime(2007, 1, 5, 0, 0, 0), 5}};
  for (const auto& day : days) {
    item_.day.Hits = day.hits;
    ItemPeriodRow row = TakeItemPeriodRow(item_, ItemPeriod::kDay);
    WriteItemPeriods(site().database(), ItemPeriod::kDay, day.day, std::span(&row, 1));
  }
  EXPECT_EQ(shop_.Rows("SELECT EntryDate, Hits FROM tblDay ORDER BY 1"),
            (Rows{"2007-01-05 00:00:00|5", "2007-01-07 00:00:00|1"}));
}

TEST_F(PeriodWritesTest, DeferredRowsAreAllInWhenTheRunFinishesWhicheverWayItEnds) {
  // Many hours of rows, more than the worker queues and more than one hold
  // of the lock each, posted while another thread keeps taking the lock.
  constexpr int kHours = 100;
  constexpr int kItems = 40;
  auto post_all = [&] {
    for (int h = 0; h < kHours; ++h) {
      std::vector<ItemPeriodRow> rows;
      for (int i = 1; i <= kItems; ++i) rows.push_back({1, i, PeriodCounters{1}});
      PostItemPeriods(site().database(), ItemPeriod::kHour, site().run.current_hour + 3600.0 * h,
                      std::move(rows));
    }
  };
  const std::string count = "SELECT count(*), sum(Hits) FROM tblHour";
  {
    DeferredWrites deferred(site().database());
    std::atomic<bool> done{false};
    std::thread lookups([&] {
      while (!done) DatabaseLockGuard lock(site().database(), "lookup");
    });
    post_all();
    deferred.Finish();
    done = true;
    lookups.join();
    EXPECT_EQ(shop_.Rows(count), Rows{"4000|4000"});
  }
  {
    DeferredWrites deferred(site().database());
    post_all();
  }  // left without Finish, as when a run throws
  EXPECT_EQ(shop_.Rows(count), Rows{"4000|8000"}) << "the rows of an hour add up";
  post_all();  // no run: written at once
  EXPECT_EQ(shop_.Rows(count), Rows{"4000|12000"});
}

TEST_F(PeriodWritesTest, EveryFailedRowIsLogged) {
  shop_.install().Sql("Project0001.mdb", "DROP TABLE tblHour");
  ASSERT_TRUE(site().OpenEventLog());
  const ItemPeriodRow rows[] = {{1, 12, {4}}, {1, 13, {5}}};
  WriteItemPeriods(site().database(), ItemPeriod::kHour, site().run.current_hour, rows);
  site().CloseEventLog();
  Rows log = shop_.EventLog();
  ASSERT_EQ(log.size(), 3u);
  for (std::size_t i = 1; i < log.size(); ++i) {
    EXPECT_EQ(log[i].rfind("Error adding hourly item: ", 0), 0u) << log[i];
  }
}

TEST_F(PeriodWritesTest, ARowThatFailsInAGroupLosesNoneOfTheOthers) {
  // Rows go in groups of several to a statement; the group holding the
  // refused row is written again one by one.
  shop_.install().Sql("Project0001.mdb",
                      "CREATE TRIGGER refuse BEFORE INSERT ON tblHour WHEN NEW.ItemID = 13 "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  ASSERT_TRUE(site().OpenEventLog());
  std::vector<ItemPeriodRow> rows;
  for (int i = 1; i <= 40; ++i) rows.push_back({1, i, PeriodCounters{i}});
  std::size_t last = 0;
  bool rising = true;
  WriteItemPeriods(site().database(), ItemPeriod::kHour, site().run.current_hour, rows,
                   [&](std::size_t k) {
                     rising = rising && k > last;
                     last = k;
                   });
  site().CloseEventLog();
  EXPECT_TRUE(rising);
  EXPECT_EQ(last, rows.size());
  EXPECT_EQ(shop_.Rows("SELECT count(*), sum(Hits) FROM tblHour"), Rows{"39|807"});
  Rows log = shop_.EventLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "Error adding hourly item: refused");
}

TEST_F(PeriodWritesTest, TargetGroupsWriteEveryTargetPageAndTheirSessions) {
  site().SetStatus("before");
  WriteDailyTargets(site());
  EXPECT_EQ(site().StatusText(), "before") << "no groups: no status";

  for (int round = 0; round < 2; ++round) {
    TargetHitGroup& group = site().target_hits.groups.emplace_front();
    group.keyword_phrase = 7;
    group.phrase_category = 402;
    group.sessions = 3;
    group.targets.push_front({20, 0});
    group.targets.push_front({21, round});
    site().target_hits.index.Insert(&group);
    WriteDailyTargets(site());
    EXPECT_TRUE(site().target_hits.groups.empty());
    EXPECT_TRUE(site().target_hits.index.Empty());
  }
  EXPECT_EQ(shop_.Rows("SELECT EntryDate, ReferringSite, ReferringCategory, KeywordPhrase, "
                       "TargetPage, TargetHits, TotalSessions FROM tblTargetHits ORDER BY TargetPage"),
            (Rows{"2007-01-07 00:00:00|0|0|7|20|0|6", "2007-01-07 00:00:00|0|0|7|21|1|6"}));
  EXPECT_EQ(site().StatusText(), "Writing daily target page statistics for Sun,  7-Jan-2007  (100)");
}

TEST_F(PeriodWritesTest, PathStepsAddUp) {
  const PathRow rows[] = {{1, 2, 3, 1, 0}, {1, 2, 1, 0, 1}};
  WriteDailyPaths(site().database(), site().run.current_day, rows);
  EXPECT_EQ(shop_.Rows("SELECT * FROM tblPaths"), Rows{"2007-01-07 00:00:00|1|2|4|1|1"});
}

TEST_F(PeriodWritesTest, ResetEmptiesTheStatisticsAndForgetsTheLogs) {
  shop_.install().Sql("Project0001.mdb",
                      "INSERT INTO tblData VALUES (1, 1, '/a.htm', '2007-01-07 10:00:00');"
                      "INSERT INTO tblDay VALUES ('2007-01-07 00:00:00', 1, 1, 1, 1, 0, 0, 0, 0);"
                      "INSERT INTO tblDomains VALUES ('192.0.2.1', 'a.example', '2007-01-07 00:00:00');"
                      "INSERT INTO tblTargetPages VALUES ('buy.htm', '2007-01-01 00:00:00');");
  site().history.LastRecordDate = ComposeTime(2007, 1, 7, 10, 0, 0);
  site().history.stRejectInclude = 4;
  site().log_streams.front()->SetProgress(1, 2, LogPosition{});
  std::string sessions = shop_.install().File("Project0001.ses");
  test::WriteFile(sessions, "saved");

  ResetStatistics(site());
  for (const char* table : {"tblData", "tblDay", "tblDomains", "tblHitStatus", "tblHour",
                            "tblPaths", "tblTargetHits", "tblVisitors"}) {
    EXPECT_EQ(shop_.Rows(std::string("SELECT count(*) FROM ") + table), Rows{"0"}) << table;
  }
  EXPECT_EQ(shop_.Rows("SELECT Name FROM tblTargetPages"), Rows{"buy.htm"});
  EXPECT_FALSE(std::filesystem::exists(sessions));
  EXPECT_EQ(site().history.LastRecordDate, 0);
  EXPECT_EQ(site().history.stRejectInclude, 0);
  EXPECT_EQ(site().log_streams.front()->last_record_date(), 0);
  EXPECT_EQ(shop_.Rows("SELECT StringValue FROM tblSettingsString WHERE Name = 'LogStream1'"),
            Rows{shop_.LogFolder() + "/*.log {F:01/01/1900 00:00:00; R:01/01/1900 00:00:00;}"})
      << "the cleared dates are stored";

  ResetStatistics(site());  // without a saved-sessions file
  EXPECT_EQ(shop_.Rows("SELECT Name FROM tblTargetPages"), Rows{"buy.htm"});
}

}  // namespace
}  // namespace tf
