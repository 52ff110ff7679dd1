// The templates hold the tables and columns that the engine, the reports
// and the viewer read and write, and behave as the system expects of its
// databases: text compared without regard to case, one row per key, item
// ids never reused, and new databases free of settings rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>

#include "support/test_support.h"
#include "template_db.h"

namespace tf::test {
namespace {

using Columns = std::vector<std::pair<std::string, std::string>>;

const std::map<std::string, Columns> kSettingsTables = {
    {"tblSettingsInteger", {{"Name", "TEXT"}, {"IntegerValue", "INTEGER"}}},
    {"tblSettingsReal", {{"Name", "TEXT"}, {"RealValue", "REAL"}}},
    {"tblSettingsDate", {{"Name", "TEXT"}, {"DateValue", "DATETIME"}}},
    {"tblSettingsString", {{"Name", "TEXT"}, {"StringValue", "TEXT"}}},
    {"tblSettingsMemo", {{"Name", "TEXT"}, {"StringValue", "TEXT"}}},
};

const Columns kPeriodColumns = {
    {"EntryDate", "DATETIME"}, {"Category", "INTEGER"},   {"ItemID", "INTEGER"},
    {"Hits", "INTEGER"},       {"Bytes", "REAL"},         {"EntryCount", "INTEGER"},
    {"ExitCount", "INTEGER"},  {"SessionCount", "INTEGER"}, {"ViewTime", "INTEGER"}};

const Columns kPatternColumns = {
    {"SearchOrder", "INTEGER"}, {"DisplayName", "TEXT"}, {"Pattern", "TEXT"}};

std::map<std::string, Columns> WithSettings(std::map<std::string, Columns> tables) {
  tables.insert(kSettingsTables.begin(), kSettingsTables.end());
  return tables;
}

const std::map<std::string, std::map<std::string, Columns>> kTemplates = {
    {"TallyfoxTemplate.mdb",
     WithSettings({{"tblProjects",
                    {{"ProjectID", "INTEGER"},
                     {"ProjectName", "TEXT"},
                     {"UserName", "TEXT"},
                     {"UserPassword", "TEXT"},
                     {"DatabaseName", "TEXT"}}}})},
    {"ProjectTemplate.mdb",
     WithSettings({
         {"tblData",
          {{"ItemID", "INTEGER"}, {"Category", "INTEGER"}, {"Name", "TEXT"}, {"LastHit", "DATETIME"}}},
         {"tblHour", kPeriodColumns},
         {"tblDay", kPeriodColumns},
         {"tblVisitors",
          {{"EntryDate", "DATETIME"},
           {"IPaddress", "TEXT"},
           {"Hits", "INTEGER"},
           {"Bytes", "INTEGER"},
           {"SessionCount", "INTEGER"},
           {"ViewTime", "INTEGER"}}},
         {"tblDomains", {{"IPaddress", "TEXT"}, {"DomainName", "TEXT"}, {"LastHit", "DATETIME"}}},
         {"tblPaths",
          {{"EntryDate", "DATETIME"},
           {"ItemID", "INTEGER"},
           {"ItemID2", "INTEGER"},
           {"Hits", "INTEGER"},
           {"EntryCount", "INTEGER"},
           {"ExitCount", "INTEGER"}}},
         {"tblHitStatus",
          {{"EntryDate", "DATETIME"}, {"StatusCode", "INTEGER"}, {"ItemID", "INTEGER"}, {"Hits", "INTEGER"}}},
         {"tblTargetHits",
          {{"EntryDate", "DATETIME"},
           {"ReferringSite", "INTEGER"},
           {"ReferringCategory", "INTEGER"},
           {"KeywordPhrase", "INTEGER"},
           {"TargetPage", "INTEGER"},
           {"TargetHits", "INTEGER"},
           {"TotalSessions", "INTEGER"}}},
         {"tblTargetPages", {{"Name", "TEXT"}, {"DateAdded", "DATETIME"}}},
     })},
    {"SystemTemplate.mdb",
     {
         {"tblSearchEngines",
          {{"ServerAddress", "TEXT"}, {"ServerName", "TEXT"}, {"StartString", "TEXT"}, {"EndString", "TEXT"}}},
         {"tblBrowsers", kPatternColumns},
         {"tblBrowserAddons", kPatternColumns},
         {"tblPlatforms", kPatternColumns},
         {"tblSpiders", kPatternColumns},
         {"tblLanguages", kPatternColumns},
         {"tblhelpfiles", {{"id", "INTEGER"}, {"helpname", "TEXT"}, {"helptext", "TEXT"}}},
     }},
};

// The columns whose values the writers keep unique, per template and table.
const std::map<std::string, std::map<std::string, std::vector<std::string>>> kKeys = {
    {"TallyfoxTemplate.mdb", {{"tblProjects", {"ProjectID"}}}},
    {"ProjectTemplate.mdb",
     {{"tblData", {"Category", "Name"}},
      {"tblHour", {"Category", "ItemID", "EntryDate"}},
      {"tblDay", {"Category", "ItemID", "EntryDate"}},
      {"tblVisitors", {"IPaddress", "EntryDate"}},
      {"tblDomains", {"IPaddress"}},
      {"tblPaths", {"EntryDate", "ItemID", "ItemID2"}},
      {"tblHitStatus", {"StatusCode", "ItemID", "EntryDate"}},
      {"tblTargetHits", {"ReferringSite", "ReferringCategory", "KeywordPhrase", "TargetPage", "EntryDate"}}}},
    {"SystemTemplate.mdb",
     {{"tblSearchEngines", {"ServerAddress", "StartString"}},
      {"tblBrowsers", {"Pattern"}},
      {"tblBrowserAddons", {"Pattern"}},
      {"tblPlatforms", {"Pattern"}},
      {"tblSpiders", {"Pattern"}},
      {"tblLanguages", {"Pattern"}},
      {"tblhelpfiles", {"id"}}}},
};

std::vector<std::string> KeysOf(const std::map<std::string, Columns>& tables) {
  std::vector<std::string> names;
  for (const auto& [name, columns] : tables) names.push_back(name);
  return names;
}

// A copy of a template in a temporary folder, for tests that write.
class TemplateCopy {
 public:
  explicit TemplateCopy(const std::string& name) : path_(dir_.File(name)) {
    std::filesystem::copy_file(TemplatePath(name), path_);
    db_ = std::make_unique<TemplateDb>(path_, true);
  }
  const TemplateDb& db() const { return *db_; }

