#include "platform/db/connection.h"

#include <sqlite3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "db_fixture.h"

namespace tf::db {
namespace {

TEST(ConnectionOpenTest, MissingOrForeignFilesFail) {
  test::TempDir dir;
  std::string missing = dir.File("missing.mdb");
  Connection db;
  try {
    db.Open(missing);
    FAIL() << "opened a missing file";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), SQLITE_CANTOPEN);
    EXPECT_EQ(e.description(), "unable to open database file");
  }
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(missing)) << "opening must never create the file";
  EXPECT_THROW(db.Open(""), Error);
  EXPECT_THROW(db.Open(dir.path()), Error);

  test::WriteFile(dir.File("text.mdb"), std::string(4096, 'x'));
  EXPECT_THROW(db.Open(dir.File("text.mdb")), Error);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_THROW(CreateDatabase(dir.File("text.mdb")), Error) << "an existing file is never replaced";
}

TEST(ConnectionOpenTest, RelativeNamesAreAlwaysFiles) {
  test::TempDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  struct Restore {
    const std::filesystem::path& folder;
    ~Restore() { std::filesystem::current_path(folder); }
  } restore{before};
  std::filesystem::current_path(dir.path());
  for (const std::string name : {"file:a.mdb?mode=memory", ":memory:"}) {
    CreateDatabase(name);
    Connection db;
    db.Open(name);
    db.Execute("CREATE TABLE t (n LONG)");
    db.Close();
    db.Open(name);
    EXPECT_EQ(db.Execute("INSERT INTO t VALUES (1)"), 1) << name << " was not the file itself";
  }
}

TEST(ConnectionOpenTest, ClosedConnectionRefusesWork) {
  Connection db;
  EXPECT_THROW(db.Execute("SELECT 1"), Error);
  EXPECT_THROW(db.BeginTrans(), Error);
  db.Close();  // closing twice is harmless
}

TEST(ErrorTest, EmptyDescriptionTakesTheCodesText) {
  EXPECT_EQ(Error(SQLITE_BUSY, "").description(), "database is locked");
  EXPECT_EQ(Error(SQLITE_BUSY, "busy now").description(), "busy now");
}

using ConnectionTest = DbTest;

TEST_F(ConnectionTest, DateLiteralsFindRowsByExactDate) {
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits) VALUES (#1/7/2007 13:05:09#, 1, 1, 5)");
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits) VALUES (#1/8/2007#, 1, 1, 7)");
  const char* literals[] = {"#1/7/2007 13:05:09#", "#01/07/2007 13:05:09#", "#1/7/2007 1:05:09 PM#",
                            "#2007-01-07 13:05:09#"};
  for (const char* literal : literals) {
    EXPECT_EQ(Scalar(std::string("SELECT Hits FROM tblDay WHERE EntryDate=") + literal).ToInt32(), 5) << literal;
  }
  EXPECT_EQ(Scalar("SELECT Hits FROM tblDay WHERE EntryDate=#1/8/2007#").ToInt32(), 7);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay WHERE EntryDate >= #1/7/2007# AND EntryDate < #1/8/2007#").ToInt32(), 1);
}

TEST_F(ConnectionTest, DatesAreStoredInOneSortableForm) {
  // A literal, a quoted text into a date column, a text or a date parameter:
  // the file holds the same text for each.
  db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, 'literal', #1/7/2007 13:05:09#)");
  db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, 'quoted', '1/7/2007 13:05:09')");
  db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, ?, ?)", {"text", "01/07/2007 13:05:09"});
  db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, ?, ?)",
              {"date", com::Variant::Date(com::MakeAutomationDate(2007, 1, 7, 13, 5, 9))});
  db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, 'updated', NULL)");
  db_.Execute("UPDATE tblData SET LastHit = '1/7/2007 13:05:09' WHERE Name = 'updated'");
  for (const char* name : {"literal", "quoted", "text", "date", "updated"}) {
    EXPECT_EQ(RawText(std::string("SELECT LastHit FROM tblData WHERE Name='") + name + "'"), "2007-01-07 13:05:09")
        << name;
  }
  // A text that is no date stays as it was written.
  db_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES ('x', '1/7/2007')");
  EXPECT_EQ(RawText("SELECT StringValue FROM tblSettingsString"), "1/7/2007");
}

