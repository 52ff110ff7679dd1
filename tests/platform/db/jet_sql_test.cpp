#include "platform/db/jet_sql.h"

#include <gtest/gtest.h>

#include "platform/db/error.h"

namespace tf::db {
namespace {

std::string Translate(const std::string& sql) { return TranslateJetSql(sql, nullptr).sql; }

TEST(JetSqlTest, RewritesOnlyOutsideLiteralsAndNames) {
  struct Case {
    const char* jet;
    const char* sqlite;
  };
  const Case cases[] = {
      {"SELECT * FROM t WHERE d=#1/7/2007 13:05:09#", "SELECT * FROM t WHERE d='2007-01-07 13:05:09'"},
      {"SELECT * FROM t WHERE d=#01/07/2007#", "SELECT * FROM t WHERE d='2007-01-07 00:00:00'"},
      // A date, a bracket, a slash or a star inside a literal stays as written.
      {"SELECT 'a #1/1/2007# [b] c/d * ''e''' AS x", "SELECT 'a #1/1/2007# [b] c/d * ''e''' COLLATE NOCASE AS x"},
      {"SELECT [my name], [it's] FROM [tbl x]", "SELECT \"my name\", \"it's\" FROM \"tbl x\""},
      {"SELECT [a\"b] FROM t", "SELECT \"a\"\"b\" FROM t"},
      {"SELECT \"jet's text\" AS x", "SELECT 'jet''s text' COLLATE NOCASE AS x"},
      {"DELETE * from tblDay WHERE EntryDate < #1/1/2000#", "DELETE from tblDay WHERE EntryDate < '2000-01-01 00:00:00'"},
      {"SELECT a/b, a & b, a MOD b FROM t", "SELECT a*1.0/b, a || b, a % b FROM t"},
      // A rewrite never lets two symbols meet as a comment.
      {"SELECT a/-b, 1- -1 FROM t", "SELECT a*1.0/-b, 1- -1 FROM t"},
      {"SELECT x FROM t WHERE y = ?;", "SELECT x FROM t WHERE y = ?"},
      {"CREATE TABLE tblSettingsMemo (Name NVARCHAR(255) PRIMARY KEY NOT NULL, StringValue TEXT)",
       "CREATE TABLE tblSettingsMemo (Name NVARCHAR(255) COLLATE NOCASE PRIMARY KEY NOT NULL, StringValue TEXT "
       "COLLATE NOCASE)"},
      {"CREATE TABLE t (ID COUNTER CONSTRAINT pk PRIMARY KEY, N LONG, M MEMO WITH COMPRESSION, D DATETIME, B BIT)",
       "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, N INTEGER, M TEXT COLLATE NOCASE, D DATETIME, B "
       "INTEGER)"},
      {"CREATE UNIQUE INDEX idxName ON tblSettingsMemo (Name ASC)",
       "CREATE UNIQUE INDEX \"tblSettingsMemo.idxName\" ON tblSettingsMemo (Name ASC)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Translate(c.jet), c.sqlite) << c.jet;
}

TEST(JetSqlTest, RefusesWhatIsNotOneStatement) {
  const char* bad[] = {
      "SELECT 1; DELETE FROM tblData",
      "SELECT 'open",
      "SELECT [open FROM t",
      "SELECT * FROM t WHERE d = #2/30/2007#",
      "SELECT * FROM t WHERE d = #1/7/2007",
      "SELECT TOP 10 PERCENT x FROM t",
      "",
  };
  for (const char* sql : bad) EXPECT_THROW(Translate(sql), Error) << sql;
}

TEST(JetSqlTest, MarksParametersWrittenIntoDateColumns) {
  const std::vector<ColumnInfo> columns = {{"Name", "TEXT"}, {"LastHit", "DATETIME"}};
  SchemaLookup schema = [&](std::string_view table) { return table == "tblData" ? &columns : nullptr; };
  EXPECT_EQ(TranslateJetSql("INSERT INTO tblData (Name, LastHit) VALUES (?, ?)", schema).date_params,
            (std::vector<bool>{false, true}));
  EXPECT_EQ(TranslateJetSql("INSERT INTO tblData VALUES (?, ?)", schema).date_params,
            (std::vector<bool>{false, true}));
  EXPECT_EQ(TranslateJetSql("UPDATE tblData SET LastHit = ?, Name = ? WHERE Name = ?", schema).date_params,
            (std::vector<bool>{true, false, false}));
  EXPECT_EQ(TranslateJetSql("INSERT INTO tblData (Name, LastHit) VALUES ('a', '1/7/2007 13:05:09')", schema).sql,
            "INSERT INTO tblData (Name, LastHit) VALUES ('a' COLLATE NOCASE, '2007-01-07 13:05:09')");
}

TEST(JetSqlTest, GroupsTextWithoutCaseAndOtherColumnsAsTheyAre) {
  const std::vector<ColumnInfo> day = {{"EntryDate", "DATETIME"}, {"ItemID", "INTEGER"},
                                       {"Bytes", "REAL"}};
  const std::vector<ColumnInfo> data = {{"ItemID", "INTEGER"}, {"Name", "TEXT"}};
  const std::vector<ColumnInfo> loose = {{"ItemID", ""}};
  SchemaLookup schema = [&](std::string_view table) -> const std::vector<ColumnInfo>* {
    if (table == "tblDay") return &day;
    if (table == "tblData") return &data;
    if (table == "tblLoose") return &loose;
    return nullptr;
  };
  struct Case {
    const char* jet;
    const char* sqlite;
  };
  const Case cases[] = {
      {"SELECT EntryDate FROM tblDay GROUP BY EntryDate, Bytes",
       "SELECT EntryDate FROM tblDay GROUP BY EntryDate, Bytes"},
      {"SELECT Name FROM tblDay, tblData GROUP BY tblDay.ItemID, Name",
       "SELECT Name FROM tblDay, tblData GROUP BY tblDay.ItemID, Name COLLATE NOCASE"},
      // An expression, a name given anew, a column no table declares, and
      // one that some table declares without a type may all hold text.
      {"SELECT Year(EntryDate) FROM tblDay GROUP BY Year(EntryDate)",
       "SELECT Year(EntryDate) FROM tblDay GROUP BY Year(EntryDate) COLLATE NOCASE"},
      {"SELECT Name AS ItemID FROM tblData GROUP BY ItemID",
       "SELECT Name AS ItemID FROM tblData GROUP BY ItemID COLLATE NOCASE"},
      {"SELECT x FROM tblDay GROUP BY x", "SELECT x FROM tblDay GROUP BY x COLLATE NOCASE"},
      {"SELECT ItemID FROM tblDay JOIN tblLoose GROUP BY ItemID",
       "SELECT ItemID FROM tblDay JOIN tblLoose GROUP BY ItemID COLLATE NOCASE"},
      {"SELECT ItemID FROM (tblLoose INNER JOIN tblDay ON 1) GROUP BY ItemID",
       "SELECT ItemID FROM (tblLoose INNER JOIN tblDay ON 1) GROUP BY ItemID COLLATE NOCASE"},
      {"WITH x(ItemID) AS (SELECT Name FROM tblData) SELECT ItemID FROM x, tblDay GROUP BY ItemID",
       "WITH x(ItemID) AS (SELECT Name FROM tblData) SELECT ItemID FROM x, tblDay GROUP BY ItemID "
       "COLLATE NOCASE"},
      // A list of days beside the grouped column leaves it as it is.
      {"WITH RECURSIVE d(n) AS (SELECT 1) SELECT EntryDate FROM tblDay GROUP BY EntryDate",
       "WITH RECURSIVE d(n) AS (SELECT 1) SELECT EntryDate FROM tblDay GROUP BY EntryDate"},
  };
  for (const Case& c : cases) {
    // The groups' order that a top-level select is given is not looked at.
    std::string sql = TranslateJetSql(c.jet, schema).sql;
    EXPECT_EQ(sql.substr(0, sql.find(" ORDER BY")), c.sqlite) << c.jet;
  }
}

}  // namespace
}  // namespace tf::db
