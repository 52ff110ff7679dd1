// The statements the engine's writers and the reports write, as they write
// them, against tables shaped like the site database's.
#include <gtest/gtest.h>

#include "db_fixture.h"

namespace tf::db {
namespace {

class SystemSqlTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    const char* tables[] = {
        "CREATE TABLE tblHour (EntryDate DATETIME, Category LONG, ItemID LONG, Hits LONG, Bytes DOUBLE, "
        "EntryCount LONG, ExitCount LONG, SessionCount LONG, ViewTime LONG)",
        "CREATE TABLE tblVisitors (EntryDate DATETIME, IPaddress TEXT(15), Hits LONG, Bytes LONG, "
        "SessionCount LONG, ViewTime LONG)",
        "CREATE TABLE tblDomains (IPaddress TEXT(15), DomainName TEXT(100), LastHit DATETIME)",
        "CREATE TABLE tblPaths (EntryDate DATETIME, ItemID LONG, ItemID2 LONG, Hits LONG, EntryCount LONG, "
        "ExitCount LONG)",
        "CREATE TABLE tblHitStatus (EntryDate DATETIME, StatusCode LONG, ItemID LONG, Hits LONG)",
        "CREATE TABLE tblTargetHits (EntryDate DATETIME, ReferringSite LONG, ReferringCategory LONG, "
        "KeywordPhrase LONG, TargetPage LONG, TargetHits LONG, TotalSessions LONG)",
        "CREATE TABLE tblSettingsInteger (Name TEXT(255), IntegerValue LONG)",
        "CREATE TABLE tblSettingsDate (Name TEXT(255), DateValue DATETIME)",
        "CREATE TABLE tblProjects (ProjectID COUNTER PRIMARY KEY, ProjectName TEXT(200), DatabaseName TEXT(255))",
        "CREATE TABLE tblhelpfiles (id LONG, helpname TEXT(100), helptext MEMO)",
        "ALTER TABLE tblDay ADD COLUMN EntryCount LONG",
        "ALTER TABLE tblDay ADD COLUMN ExitCount LONG",
        "ALTER TABLE tblDay ADD COLUMN ViewTime LONG",
    };
    for (const char* sql : tables) db_.Execute(sql);
  }

  // Runs a statement the way its caller does: rows are read, others executed.
  void Run(const std::string& sql) {
    SCOPED_TRACE(sql);
    bool select = sql.compare(0, 6, "select") == 0 || sql.compare(0, 6, "SELECT") == 0;
    if (select) {
      Recordset rs = db_.OpenRecordset(sql);
      rows_ = rs.GetRows();
    } else {
      db_.Execute(sql);
    }
  }

  std::vector<Row> rows_;
};

