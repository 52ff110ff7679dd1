#include "engine/run/record_classification.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/logs/log_record.h"
#include "engine/recognise/file_kinds.h"
#include "engine/recognise/target_page_check.h"
#include "engine/site/session_tables.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
#include "engine/visits/visitors.h"
#include "statistics_site.h"

namespace tf {
namespace {

class ClassificationTest : public testing::Test {
 protected:
  void SetUp() override {
    site().settings.HomePage = "index.htm";
    site().settings.DomainName = "www.example.com";
    NormalizeDomainName(site(), site().settings.DomainName);
    ASSERT_TRUE(site().OpenSiteDatabase());
  }
  void TearDown() override { site().CloseSiteDatabase(); }
  CSite& site() { return shop_.site(); }
  // The item the run made last, or nullptr.
  CTextItem* NewestItem() {
    const auto& all = site().run.items.all;
    return all.empty() ? nullptr : all.back().get();
  }

  CLogRecord Record(std::string stem) {
    CLogRecord record;
    record.time = ComposeTime(2007, 1, 7, 10, 5, 0);
    record.client_address = 0x010200C0;
    record.uri_stem = std::move(stem);
    record.bytes_sent = 100;
    return record;
  }

  test::StatisticsSite shop_;
};

TEST_F(ClassificationTest, RequestedFilesByKind) {
  const struct {
    const char* stem;
    std::int32_t category;
    const char* item;
    std::int64_t item_bytes = 100;
  } cases[] = {
      {"/", 1, "/index.htm"},
      {"", 1, "/index.htm", 200},  // the request was written as "-"
      {"/images/LOGO.GIF", 2, "/images/LOGO.GIF"},
      {"\\docs\\Guide.PDF", 3, "/docs/Guide.PDF"},
      {"/cgi/run.php", 4, "/cgi/run.php"},
      {"/setup.exe", 5, "/setup.exe"},
      {"/style.css", 9, "/style.css"},
      {"/download", 9, "/download"},
      {"/file.", 9, "/file."},  // an empty extension
      {"/Pages/Intro.HtMl", 1, "/Pages/Intro.HtMl"},
  };
  for (const auto& c : cases) {
    CLogRecord record = Record(c.stem);
    EXPECT_EQ(ClassifyLogRecord(site(), record), c.category) << c.stem;
    CTextItem* item = NewestItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->name, c.item);
    EXPECT_EQ(item->category, c.category);
    EXPECT_NE(item->ItemID, 0);
    EXPECT_EQ(item->day.Bytes, c.item_bytes);
  }
  EXPECT_EQ(site().history.stPageHits, 3);
  EXPECT_EQ(site().history.stOtherHits, 3);
  EXPECT_EQ(site().run.day.hits[kKindOther], 3);
  EXPECT_EQ(site().history.stDataTransfer, 1000);
  EXPECT_NE(FindVisitor(site(), 0x010200C0, "")->session, nullptr)
      << "the hits reach the visitor's session";
}

// Two hits of the largest byte count once wrapped to -2 bytes.
TEST_F(ClassificationTest, ByteSumsStopAtTheirBound) {
  for (int second = 0; second < 2; ++second) {
    CLogRecord record = Record("/big.iso");
    record.time += second;
    record.bytes_sent = INT64_MAX;
    ClassifyLogRecord(site(), record);
  }
  CTextItem* item = NewestItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->day.Bytes, INT64_MAX);
  EXPECT_EQ(item->hour.Bytes, INT64_MAX);
  EXPECT_EQ(FindVisitor(site(), 0x010200C0, "")->day_bytes, INT64_MAX);
}

TEST_F(ClassificationTest, RecordsWithoutClientOrTimeAreNotCounted) {
  CLogRecord no_client = Record("/a.htm");
  no_client.client_address = 0;
  CLogRecord no_time = Record("/a.htm");
  no_time.time = 0;
  for (CLogRecord* record : {&no_client, &no_time}) {
    EXPECT_EQ(ClassifyLogRecord(site(), *record), 9);
  }
  EXPECT_EQ(NewestItem(), nullptr);
  EXPECT_EQ(site().history.stOtherHits + site().history.stPageHits, 0);
  EXPECT_EQ(site().run.day.hits[kKindOther], 0);
}

