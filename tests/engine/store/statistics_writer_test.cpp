#include "engine/stats/statistics_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/site/text_item.h"
#include "statistics_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

class StatisticsWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(site().OpenSiteDatabase());
    site().run.current_hour = ComposeTime(2007, 1, 7, 10, 0, 0);
    site().run.current_day = ComposeTime(2007, 1, 7, 0, 0, 0);
  }
  void TearDown() override {
    site().database().batch().Commit();
    site().CloseSiteDatabase();
  }
  CSite& site() { return shop_.site(); }
  // The site's writes made so far, visible to another connection.
  Rows Query(const std::string& query) {
    {
      DatabaseLockGuard lock(site().database(), "test");
      site().database().batch().Commit();
    }
    return shop_.Rows(query);
  }

  test::StatisticsSite shop_;
};

TEST_F(StatisticsWriterTest, ItemsAreLookedUpOncePerRun) {
  CTextItem* item = FindTextItem(site(), 1, "/it's.htm");
  ASSERT_NE(item->ItemID, 0);
  EXPECT_EQ(Query("SELECT Category, Name, LastHit FROM tblData"),
            Rows{"1|/it's.htm|2007-01-07 10:00:00"});

  // Known items are answered from memory: the row is not asked for again.
  shop_.install().Sql("Project0001.mdb", "DELETE FROM tblData");
  EXPECT_EQ(FindTextItem(site(), 1, "/it's.htm"), item);

  // The next run finds the row of a name with a quote again.
  shop_.install().Sql("Project0001.mdb",
                      "INSERT INTO tblData (ItemID, Category, Name, LastHit) "
                      "VALUES (77, 1, '/it''s.htm', '2007-01-01 00:00:00')");
  ReleaseTextItems(site());
  CTextItem* again = FindTextItem(site(), 1, "/it's.htm");
  EXPECT_EQ(again->ItemID, 77);
  EXPECT_EQ(again->last_hit, ComposeTime(2007, 1, 1, 0, 0, 0));
}

TEST_F(StatisticsWriterTest, NamesDifferingOnlyInCaseShareOneRowQuietly) {
  ASSERT_TRUE(site().OpenEventLog());
  CTextItem* upper = FindTextItem(site(), 1, "/Index.htm");
  CTextItem* lower = FindTextItem(site(), 1, "/index.htm");
  site().CloseEventLog();
  EXPECT_NE(upper, lower) << "the run tells them apart";
  EXPECT_EQ(upper->ItemID, lower->ItemID) << "the database does not";
  EXPECT_EQ(Query("SELECT count(*) FROM tblData"), Rows{"1"});
  EXPECT_EQ(shop_.EventLog().size(), 1u) << "only the head line, no error";
  EXPECT_EQ(site().ErrorText(), "");
}

TEST_F(StatisticsWriterTest, ARunWithDeferredWritesGivesTheIdsTheTableWould) {
  // Row 90 was used and deleted: the table's sequence stays past it.
  shop_.install().Sql("Project0001.mdb",
                      "INSERT INTO tblData (ItemID, Category, Name, LastHit) VALUES "
                      "(77, 1, '/old.htm', '2007-01-01 00:00:00'), (90, 1, '/gone.htm', NULL); "
                      "DELETE FROM tblData WHERE ItemID = 90");
  {
    DeferredWrites deferred(site().database());
    CTextItem* old = FindTextItem(site(), 1, "/OLD.htm");
    EXPECT_EQ(old->ItemID, 77) << "a row stored before, found whatever the case";
    EXPECT_EQ(old->last_hit, ComposeTime(2007, 1, 1, 0, 0, 0));

    CTextItem* upper = FindTextItem(site(), 1, "/New.htm");
    CTextItem* lower = FindTextItem(site(), 1, "/new.htm");
    CTextItem* other = FindTextItem(site(), 2, "/new.htm");
    EXPECT_EQ(upper->ItemID, 91);
    EXPECT_EQ(lower->ItemID, 91) << "one row for names differing in case";
    EXPECT_EQ(other->ItemID, 92);
    EXPECT_EQ(FindTextItem(site(), 2, "/NEW.htm")->ItemID, 92)
        << "a category without stored rows still finds the rows the run added";
    EXPECT_EQ(FindTextItemID(site(), 92), other) << "a row the run added is there when asked for";
    deferred.Finish();
  }
  EXPECT_EQ(Query("SELECT ItemID, Category, Name, LastHit FROM tblData ORDER BY ItemID"),
            (Rows{"77|1|/old.htm|2007-01-01 00:00:00", "91|1|/New.htm|2007-01-07 10:00:00",
                  "92|2|/new.htm|2007-01-07 10:00:00"}));
  ReleaseTextItems(site());
  EXPECT_EQ(FindTextItem(site(), 3, "/next.htm")->ItemID, 93) << "the table's own ids go on after them";
}