TEST_F(SystemSqlTest, EngineWritersStatementsRun) {
  const char* statements[] = {
      "INSERT INTO tblData (Category, Name, LastHit) VALUES (1, '/it''s.htm', '1/7/2007 13:00:00')",
      "SELECT ItemID, LastHit FROM tblData WHERE Category=1 AND Name='/it''s.htm'",
      "SELECT ItemID FROM tblData WHERE Category=1 AND Name='/IT''S.htm'",
      "SELECT Category, Name FROM tblData WHERE ItemID=1",
      "UPDATE tblData SET LastHit=#1/7/2007 14:00:00# WHERE ItemID=1",
      "INSERT INTO tblDomains (IPaddress, DomainName, LastHit) VALUES ('127.0.0.1', 'localhost',#1/7/2007 13:05:09#)",
      "SELECT * FROM tblDomains WHERE IPaddress='127.0.0.1'",
      "INSERT INTO tblHour (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, SessionCount, "
      "ViewTime) VALUES (#1/7/2007 13:00:00#, 1, 1, 3, 1000, 1, 0, 1, 60)",
      "select * from tblHour where Category=1 and ItemID = 1 and EntryDate=#1/7/2007 13:00:00#",
      "INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, SessionCount, "
      "ViewTime) VALUES (#1/7/2007 0:00:00#, 1, 1, 3, 1000, 1, 0, 1, 60)",
      "select * from tblDay where Category=1 and ItemID = 1 and EntryDate=#1/7/2007 0:00:00#",
      "INSERT INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits) VALUES (#1/7/2007 0:00:00#, 404, 1, 2)",
      "select * from tblHitStatus where StatusCode=404 and ItemID=1 and EntryDate=#1/7/2007 0:00:00#",
      "INSERT INTO tblTargetHits (EntryDate, ReferringSite, ReferringCategory, KeywordPhrase, TargetPage, "
      "TargetHits, TotalSessions) VALUES (#1/7/2007 0:00:00#, 0, 0, 2, 1, 1, 4)",
      "select * from tblTargetHits where ReferringSite=0 and ReferringCategory=0 and KeywordPhrase=2 and "
      "TargetPage=1 and EntryDate=#1/7/2007 0:00:00#",
      "INSERT INTO tblPaths (EntryDate, ItemID, ItemID2, Hits, EntryCount, ExitCount) VALUES "
      "(#1/7/2007 0:00:00#, 1, 2, 1, 1, 0)",
      "select * from tblPaths where EntryDate=#1/7/2007 0:00:00# and ItemID=1 and ItemID2=2",
      "INSERT INTO tblVisitors (EntryDate, IPaddress, Hits, Bytes, SessionCount, ViewTime) VALUES "
      "(#1/7/2007 0:00:00#, '127.0.0.1', 5, 100, 1, 60)",
      "select * from tblVisitors where IPaddress='127.0.0.1' and EntryDate=#1/7/2007 0:00:00#",
      "select top 1 IPaddress from tblVisitors where IPaddress='127.0.0.1'",
      "INSERT INTO tblSettingsDate (Name, DateValue) VALUES ('CreationDate', #01/01/1900 00:00:00#)",
      "SELECT DateValue FROM tblSettingsDate WHERE Name='CreationDate'",
      "Delete from tblSettingsString where Name = 'LogStream1'",
      "Insert into tblSettingsString (Name, StringValue) VALUES ('LogStream1', 'c:/logs/*.log {F:01/01/1900 "
      "00:00:00; R:1/7/2007 13:05:09;}')",
      "DELETE * from tblHour",
  };
  for (const char* sql : statements) Run(sql);
  EXPECT_EQ(Scalar("SELECT LastHit FROM tblData WHERE ItemID=1").ToString(), "1/7/2007 14:00:00");
  EXPECT_EQ(Scalar("SELECT DateValue FROM tblSettingsDate").ToString(), "1/1/1900 0:00:00");
  EXPECT_EQ(Scalar("SELECT StringValue FROM tblSettingsString WHERE Name='logstream1'").ToString(),
            "c:/logs/*.log {F:01/01/1900 00:00:00; R:1/7/2007 13:05:09;}");
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblHour").ToInt32(), 0);
}

class ReportSqlTest : public SystemSqlTest {
 protected:
  void SetUp() override {
    SystemSqlTest::SetUp();
    // Hits on three Sundays and one Monday around a new year.
    struct Entry {
      const char* date;
      int hits;
    };
    const Entry days[] = {{"12/31/2006", 4}, {"1/1/2007", 1}, {"1/7/2007", 2}, {"2/4/2007", 8}};
    for (const Entry& e : days) {
      db_.Execute(std::string("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes) VALUES (#") + e.date +
                      "#, 101, 0, ?, 2048)",
                  {e.hits});
    }
    db_.Execute("INSERT INTO tblHour (EntryDate, Category, ItemID, Hits) VALUES (#1/7/2007 13:00:00#, 101, 0, 5)");
    db_.Execute("INSERT INTO tblHour (EntryDate, Category, ItemID, Hits) VALUES (#1/7/2007 9:00:00#, 102, 0, 2)");
  }

  std::vector<std::string> Buckets() {
    std::vector<std::string> out;
    for (const Row& row : rows_) out.push_back(row[0].ToString() + "=" + row[1].ToString());
    return out;
  }
};