TEST_F(ClassificationTest, RemoveStringIsCutOutOfStemAndQuery) {
  const struct {
    const char* remove;
    const char* stem;
    const char* query;
    const char* new_stem;
    const char* new_query;
  } cases[] = {
      {";jsessionid=1", "/a.htm;JSESSIONID=1", "x=1", "/a.htm", "x=1"},
      {"/old", "/old/a.htm", "", "/a.htm", ""},
      {"sid=5&", "/a.htm", "sid=5&x=1", "/a.htm", "x=1"},
      {" sid=5&", "/a.htm", "sid=5&x=1", "/a.htmx=1", ""},
      {"absent", "/a.htm", "x=1", "/a.htm", "x=1"},
  };
  for (const auto& c : cases) {
    std::string stem = c.stem, query = c.query;
    ApplyRemoveString(c.remove, stem, query);
    EXPECT_EQ(stem, c.new_stem) << c.remove;
    EXPECT_EQ(query, c.new_query) << c.remove;
  }
}

TEST_F(ClassificationTest, ReferringSitesAndPages) {
  const struct {
    const char* referrer;
    const char* name;  // empty: not counted as a referring site
    const char* page;
  } cases[] = {
      {"http://www.example.com/x", "", ""},
      {"http://EXAMPLE.com/y", "", ""},
      {"http://%77ww.example.com/z", "", ""},
      {"http://other.example.org/a%20b?q=1", "other.example.org", "http://other.example.org/a b?q=1"},
      {"  https://Blank.example.net/p  ", "Blank.example.net", "https://Blank.example.net/p"},
      {"-", "(unknown origin)", ""},
      {"", "(unknown origin)", ""},
  };
  for (const auto& c : cases) {
    std::string referrer = c.referrer;
    ReferrerInfo info;
    ClassifyReferrer(site(), referrer, 1, info);
    EXPECT_EQ(info.referrer_name, c.name) << c.referrer;
    EXPECT_EQ(info.referring_page, c.page) << c.referrer;
    EXPECT_EQ(info.referrer_category, *c.name ? 302 : 0) << c.referrer;
    EXPECT_EQ(info.referrer_item_id != 0, *c.name != '\0') << c.referrer;
  }

  site().settings.DayStats &= ~0x80000;
  std::string referrer = "http://other.example.org/page";
  ReferrerInfo info;
  ClassifyReferrer(site(), referrer, 1, info);
  EXPECT_EQ(info.referring_page, "") << "referring pages are not kept";
  EXPECT_EQ(info.referrer_name, "other.example.org");
}

TEST_F(ClassificationTest, SearchEnginesGiveTheirItemAndPhrase) {
  const struct {
    const char* referrer;
    const char* name;
    std::int32_t category;
    const char* phrase;
  } cases[] = {
      {"http://www.google.com/search?hl=en&q=cheap+flights", "google", 401, "cheap flights"},
      {"http://www.google.com/search?q=cache:AbCd12:www.example.com/page+red+shoes&hl=en", "google", 401,
       "red shoes"},
      // Learned from its query key, then found without one.
      {"http://search.finder.example/s?query=Blue%20Widgets&x=1", "finder.example", 401, "blue widgets"},
      {"http://www.finder.example/", "finder.example", 401, ""},
      {"http://other.example.org/find?id=7", "other.example.org", 302, ""},
  };
  // The second round is answered from the run's memo, the engine's item
  // with it.
  for (int round = 0; round < 2; ++round) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "round " << round << ": " << c.referrer);
      std::string referrer = c.referrer;
      ReferrerInfo info;
      ClassifyReferrer(site(), referrer, 1, info);
      EXPECT_EQ(info.referrer_name, c.name);
      EXPECT_EQ(info.referrer_category, c.category);
      EXPECT_EQ(info.search_phrase, c.phrase);
      CTextItem* item = site().run.items.index.Find(TextItemKey{c.category, c.name});
      ASSERT_NE(item, nullptr);
      EXPECT_NE(item->ItemID, 0);
      EXPECT_EQ(info.referrer_item_id, item->ItemID);
    }
  }

  // A page's record carries the engine to its session; an image's does not.
  for (auto [stem, phrase] : {std::pair{"/a.htm", "weather paris"}, std::pair{"/b.gif", ""}}) {
    CLogRecord record = Record(stem);
    record.has_referrer = true;
    record.referrer = "https://www.bing.com/search?q=Weather%20Paris&form=QBLH";
    ClassifyLogRecord(site(), record);
    EXPECT_EQ(site().run.referrer.search_phrase, phrase) << stem;
  }
}

