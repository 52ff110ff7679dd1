#include "engine/analysis/record_classification.h"

#include <gtest/gtest.h>

#include "engine/analysis/file_kinds.h"
#include "engine/analysis/target_page_check.h"
#include "engine/analysis/text_item.h"
#include "engine/logs/log_record.h"
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
  } cases[] = {
      {"/", 1, "/index.htm"},
      {"/images/LOGO.GIF", 2, "/images/LOGO.GIF"},
      {"\\docs\\Guide.PDF", 3, "/docs/Guide.PDF"},
      {"/cgi/run.php", 4, "/cgi/run.php"},
      {"/setup.exe", 5, "/setup.exe"},
      {"/style.css", 9, "/style.css"},
      {"/download", 9, "/download"},
  };
  for (const auto& c : cases) {
    CLogRecord record = Record(c.stem);
    EXPECT_EQ(ClassifyLogRecord(site(), record), c.category) << c.stem;
    CTextItem* item = site().run.items.all;
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->name, c.item);
    EXPECT_EQ(item->category, c.category);
    EXPECT_NE(item->ItemID, 0);
    EXPECT_EQ(item->day.Bytes, 100);
  }
  EXPECT_EQ(site().history.stPageHits, 1);
  EXPECT_EQ(site().history.stOtherHits, 2);
  EXPECT_EQ(site().run.day.hits[kKindOther], 2);
  EXPECT_EQ(site().history.stDataTransfer, 700);
}

TEST_F(ClassificationTest, RecordsThatAskForNothingAreNotCounted) {
  CLogRecord no_client = Record("/a.htm");
  no_client.client_address = 0;
  CLogRecord no_time = Record("/a.htm");
  no_time.time = 0;
  CLogRecord no_request = Record("");  // the request was written as "-"
  for (CLogRecord* record : {&no_client, &no_time, &no_request}) {
    EXPECT_EQ(ClassifyLogRecord(site(), *record), 9);
  }
  EXPECT_EQ(site().run.items.all, nullptr);
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

TEST_F(ClassificationTest, TargetPagesAreFoundByNameWithoutLeadingSlashes) {
  CLogRecord record = Record("//Shop/Buy.HTM");
  ClassifyLogRecord(site(), record);
  CTextItem* page = site().run.items.all;
  EXPECT_EQ(CheckTargetPage(site(), page), 0) << "the site has no target pages";

  site().target_pages.resize(2);
  site().target_pages[0].Name = "shop/other.htm";
  site().target_pages[1].Name = "shop/buy.htm";
  std::int32_t target = CheckTargetPage(site(), page);
  ASSERT_NE(target, 0);
  EXPECT_EQ(site().target_pages[1].ItemID, target);
  EXPECT_EQ(site().target_pages[0].ItemID, 0) << "only the page found gets its item";
  CTextItem* item = site().run.items.all;
  EXPECT_EQ(item->category, 412);
  EXPECT_EQ(item->name, "shop/buy.htm");
  EXPECT_EQ(CheckTargetPage(site(), nullptr), 0);
}

}  // namespace
}  // namespace tf
