#include "template_db.h"

#include <stdexcept>

#include "support/test_support.h"

namespace tf::test {

std::string TemplatePath(const std::string& name) { return BuildPath("data/" + name); }

TemplateDb::TemplateDb(const std::string& path, bool writable) {
  int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error("cannot open " + path + ": " + message);
  }
}

TemplateDb::~TemplateDb() { sqlite3_close(db_); }

std::vector<Row> TemplateDb::Query(const std::string& sql) const {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
  }
  std::vector<Row> rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row.nulls.push_back(text == nullptr);
      row.values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
  return rows;
}

int TemplateDb::Exec(const std::string& sql) const {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
  if (rc != SQLITE_OK) return rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  sqlite3_finalize(stmt);
  return rc;
}

std::vector<std::string> TemplateDb::Tables() const {
  return Column(*this,
                "SELECT name FROM sqlite_master WHERE type = 'table' "
                "AND name NOT LIKE 'sqlite_%' ORDER BY name");
}

std::vector<std::pair<std::string, std::string>> TemplateDb::Columns(
    const std::string& table) const {
  std::vector<std::pair<std::string, std::string>> columns;
  for (const Row& row : Query("SELECT name, type FROM pragma_table_info('" + table + "')")) {
    columns.emplace_back(row[0], row[1]);
  }
  return columns;
}

std::vector<std::string> Column(const TemplateDb& db, const std::string& sql) {
  std::vector<std::string> values;
  for (const Row& row : db.Query(sql)) values.push_back(row[0]);
  return values;
}

}  // namespace tf::test
