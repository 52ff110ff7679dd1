// The Processing, Error && Status, Visitors && Paths and Target pages
// without windows.
#include <gtest/gtest.h>

#include "console/site_collect_pages.h"
#include "console/site_targets_page.h"
#include "engine/site/site.h"

namespace tf::console {
namespace {

std::size_t RowOf(std::string_view label) {
  for (std::size_t i = 0; i < kStatsRows; ++i) {
    if (StatsRows()[i].label == label) return i;
  }
  ADD_FAILURE() << label;
  return 0;
}

TEST(SiteProcessingPage, UncheckingDailySearchKeywordsClearsOnlyItsBit) {
  CSite site;
  site.settings.DayStats = 0x5FB3F3F;
  site.settings.HourStats = 0x33F00;
  ProcessingBoxes boxes = FillProcessing(site);
  std::size_t keywords = RowOf("Search keywords:");
  EXPECT_TRUE(boxes.daily[keywords]);
  boxes.daily[keywords] = false;
  StoreProcessing(boxes, site);
  EXPECT_EQ(site.settings.DayStats, 0x5FB3F3F & ~0x800000);
  EXPECT_EQ(site.settings.HourStats, 0x33F00);
  EXPECT_TRUE(DailyBoxLocked(StatsRows()[RowOf("Visitor count:")]));
  EXPECT_FALSE(StatsRows()[RowOf("Visitor regions:")].hourly);
}

TEST(SiteErrorsPage, ARecordPageBoxKeepsItsCheckWhenItsCountIsCleared) {
  CSite site;
  site.settings.StatusStoreCount = 0x4;
  site.settings.StatusStorePage = 0x4;
  StatusBoxes boxes = FillStatus(site);
  EXPECT_EQ(StatusRows()[2].label, "(404) Page not found");
  boxes.count[2] = false;
  StoreStatus(boxes, site);
  EXPECT_EQ(site.settings.StatusStoreCount, 0);
  EXPECT_EQ(site.settings.StatusStorePage, 0x4);
}

TEST(SiteVisitorsPage, AFixedCacheSizeIsClampedAndRestartsTheFigures) {
  struct Case {
    std::string typed;
    bool automatic;
    std::int32_t stored;
    bool restarted;
  };
  const Case cases[] = {{"50", false, 100, true},      {"5000", false, 5000, false},
                        {"999999", false, 200000, true}, {"50", true, 5000, false},
                        {"2500", false, 2500, true}};
  for (const Case& c : cases) {
    CSite site;
    site.history.stDomainCacheTries = 7;
    site.history.stDomainCacheHits = 3;
    VisitorsFields fields = FillVisitors(site);
    fields.cache_size = c.typed;
    fields.automatic_cache = c.automatic;
    StoreVisitors(fields, site);
    EXPECT_EQ(site.settings.DomainCacheSize, c.stored) << c.typed;
    EXPECT_EQ(site.history.stDomainCacheTries == 0, c.restarted) << c.typed;
    EXPECT_EQ(site.settings.DomainCacheOptions & 1, c.automatic ? 1 : 0);
  }
}

TEST(SiteVisitorsPage, TheStorageChoiceDecidesTheEnabling) {
  VisitorsFields fields;
  fields.visitors_store = 0;
  fields.paths_store = 1;
  fields.automatic_cache = false;
  VisitorsEnabling on = EnablingOf(fields);
  EXPECT_FALSE(on.visitors_top);
  EXPECT_FALSE(on.visitors_domains);
  EXPECT_TRUE(on.paths_top);
  EXPECT_TRUE(on.cache_size);
  CSite site;
  fields.visitors_top = "25";
  fields.paths_top = "x";
  StoreVisitors(fields, site);
  EXPECT_EQ(site.settings.VisitorsStore, 0);
  EXPECT_EQ(site.settings.VisitorsTop, 25);
  EXPECT_EQ(site.settings.PathsTop, 0);
}

TEST(SiteTargetsPage, AddressesBecomePaths) {
  struct Case {
    const char* typed;
    const char* stored;
  };
  const Case cases[] = {
      {"http://www.example.com/shop/order.htm  ", "shop/order.htm"},
      {"www.Example.COM/thanks.html", "thanks.html"},
      {"example.info/a", "a"},
      {"products/list.htm", "products/list.htm"},
      {"/products/list.htm", "products/list.htm"},
      {"https://www.example.org", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeTargetPage(c.typed), c.stored) << c.typed;
}

TEST(SiteTargetsPage, RowsDifferingInCaseBecomeOneEntryWithTheLastSpelling) {
  CSite site;
  CTargetPage old_page;
  old_page.Name = "order.htm";
  old_page.DateAdded = 5;
  CTargetPage gone;
  gone.Name = "gone.htm";
  site.target_pages = {old_page, gone};
  StoreTargets({true, true}, {"Order.htm", "ORDER.HTM", "new.htm", "NEW.htm", ""}, site, 100);
  ASSERT_EQ(site.target_pages.size(), 2u);
  EXPECT_EQ(site.target_pages[0].Name, "NEW.htm");
  EXPECT_EQ(site.target_pages[0].DateAdded, 100);
  EXPECT_EQ(site.target_pages[1].Name, "ORDER.HTM");
  EXPECT_EQ(site.target_pages[1].DateAdded, 5);
  EXPECT_TRUE(site.target_pages_changed);
  EXPECT_EQ(site.settings.TargetPageOptions & 3, 3);
  EXPECT_EQ(TargetRows(site), (std::vector<std::string>{"NEW.htm", "ORDER.HTM"}));
  site.target_pages_changed = false;
  StoreTargets({false, false}, TargetRows(site), site, 200);
  EXPECT_FALSE(site.target_pages_changed);
}

TEST(SiteTargetsPage, NoChangeWhileTheSiteIsBusy) {
  CSite site;
  EXPECT_FALSE(TargetsLocked(site));
  site.state = kSitePending;
  EXPECT_TRUE(TargetsLocked(site));
  EXPECT_EQ(TargetsLockedMessage().caption, "Change not allowed");
  EXPECT_EQ(ConfirmTargetRemoval("a").text, "Remove a\n\nAre you sure?");
}

}  // namespace
}  // namespace tf::console
