// The main window's model: column widths, row texts and order, the row
// selected after a removal, and the status panel.
#include <gtest/gtest.h>

#include "console/date_formats.h"
#include "console/list_columns.h"
#include "console/site_list_model.h"
#include "console/status_panel.h"
#include "console_fixture.h"
#include "engine/common/registry_values.h"
#include "support/tallyfox_key.h"

namespace tf::console::test {
namespace {

TEST(ListColumnsTest, StoredWidthsAreParsedAndRaisedToTheirMinimums) {
  struct Case {
    const char* stored;
    bool large_font;
    ListColumnWidths expected;
  };
  const Case cases[] = {
      {"5 5 5", false, {20, 10, 10}},
      {"200 120 90 ", false, {200, 120, 90}},
      {"-3 0 400", true, {20, 10, 400}},
      {"300", false, {300, 145, 145}},
      {"abc", true, {175, 170, 170}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseListColumnWidths(c.stored, c.large_font), c.expected) << c.stored;
  }
}

TEST(ListColumnsTest, FirstStartUsesTheDefaultsAndClosingStoresEachWidthWithABlank) {
  ASSERT_TRUE(tf::test::SetTallyfoxString("Path", "/opt/tallyfox"));
  tf::test::DeleteTallyfoxValue(kListColumnsValue);
  EXPECT_EQ(LoadListColumnWidths(false), (ListColumnWidths{145, 145, 145}));
  EXPECT_EQ(LoadListColumnWidths(true), (ListColumnWidths{175, 170, 170}));

  ASSERT_TRUE(StoreListColumnWidths({145, 145, 145}));
  std::string stored;
  ASSERT_EQ(GetRegistryString(kListColumnsValue, stored, 0), 1);
  EXPECT_EQ(stored, "145 145 145 ");

  ASSERT_TRUE(tf::test::SetTallyfoxString(kListColumnsValue, "5 5 5"));
  EXPECT_EQ(LoadListColumnWidths(false), (ListColumnWidths{20, 10, 10}));
}

class SiteListModelTest : public SiteListTest {};

TEST_F(SiteListModelTest, NeverAnalysedAndUnscheduledSitesSaySo) {
  AddSites({"alpha", "Beta"});
  Site("Beta").history.LastScanDate = ComposeTime(2007, 1, 9, 8, 5, 0);
  Site("Beta").settings.EnableSchedule = 1;
  Site("Beta").settings.RunSchedule[kWednesday] = 1 << 15;
  SiteListModel model;
  model.Fill(Wednesday(14, 30));
  ASSERT_EQ(model.size(), 2u);
  EXPECT_EQ(model.row(0).name, "alpha");
  EXPECT_EQ(model.row(0).last_analysis, "(never)");
  EXPECT_EQ(model.row(0).next_analysis, "(not scheduled)");
  EXPECT_EQ(model.row(1).last_analysis, FormatDateOrEmpty(ComposeTime(2007, 1, 9, 8, 5, 0)));
  EXPECT_EQ(model.row(1).next_analysis, FormatDateOrEmpty(Wednesday(15, 0)));
  EXPECT_EQ(LastAnalysisText(MinimumDate()), "(never)") << "the minimum date itself";
}

TEST_F(SiteListModelTest, RowsAreSortedByNameWithoutRegardToCaseAndFollowRenames) {
  AddSites({"delta", "Bravo", "alpha", "Charlie"});
  SiteListModel model;
  model.Fill(0);
  Names names;
  for (std::size_t i = 0; i < model.size(); ++i) names.push_back(model.row(i).name);
  EXPECT_EQ(names, (Names{"alpha", "Bravo", "Charlie", "delta"}));

  Site("alpha").ProjectName = "echo";
  EXPECT_EQ(model.Rename(0), 3u);
  EXPECT_EQ(model.row(3).site, &Site("echo"));
}

TEST_F(SiteListModelTest, SchedulerChangesRewriteOnlyTheRowsWhoseTextsChanged) {
  AddSites({"A", "B"});
  SiteListModel model;
  model.Fill(0);
  Site("B").state = kSiteRunning;
  std::vector<AnalysisHost::ShownChange> changes = {
      {&Site("A"), true, false, kSiteIdle, 0}, {&Site("B"), true, false, kSiteRunning, 0}};
  EXPECT_EQ(model.Apply(changes), (std::vector<std::size_t>{1}));
  EXPECT_EQ(model.row(1).last_analysis, "Running");
  model.ShowStopping(1);
  EXPECT_EQ(model.row(1).last_analysis, "Stopping");
}

TEST(RowAfterRemovalTest, SameIndexOrTheNewLastRowOrNone) {
  struct Case {
    int removed, remaining, expected;
  };
  for (Case c : {Case{1, 3, 1}, Case{3, 3, 2}, Case{0, 0, -1}, Case{0, 1, 0}}) {
    EXPECT_EQ(RowAfterRemoval(c.removed, c.remaining), c.expected)
        << c.removed << " of " << c.remaining + 1;
  }
}

class StatusPanelTest : public SiteListTest {};

TEST_F(StatusPanelTest, NoSelectionAnIdleSiteAndARunningSite) {
  StatusPanelTexts none = StatusPanelFor(nullptr, 0, 3);
  EXPECT_EQ(none[PanelField::kGroup], "Status for project");
  EXPECT_EQ(none[PanelField::kActivity], "Idle");
  EXPECT_EQ(none[PanelField::kTranslationThreads], "3");

  AddSites({"Shop"});
  CSite& shop = Site("Shop");
  shop.SetError("Connection failure: gone");
  StatusPanelTexts idle = StatusPanelFor(&shop, 0, 0);
  EXPECT_EQ(idle[PanelField::kGroup], "Status for Shop");
  EXPECT_EQ(idle[PanelField::kActivity], "Idle");
  EXPECT_EQ(idle[PanelField::kError], "Connection failure: gone");
  EXPECT_EQ(idle[PanelField::kRunTime], "");

  shop.state = kSiteRunning;
  shop.SetStatus("Reading log files");
  shop.progress.start_time = Wednesday(14, 0);
  shop.progress.record_count = 1234567;
  shop.progress.log_size = 400;
  shop.run.bytes_read = 100;
  shop.history.LastRecordDate = Wednesday(9, 0);
  StatusPanelTexts running = StatusPanelFor(&shop, Wednesday(15, 1) + 5.7, 0);
  EXPECT_EQ(running[PanelField::kActivity], "Reading log files");
  EXPECT_EQ(running[PanelField::kRunTime], "1:01:05");
  EXPECT_EQ(running[PanelField::kRecords], "1,234,567");
  EXPECT_EQ(running[PanelField::kLastDate], FormatDateOrEmpty(Wednesday(9, 0)));
  EXPECT_EQ(running.progress, 25);

  shop.state = kSitePending;
  EXPECT_EQ(StatusPanelFor(&shop, Wednesday(15, 0), 0)[PanelField::kLastDate], "")
      << "no last date while pending";
  shop.state = kSiteIdle;
}

TEST(StatusPanelCacheTest, ARefreshRewritesOnlyWhatChanged) {
  StatusPanelCache cache;
  StatusPanelTexts texts = StatusPanelFor(nullptr, 0, 0);
  EXPECT_EQ(cache.Update(texts).size(), static_cast<std::size_t>(PanelField::kCount));
  EXPECT_TRUE(cache.Update(texts).empty());
  texts[PanelField::kActivity] = "Running";
  EXPECT_EQ(cache.Update(texts),
            (std::vector<StatusPanelCache::Change>{{PanelField::kActivity, "Running"}}));
}

TEST(DateFormatsTest, TheStoredValueChoosesItsEntryAndAnUnknownOneTheFirst) {
  EXPECT_EQ(DateFormatNames[1].text, "dd/mm/yy");
  EXPECT_EQ(DateFormatIndex(2), 2);
  EXPECT_EQ(DateFormatIndex(7), 0);
}

}  // namespace
}  // namespace tf::console::test
