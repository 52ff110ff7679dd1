#include "engine/store/system_data.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/message_box.h"
#include "install_folder.h"

namespace tf {
namespace {

class SystemDataTest : public testing::Test {
 protected:
  // Opens the system database, made from the template; `statements` change
  // it before the lists are loaded.
  bool Load(const std::string& statements = "") {
    if (!system_.OpenSystemDatabase()) return false;
    if (!statements.empty()) install_.Sql("TallyfoxSystem.mdb", statements);
    return system_.LoadReferenceTables();
  }
  int Delimiters(const SearchEngineEntry& engine) {
    int n = 0;
    for (auto* d = engine.delimiters.load(); d != nullptr; d = d->next) ++n;
    return n;
  }

  test::InstallFolder install_;
  CSystemData system_;
};

TEST_F(SystemDataTest, ReferenceListsLoadFromTheTemplate) {
  ASSERT_TRUE(Load());
  EXPECT_TRUE(std::filesystem::exists(install_.File("TallyfoxSystem.mdb")));
  for (auto* list : {&system_.browsers, &system_.browser_addons, &system_.platforms,
                     &system_.spiders, &system_.languages}) {
    EXPECT_FALSE(list->empty());
  }
  EXPECT_EQ(system_.browsers.front().DisplayName,
            install_.Value("TallyfoxSystem.mdb",
                           "SELECT DisplayName FROM tblBrowsers ORDER BY SearchOrder LIMIT 1"));
  SearchEngineEntry* google = system_.FindSearchEngine("google.com");
  ASSERT_NE(google, nullptr);
  bool has_q = false;
  for (auto* d = google->delimiters.load(); d != nullptr; d = d->next)
    has_q |= d->StartString == "q";
  EXPECT_TRUE(has_q);
}

TEST_F(SystemDataTest, EmptyTableFailsTheLoadAndStopsIt) {
  ASSERT_FALSE(Load("DELETE FROM tblSpiders"));
  EXPECT_FALSE(system_.browser_addons.empty()) << "loaded before the spiders";
  EXPECT_TRUE(system_.platforms.empty()) << "not read after the failure";
  EXPECT_TRUE(system_.languages.empty());
}

TEST_F(SystemDataTest, NullPatternFailsTheLoad) {
  EXPECT_FALSE(
      Load("CREATE TABLE t AS SELECT * FROM tblLanguages; DROP TABLE tblLanguages;"
           "CREATE TABLE tblLanguages (SearchOrder INTEGER, DisplayName TEXT, Pattern TEXT);"
           "INSERT INTO tblLanguages VALUES (1, 'English', NULL)"));
}

TEST_F(SystemDataTest, SearchEngineRowsMergeByNormalisedAddress) {
  ASSERT_TRUE(
      Load("DELETE FROM tblSearchEngines;"
           "INSERT INTO tblSearchEngines VALUES ('WWW.Finder.example', 'Finder', 'q', '&');"
           "INSERT INTO tblSearchEngines VALUES ('finder.example', 'Other name', 'query', '&');"
           "INSERT INTO tblSearchEngines VALUES ('nodot', 'Nodot', 'q', '&');"
           "INSERT INTO tblSearchEngines VALUES ('half.example', 'Half', 'q', '');"
           "INSERT INTO tblSearchEngines VALUES ('seek.example', 'Seek', 'p', '&')"));
  SearchEngineEntry* finder = system_.FindSearchEngine("finder.example");
  ASSERT_NE(finder, nullptr);
  EXPECT_EQ(finder->ServerName, "finder");
  ASSERT_EQ(Delimiters(*finder), 2);
  EXPECT_EQ(finder->delimiters.load()->StartString, "query") << "the second row's comes first";
  EXPECT_EQ(system_.FindSearchEngine("nodot"), nullptr);
  EXPECT_EQ(system_.FindSearchEngine("half.example"), nullptr);

  std::vector<std::string> order;
  for (auto* e = system_.search_engines(); e != nullptr; e = e->next)
    order.push_back(e->ServerAddress);
  EXPECT_EQ(order, (std::vector<std::string>{"seek.example", "finder.example"}));
}

TEST_F(SystemDataTest, MissingTemplateIsReported) {
  std::vector<std::string> messages;
  auto previous =
      SetMessageBoxHandler([&](std::string_view text, std::string_view caption, unsigned) {
        messages.push_back(std::string(caption) + ": " + std::string(text));
        return kIdOk;
      });
  std::filesystem::remove(install_.File("SystemTemplate.mdb"));
  EXPECT_FALSE(system_.OpenSystemDatabase());
  SetMessageBoxHandler(previous);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Error opening TallyfoxSystem.mdb database: The TallyfoxSystem.mdb "
            "database does not exist, and Tallyfox is unable to initialize it from "
            "SystemTemplate.mdb");
}

TEST(ThreadPriorityTest, OnlyOneAndThreeLeaveBelowNormal) {
  const std::pair<int, ThreadPriority> cases[] = {{1, THREAD_PRIORITY_LOWEST},
                                                  {3, THREAD_PRIORITY_NORMAL},
                                                  {0, THREAD_PRIORITY_BELOW_NORMAL},
                                                  {2, THREAD_PRIORITY_BELOW_NORMAL},
                                                  {4, THREAD_PRIORITY_BELOW_NORMAL}};
  for (auto [priority, expected] : cases) {
    CSystemData system;
    system.RunPriority = priority;
    EXPECT_EQ(system.GetThreadPriority(), expected) << priority;
  }
}

}  // namespace
}  // namespace tf
