// User-agent statistics of a run: the items an agent names, each counted
// with one hit and one session, by the lists of the system template.
#include "engine/recognise/user_agent_stats.h"

#include <gtest/gtest.h>

#include "engine/run/period_flush.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "statistics_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

constexpr std::int32_t kAllButRegions = 0x1FB3F3F;
const char kChrome[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/124.0.0.0 Safari/537.36";
const char kGermanSafari[] =
    "Mozilla/5.0 (Windows; U; Windows NT 6.1; de-DE) AppleWebKit/533.20.25 (KHTML, like Gecko) "
    "Version/5.0.4 Safari/533.20.27";
const char kGooglebot[] = "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";
const char kUnknown[] = "SomeApp/1.0";

// Agent items per period: category, name, hits, sessions.
const char kAgentRows[] =
    "SELECT '%s', h.Category, d.Name, h.Hits, h.SessionCount FROM %s h JOIN tblData d "
    "ON d.ItemID = h.ItemID WHERE h.Category BETWEEN 405 AND 411 ORDER BY h.Category, d.Name";

class UserAgentStatsTest : public testing::Test {
 protected:
  void SetUp() override {
    site().settings.HourStats = kAllButRegions;
    site().settings.DayStats = kAllButRegions;
    site().run.current_day = ComposeDate(2024, 3, 1);
    site().run.current_hour = site().run.current_day + 10 * 3600;
    ASSERT_TRUE(site().OpenSiteDatabase());
  }
  void TearDown() override {
    ReleaseUserAgentStats(site());
    ReleaseTextItems(site());
    site().CloseSiteDatabase();
  }
  CSite& site() { return shop_.site(); }
  TimeValue At(int minute) const { return ComposeTime(2024, 3, 1, 10, minute, 0); }

  // The hour's and the day's agent rows, after writing both.
  Rows Written() {
    FlushHourTextItems(site());
    FlushDayTextItems(site());
    Rows rows;
    for (const char* table : {"tblHour", "tblDay"}) {
      char query[512];
      std::snprintf(query, sizeof query, kAgentRows, table, table);
      Rows part = shop_.Rows(query);
      rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
  }

  test::StatisticsSite shop_;
};

TEST_F(UserAgentStatsTest, EachItemOfAnAgentGetsAHitAndASession) {
  // Two sessions of one browser, one of a browser with a language, a
  // crawler and an agent that no list knows.
  for (const char* agent : {kChrome, kChrome, kGermanSafari, kGooglebot, kUnknown}) {
    ClassifyUserAgent(site(), agent, At(5));
  }
  Rows expected;
  for (const char* table : {"tblHour", "tblDay"}) {
    const std::string t = table;
    for (const char* row : {
             "|405|Chrome|2|2", "|405|Other|1|1", "|405|Safari|1|1",
             "|406|Chrome 124.0.0.0|2|2", "|406|Safari 5.0.4|1|1",
             "|407|Other|1|1", "|407|Windows|3|3",
             "|408|Windows NT 10.0|2|2", "|408|Windows NT 6.1|1|1",
             "|409|German|1|1",
             // The crawler is only a crawler.
             "|410|Googlebot|1|1",
             "|411|None|4|4",
         }) {
      expected.push_back(t + row);
    }
  }
  EXPECT_EQ(Written(), expected);
  EXPECT_EQ(site().ErrorText(), "");
}

TEST_F(UserAgentStatsTest, StatisticsBitsChooseThePeriods) {
  site().settings.HourStats = 0;                         // no agents by the hour
  site().settings.DayStats = kAllButRegions & ~0x100000;  // crawlers go with the referring sites
  ClassifyUserAgent(site(), kChrome, At(5));
  ClassifyUserAgent(site(), kGooglebot, At(6));
  EXPECT_EQ(Written(), (Rows{
                           "tblDay|405|Chrome|1|1",
                           "tblDay|406|Chrome 124.0.0.0|1|1",
                           "tblDay|407|Windows|1|1",
                           "tblDay|408|Windows NT 10.0|1|1",
                           "tblDay|411|None|1|1",
                       }));
}

TEST_F(UserAgentStatsTest, ItemsFreedByTheRunAreFoundAfresh) {
  ClassifyUserAgent(site(), kChrome, At(5));
  ReleaseTextItems(site());
  // The agent's class is still known; its items must be the new ones.
  ClassifyUserAgent(site(), kChrome, At(6));
  CTextItem* browser = site().run.items.index.Find(TextItemKey{405, "Chrome"});
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->day.Hits, 1);
  EXPECT_EQ(browser->day.SessionCount, 1);
  EXPECT_EQ(browser->last_hit, At(6));
}

}  // namespace
}  // namespace tf