 private:
  TempDir dir_;
  std::string path_;
  std::unique_ptr<TemplateDb> db_;
};

// A value for one column: text in mixed case, so that a test can look it up
// in another case; `variant` changes it while keeping it valid.
std::string Literal(const std::string& type, int variant, bool upper_case) {
  if (type == "TEXT") return upper_case ? "'MIXED" + std::to_string(variant) + "'"
                                        : "'MiXeD" + std::to_string(variant) + "'";
  if (type == "DATETIME") return "'2007-01-0" + std::to_string(variant + 1) + " 13:00:00'";
  if (type == "REAL") return std::to_string(variant) + ".5";
  return std::to_string(1000 + variant);  // clear of the ids the templates ship
}

// INSERT of one row whose key columns take `key_variant` and whose other
// columns take `other_variant`; an autonumber column is left to the database.
std::string InsertRow(const TemplateDb& db, const std::string& table,
                      const std::vector<std::string>& key, int key_variant, int other_variant,
                      bool upper_case) {
  std::string names, values;
  for (const Row& column : db.Query("SELECT name, type, pk FROM pragma_table_info('" + table + "')")) {
    bool in_key = std::find(key.begin(), key.end(), column[0]) != key.end();
    if (column[2] == "1" && !in_key) continue;
    names += (names.empty() ? "" : ", ") + column[0];
    values += (values.empty() ? "" : ", ") +
              Literal(column[1], in_key ? key_variant : other_variant, upper_case);
  }
  return "INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")";
}

TEST(TemplateSchema, TemplatesHoldTheirTablesWithTheirColumns) {
  for (const auto& [file, tables] : kTemplates) {
    SCOPED_TRACE(file);
    TemplateDb db(TemplatePath(file));
    std::vector<std::string> expected = KeysOf(tables);
    EXPECT_EQ(db.Tables(), expected);
    for (const auto& [table, columns] : tables) {
      SCOPED_TRACE(table);
      EXPECT_EQ(db.Columns(table), columns);
    }
  }
}

TEST(TemplateSchema, TextColumnsCompareWithoutRegardToCase) {
  for (const auto& [file, tables] : kTemplates) {
    TemplateCopy copy(file);
    for (const auto& [table, columns] : tables) {
      SCOPED_TRACE(file + " " + table);
      ASSERT_EQ(copy.db().Exec(InsertRow(copy.db(), table, {}, 0, 0, false)), SQLITE_DONE);
      for (const auto& [column, type] : columns) {
        if (type != "TEXT") continue;
        SCOPED_TRACE(column);
        auto found = copy.db().Query("SELECT count(*) FROM " + table + " WHERE " + column +
                                     " = 'mixed0'");
        EXPECT_EQ(found[0][0], "1");
      }
    }
  }
}

TEST(TemplateSchema, KeysAllowOneRowPerKey) {
  for (const auto& [file, tables] : kTemplates) {
    TemplateCopy copy(file);
    for (const auto& [table, columns] : tables) {
      SCOPED_TRACE(file + " " + table);
      auto keys = kKeys.find(file);
      std::vector<std::string> key;
      if (keys != kKeys.end() && keys->second.count(table)) key = keys->second.at(table);
      if (kSettingsTables.count(table)) key = {"Name"};

      ASSERT_EQ(copy.db().Exec(InsertRow(copy.db(), table, key, 0, 0, false)), SQLITE_DONE);
      // The same key again, its texts in another case, the other columns changed.
      int again = copy.db().Exec(InsertRow(copy.db(), table, key, 0, 1, true));
      if (key.empty()) {
        EXPECT_EQ(again, SQLITE_DONE) << "a table without a key takes any row";
      } else {
        EXPECT_EQ(again, SQLITE_CONSTRAINT) << "second row for one key";
        EXPECT_EQ(copy.db().Exec(InsertRow(copy.db(), table, key, 1, 0, false)), SQLITE_DONE)
            << "a row with another key";
      }
    }
  }
}

TEST(ProjectTemplate, ItemIdsAreNeverReused) {
  TemplateCopy copy("ProjectTemplate.mdb");
  const TemplateDb& db = copy.db();
  ASSERT_EQ(db.Exec("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, '/a.htm', '2007-01-07 13:00:00')"),
            SQLITE_DONE);
  ASSERT_EQ(db.Exec("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, '/b.htm', '2007-01-07 13:00:00')"),
            SQLITE_DONE);
  ASSERT_EQ(db.Exec("DELETE FROM tblData"), SQLITE_DONE);
  ASSERT_EQ(db.Exec("INSERT INTO tblData (Category, Name, LastHit) VALUES (1, '/a.htm', '2007-01-07 14:00:00')"),
            SQLITE_DONE);
  EXPECT_EQ(db.Query("SELECT ItemID FROM tblData")[0][0], "3");
}

TEST(ProjectTemplate, BytesSumBeyondThirtyTwoBits) {
  TemplateCopy copy("ProjectTemplate.mdb");
  const TemplateDb& db = copy.db();
  ASSERT_EQ(db.Exec("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes) "
                    "VALUES ('2007-01-07 00:00:00', 1, 5, 1, 2147483647)"),
            SQLITE_DONE);
  ASSERT_EQ(db.Exec("UPDATE tblDay SET Bytes = Bytes + 2147483647"), SQLITE_DONE);
  EXPECT_EQ(std::stod(db.Query("SELECT Bytes FROM tblDay")[0][0]), 4294967294.0);
}

TEST(TemplateContent, NewDatabasesStartWithoutSitesOrEngineSettings) {
  TemplateDb projects(TemplatePath("TallyfoxTemplate.mdb"));
  TemplateDb site(TemplatePath("ProjectTemplate.mdb"));
  EXPECT_EQ(projects.Query("SELECT count(*) FROM tblProjects")[0][0], "0");
  for (const auto& [table, columns] : kSettingsTables) {
    SCOPED_TRACE(table);
    EXPECT_EQ(projects.Query("SELECT count(*) FROM " + table)[0][0], "0");
    // The report display rows are the only rows a new site database has.
    EXPECT_EQ(site.Query("SELECT count(*) FROM " + table + " WHERE Name NOT LIKE 'Stats%'")[0][0], "0");
  }
  for (const char* table : {"tblData", "tblHour", "tblDay", "tblVisitors", "tblDomains", "tblPaths",
                            "tblHitStatus", "tblTargetHits", "tblTargetPages"}) {
    EXPECT_EQ(site.Query(std::string("SELECT count(*) FROM ") + table)[0][0], "0") << table;
  }
}

// Relative luminance and contrast ratio of two RRGGBB colours.
double Luminance(const std::string& rrggbb) {
  double channels[3];
  for (int i = 0; i < 3; ++i) {
    double c = std::stoi(rrggbb.substr(2 * i, 2), nullptr, 16) / 255.0;
    channels[i] = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  }
  return 0.2126 * channels[0] + 0.7152 * channels[1] + 0.0722 * channels[2];
}

double Contrast(const std::string& a, const std::string& b) {
  double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ProjectTemplate, ReportColoursAndSizesMakeAReadablePage) {
  TemplateDb site(TemplatePath("ProjectTemplate.mdb"));
  std::map<std::string, std::string> colours;
  for (const Row& row : site.Query("SELECT Name, StringValue FROM tblSettingsString")) {
    colours[row[0]] = row[1];
  }
  const std::set<std::string> names = {
      "StatsBackgroundColor1",      "StatsBackgroundColor2", "StatsForegroundColor",
      "StatsHeaderBackgroundColor", "StatsHeaderForegroundColor", "StatsLinkColor",
      "StatsLinkColorHover",        "StatsPageBackgroundColor"};
  ASSERT_EQ(colours.size(), names.size());
  for (const auto& [name, value] : colours) {
    EXPECT_TRUE(names.count(name)) << name;
    EXPECT_TRUE(std::regex_match(value, std::regex("[0-9A-F]{6}"))) << name << " = " << value;
  }

  const double kText = 4.5;  // the usual minimum for body text
  EXPECT_GE(Contrast(colours["StatsHeaderForegroundColor"], colours["StatsHeaderBackgroundColor"]), kText);
  for (const char* ground : {"StatsBackgroundColor1", "StatsBackgroundColor2", "StatsPageBackgroundColor"}) {
    for (const char* ink : {"StatsForegroundColor", "StatsLinkColor", "StatsLinkColorHover"}) {
      EXPECT_GE(Contrast(colours[ink], colours[ground]), kText) << ink << " on " << ground;
    }
  }
  EXPECT_NE(colours["StatsBackgroundColor1"], colours["StatsBackgroundColor2"])
      << "alternating rows must be told apart";

  std::map<std::string, int> sizes;
  for (const Row& row : site.Query("SELECT Name, IntegerValue FROM tblSettingsInteger")) {
    sizes[row[0]] = std::stoi(row[1]);
  }
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_GE(sizes["StatsTextSize"], 11);
  EXPECT_LE(sizes["StatsTextSize"], 16);
  EXPECT_GE(sizes["StatsHeaderTextSize"], sizes["StatsTextSize"]);
  EXPECT_LE(sizes["StatsHeaderTextSize"], 24);
}

}  // namespace
}  // namespace tf::test
