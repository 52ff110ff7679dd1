#include <filesystem>

#include "support/test_support.h"
#include "system_lists.h"

namespace tf::test {
namespace {

// Works on a copy: opening a database may set up its journal, and the
// built template must stay as built.
// The folder goes only after the connection is closed.
struct TemplateCopy {
  TemplateCopy() {
    std::string copy = dir.File("SystemTemplate.mdb");
    std::filesystem::copy_file(BuildPath("data/SystemTemplate.mdb"), copy);
    connection.Open(copy);
  }
  TempDir dir;
  db::Connection connection;
};

}  // namespace

const SystemPatternLists& TemplatePatternLists() {
  static const SystemPatternLists lists = [] {
    TemplateCopy copy;
    return ReadPatternLists(copy.connection);
  }();
  return lists;
}

void LoadTemplateEngines(TestEngineList& engines) {
  TemplateCopy copy;
  ReadSearchEngines(copy.connection, engines);
}

}  // namespace tf::test
