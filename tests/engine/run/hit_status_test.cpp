// Status-code statistics through whole runs: which codes the site's masks
// count, under what key, and how the day's rows grow.
#include "engine/recognise/hit_status.h"

#include <gtest/gtest.h>

#include "statistics_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

std::string Hit(const std::string& time, const std::string& path, int status) {
  return "192.0.2.7 - - [07/Jan/2007:" + time + " +0000] \"GET " + path + " HTTP/1.1\" " +
         std::to_string(status) + " 100 \"-\" \"Mozilla/5.0\"";
}

// Status rows with the page's name ("-" when the page is not kept).
const char kStatusRows[] =
    "SELECT s.EntryDate, s.StatusCode, IFNULL(d.Name, '-'), s.Hits FROM tblHitStatus s "
    "LEFT JOIN tblData d ON d.ItemID = s.ItemID ORDER BY s.StatusCode, 3";

const std::vector<std::string> kMixedDay = {
    Hit("10:00:00", "/index.htm", 200), Hit("10:01:00", "/gone.htm", 404),
    Hit("10:02:00", "/gone.htm", 404),  Hit("10:03:00", "/admin.php", 403),
    Hit("10:04:00", "/big.pdf", 206),   Hit("10:05:00", "/cgi/x.pl", 500),
    Hit("10:06:00", "/old.htm", 301),   Hit("10:07:00", "/moved.htm", 302),
    Hit("10:08:00", "/index.htm", 304), Hit("10:09:00", "/index.htm", 0),
    Hit("10:10:00", "/odd.htm", 601),
};

TEST(HitStatus, DefaultMasksCountErrorsAndPartialContentWithTheirPages) {
  test::StatisticsSite shop;
  shop.WriteLog("a.log", kMixedDay);
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(kStatusRows), (Rows{
                                        "2007-01-07 00:00:00|206|/big.pdf|1",
                                        "2007-01-07 00:00:00|403|/admin.php|1",
                                        "2007-01-07 00:00:00|404|/gone.htm|2",
                                        "2007-01-07 00:00:00|500|/cgi/x.pl|1",
                                    }));
  EXPECT_EQ(shop.site().ErrorText(), "");
}

TEST(HitStatus, RedirectionsShareOneEntryAndPagelessCodesOneRow) {
  test::StatisticsSite shop;
  shop.site().settings.StatusStoreCount = 0x3F;
  shop.site().settings.StatusStorePage = 0x2;  // the page only for redirections
  shop.WriteLog("a.log", {Hit("10:00:00", "/old.htm", 301), Hit("10:01:00", "/old.htm", 302),
                          Hit("10:02:00", "/a.htm", 404), Hit("10:03:00", "/b.htm", 404),
                          Hit("10:04:00", "/a.htm", 304)});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(kStatusRows), (Rows{
                                        "2007-01-07 00:00:00|300|/old.htm|2",
                                        "2007-01-07 00:00:00|304|-|1",
                                        "2007-01-07 00:00:00|404|-|2",
                                    }));
}

TEST(HitStatus, EachDayHasItsRowsAndALaterRunAddsToThem) {
  test::StatisticsSite shop;
  shop.WriteLog("a.log", {Hit("10:00:00", "/gone.htm", 404),
                          "192.0.2.7 - - [08/Jan/2007:09:00:00 +0000] \"GET /gone.htm HTTP/1.1\" "
                          "404 0 \"-\" \"Mozilla/5.0\""});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(kStatusRows), (Rows{"2007-01-07 00:00:00|404|/gone.htm|1",
                                          "2007-01-08 00:00:00|404|/gone.htm|1"}));

  shop.WriteLog("b.log", {"192.0.2.7 - - [08/Jan/2007:11:00:00 +0000] \"GET /gone.htm HTTP/1.1\" "
                          "404 0 \"-\" \"Mozilla/5.0\""});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows(kStatusRows), (Rows{"2007-01-07 00:00:00|404|/gone.htm|1",
                                          "2007-01-08 00:00:00|404|/gone.htm|2"}));
}

TEST(HitStatus, ADayWithoutCountedCodesWritesNothing) {
  test::StatisticsSite shop;
  shop.WriteLog("a.log", {Hit("10:00:00", "/index.htm", 200), Hit("10:01:00", "/a.htm", 304)});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows("SELECT count(*) FROM tblHitStatus"), Rows{"0"});
}

}  // namespace
}  // namespace tf
