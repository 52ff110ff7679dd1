#include "platform/db/recordset.h"

#include <gtest/gtest.h>

#include "db_fixture.h"

namespace tf::db {
namespace {

class RecordsetTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    for (const char* name : {"/a.htm", "/b.htm", "/c.htm"}) {
      db_.Execute("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, ?, #1/7/2007 10:00:00#)", {name});
    }
  }
};

TEST_F(RecordsetTest, AssignedFieldsAreSavedByUpdate) {
  Recordset rs;
  rs.Open("SELECT * FROM tblData WHERE Name='/b.htm'", db_, kOpenDynamic, kLockPessimistic);
  ASSERT_FALSE(rs.IsEof());
  rs.SetField("lasthit", "1/8/2007 11:30:00");  // a date given as text, as the engine does
  rs.SetField("Category", com::Variant::R8(2.0));
  EXPECT_TRUE(rs.IsEditing());
  rs.Update();
  EXPECT_EQ(rs.Field("LastHit").vt(), com::VT_DATE) << "the row reads back as stored";
  EXPECT_EQ(RawText("SELECT LastHit FROM tblData WHERE Name='/b.htm'"), "2007-01-08 11:30:00");
  EXPECT_EQ(Scalar("SELECT Category FROM tblData WHERE Name='/b.htm'").ToInt32(), 2);
  EXPECT_EQ(Scalar("SELECT Count(*) FROM tblData WHERE Category = 1").ToInt32(), 2) << "other rows untouched";

  // Moving on saves an edit; CancelUpdate drops one.
  rs.Open("SELECT ItemID, Category FROM tblData ORDER BY ItemID", db_, kOpenKeyset, kLockOptimistic);
  rs.SetField(1, 7);
  rs.MoveNext();
  rs.SetField(1, 8);
  rs.CancelUpdate();
  EXPECT_EQ(Column("SELECT Category FROM tblData ORDER BY ItemID"), (std::vector<std::string>{"7", "2", "1"}));
}

TEST_F(RecordsetTest, AddNewInsertsAndReadsBackTheAutonumber) {
  Recordset rs;
  rs.Open("SELECT * FROM tblData WHERE Category = 99", db_, kOpenKeyset, kLockOptimistic);
  EXPECT_TRUE(rs.IsEof());
  rs.AddNew();
  rs.SetField("Category", 99);
  rs.SetField("Name", "/new.htm");
  rs.SetField("LastHit", com::Variant::Date(com::MakeAutomationDate(2007, 1, 9)));
  rs.Update();
  EXPECT_EQ(rs.Field("ItemID").ToInt32(), 4);
  EXPECT_EQ(rs.Field("LastHit").ToString(), "1/9/2007 0:00:00");
  EXPECT_EQ(rs.RecordCount(), 1);
  EXPECT_EQ(Scalar("SELECT Name FROM tblData WHERE ItemID = 4").ToString(), "/new.htm");
}

TEST_F(RecordsetTest, OnlyPlainOneTableSelectsCanBeUpdated) {
  const char* readonly[] = {
      "SELECT Category, Count(*) AS n FROM tblData GROUP BY Category",
      "SELECT Max(ItemID) AS m FROM tblData",
      "SELECT d.Name FROM tblData d, tblData e WHERE d.ItemID = e.ItemID",
      "SELECT TOP 1 Name FROM tblData ORDER BY Name",
  };
  for (const char* sql : readonly) {
    Recordset rs = db_.OpenRecordset(sql);
    EXPECT_THROW(rs.SetField(0, "x"), Error) << sql;
  }
  Recordset rs;
  rs.Open("SELECT Name FROM tblData", db_);  // read-only lock
  EXPECT_THROW(rs.SetField(0, "x"), Error);
  Recordset aliased = db_.OpenRecordset("SELECT d.Name, d.ItemID * 2 AS twice FROM tblData AS d WHERE d.ItemID = 1");
  EXPECT_THROW(aliased.SetField("twice", 5), Error) << "a computed field";
  aliased.SetField("Name", "/renamed.htm");
  aliased.Update();
  EXPECT_EQ(Scalar("SELECT Name FROM tblData WHERE ItemID = 1").ToString(), "/renamed.htm");
}

TEST_F(RecordsetTest, DynasetMovesCountsAndFetchesRows) {
  Recordset rs = db_.OpenRecordset("select name, itemid from tbldata order by itemid");
  EXPECT_EQ(rs.RecordCount(), 3);
  rs.MoveLast();
  EXPECT_EQ(rs.AbsolutePosition(), 2);
  EXPECT_EQ(rs.Field("NAME").ToString(), "/c.htm");
  rs.MoveFirst();
  EXPECT_EQ(rs.AbsolutePosition(), 0);
  std::vector<Row> rows = rs.GetRows(2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][0].ToString(), "/b.htm");
  EXPECT_EQ(rows[1][1].vt(), com::VT_I4);
  EXPECT_EQ(rs.AbsolutePosition(), 2);
  EXPECT_EQ(rs.GetRows().size(), 1u);
  EXPECT_TRUE(rs.IsEof());
  EXPECT_EQ(rs.AbsolutePosition(), -1);
  EXPECT_THROW(rs.MoveNext(), Error);
  EXPECT_THROW(rs.Field(0), Error) << "no current row at the end";
  rs.MovePrevious();
  EXPECT_EQ(rs.Field(1).ToInt32(), 3);
  EXPECT_THROW(rs.Field("nosuchfield"), Error);
  EXPECT_THROW(rs.Field(2), Error);
}

TEST_F(RecordsetTest, EmptyRecordsetRefusesToMove) {
  Recordset rs = db_.OpenRecordset("SELECT * FROM tblSettingsString");
  EXPECT_TRUE(rs.IsEof());
  EXPECT_TRUE(rs.IsBof());
  EXPECT_EQ(rs.RecordCount(), 0);
  EXPECT_THROW(rs.MoveFirst(), Error);
  EXPECT_THROW(rs.MoveLast(), Error);
  EXPECT_EQ(rs.FieldCount(), 2);
  EXPECT_EQ(rs.FieldName(1), "StringValue");
  rs.Close();
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_THROW(rs.IsEof(), Error);
}

}  // namespace
}  // namespace tf::db