TEST_F(ClassificationTest, ARepeatedReferrerFollowsWhatTheEnginesLearn) {
  struct Answer {
    std::string name, phrase, referrer;
    std::int32_t category;
    bool operator==(const Answer&) const = default;
  };
  auto classify = [&](const char* text) {
    std::string referrer = text;
    ReferrerInfo info;
    ClassifyReferrer(site(), referrer, 1, info);
    return Answer{info.referrer_name, info.search_phrase, referrer, info.referrer_category};
  };
  const char page[] = "http://shop.finder.example/page";
  const char search[] = "http://shop.finder.example/find?q=garden%20tools";
  const Answer found{"shop.finder.example", "garden tools", "http://shop.finder.example/find?q=garden tools", 401};
  EXPECT_EQ(classify(page), (Answer{"shop.finder.example", "", page, 302}));
  EXPECT_EQ(classify(search), found);
  EXPECT_EQ(classify(search), found);
  // Once the host is known as an engine, its other pages are that engine.
  EXPECT_EQ(classify(page), (Answer{"shop.finder.example", "", page, 401}));
  // With the search statistics off, an engine is a referring site.
  site().settings.DayStats &= ~0xE00000;
  EXPECT_EQ(classify(search).category, 302);
}

TEST_F(ClassificationTest, AUtf8PhraseKeepsItsWordsAsKeywords) {
  std::string referrer = "https://www.google.de/search?q=g%C3%BCnstige+Fl%C3%BCge&client=firefox";
  ReferrerInfo info;
  ClassifyReferrer(site(), referrer, 1, info);
  ASSERT_EQ(info.search_phrase, "g\xC3\xBCnstige fl\xC3\xBCge");
  {
    SiteLockGuard held(site(), "test");
    CountPhrase(site(), info.search_phrase, info.referrer_item_id, info.referrer_category, {}, 1, 1,
                0, ComposeTime(2007, 1, 7, 10, 5, 0), held);
  }
  for (auto [category, name] : {std::pair{402, "g\xC3\xBCnstige fl\xC3\xBCge"}, std::pair{403, "g\xC3\xBCnstige"},
                                std::pair{403, "fl\xC3\xBCge"}}) {
    CTextItem* item = site().run.items.index.Find(TextItemKey{category, name});
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->day.SessionCount, 1) << name;
  }
}

TEST_F(ClassificationTest, TargetPagesAreFoundByNameWithoutLeadingSlashes) {
  CLogRecord record = Record("//Shop/Buy.HTM");
  ClassifyLogRecord(site(), record);
  CTextItem* page = NewestItem();
  EXPECT_EQ(CheckTargetPage(site(), page), 0) << "the site has no target pages";

  site().target_pages.resize(2);
  site().target_pages[0].Name = "shop/other.htm";
  site().target_pages[1].Name = "shop/buy.htm";
  std::int32_t target = CheckTargetPage(site(), page);
  ASSERT_NE(target, 0);
  EXPECT_EQ(site().target_pages[1].ItemID, target);
  EXPECT_EQ(site().target_pages[0].ItemID, 0) << "only the page found gets its item";
  CTextItem* item = NewestItem();
  EXPECT_EQ(item->category, 412);
  EXPECT_EQ(item->name, "shop/buy.htm");
  EXPECT_EQ(CheckTargetPage(site(), nullptr), 0);
}

}  // namespace
}  // namespace tf
