// Visitors: new and returning, the day's tblVisitors rows and which
// visitors a day change keeps.
#include <gtest/gtest.h>

#include "engine/site/session_tables.h"
#include "session_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

TEST(VisitorRunTest, NewAndReturningVisitorsAndTheirRows) {
  test::StatisticsSite shop;
  shop.install().Sql(
      "Project0001.mdb",
      "INSERT INTO tblVisitors VALUES ('2007-01-01 00:00:00', '192.0.2.1', 1, 1, 1, 10)");
  // .1 was seen before; .2 and .3 are new. The 11:00 hit of .3 closes the
  // other two sessions; its own is still open at the end and goes to the
  // saved-sessions file with its hits.
  shop.WriteLog("a.log", {test::LineOf("192.0.2.1", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.1", "07/Jan/2007:10:01:40", "/b.htm"),
                          test::LineOf("192.0.2.3", "07/Jan/2007:11:00:00", "/a.htm")});
  ASSERT_EQ(shop.Run(), 1);
  const std::string day_totals =
      "SELECT Category, Hits FROM tblDay WHERE Category BETWEEN 202 AND 204 ORDER BY 1";
  EXPECT_EQ(shop.Rows(day_totals), (Rows{"202|2", "203|2", "204|1"}));
  const std::string visitors =
      "SELECT EntryDate, IPaddress, Hits, Bytes, SessionCount, ViewTime FROM tblVisitors "
      "ORDER BY 1, 2";
  EXPECT_EQ(shop.Rows(visitors), (Rows{"2007-01-01 00:00:00|192.0.2.1|1|1|1|10",
                                       "2007-01-07 00:00:00|192.0.2.1|2|200|1|100",
                                       "2007-01-07 00:00:00|192.0.2.2|1|100|1|10"}));
  EXPECT_EQ(shop.Rows("SELECT EntryDate, Hits FROM tblHour WHERE Category = 202"),
            (Rows{"2007-01-07 10:00:00|2"}));

  // The same day in a second run adds to the rows; .3's restored session
  // closes at 13:00.
  shop.WriteLog("b.log", {test::LineOf("192.0.2.1", "07/Jan/2007:12:00:00", "/a.htm"),
                          test::LineOf("192.0.2.4", "07/Jan/2007:13:00:00", "/a.htm")});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(visitors), (Rows{"2007-01-01 00:00:00|192.0.2.1|1|1|1|10",
                                       "2007-01-07 00:00:00|192.0.2.1|3|300|2|110",
                                       "2007-01-07 00:00:00|192.0.2.2|1|100|1|10",
                                       "2007-01-07 00:00:00|192.0.2.3|1|0|0|10"}));
  EXPECT_EQ(shop.Rows(day_totals), (Rows{"202|4", "203|3", "204|2"}));
}

