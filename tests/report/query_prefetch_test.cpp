// Queries read ahead on other threads: what a section takes is what it
// would have read itself, and anything else is left to the section.
#include "report/query_prefetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/db/error.h"
#include "tests/report/report_site.h"

namespace tf::report::test {
namespace {

std::vector<std::string> Texts(db::Recordset& rs) {
  std::vector<std::string> texts;
  for (const db::Row& row : rs.GetRows()) {
    for (const com::Variant& value : row) texts.push_back(value.ToString());
  }
  return texts;
}

constexpr const char* kByItem =
    "select itemid, sum(hits) as hits from tblday where entrydate >= #1/1/2007# "
    "group by itemid order by sum(hits) desc";
constexpr const char* kBroken = "select nosuchcolumn from tblday";
constexpr const char* kCount = "select count(*) as n from tbldata";

TEST(QueryPrefetchTest, HandsOutEachPlannedQueryOnceAndLeavesTheRestToTheCaller) {
  ReportSite site;
  const int a = site.Item(1, "/a.html");
  const int b = site.Item(1, "/b.html");
  site.Day("1/7/2007", 1, a, 5);
  site.Day("1/8/2007", 1, a, 2);
  site.Day("1/8/2007", 1, b, 9);
  const std::string path = site.home() + "/Project0001.mdb";
  db::Connection direct;
  direct.Open(path);
  db::Recordset expected = direct.OpenRecordset(kByItem);

  // A query no worker has started yet is left to the caller: give the
  // workers time to start, longer on each try.
  std::unique_ptr<QueryPrefetch> prefetch;
  std::optional<db::Recordset> rows;
  for (int attempt = 1; attempt <= 20 && !rows; ++attempt) {
    prefetch = std::make_unique<QueryPrefetch>(
        path, std::vector<std::string>{kByItem, kBroken, kCount}, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
    rows = prefetch->Take(path, kByItem);
  }
  ASSERT_TRUE(rows.has_value());
  const std::vector<std::string> texts = Texts(*rows);
  EXPECT_EQ(texts, Texts(expected));
  EXPECT_EQ(texts, (std::vector<std::string>{std::to_string(b), "9", std::to_string(a), "7"}));
  EXPECT_FALSE(prefetch->Take(path, kByItem)) << "handed out twice";

  // A failed query is read again by the caller, who gets the error.
  EXPECT_FALSE(prefetch->Take(path, kBroken));
  EXPECT_THROW(direct.OpenRecordset(kBroken), db::Error);
  EXPECT_FALSE(prefetch->Take(path, "select 1 as one")) << "not planned";
  EXPECT_FALSE(prefetch->Take(path + "-other", kCount)) << "another database";
}

TEST(QueryPrefetchTest, EndsWithQueriesNeverTakenOrOnAFileThatCannotBeOpened) {
  ReportSite site;
  const std::string path = site.home() + "/Project0001.mdb";
  { QueryPrefetch unused(path, std::vector<std::string>(20, kCount), 2); }
  QueryPrefetch missing(site.home() + "/missing.mdb", {kCount}, 2);
  EXPECT_FALSE(missing.Take(site.home() + "/missing.mdb", kCount));
}

}  // namespace
}  // namespace tf::report::test
