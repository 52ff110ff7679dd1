// The reference lists of the system template: every list is filled, every
// value fits the field it is loaded into and is usable as loaded, and the
// search engines are stored in the form the referrer analysis looks up.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "engine/common/host_name.h"
#include "template_db.h"

namespace tf::test {
namespace {

const char* const kPatternTables[] = {"tblBrowsers", "tblBrowserAddons", "tblPlatforms", "tblSpiders",
                                      "tblLanguages"};

TEST(ReferenceLists, EveryListIsFilledWithoutEmptyValues) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  // A null value anywhere makes the whole list fail to load.
  const std::map<std::string, std::string> columns = {
      {"tblSearchEngines", "ServerAddress, ServerName, StartString, EndString"},
      {"tblBrowsers", "SearchOrder, DisplayName, Pattern"},
      {"tblBrowserAddons", "SearchOrder, DisplayName, Pattern"},
      {"tblPlatforms", "SearchOrder, DisplayName, Pattern"},
      {"tblSpiders", "SearchOrder, DisplayName, Pattern"},
      {"tblLanguages", "SearchOrder, DisplayName, Pattern"}};
  for (const auto& [table, names] : columns) {
    SCOPED_TRACE(table);
    std::vector<Row> rows = db.Query("select " + names + " from " + table);
    EXPECT_GE(rows.size(), 40u);
    for (const Row& row : rows) {
      for (size_t i = 0; i < row.values.size(); ++i) {
        EXPECT_FALSE(row.nulls[i]);
        EXPECT_FALSE(row[i].empty());
      }
    }
  }
}

TEST(ReferenceLists, ValuesFitTheirFields) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  struct Limit {
    std::string table, column;
    size_t max;
  };
  std::vector<Limit> limits = {{"tblSearchEngines", "ServerAddress", 99},
                               {"tblSearchEngines", "ServerName", 59},
                               {"tblSearchEngines", "StartString", 29},
                               {"tblSearchEngines", "EndString", 29},
                               {"tblLanguages", "DisplayName", 49},
                               // every form "MSNm" code "-" fits the search buffer
                               {"tblLanguages", "Pattern", 14}};
  for (const char* table : {"tblBrowsers", "tblBrowserAddons", "tblPlatforms", "tblSpiders"}) {
    limits.push_back({table, "DisplayName", 49});
    limits.push_back({table, "Pattern", 49});
  }
  for (const Limit& limit : limits) {
    for (const std::string& value : Column(db, "select " + limit.column + " from " + limit.table)) {
      SCOPED_TRACE(limit.table + "." + limit.column + ": " + value);
      EXPECT_LE(value.size(), limit.max);
      // Plain printable ASCII: a cut can then never split a character.
      for (unsigned char c : value) EXPECT_TRUE(c >= 0x20 && c < 0x7f);
    }
  }
}

TEST(ReferenceLists, SearchOrderGivesEveryRowItsPlace) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  for (const char* table : kPatternTables) {
    auto counts = db.Query(std::string("select count(*), count(distinct SearchOrder) from ") + table);
    EXPECT_EQ(counts[0][0], counts[0][1]) << table;
  }
}

TEST(ReferenceLists, LanguageCodesAreLowerCaseCodes) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  for (const std::string& code : Column(db, "select Pattern from tblLanguages")) {
    EXPECT_TRUE(std::regex_match(code, std::regex("[a-z]{2,3}"))) << code;
  }
}

std::string NormalizedHost(std::string host) {
  NormalizeHost(host);
  return host;
}

TEST(SearchEngines, RowsAreStoredAsTheyAreLookedUp) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  std::map<std::string, std::string> name_of;
  for (const Row& row : db.Query("select ServerAddress, ServerName, StartString, EndString from tblSearchEngines")) {
    const std::string& address = row[0];
    SCOPED_TRACE(address + " " + row[2]);
    // Rows without these are skipped by the load.
    EXPECT_NE(address.find('.'), std::string::npos);
    EXPECT_FALSE(row[1].empty());
    EXPECT_FALSE(row[3].empty());
    // The engine index is keyed by the normalised address; any other form
    // would never be found.
    EXPECT_EQ(NormalizedHost(address), address);
    EXPECT_TRUE(std::regex_match(address, std::regex("[a-z0-9.-]+")));
    EXPECT_FALSE(NormalizedHost(row[1]).empty());
    // The parameter is searched as "&key=" or "?key=".
    EXPECT_TRUE(std::regex_match(row[2], std::regex("[A-Za-z0-9_]+")));
    EXPECT_EQ(row[3], "&");
    // The first row of an address names the engine for all its rows.
    auto [it, added] = name_of.emplace(address, row[1]);
    EXPECT_EQ(it->second, row[1]) << "one engine, one name";
  }
}

TEST(SearchEngines, WellKnownEnginesCarryTheirPhraseParameters) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  std::set<std::pair<std::string, std::string>> keys;
  for (const Row& row : db.Query("select ServerAddress, StartString from tblSearchEngines")) {
    keys.emplace(row[0], row[1]);
  }
  const std::pair<std::string, std::string> expected[] = {
      {"google.com", "q"},   {"google.co.uk", "q"}, {"google.de", "q"},   {"google.com.br", "q"},
      {"bing.com", "q"},     {"yahoo.com", "p"},    {"uk.search.yahoo.com", "p"},
      {"duckduckgo.com", "q"}, {"yandex.ru", "text"}, {"baidu.com", "wd"}, {"naver.com", "query"},
      {"seznam.cz", "q"},    {"ecosia.org", "q"},   {"ask.com", "q"},     {"aol.com", "q"},
      {"altavista.com", "q"}, {"lycos.com", "query"}};
  for (const auto& key : expected) {
    EXPECT_TRUE(keys.count(key)) << key.first << " " << key.second;
  }
}

}  // namespace
}  // namespace tf::test