TEST_F(ConnectionTest, DateColumnsReadBackAsDates) {
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, Hits) VALUES (#1/7/2007 13:05:09#, 1, 1)");
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, Hits) VALUES (#12/31/2006#, 1, 2)");
  db_.Execute("INSERT INTO tblDay (EntryDate, Category, Hits) VALUES (#12/31/2006#, 1, 3)");
  com::Variant date = Scalar("SELECT EntryDate FROM tblDay WHERE Hits = 1");
  ASSERT_EQ(date.vt(), com::VT_DATE);
  EXPECT_DOUBLE_EQ(date.date(), com::MakeAutomationDate(2007, 1, 7, 13, 5, 9));
  EXPECT_EQ(date.ToString(), "1/7/2007 13:05:09");

  Recordset rs = db_.OpenRecordset("select max(entrydate) as max_entrydate, min(entrydate) as min_entrydate from tblday");
  EXPECT_EQ(rs.Field("max_entrydate").vt(), com::VT_DATE);
  EXPECT_EQ(rs.Field("max_entrydate").ToString(), "1/7/2007 13:05:09");
  EXPECT_EQ(rs.Field("min_entrydate").ToString(), "12/31/2006 0:00:00");

  EXPECT_EQ(Column("SELECT EntryDate, Sum(Hits) FROM tblDay GROUP BY EntryDate"),
            (std::vector<std::string>{"12/31/2006 0:00:00", "1/7/2007 13:05:09"}));
  EXPECT_EQ(Scalar("SELECT EntryDate FROM tblDay GROUP BY EntryDate").vt(), com::VT_DATE);
}

TEST_F(ConnectionTest, ValuesComeBackWithTheirVariantTypes) {
  db_.Execute("INSERT INTO tblDay (Category, Hits, Bytes) VALUES (1, 2000000000, 1.5)");
  db_.Execute("INSERT INTO tblDay (Category, Hits, Bytes) VALUES (1, 2000000000, NULL)");
  com::Variant hits = Scalar("SELECT Hits FROM tblDay");
  EXPECT_EQ(hits.vt(), com::VT_I4);
  EXPECT_EQ(hits.i4(), 2000000000);
  com::Variant sum = Scalar("SELECT Sum(Hits) FROM tblDay");
  EXPECT_EQ(sum.vt(), com::VT_R8) << "a sum beyond 32 bits";
  EXPECT_DOUBLE_EQ(sum.r8(), 4e9);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay").vt(), com::VT_I4);
  EXPECT_EQ(Scalar("SELECT Bytes FROM tblDay").vt(), com::VT_R8);
  EXPECT_EQ(Scalar("SELECT Bytes FROM tblDay WHERE Bytes IS NULL").vt(), com::VT_NULL);
  com::Variant text = Scalar("SELECT '2007' AS x");
  EXPECT_EQ(text.vt(), com::VT_BSTR);
  EXPECT_EQ(text.bstr().str(), "2007");
}

TEST_F(ConnectionTest, TopReturnsTheRowsTiedWithTheLast) {
  struct Row {
    const char* name;
    int hits, sessions;
  };
  const Row rows[] = {{"a", 10, 1}, {"b", 8, 2}, {"c", 8, 3}, {"d", 5, 4}, {"e", 4, 5}};
  for (const Row& r : rows) {
    db_.Execute("INSERT INTO tblData (Category, Name) VALUES (1, ?)", {r.name});
    db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, SessionCount) "
                "SELECT #1/7/2007#, 1, ItemID, ?, ? FROM tblData WHERE Name = ?",
                {r.hits, r.sessions, r.name});
  }
  struct Case {
    std::string sql;
    std::vector<std::string> names;
  };
  const std::string join =
      " tblday.itemid, sum(tblday.hits) as sumhits, tbldata.name from tblday, tbldata"
      " where entrydate >= #1/7/2007# and tbldata.itemid = tblday.itemid group by tblday.itemid, tbldata.name ";
  const Case cases[] = {
      {"SELECT TOP 2 Name, Hits FROM tblData, tblDay WHERE tblData.ItemID = tblDay.ItemID ORDER BY Hits DESC",
       {"a", "b", "c"}},
      {"SELECT TOP 1 Name FROM tblData ORDER BY Name", {"a"}},
      {"select  top 2" + join + " order by sum(tblday.hits) desc", {"a", "b", "c"}},
      // By an alias, and with a second key that breaks the tie.
      {"select top 2" + join + " order by sumhits desc, name desc", {"a", "c"}},
      {"select top 3" + join + " order by sum(tblday.hits) desc, sum(tblday.hits) / sum(sessioncount) desc",
       {"a", "b", "c"}},
      // Without ORDER BY, exactly n rows.
      {"SELECT TOP 2 Name FROM tblData", {"a", "b"}},
      {"SELECT Name FROM tblData WHERE ItemID IN (SELECT TOP 1 ItemID FROM tblDay ORDER BY Hits)", {"e"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    Recordset rs;
    for (rs.Open(c.sql, db_); !rs.IsEof(); rs.MoveNext()) names.push_back(rs.Field("name").ToString());
    std::vector<std::string> sorted = names;
    if (c.sql.find("name desc") == std::string::npos) std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, c.names) << c.sql;
  }
  Recordset rs;
  rs.Open("select top 2" + join + " order by sumhits desc", db_);
  EXPECT_EQ(rs.FieldCount(), 3) << "the rank column stays hidden";
}

