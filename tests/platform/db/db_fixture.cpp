#include "db_fixture.h"

#include <sqlite3.h>

namespace tf::db {

void DbTest::SetUp() {
  path_ = dir_.File("Project0001.mdb");
  CreateDatabase(path_);
  db_.Open(path_);
  db_.Execute("CREATE TABLE tblData (ItemID COUNTER CONSTRAINT pkData PRIMARY KEY, Category LONG, "
              "Name TEXT(254), LastHit DATETIME)");
  db_.Execute("CREATE TABLE tblDay (EntryDate DATETIME, Category LONG, ItemID LONG, Hits LONG, "
              "Bytes DOUBLE, SessionCount LONG)");
  db_.Execute("CREATE TABLE tblSettingsString (Name TEXT(255), StringValue TEXT(255))");
}

com::Variant DbTest::Scalar(const std::string& sql, const Params& params) {
  Recordset rs;
  rs.Open(sql, db_, params);
  EXPECT_FALSE(rs.IsEof()) << sql;
  return rs.IsEof() ? com::Variant() : rs.Field(0);
}

std::vector<std::string> DbTest::Column(const std::string& sql) {
  std::vector<std::string> values;
  Recordset rs;
  for (rs.Open(sql, db_); !rs.IsEof(); rs.MoveNext()) values.push_back(rs.Field(0).ToString());
  return values;
}

std::string DbTest::RawText(const std::string& sql) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  std::string text = "<none>";
  if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(stmt, 0);
    text = t ? reinterpret_cast<const char*>(t) : "<null>";
  }
  sqlite3_finalize(stmt);
  sqlite3_close(raw);
  return text;
}

}  // namespace tf::db