TEST(VisitorRunTest, ALaterDayOfTheRunSeesTheVisitorRowsOfTheDaysBefore) {
  test::StatisticsSite shop;
  // .1 leaves the table at the flush of the 8th, a day without its hits,
  // and comes back on the 9th: returning, by the row of the 7th. The hit
  // of .4 closes the sessions of the 9th; .3 and .4 are new.
  shop.WriteLog("a.log", {test::LineOf("192.0.2.1", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.2", "08/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.1", "09/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.3", "09/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.4", "09/Jan/2007:11:00:00", "/a.htm")});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows("SELECT substr(EntryDate, 9, 2), Category, Hits FROM tblDay "
                      "WHERE Category BETWEEN 202 AND 204 ORDER BY 1, 2"),
            (Rows{"07|202|2", "07|203|2", "07|204|0", "08|202|1", "08|203|0", "08|204|0",
                  "09|202|2", "09|203|2", "09|204|1"}));
}

class VisitorTest : public test::SessionSiteTest {
 protected:
  CVisitor& Visitor(std::uint32_t address, std::int32_t hits, std::int32_t sessions = 0,
                    std::int32_t view_time = 0) {
    CVisitor& v = *FindVisitor(site(), address, "");
    v.day_hits = hits;
    v.day_sessions = sessions;
    v.day_view_time = view_time;
    return v;
  }
};

TEST_F(VisitorTest, StoredVisitorsOfTheDay) {
  site().settings.VisitorsDomains = 0;
  Visitor(0x0100000A, 5);             // 10.0.0.1: score 5
  Visitor(0x0200000A, 1, 2, 125);     // 10.0.0.2: score 1 + 4 + 2 = 7
  Visitor(0x0300000A, 3);             // 10.0.0.3: score 3
  Hit(0x0400000A, 0, "/a.htm");       // its session is still open
  Visitor(0x0400000A, 9);
  {
    // The page's new tblData row, so that the test may change the table.
    DatabaseLockGuard lock(site().database(), "test");
    site().database().batch().Commit();
  }
  const struct {
    std::int32_t store, top;
    Rows addresses;
  } cases[] = {
      {2, 1, {"10.0.0.1", "10.0.0.2", "10.0.0.3"}},
      {1, 2, {"10.0.0.1", "10.0.0.2"}},  // the two highest scores
      {1, 3, {"10.0.0.1", "10.0.0.2", "10.0.0.3"}},
      {0, 3, {}},
  };
  for (const auto& c : cases) {
    shop_.install().Sql("Project0001.mdb", "DELETE FROM tblVisitors");
    site().settings.VisitorsStore = c.store;
    site().settings.VisitorsTop = c.top;
    WriteVisitorIP(site());
    EXPECT_EQ(shop_.Rows("SELECT IPaddress FROM tblVisitors ORDER BY 1"), c.addresses)
        << "store " << c.store << ", top " << c.top;
  }
  EXPECT_EQ(shop_.Rows("SELECT count(*) FROM tblVisitors"), Rows{"0"});
  EXPECT_EQ(site().ErrorText(), "");
}

TEST_F(VisitorTest, NewAndReturningOfManyVisitors) {
  // More visitors than one query asks about; every third one was seen
  // before.
  std::string rows;
  for (int i = 1; i <= 150; ++i) {
    CVisitor& visitor = *FindVisitor(site(), 0x0A | static_cast<std::uint32_t>(i) << 24, "");
    CheckReturningVisitor(site(), visitor);
    if (i % 3 == 0) {
      rows += "INSERT INTO tblVisitors VALUES ('2007-01-01 00:00:00', '10.0.0." +
              std::to_string(i) + "', 1, 1, 1, 1);";
    }
  }
  shop_.install().Sql("Project0001.mdb", rows);
  CountReturningVisitors(site());
  EXPECT_EQ(site().run.day_visitors->returning_visitors, 50);
  EXPECT_EQ(site().run.day_visitors->new_visitors, 100);
  EXPECT_TRUE(site().run.sessions.unchecked_visitors.empty());

  // A test that fails counts the visitor as new.
  shop_.install().Sql("Project0001.mdb", "DROP TABLE tblVisitors");
  CheckReturningVisitor(site(), *FindVisitor(site(), 0x0300000A, ""));
  CountReturningVisitors(site());
  EXPECT_EQ(site().run.day_visitors->new_visitors, 101);
  EXPECT_NE(site().ErrorText(), "");
}

TEST_F(VisitorTest, DayChangeKeepsTheVisitorsStillActive) {
  Hit(kClient, 0, "/a.htm");       // open session
  Visitor(0x0100000A, 4).day_bytes = 400;
  CountVisitsHour(site());
  CountVisitsDay(site());
  EXPECT_EQ(site().run.hour.visitors, 1);
  EXPECT_EQ(site().run.day.visitors, 2);

  PurgeInactiveVisitors(site());
  const CVisitor* idle = site().run.sessions.visitors.front();
  ASSERT_NE(idle, nullptr);
  EXPECT_EQ(idle->address, 0x0100000Au) << "had hits today: kept for a day";
  EXPECT_EQ(idle->day_hits, 0);
  EXPECT_EQ(idle->day_bytes, 0);

  SessionFlush(site(), Start(), true);
  PurgeInactiveVisitors(site());
  EXPECT_EQ(site().run.sessions.visitors.front(), nullptr) << "a day without hits: both gone";
  std::int32_t visitors = site().history.stVisitors;
  FindVisitor(site(), 0x0100000A, "");
  EXPECT_EQ(site().history.stVisitors, visitors + 1) << "made anew";
}

}  // namespace
}  // namespace tf