TEST_F(ConnectionTest, LikeTakesJetWildcards) {
  for (const char* name : {"TopBrowsers", "topspiders", "StatsTop", "GlobalTopSettings"}) {
    db_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES (?, '1')", {name});
  }
  EXPECT_EQ(Column("SELECT Name FROM tblSettingsString WHERE [Name] LIKE 'Top*' ORDER BY Name"),
            (std::vector<std::string>{"TopBrowsers", "topspiders"}));
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblSettingsString WHERE Name LIKE ?", {"*top*"}).ToInt32(), 4);
  EXPECT_EQ(db_.Execute("delete from tblsettingsstring where [name] like 'Top*'"), 2);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblSettingsString WHERE Name LIKE '?tats*'").ToInt32(), 1);
}

TEST_F(ConnectionTest, TextComparesWithoutRegardToCase) {
  db_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES ('DomainName', 'example.com')");
  db_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES ('domainNAME', 'other')");
  EXPECT_EQ(Scalar("select count(*) from tblsettingsstring where name = 'domainname'").ToInt32(), 2);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblSettingsString WHERE Name = ?", {"DOMAINNAME"}).ToInt32(), 2);
  EXPECT_EQ(Scalar("SELECT 'abc' = 'ABC'").ToInt32(), 1);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM (SELECT Name FROM tblSettingsString GROUP BY Name)").ToInt32(), 1);

  // The same for a table the layer did not create (no collation declared).
  sqlite3* raw = nullptr;
  sqlite3_open(path_.c_str(), &raw);
  sqlite3_exec(raw, "CREATE TABLE plain (Name TEXT); INSERT INTO plain VALUES ('DomainName'), ('DOMAINNAME')",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM plain WHERE Name = 'domainname'").ToInt32(), 2);
  EXPECT_EQ(Column("SELECT Name FROM plain GROUP BY Name").size(), 1u);
}

TEST_F(ConnectionTest, DivisionIsReal) {
  com::Variant v = Scalar("SELECT 2/3*100");
  ASSERT_EQ(v.vt(), com::VT_R8);
  EXPECT_NEAR(v.r8(), 66.6666666, 1e-6);
  db_.Execute("INSERT INTO tblDay (Hits, SessionCount) VALUES (1, 4)");
  EXPECT_DOUBLE_EQ(Scalar("SELECT Sum(Hits) / Sum(SessionCount) * 100 AS p FROM tblDay").r8(), 25.0);
  EXPECT_TRUE(Scalar("SELECT Sum(Hits) / 0 FROM tblDay").is_null()) << "no error for a division by zero";
}

TEST_F(ConnectionTest, DeleteStarRemovesRows) {
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (1)");
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (2)");
  EXPECT_EQ(db_.Execute("DELETE * from tblDay"), 2);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay").ToInt32(), 0);
}

TEST_F(ConnectionTest, ParametersKeepUntrustedTextVerbatim) {
  const std::string nasty = "O'Brien'); DROP TABLE tblData; -- [x] #1/1/2007# *?";
  db_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {402, nasty});
  EXPECT_EQ(Scalar("SELECT Name FROM tblData WHERE Category = ?", {402}).ToString(), nasty);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblData WHERE Name = ?", {nasty}).ToInt32(), 1);
  EXPECT_THROW(db_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {1}), Error);
}