TEST_F(ReportSqlTest, TimeSeriesComeInBucketOrder) {
  const std::string from = " from tblday where category >= 101 and category <= 109 and entrydate >= #12/1/2006# "
                           " and entrydate < #3/1/2007# ";
  struct Case {
    std::string bucket;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {" datepart('yyyy', entrydate) ", {"2006=4", "2007=11"}},
      {" dateserial(datepart('yyyy', entrydate),datepart('m', entrydate),1) ",
       {"12/1/2006 0:00:00=4", "1/1/2007 0:00:00=3", "2/1/2007 0:00:00=8"}},
      {" datepart('ww', entrydate) ", {"1=1", "2=2", "6=8", "53=4"}},
      {" entrydate ", {"12/31/2006 0:00:00=4", "1/1/2007 0:00:00=1", "1/7/2007 0:00:00=2", "2/4/2007 0:00:00=8"}},
  };
  for (const Case& c : cases) {
    Run("select " + c.bucket + " as hourentry,  sum(hits) / 1 as sumhits,  sum(bytes) as sumbytes " + from +
        " group by " + c.bucket);
    EXPECT_EQ(Buckets(), c.expected) << c.bucket;
  }
  Run("select  hour(entrydate)  as hourentry,  sum(hits) as sumhits  from tblhour where category >= 101 and "
      "category <= 109 and entrydate >= #1/7/2007#  and entrydate < #1/8/2007#  group by  hour(entrydate) ");
  EXPECT_EQ(Buckets(), (std::vector<std::string>{"9=2", "13=5"}));
  Run("select  datepart('w', entrydate)  as hourentry,  sum(hits) as sumhits  from tblday where category >= 101 "
      "and category <= 109 and entrydate >= #12/1/2006#  and entrydate < #3/1/2007#  group by  datepart('w', "
      "entrydate) ");
  EXPECT_EQ(Buckets(), (std::vector<std::string>{"1=14", "2=1"}));
  Run("select sum(bytes) / 1024 as sumhits from tblday where category >= 101 and category <= 109");
  EXPECT_DOUBLE_EQ(rows_.at(0)[0].ToDouble(), 8.0);
}

