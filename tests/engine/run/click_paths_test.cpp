// Click paths: the steps of the day's sessions and the ones written.
#include <gtest/gtest.h>

#include <memory>

#include "engine/site/path_index.h"
#include "engine/site/session_tables.h"
#include "engine/site/text_item.h"
#include "session_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

const char kPathRows[] =
    "SELECT p.EntryDate, a.Name, b.Name, p.Hits, p.EntryCount, p.ExitCount FROM tblPaths p "
    "JOIN tblData a ON a.ItemID = p.ItemID JOIN tblData b ON b.ItemID = p.ItemID2 ORDER BY 2, 3";

// Steps are found by both pages, in their order, across the index's growth.
TEST(PathIndexTest, FindsEachStepByItsTwoPagesAcrossGrowth) {
  const int kPages = 120;
  std::vector<CTextItem> pages(kPages);
  std::vector<std::unique_ptr<CPathNode>> steps;
  PathIndex index;
  EXPECT_EQ(index.Find(&pages[0], &pages[1]), nullptr);
  for (int i = 0; i < kPages; ++i) {
    for (int j = 0; j < kPages; j += 3) {  // 4,800 steps: several growths
      if (i == j) continue;
      steps.push_back(std::make_unique<CPathNode>());
      steps.back()->from = &pages[i];
      steps.back()->to = &pages[j];
      index.Insert(steps.back().get());
    }
  }
  EXPECT_EQ(index.size(), steps.size());
  for (const auto& step : steps) EXPECT_EQ(index.Find(step->from, step->to), step.get());
  EXPECT_EQ(index.Find(&pages[0], &pages[1]), nullptr);  // only every third page is a target
  EXPECT_EQ(index.Find(&pages[3], &pages[3]), nullptr);
  EXPECT_NE(index.Find(&pages[3], &pages[0]), nullptr);
  index.Clear();
  EXPECT_EQ(index.Find(&pages[3], &pages[0]), nullptr);
}

TEST(ClickPathRunTest, StepsOfTheDaysSessions) {
  test::StatisticsSite shop;
  std::vector<std::string> lines;
  const struct {
    const char* client;
    std::vector<const char*> pages;
  } sessions[] = {
      {"10.0.0.1", {"/a1.htm", "/b1.htm", "/c1.htm"}},
      {"10.0.0.2", {"/a2.htm", "/a2.htm", "/b2.htm"}},
      {"10.0.0.3", {"/a3.htm", "/b3.htm"}},
      {"10.0.0.4", {"/a3.htm", "/b3.htm"}},
      {"10.0.0.5", {"/one.htm"}},
  };
  int minute = 10;  // in time order: one minute apart
  for (const auto& s : sessions) {
    for (const char* page : s.pages) {
      std::string time = "07/Jan/2007:10:" + std::to_string(minute++) + ":00";
      lines.push_back(test::LineOf(s.client, time, page));
    }
  }
  // Closes them all at the hour change; its own session is saved.
  lines.push_back(test::LineOf("10.0.0.9", "07/Jan/2007:11:30:00", "/z.htm"));
  shop.WriteLog("a.log", lines);
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(kPathRows), (Rows{"2007-01-07 00:00:00|/a1.htm|/b1.htm|1|1|0",
                                        "2007-01-07 00:00:00|/a2.htm|/b2.htm|1|1|1",
                                        "2007-01-07 00:00:00|/a3.htm|/b3.htm|2|2|2",
                                        "2007-01-07 00:00:00|/b1.htm|/c1.htm|1|0|1"}));
}

class ClickPathTest : public test::SessionSiteTest {
 protected:
  // Counts `hits` sessions that step from one page to the other.
  void Steps(const std::string& from, const std::string& to, int hits) {
    CSession session;
    session.pages = {{Page(from), Start(), 0}, {Page(to), Start() + 1, 0}};
    SiteLockGuard held(site(), "test");
    for (int i = 0; i < hits; ++i) CountPath(site(), session, held);
  }
  int DayListLength() {
    int n = 0;
    for (CPathNode* node = site().run.sessions.day_paths; node != nullptr; node = node->next_day) {
      ++n;
    }
    return n;
  }
};

TEST_F(ClickPathTest, WrittenStepsOfTheDay) {
  const struct {
    std::int32_t store, top;
    Rows rows;
  } cases[] = {
      {1, 2, {"/a.htm|/b.htm|3", "/c.htm|/d.htm|2"}},  // the two most frequent
      {1, 3, {"/a.htm|/b.htm|3", "/c.htm|/d.htm|2", "/e.htm|/f.htm|1"}},
      {2, 1, {"/a.htm|/b.htm|3", "/c.htm|/d.htm|2", "/e.htm|/f.htm|1"}},
  };
  for (const auto& c : cases) {
    shop_.install().Sql("Project0001.mdb", "DELETE FROM tblPaths");
    site().settings.PathsStore = c.store;
    site().settings.PathsTop = c.top;
    Steps("/a.htm", "/b.htm", 3);
    Steps("/e.htm", "/f.htm", 1);
    Steps("/c.htm", "/d.htm", 2);
    PathFlushDay(site());
    EXPECT_EQ(shop_.Rows("SELECT a.Name, b.Name, p.Hits FROM tblPaths p JOIN tblData a ON "
                         "a.ItemID = p.ItemID JOIN tblData b ON b.ItemID = p.ItemID2 ORDER BY 1"),
              c.rows)
        << "store " << c.store << ", top " << c.top;
    EXPECT_EQ(DayListLength(), 0);
    for (CPathNode* node = site().run.sessions.paths.front(); node != nullptr;
         node = node->next.get()) {
      EXPECT_EQ(node->day_hits + node->day_entries + node->day_exits, 0) << "dropped for the day";
    }
  }
}

TEST_F(ClickPathTest, WithoutStoringTheDayCountsGoOnGrowing) {
  site().settings.PathsStore = 0;
  Steps("/a.htm", "/b.htm", 2);
  PathFlushDay(site());
  Steps("/a.htm", "/b.htm", 1);
  EXPECT_EQ(shop_.Rows("SELECT count(*) FROM tblPaths"), Rows{"0"});
  ASSERT_EQ(DayListLength(), 1);
  EXPECT_EQ(site().run.sessions.day_paths->day_hits, 3);
}

}  // namespace
}  // namespace tf
