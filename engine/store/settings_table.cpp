#include "engine/store/settings_table.h"

#include "engine/store/database.h"
#include "engine/store/field_values.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

struct TableStatements {
  const char* read;
  const char* select_row;
  const char* insert;
  const char* column;
};

const TableStatements& Statements(SettingsTable table) {
  static const TableStatements kStatements[] = {
      {"SELECT IntegerValue FROM tblSettingsInteger WHERE Name=?",
       "SELECT * FROM tblSettingsInteger WHERE Name=?",
       "INSERT INTO tblSettingsInteger (Name, IntegerValue) VALUES (?, ?)", "IntegerValue"},
      {"SELECT RealValue FROM tblSettingsReal WHERE Name=?",
       "SELECT * FROM tblSettingsReal WHERE Name=?",
       "INSERT INTO tblSettingsReal (Name, RealValue) VALUES (?, ?)", "RealValue"},
      {"SELECT DateValue FROM tblSettingsDate WHERE Name=?",
       "SELECT * FROM tblSettingsDate WHERE Name=?",
       "INSERT INTO tblSettingsDate (Name, DateValue) VALUES (?, ?)", "DateValue"},
      {"SELECT StringValue FROM tblSettingsString WHERE Name=?",
       "SELECT * FROM tblSettingsString WHERE Name=?",
       "INSERT INTO tblSettingsString (Name, StringValue) VALUES (?, ?)", "StringValue"},
      {"SELECT StringValue FROM tblSettingsMemo WHERE Name=?",
       "SELECT * FROM tblSettingsMemo WHERE Name=?",
       "INSERT INTO tblSettingsMemo (Name, StringValue) VALUES (?, ?)", "StringValue"},
  };
  return kStatements[static_cast<int>(table)];
}

db::Connection& Require(db::Connection* connection) {
  if (connection == nullptr) {
    throw db::Error(0, "Operation is not allowed when the object is closed.");
  }
  return *connection;
}

bool SameValue(SettingsTable table, const com::Variant& stored, const com::Variant& value) {
  if (stored.is_null()) return false;
  switch (table) {
    case SettingsTable::kInteger: return stored.ToInt32() == value.ToInt32();
    case SettingsTable::kReal: return stored.ToDouble() == value.ToDouble();
    case SettingsTable::kDate: return DateFieldValue(stored) == DateFieldValue(value);
    case SettingsTable::kString:
    case SettingsTable::kMemo: return stored.ToString() == value.ToString();
  }
  return false;
}

}  // namespace

std::optional<com::Variant> ReadSetting(db::Connection* connection, SettingsTable table,
                                        std::string_view key) {
  try {
    db::Recordset rs;
    rs.Open(Statements(table).read, Require(connection), {com::Variant(key)}, db::kOpenKeyset,
            db::kLockOptimistic);
    if (rs.IsEof()) return std::nullopt;
    return rs.Field(0);
  } catch (const db::Error&) {
    return std::nullopt;
  }
}

bool UpdateSetting(db::Connection* connection, SettingsTable table, std::string_view key,
                   const com::Variant& value) {
  const TableStatements& statements = Statements(table);
  db::Recordset rs;
  rs.Open(statements.select_row, Require(connection), {com::Variant(key)}, db::kOpenDynamic,
          db::kLockPessimistic);
  if (rs.IsEof()) return false;
  if (!SameValue(table, rs.Field(statements.column), value)) {
    rs.SetField(statements.column, value);
    rs.Update();
  }
  return true;
}

bool InsertSetting(db::Connection* connection, SettingsTable table, std::string_view key,
                   const com::Variant& value, std::string& error, std::size_t size) {
  return ExecuteSql(connection, Statements(table).insert, {com::Variant(key), value}, &error,
                    size) != 0;
}

}  // namespace tf
