// Direct SQLite access to the built database templates, for the tests of
// their content. The system itself reads them through the database layer.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace tf::test {

// Path of a template built into the build tree ("SystemTemplate.mdb" ...).
std::string TemplatePath(const std::string& name);

// One row of a query; NULL reads as the empty text and is flagged.
struct Row {
  std::vector<std::string> values;
  std::vector<bool> nulls;
  const std::string& operator[](size_t i) const { return values.at(i); }
};

class TemplateDb {
 public:
  // Opens the file read-only, or writable when the test works on a copy.
  explicit TemplateDb(const std::string& path, bool writable = false);
  ~TemplateDb();
  TemplateDb(const TemplateDb&) = delete;
  TemplateDb& operator=(const TemplateDb&) = delete;

  // Runs one statement and returns its rows; a failing statement fails the
  // calling test through an exception.
  std::vector<Row> Query(const std::string& sql) const;
  // Runs one statement and returns SQLite's result code (SQLITE_DONE when
  // it succeeded), for statements that are expected to fail.
  int Exec(const std::string& sql) const;

  std::vector<std::string> Tables() const;
  // Column name and declared type, in table order.
  std::vector<std::pair<std::string, std::string>> Columns(const std::string& table) const;

 private:
  sqlite3* db_ = nullptr;
};

// Reads a whole reference or settings table column as texts.
std::vector<std::string> Column(const TemplateDb& db, const std::string& sql);

}  // namespace tf::test