TEST_F(StatisticsWriterTest, LongNamesAreCutAndIdsFindTheirItems) {
  CTextItem* item = FindTextItem(site(), 302, std::string(300, 'h'));
  EXPECT_EQ(item->name.size(), 254u);
  EXPECT_EQ(Query("SELECT length(Name) FROM tblData"), Rows{"254"});
  EXPECT_EQ(FindTextItemID(site(), item->ItemID), item);
  EXPECT_EQ(FindTextItemID(site(), 999), nullptr);
}

TEST_F(StatisticsWriterTest, ItemWithoutRowIsKeptButHasNoId) {
  shop_.install().Sql("Project0001.mdb", "DROP TABLE tblData");
  CTextItem* item = FindTextItem(site(), 1, "/a.htm");
  EXPECT_EQ(item->ItemID, 0);
  EXPECT_NE(site().ErrorText(), "") << "the failed look-up is reported";
  EXPECT_EQ(FindTextItem(site(), 1, "/a.htm"), item);
}

TEST_F(StatisticsWriterTest, DomainNamesAreKeptOnlyWhenTheSiteWantsThem) {
  const std::uint32_t address = 0x0A0200C0;  // 192.0.2.10
  const TimeValue monday = ComposeTime(2007, 1, 8, 0, 0, 0);
  site().settings.VisitorsDomains = 0;
  EXPECT_FALSE(KeepsDomainNames(site()));
  site().settings.VisitorsDomains = 1;
  EXPECT_TRUE(KeepsDomainNames(site()));

  SiteDatabase& database = site().database();
  std::string host;
  EXPECT_FALSE(SearchforIP(database, address, monday, host)) << "no row yet";
  AddDomainName(database, address, "o'host.example.net", monday);
  ASSERT_TRUE(SearchforIP(database, address, monday - 3600, host));
  EXPECT_EQ(host, "o'host.example.net");
  EXPECT_EQ(Query("SELECT LastHit FROM tblDomains"), Rows{"2007-01-08 00:00:00"})
      << "an older time leaves LastHit";
  ASSERT_TRUE(SearchforIP(database, address, monday + 60, host));
  AddDomainName(database, address, "other.example.net", monday + 30);
  EXPECT_EQ(Query("SELECT IPaddress, DomainName, LastHit FROM tblDomains"),
            Rows{"192.0.2.10|o'host.example.net|2007-01-08 00:01:00"});
}

TEST_F(StatisticsWriterTest, PhraseCountsItsWordsAndTheTargetPagesReached) {
  site().settings.DayStats |= 0xC00000;
  site().settings.TargetPageOptions = 3;
  site().target_pages.resize(3);
  site().target_pages[0].Name = "buy.htm";
  site().target_pages[1].Name = "order.htm";
  site().target_pages[2].Name = "thanks.htm";
  std::int32_t buy = FindTextItem(site(), 412, "buy.htm")->ItemID;
  std::int32_t thanks = FindTextItem(site(), 412, "thanks.htm")->ItemID;
  std::int32_t order = FindTextItem(site(), 412, "order.htm")->ItemID;
  const std::int32_t reached[] = {buy, thanks};

  {
    SiteLockGuard held(site(), "test");
    CountPhrase(site(), "  garden   tools ", 55, 302, reached, 1, 4, 30, site().run.current_hour,
                held);
  }
  EXPECT_EQ(Query("SELECT Category, Name FROM tblData WHERE Category IN (402, 403) ORDER BY 1, 2"),
            (Rows{"402|  garden   tools ", "403|garden", "403|tools"}));
  CTextItem* word = FindTextItem(site(), 403, "garden");
  EXPECT_EQ(word->day.Hits, 4);
  EXPECT_EQ(word->day.SessionCount, 1);
  EXPECT_EQ(word->day.ViewTime, 30);

  // The phrase over all referrers and once more for its referrer.
  Rows groups;
  for (const TargetHitGroup& group : site().target_hits.groups) {
    std::string text = std::to_string(group.referring_site) + ":";
    for (auto [name, id] : {std::pair{" buy=", buy}, {" order=", order}, {" thanks=", thanks}}) {
      int counters = 0, sessions = 0;
      for (const TargetCounter& c : group.targets) {
        if (c.ItemID == id) ++counters, sessions += c.sessions;
      }
      text += name + std::to_string(sessions) + (counters == 1 ? "" : "(twice)");
    }
    groups.push_back(text);
  }
  std::sort(groups.begin(), groups.end());
  EXPECT_EQ(groups, (Rows{"0: buy=1 order=0 thanks=1", "55: buy=1 order=0 thanks=1"}));
}

}  // namespace
}  // namespace tf
