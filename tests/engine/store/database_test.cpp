#include "engine/store/database.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/store/row_statements.h"
#include "platform/com/error_info.h"
#include "platform/db/recordset.h"
#include "support/test_support.h"

namespace tf {
namespace {

struct RecordingSink : StatusSink {
  void SetStatus(std::string_view text) override { status = text; }
  void SetError(std::string_view text) override { error = text; }
  std::string status, error;
};

class DatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("my site.mdb");  // a blank in the path
    db::CreateDatabase(path_);
  }
  test::TempDir dir_;
  std::string path_;
  RecordingSink site_;
};

TEST_F(DatabaseTest, OpenReportsProgressAndCloseEmptiesTheHolder) {
  ConnectionHolder holder;
  ASSERT_EQ(OpenDatabase(holder, path_, &site_), 1);
  EXPECT_EQ(site_.status, "Opening database: " + path_);
  EXPECT_EQ(site_.error, "");
  ASSERT_TRUE(holder && holder->IsOpen());
  EXPECT_EQ(ExecuteSql(holder.get(), "CREATE TABLE t (Name TEXT(50))"), 1);
  CloseDatabase(holder);
  EXPECT_FALSE(holder);
  CloseDatabase(holder);  // an empty holder stays empty
  EXPECT_EQ(OpenDatabase(holder, path_, nullptr), 1) << "the site is optional";
}

TEST_F(DatabaseTest, MissingFileFailsWithTheDescriptionAndAnEmptyHolder) {
  ConnectionHolder holder;
  ASSERT_EQ(OpenDatabase(holder, path_, &site_), 1);
  EXPECT_EQ(OpenDatabase(holder, dir_.File("missing.mdb"), &site_), 0);
  EXPECT_EQ(site_.error, "Connection failure: unable to open database file");
  EXPECT_FALSE(holder) << "the connection held before is released too";
}

TEST_F(DatabaseTest, ExecuteSqlCutsTheDescriptionToTheBuffer) {
  ConnectionHolder holder;
  ASSERT_EQ(OpenDatabase(holder, path_, &site_), 1);
  std::string table(700, 'x');
  std::string error = "stale";
  EXPECT_EQ(ExecuteSql(holder.get(), "SELECT * FROM " + table, &error, 500), 0);
  EXPECT_EQ(error, ("no such table: " + table).substr(0, 499));

  // A cut never splits a character: "é" would straddle the 499th byte.
  std::string accented = std::string(483, 'y') + "\xC3\xA9" + "zz";
  EXPECT_EQ(ExecuteSql(holder.get(), "SELECT * FROM " + accented, &error, 500), 0);
  EXPECT_EQ(error, "no such table: " + std::string(483, 'y'));

  EXPECT_EQ(ExecuteSql(holder.get(), "CREATE TABLE t (Name TEXT(50))", &error, 500), 1);
  EXPECT_EQ(error, "") << "emptied on success";
  EXPECT_EQ(ExecuteSql(holder.get(), "INSERT INTO t (Name) VALUES (?)", {"it's"}, &error, 500), 1);
  EXPECT_EQ(ExecuteSql(holder.get(), "INSERT INTO nowhere VALUES (1)"), 0) << "no buffer is fine";

  ConnectionHolder closed;
  EXPECT_EQ(ExecuteSql(closed.get(), "SELECT 1", &error, 200), 0);
  EXPECT_EQ(error, "Operation is not allowed when the object is closed.");
}

