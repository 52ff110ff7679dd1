// The 32 help topics that the reports' help icons open, one per help
// number, each a well-formed HTML fragment.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "template_db.h"

namespace tf::test {
namespace {

TEST(HelpTopics, OneTopicPerHelpNumberInSectionOrder) {
  const std::vector<std::string> titles = {
      "General Statistics",       "Sessions",
      "Visitors",                 "Hits",
      "Bandwidth",                "Usage By Hour of the Day",
      "Most Popular Day of the Week", "Operating Systems",
      "Operating System Versions", "Browsers",
      "Browser Name/Version",     "Browser Add-Ons",
      "Entry Pages",              "Exit Pages",
      "Referring Web Sites",      "Referring Web Pages",
      "Requested Images",         "Requested HTML Pages",
      "Requested Document Pages", "Requested Form Pages",
      "Requested Program Pages",  "Requested Other Pages",
      "Search Engines",           "Search Engine Phrases",
      "Search Engine Keywords",   "Spiders",
      "Languages",                "Regions",
      "Visiting Domains",         "Target Pages",
      "Server Errors",            "Paths"};
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  std::vector<Row> rows = db.Query("select id, helpname, helptext from tblhelpfiles order by id");
  ASSERT_EQ(rows.size(), titles.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][0], std::to_string(i + 1));
    EXPECT_EQ(rows[i][1], titles[i]);
    EXPECT_GT(rows[i][2].size(), 100u) << titles[i];
  }
}

TEST(HelpTopics, TextsAreBalancedHtmlFragments) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  const std::regex tag("<(/?)([a-z]+)[^>]*>");
  for (const Row& row : db.Query("select helpname, helptext from tblhelpfiles")) {
    SCOPED_TRACE(row[0]);
    std::vector<std::string> open;
    const std::string& text = row[1];
    for (std::sregex_iterator it(text.begin(), text.end(), tag), end; it != end; ++it) {
      std::string name = (*it)[2];
      if ((*it)[1] == "/") {
        ASSERT_FALSE(open.empty()) << "</" << name << "> closes nothing";
        EXPECT_EQ(open.back(), name);
        open.pop_back();
      } else {
        open.push_back(name);
      }
    }
    EXPECT_TRUE(open.empty()) << "<" << (open.empty() ? "" : open.back()) << "> left open";
    // Text between tags needs no markup characters of its own.
    std::string plain = std::regex_replace(text, tag, "");
    EXPECT_EQ(plain.find_first_of("<>"), std::string::npos);
  }
}

}  // namespace
}  // namespace tf::test
