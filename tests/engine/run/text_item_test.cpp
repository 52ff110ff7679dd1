#include "engine/site/text_item.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/site/site.h"

namespace tf {
namespace {

int ListLength(CTextItem* head, CTextItem* CTextItem::*link) {
  int n = 0;
  for (; head != nullptr; head = head->*link) ++n;
  return n;
}

TEST(TextItemTest, CategoriesFollowTheirStatisticsBit) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {1, 0x1},         {2, 0x2},         {9, 0x20},        {301, 0x80000},
      {302, 0x100000},  {410, 0x100000},  {401, 0x200000},  {403, 0x800000},
      {404, 0x4000000}, {406, 0x1000000}, {411, 0x1000000}, {101, 0},
      {201, 0},         {412, 0},
  };
  for (auto [category, bit] : cases) EXPECT_EQ(CategoryStatBit(category), bit) << category;

  CSite site;
  site.settings.HourStats = 0;
  site.settings.DayStats = 0x100000;
  CTextItem spider, page, total;
  spider.SetCategory(410);
  page.SetCategory(1);
  total.SetCategory(101);
  EXPECT_TRUE(spider.IsDayStatEnabled(site)) << "spiders go with the referring sites";
  EXPECT_FALSE(page.IsDayStatEnabled(site));
  EXPECT_FALSE(page.IsHourStatEnabled(site));
  EXPECT_TRUE(total.IsHourStatEnabled(site)) << "totals are always enabled";
}

// A page item of a site that keeps pages per hour and per day.
class ChangedListsTest : public testing::Test {
 protected:
  void SetUp() override {
    site_.settings.HourStats = 0x1;
    site_.settings.DayStats = 0x1;
    item_.SetCategory(1);
  }
  CSite site_;
  CTextItem item_;
};

TEST_F(ChangedListsTest, AnItemIsOnEachChangedListOnce) {
  {
    SiteLockGuard held(site_, "test");
    item_.AddHits(site_, 100, 1, held);
    item_.AddHits(site_, 200, 2, held);
    item_.AddSessions(site_, 150, 1, held);
  }
  TextItemTable& items = site_.run.items;
  EXPECT_EQ(ListLength(items.hour_changed, &CTextItem::next_hour_changed), 1);
  EXPECT_EQ(ListLength(items.day_changed, &CTextItem::next_day_changed), 1);
  EXPECT_EQ(ListLength(items.last_hit_changed, &CTextItem::next_last_hit_changed), 1);
  EXPECT_EQ(item_.hour.Hits, 3);
  EXPECT_EQ(item_.day.SessionCount, 1);
  EXPECT_EQ(item_.last_hit, 200) << "an earlier hit does not move the last hit back";

  SetRegionChange(item_, site_);
  SetRegionChange(item_, site_);
  EXPECT_EQ(ListLength(items.region_changed, &CTextItem::next_region_changed), 1);
}

TEST_F(ChangedListsTest, DisabledPeriodIsNeitherCountedNorListed) {
  site_.settings.HourStats = 0;
  SiteLockGuard held(site_, "test");
  item_.AddHits(site_, 100, 1, held);
  EXPECT_EQ(item_.hour.Hits, 0);
  EXPECT_EQ(site_.run.items.hour_changed, nullptr);
  EXPECT_EQ(item_.day.Hits, 1);
}

TEST_F(ChangedListsTest, LastHitMovesOnlyForward) {
  item_.last_hit = 500;
  item_.UpdateLastHit(site_, 400);
  item_.UpdateLastHit(site_, 500);
  EXPECT_EQ(site_.run.items.last_hit_changed, nullptr) << "neither earlier nor equal changes it";
  item_.UpdateLastHit(site_, 600);
  EXPECT_EQ(site_.run.items.last_hit_changed, &item_);
  EXPECT_EQ(item_.last_hit, 600);
}

TEST(TextItemTest, NamesAreCutWholeCharacters) {
  CTextItem item;
  item.SetName(std::string(300, 'x'));
  EXPECT_EQ(item.name.size(), 254u);
  item.SetName(std::string(253, 'x') + "\xC3\xA9");
  EXPECT_EQ(item.name, std::string(253, 'x')) << "a character is never split";
}

TEST(TextItemTableTest, EachItemIsIdentifiedOnceUnderItsCutName) {
  TextItemTable items;
  std::vector<std::string> identified;
  auto identify = [&](CTextItem& item) {
    identified.push_back(item.name);
    item.ItemID = static_cast<std::int32_t>(identified.size());
  };
  const std::string long_name(300, 'a');
  CTextItem& page = items.FindOrAdd(1, "/a.htm", identify);
  EXPECT_EQ(&items.FindOrAdd(1, "/a.htm", identify), &page);
  EXPECT_NE(&items.FindOrAdd(2, "/a.htm", identify), &page) << "another category";
  CTextItem& cut = items.FindOrAdd(1, long_name, identify);
  EXPECT_EQ(&items.FindOrAdd(1, long_name.substr(0, CTextItem::kMaxName), identify), &cut);
  const std::string cut_name = long_name.substr(0, CTextItem::kMaxName);
  EXPECT_EQ(identified, (std::vector<std::string>{"/a.htm", "/a.htm", cut_name}));
  EXPECT_EQ(page.ItemID, 1);
  EXPECT_EQ(items.all.size(), 3u);
}

TEST(TextItemIndexTest, KeysAreTheCategoryAndTheExactBytesOfTheName) {
  // Enough items to make the index grow several times.
  std::vector<std::unique_ptr<CTextItem>> items;
  TextItemIndex index;
  auto add = [&](std::int32_t category, std::string name) {
    auto item = std::make_unique<CTextItem>();
    item->SetCategory(category);
    item->SetName(name);
    bool inserted = index.Insert(item.get());
    items.push_back(std::move(item));
    return inserted;
  };
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(add(1 + i % 3, "/page" + std::to_string(i / 3)));
  ASSERT_TRUE(add(2, "a"));
  ASSERT_TRUE(add(2, "A")) << "case-sensitive";
  ASSERT_TRUE(add(3, "a")) << "another category";
  ASSERT_TRUE(add(2, "\xC3\xA9"));
  EXPECT_FALSE(add(2, "a")) << "a key is indexed once";
  EXPECT_EQ(index.size(), 5004u);

  for (const auto& item : items) {
    CTextItem* found = index.Find(TextItemKey{item->category, item->name});
    ASSERT_NE(found, nullptr) << item->name;
    EXPECT_EQ(found->category, item->category);
    EXPECT_EQ(found->name, item->name);
  }
  EXPECT_EQ(index.Find(TextItemKey{2, "b"}), nullptr);
  EXPECT_EQ(index.Find(TextItemKey{4, "a"}), nullptr);
  EXPECT_EQ(index.Find(TextItemKey{2, "\xC3"}), nullptr);

  index.Clear();
  EXPECT_EQ(index.Find(TextItemKey{2, "a"}), nullptr);
  EXPECT_TRUE(index.Insert(items.front().get()));
}

}  // namespace
}  // namespace tf
