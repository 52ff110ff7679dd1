// The reference lists of a system database, read through the database
// layer, for tests and benchmarks that classify with the lists the system
// ships.
#pragma once

#include <string>
#include <vector>

#include "platform/db/connection.h"
#include "test_engine_list.h"

namespace tf::test {

struct ListedPattern {
  std::string DisplayName;
  std::string Pattern;
};

// The five pattern lists under the names the system data gives them.
struct SystemPatternLists {
  std::vector<ListedPattern> browsers, browser_addons, platforms, languages, spiders;
};

SystemPatternLists ReadPatternLists(db::Connection& connection);
// The search engines, read the way the system reads them (addresses and
// names host-normalised, one delimiter per row).
void ReadSearchEngines(db::Connection& connection, TestEngineList& engines);

// From a copy of the built SystemTemplate.mdb (tests only); the pattern
// lists are read once per test process.
const SystemPatternLists& TemplatePatternLists();
void LoadTemplateEngines(TestEngineList& engines);

}  // namespace tf::test