TEST_F(ReportSqlTest, RankedSectionsRun) {
  for (const char* name : {"/a.htm", "/b.htm", "(none)", "search phrase"}) {
    db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, ?, #1/7/2007#)", {name});
  }
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes, SessionCount, ViewTime) VALUES "
              "(#1/7/2007#, 1, 1, 9, 100, 0, 0)");
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes, SessionCount, ViewTime) VALUES "
              "(#1/7/2007#, 1, 2, 9, 100, 3, 30)");
  db_.Execute("INSERT INTO tblVisitors (EntryDate, IPaddress, Hits) VALUES (#1/7/2007#, '127.0.0.1', 5)");
  db_.Execute("INSERT INTO tblVisitors (EntryDate, IPaddress, Hits) VALUES (#1/7/2007#, '127.0.0.2', 6)");
  db_.Execute("INSERT INTO tblDomains (IPaddress, DomainName) VALUES ('127.0.0.1', 'localhost')");
  db_.Execute("INSERT INTO tblDomains (IPaddress, DomainName) VALUES ('127.0.0.2', 'LOCALHOST')");
  db_.Execute("INSERT INTO tblTargetHits (EntryDate, ReferringSite, ReferringCategory, KeywordPhrase, TargetPage, "
              "TargetHits, TotalSessions) VALUES (#1/7/2007#, 0, 0, 4, 1, 1, 3)");
  db_.Execute("INSERT INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits) VALUES (#1/7/2007#, 404, 2, 2)");
  db_.Execute("INSERT INTO tblPaths (EntryDate, ItemID, ItemID2, Hits) VALUES (#1/7/2007#, 1, 9, 1)");
  db_.Execute("INSERT INTO tblProjects (ProjectName, DatabaseName) VALUES ('Site A', 'Project0001.mdb')");

  Run("select  top 1 tblday.itemid,  sum(tblday.hits) as sumhits,  sum(tblday.bytes) as sumbytes,  "
      "sum(tblday.sessioncount) as sumsessioncount,  sum(tblday.viewtime) as sumsessiontime,  "
      "sum(tblday.viewtime) / sum(tblday.sessioncount) as avgsessiontime,  sum(tblday.hits) as sumother,  "
      "tbldata.name  from tblday, tbldata  where entrydate >= #1/1/2007#  and entrydate <= #1/31/2007#  and "
      "tblday.category >= 1  and tblday.category <= 9  and tbldata.itemid = tblday.itemid  group by "
      "tblday.itemid, tbldata.name  order by sum(tblday.hits) desc ");
  ASSERT_EQ(rows_.size(), 2u) << "both items tie for the first place";
  EXPECT_TRUE(rows_[0][5].is_null() || rows_[1][5].is_null()) << "no sessions: no average, and no error";

  Run("select  top 5 sum(tblvisitors.hits) as sumhits,  tbldomains.domainname  from tblvisitors, tbldomains  "
      "where entrydate >= #1/1/2007#  and entrydate <= #1/31/2007#  and tbldomains.ipaddress = "
      "tblvisitors.ipaddress  group by tbldomains.domainname  order by sum(tblvisitors.hits) desc ");
  ASSERT_EQ(rows_.size(), 1u) << "host names group without regard to case";
  EXPECT_EQ(rows_[0][0].ToInt32(), 11);

  Run("select distinct targetpage, tbldata.name  from tbltargethits, tbldata  where entrydate >= #1/1/2007#  and "
      "entrydate <= #1/31/2007#  and tbldata.itemid = tbltargethits.targetpage and tbldata.name <> '(none)' ");
  EXPECT_EQ(rows_.size(), 1u);
  Run("select  top 10 sum(targethits) as sessions,  keywordphrase,  tbldata.name,  sum(targethits) / "
      "sum(totalsessions) * 100 as sessionhitcount,  sum(totalsessions) as tsessions  from tbltargethits, tbldata "
      " where entrydate >= #1/1/2007#  and entrydate <= #1/31/2007#  and tbldata.itemid = keywordphrase  and "
      "targetpage = 1 group by tbldata.name, keywordphrase order by sum(targethits) desc, sum(targethits) / "
      "sum(totalsessions) desc");
  ASSERT_EQ(rows_.size(), 1u);
  EXPECT_NEAR(rows_[0][3].ToDouble(), 33.333, 1e-3);

  Run("select top 10 a.itemid, sum(a.hits) as sumhits, a.statuscode, tbldata.name from tblhitstatus a, tbldata "
      "where tbldata.itemid = a.itemid and a.entrydate >= #1/1/2007# and a.entrydate <= #1/31/2007# group by "
      "a.itemid, tbldata.name, a.statuscode order by sum(a.hits) desc");
  EXPECT_EQ(rows_.size(), 1u);
  Run("select top 10 a.itemid, sum(a.hits) as sumhits, tbldata.name, (select name from tbldata where itemid = "
      "a.itemid2) as pathname from tblpaths a, tbldata where tbldata.itemid = a.itemid and a.entrydate >= "
      "#1/1/2007# and a.entrydate <= #1/31/2007# group by a.itemid, tbldata.name, a.itemid2 order by sum(a.hits) "
      "desc");
  ASSERT_EQ(rows_.size(), 1u);
  EXPECT_TRUE(rows_[0][3].is_null()) << "a next page without a name";

  Run("select projectname, projectid, databasename from tblprojects where projectname = 'site a'");
  EXPECT_EQ(rows_.size(), 1u);
  Run("select name, stringvalue from tblsettingsstring where name = 'domainname' or name like 'Stats*'");
  Run("select id, helpname, helptext  from tblhelpfiles ");
  Run("delete from tblsettingsinteger where [name] like 'Top*'");
  Run("insert into tblsettingsinteger ([name], integervalue) values ('GlobalTopSettings', 1)");
  Run("select max(entrydate) as max_entrydate, min(entrydate) as min_entrydate from tblday");
  EXPECT_EQ(rows_.at(0)[0].ToString(), "2/4/2007 0:00:00");
}

}  // namespace
}  // namespace tf::db