TEST(VariantConvertersTest, GetVariantLongTakesNumbersAndDecimalText) {
  struct Case {
    com::Variant value;
    int result;
    std::int32_t number;
  };
  const Case cases[] = {
      {com::Variant("  -42abc"), 1, -42},
      {com::Variant("+17"), 1, 17},
      {com::Variant("abc"), 1, 0},
      {com::Variant(com::Bstr()), 1, 0},
      {com::Variant("99999999999"), 1, 2147483647},
      {com::Variant(3.9), 1, 3},
      {com::Variant(-3.9), 1, -3},
      {com::Variant::R4(2.5f), 1, 2},
      {com::Variant::I2(-7), 1, -7},
      {com::Variant::UI2(65535), 1, 65535},
      {com::Variant::I4(123456), 1, 123456},
  };
  for (const Case& c : cases) {
    std::int32_t number = 555;
    EXPECT_EQ(GetVariantLong(c.value, number), c.result) << c.value.ToString();
    EXPECT_EQ(number, c.number) << c.value.ToString();
  }
  com::Variant target = com::Variant::I4(9);
  std::int32_t number = 0;
  EXPECT_EQ(GetVariantLong(com::Variant::ByRef(target), number), 1);
  EXPECT_EQ(number, 9);
}

TEST(VariantConvertersTest, WrongTypesSetTheErrorInformation) {
  const com::Variant wrong[] = {com::Variant::Date(39089.5), com::Variant::Bool(true), com::Variant::UI1(1),
                                com::Variant::I8(1)};
  for (const com::Variant& value : wrong) {
    com::ClearErrorInfo();
    std::int32_t number = 555;
    EXPECT_EQ(GetVariantLong(value, number), 0);
    EXPECT_EQ(number, 555);
    EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where long integer expected");
  }
  std::string text = "kept";
  EXPECT_EQ(GetVariantString(com::Variant::I4(1), text, 10), 0);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where string expected");
}

TEST(VariantConvertersTest, StringsAreCutAndNullIsEmpty) {
  std::string text = "stale";
  EXPECT_EQ(GetVariantString(com::Variant(com::Bstr()), text, 10), 1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(GetVariantString(com::Variant("0123456789"), text, 5), 1);
  EXPECT_EQ(text, "0123");

  com::Variant v;
  MakeVariantString(v, "Site A");
  EXPECT_EQ(v.vt(), com::VT_BSTR);
  EXPECT_EQ(v.bstr().str(), "Site A");
  MakeVariantLong(v, -5);
  EXPECT_EQ(v.vt(), com::VT_I4);
  EXPECT_EQ(v.i4(), -5);
}

// Rows go in groups; a group with a failing row is written again row by
// row, so that only that row is lost and it alone is told.
TEST_F(DatabaseTest, RowsInGroupsLoseOnlyTheRowThatFails) {
  db::Connection connection;
  connection.Open(path_);
  connection.Execute("CREATE TABLE tblNames (ID INTEGER PRIMARY KEY, Name TEXT UNIQUE)");
  connection.Execute("INSERT INTO tblNames (ID, Name) VALUES (1000, 'taken')");
  const std::size_t count = 2 * kRowsPerStatement + 8;
  const std::size_t clashing = 5;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.push_back(i == clashing ? "taken" : "n" + std::to_string(i));
  static const RowStatements kInsert("INSERT INTO tblNames (ID, Name)", "(?, ?)", "");
  std::vector<std::size_t> failed;
  std::size_t progress = 0;
  ExecuteRows(
      connection, kInsert.one, kInsert.group, count,
      [&](std::size_t i, db::RowBinder& values) {
        values.Int(static_cast<std::int32_t>(i));
        values.SharedText(names[i]);
      },
      [&](std::size_t i, const db::Error&) { failed.push_back(i); },
      [&](std::size_t n) {
        EXPECT_GE(n, progress);
        progress = n;
      });
  EXPECT_EQ(failed, std::vector<std::size_t>{clashing});
  EXPECT_EQ(progress, count);
  db::Recordset rows = connection.OpenRecordset("SELECT Count(*), Sum(ID) FROM tblNames WHERE ID < 1000");
  EXPECT_EQ(rows.Field(0).ToInt32(), static_cast<std::int32_t>(count - 1));
  EXPECT_EQ(rows.Field(1).ToInt32(), static_cast<std::int32_t>(count * (count - 1) / 2 - clashing));
}

}  // namespace
}  // namespace tf
