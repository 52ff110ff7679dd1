#include "system_lists.h"

#include <filesystem>

#include "engine/analysis/host_name.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "support/test_support.h"

namespace tf::test {
namespace {

// Works on a copy: opening a database may set up its journal, and the
// built template must stay as built.
class TemplateCopy {
 public:
  TemplateCopy() {
    std::string copy = dir_.File("SystemTemplate.mdb");
    std::filesystem::copy_file(BuildPath("data/SystemTemplate.mdb"), copy);
    connection_.Open(copy);
  }
  std::vector<ListedPattern> Patterns(const std::string& table) {
    std::vector<ListedPattern> list;
    db::Recordset rs;
    rs.Open("select DisplayName, Pattern from " + table + " order by SearchOrder", connection_);
    for (; !rs.IsEof(); rs.MoveNext()) {
      list.push_back({rs.Field("DisplayName").ToString(), rs.Field("Pattern").ToString()});
    }
    return list;
  }
  db::Connection& connection() { return connection_; }

 private:
  TempDir dir_;
  db::Connection connection_;
};

}  // namespace

const SystemPatternLists& TemplatePatternLists() {
  static const SystemPatternLists lists = [] {
    TemplateCopy db;
    SystemPatternLists l;
    l.browsers = db.Patterns("tblBrowsers");
    l.browser_addons = db.Patterns("tblBrowserAddons");
    l.platforms = db.Patterns("tblPlatforms");
    l.languages = db.Patterns("tblLanguages");
    l.spiders = db.Patterns("tblSpiders");
    return l;
  }();
  return lists;
}

void LoadTemplateEngines(TestEngineList& engines) {
  TemplateCopy db;
  db::Recordset rs;
  rs.Open("select * from tblSearchEngines", db.connection());
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