TEST_F(ConnectionTest, LastInsertRowIdIsTheNewRowsKey) {
  db_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {1, std::string("/a.htm")});
  db_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {1, std::string("/b.htm")});
  EXPECT_EQ(db_.LastInsertRowId(),
            Scalar("SELECT ItemID FROM tblData WHERE Name = ?", {std::string("/b.htm")}).ToInt32());
  EXPECT_NE(db_.LastInsertRowId(),
            Scalar("SELECT ItemID FROM tblData WHERE Name = ?", {std::string("/a.htm")}).ToInt32());
}

TEST_F(ConnectionTest, ChangedPagesWrittenEarlyStayOutsideTheDatabaseUntilTheCommit) {
  auto journal_size = [this] {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path_ + "-wal", error);
    return error ? 0 : size;
  };
  auto add_rows = [this](int first) {
    for (int i = first; i < first + 500; ++i) {
      db_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {1, "/page" + std::to_string(i)});
    }
  };
  db_.BeginTrans();
  add_rows(0);
  std::uintmax_t before = journal_size();
  EXPECT_TRUE(db_.WriteChangedPages());
  EXPECT_GT(journal_size(), before) << "the pages went to the journal";
  EXPECT_EQ(RawText("SELECT Count(*) FROM tblData"), "0") << "no other reader sees them";
  db_.RollbackTrans();
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblData").ToInt32(), 0);

  // Written early or at the commit, the rows are the same.
  db_.BeginTrans();
  add_rows(0);
  EXPECT_TRUE(db_.WriteChangedPages());
  add_rows(500);
  db_.CommitTrans();
  EXPECT_EQ(RawText("SELECT Count(*) FROM tblData"), "1000");
  EXPECT_TRUE(db_.WriteChangedPages()) << "outside a transaction there is nothing to write";
}

// Without the library's lock per call, a connection still serves threads
// that take their turns under the caller's lock, a recordset included.
TEST_F(ConnectionTest, AConnectionTheCallerLocksServesThreadsInTurn) {
  Connection shared;
  shared.Open(path_, Connection::Serialization::kByCaller);
  std::mutex turn;
  auto add_rows = [&](int first) {
    for (int i = first; i < first + 200; ++i) {
      std::lock_guard<std::mutex> lock(turn);
      shared.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)", {1, "/page" + std::to_string(i)});
      Recordset rows = shared.OpenRecordset("SELECT Count(*) FROM tblData WHERE Name = ?",
                                            {"/page" + std::to_string(i)});
      EXPECT_EQ(rows.Field(0).ToInt32(), 1);
    }
  };
  std::thread other(add_rows, 1000);
  add_rows(0);
  other.join();
  EXPECT_EQ(RawText("SELECT Count(*) FROM tblData"), "400");
}

TEST_F(ConnectionTest, OneStatementPerCall) {
  db_.Execute("INSERT INTO tblData (Category, Name) VALUES (1, 'kept')");
  EXPECT_THROW(db_.Execute("SELECT 1; DELETE FROM tblData"), Error);
  std::string name = "x'; DELETE FROM tblData; SELECT '";
  EXPECT_THROW(db_.Execute("SELECT * FROM tblData WHERE Name = '" + name + "'"), Error);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblData").ToInt32(), 1);
}

TEST_F(ConnectionTest, ErrorsCarryTheDatabasesDescription) {
  try {
    db_.Execute("SELECT * FROM tblNope");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), SQLITE_ERROR);
    EXPECT_EQ(e.description(), "no such table: tblNope");
  }
}

TEST_F(ConnectionTest, MemoTableDefinitionRunsAndIndexNamesStayPerTable) {
  db_.Execute("CREATE UNIQUE INDEX idxName ON tblSettingsString (Name ASC)");
  db_.Execute("CREATE TABLE tblSettingsMemo (Name NVARCHAR(255) PRIMARY KEY NOT NULL, StringValue TEXT)");
  db_.Execute("CREATE UNIQUE INDEX idxName ON tblSettingsMemo (Name ASC)");
  EXPECT_THROW(db_.Execute("CREATE TABLE tblSettingsMemo (Name NVARCHAR(255), StringValue TEXT)"), Error);
  db_.Execute("INSERT INTO tblSettingsMemo (Name, StringValue) VALUES ('LogIncludeFilter', ?)", {"42"});
  EXPECT_THROW(db_.Execute("INSERT INTO tblSettingsMemo (Name, StringValue) VALUES ('logincludefilter', 'x')"), Error)
      << "names are unique without regard to case";
  com::Variant memo = Scalar("SELECT StringValue FROM tblSettingsMemo");
  EXPECT_EQ(memo.vt(), com::VT_BSTR) << "a memo of digits stays text";
  db_.Execute("DROP INDEX idxName ON tblSettingsMemo");
}

