#include "system_lists.h"

#include <memory>

#include "engine/analysis/host_name.h"
#include "platform/db/recordset.h"

namespace tf::test {
namespace {

std::vector<ListedPattern> Patterns(db::Connection& connection, const std::string& table) {
  std::vector<ListedPattern> list;
  db::Recordset rs;
  rs.Open("select DisplayName, Pattern from " + table + " order by SearchOrder", connection);
  for (; !rs.IsEof(); rs.MoveNext()) {
    list.push_back({rs.Field("DisplayName").ToString(), rs.Field("Pattern").ToString()});
  }
  return list;
}

}  // namespace

SystemPatternLists ReadPatternLists(db::Connection& connection) {
  SystemPatternLists lists;
  lists.browsers = Patterns(connection, "tblBrowsers");
  lists.browser_addons = Patterns(connection, "tblBrowserAddons");
  lists.platforms = Patterns(connection, "tblPlatforms");
  lists.languages = Patterns(connection, "tblLanguages");
  lists.spiders = Patterns(connection, "tblSpiders");
  return lists;
}

void ReadSearchEngines(db::Connection& connection, TestEngineList& engines) {
  db::Recordset rs;
  rs.Open("select * from tblSearchEngines", connection);
  for (; !rs.IsEof(); rs.MoveNext()) {
    auto entry = std::make_unique<TestEngineList::Engine>();
    auto delimiter = std::make_unique<TestEngineList::Delimiter>();
    entry->ServerAddress = rs.Field("ServerAddress").ToString();
    NormalizeHost(entry->ServerAddress);
    entry->ServerName = rs.Field("ServerName").ToString();
    NormalizeHost(entry->ServerName);
    delimiter->StartString = rs.Field("StartString").ToString();
    delimiter->EndString = rs.Field("EndString").ToString();
    engines.AddSearchEngine(std::move(entry), std::move(delimiter));
  }
}

}  // namespace tf::test