TEST_F(ConnectionTest, TransactionsCommitRollBackAndNest) {
  EXPECT_EQ(db_.BeginTrans(), 1);
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (1)");
  EXPECT_EQ(db_.BeginTrans(), 2);
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (2)");
  db_.RollbackTrans();
  db_.CommitTrans();
  EXPECT_EQ(Column("SELECT Hits FROM tblDay"), (std::vector<std::string>{"1"}));

  db_.BeginTrans();
  db_.Execute("DELETE * FROM tblDay");
  db_.RollbackTrans();
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay").ToInt32(), 1);
  EXPECT_THROW(db_.CommitTrans(), Error);

  db_.BeginTrans();
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (3)");
  db_.Close();  // an open transaction does not survive its connection
  db_.Open(path_);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay").ToInt32(), 1);
}

TEST_F(ConnectionTest, SecondConnectionSeesCommittedRows) {
  Connection other;
  other.Open(path_);
  db_.BeginTrans();
  db_.Execute("INSERT INTO tblDay (Hits) VALUES (1)");
  Recordset before;
  before.Open("SELECT Count(*) FROM tblDay", other);
  EXPECT_EQ(before.Field(0).ToInt32(), 0) << "a reader is not blocked by the writer";
  db_.CommitTrans();
  Recordset after;
  after.Open("SELECT Count(*) FROM tblDay", other);
  EXPECT_EQ(after.Field(0).ToInt32(), 1);
}

// Writers on their own connections wait for each other instead of failing
// with "database is locked", also when a transaction reads before it writes.
TEST_F(ConnectionTest, ConcurrentWritersWaitForEachOther) {
  const int kThreads = 4, kTransactions = 50, kRows = 5;
  std::vector<std::thread> writers;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      try {
        Connection db;
        db.Open(path_);
        for (int n = 0; n < kTransactions; ++n) {
          db.BeginTrans();
          Recordset rs;
          rs.Open("SELECT Count(*) FROM tblDay", db);
          for (int r = 0; r < kRows; ++r) db.Execute("INSERT INTO tblDay (Category, Hits) VALUES (?, ?)", {t, r});
          db.CommitTrans();
        }
      } catch (const Error&) {
        ++failures;
      }
    });
  }
  for (std::thread& w : writers) w.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay").ToInt32(), kThreads * kTransactions * kRows);
}

// The size of a day's flush: tens of thousands of rows in one transaction,
// through one cached statement.
TEST_F(ConnectionTest, FlushSizedBatchInOneTransaction) {
  const int kRows = 40000;
  db_.BeginTrans();
  for (int i = 0; i < kRows; ++i) {
    db_.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes) VALUES (#1/7/2007#, ?, ?, ?, ?)",
                {i % 30, i, i % 97, static_cast<double>(i) * 1.5});
  }
  db_.CommitTrans();
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblDay WHERE EntryDate = #1/7/2007#").ToInt32(), kRows);
  EXPECT_EQ(Scalar("SELECT Sum(ItemID) FROM tblDay").ToDouble(), kRows * (kRows - 1.0) / 2);
}

// Statements are kept prepared between uses: a full cache drops the least
// recently used one, and a schema change drops them all, so the same text
// always runs against the tables as they are now.
TEST_F(ConnectionTest, CachedStatementsFollowEvictionAndSchemaChanges) {
  const std::string insert = "INSERT INTO tblCache (Name, Hits) VALUES (?, ?)";
  db_.Execute("CREATE TABLE tblCache (Name NVARCHAR(50), Hits INTEGER)");
  db_.Execute(insert, {"a", 1});
  int rows = 1;
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(Scalar("SELECT Count(*) + " + std::to_string(i) + " FROM tblCache").ToInt32(), rows + i);
    if (i % 7 == 0) {
      db_.Execute(insert, {"b", i});
      ++rows;
    }
  }
  db_.Execute("DROP TABLE tblCache");
  db_.Execute("CREATE TABLE tblCache (Extra INTEGER, Hits INTEGER, Name NVARCHAR(50))");
  db_.Execute(insert, {"c", 5});
  EXPECT_EQ(Scalar("SELECT Name FROM tblCache WHERE Hits = 5").ToString(), "c");
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblCache").ToInt32(), 1);
}

TEST_F(ConnectionTest, ExecuteEachRunsEveryRowAndTellsTheOnesThatFail) {
  db_.Execute("CREATE UNIQUE INDEX ix_name ON tblSettingsString (Name)");
  db_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES ('taken', 'old')");
  const std::vector<std::string> names = {"a", "taken", "b", "c"};
  std::vector<std::size_t> failed;
  db_.ExecuteEach(
      "INSERT INTO tblSettingsString (Name, StringValue) VALUES (?, ?)", names.size(),
      [&](std::size_t i, Params& params) {
        // The params come emptied: a row that left values behind would bind
        // too many.
        EXPECT_TRUE(params.empty());
        params.push_back(names[i]);
        if (i != 2) params.push_back("new");
      },
      [&](std::size_t i, const Error&) { failed.push_back(i); });
  EXPECT_EQ(failed, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(Column("SELECT Name || '=' || StringValue FROM tblSettingsString ORDER BY Name"),
            (std::vector<std::string>{"a=new", "c=new", "taken=old"}));

  failed.clear();
  db_.ExecuteEach("INSERT INTO tblNothing VALUES (?)", 2, [](std::size_t, Params& p) { p.push_back(1); },
                  [&](std::size_t i, const Error&) { failed.push_back(i); });
  EXPECT_EQ(failed, (std::vector<std::size_t>{0, 1})) << "a statement that cannot be made fails every row";
}

TEST_F(ConnectionTest, ExecuteEachBoundBindsByTypeAndTellsTheRowsThatFail) {
  struct Row {
    std::int32_t item;
    double bytes;
    bool complete;
  };
  const std::vector<Row> rows = {{1, 5e9, true}, {2, 0, false} /* one value too few */, {3, 1.5, true}};
  std::vector<std::pair<std::size_t, std::string>> failed;
  db_.ExecuteEachBound(
      "INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes) VALUES (?, 1, ?, ?, ?)", rows.size(),
      [&](std::size_t i, RowBinder& values) {
        const Row& row = rows[i];
        values.Text(std::string("2007-01-0") + std::to_string(row.item) + " 13:05:09");  // a temporary: copied
        values.Int(row.item);
        values.Int(row.item * 10);
        if (row.complete) values.Double(row.bytes);
      },
      [&](std::size_t i, const Error& e) { failed.emplace_back(i, e.description()); });
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].first, 1u);
  EXPECT_EQ(failed[0].second, "No value given for one or more required parameters.");
  EXPECT_EQ(Column("SELECT EntryDate || '|' || ItemID || '|' || Hits || '|' || Bytes FROM tblDay ORDER BY ItemID"),
            (std::vector<std::string>{"2007-01-01 13:05:09|1|10|5000000000.0", "2007-01-03 13:05:09|3|30|1.5"}));
  EXPECT_DOUBLE_EQ(Scalar("SELECT EntryDate FROM tblDay WHERE ItemID = 3").date(),
                   com::MakeAutomationDate(2007, 1, 3, 13, 5, 9))
      << "a stored-form text reads back as a date";
}

TEST_F(ConnectionTest, ASharedTextIsBoundUncopiedIntoEveryRow) {
  const std::string day = "2007-01-07 00:00:00";
  db_.ExecuteEachBound(
      "INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes) VALUES (?, 1, ?, 1, 0)", 3,
      [&](std::size_t i, RowBinder& values) {
        values.SharedText(day);
        values.Int(static_cast<std::int32_t>(i));
      },
      [](std::size_t, const Error& e) { FAIL() << e.description(); });
  EXPECT_EQ(Column("SELECT EntryDate || '|' || ItemID FROM tblDay ORDER BY ItemID"),
            (std::vector<std::string>{day + "|0", day + "|1", day + "|2"}));
}

}  // namespace
}  // namespace tf::db

