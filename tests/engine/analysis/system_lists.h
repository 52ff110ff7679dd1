// The reference lists of the system template, read through the database
// layer from a copy of SystemTemplate.mdb, for tests that classify with the
// lists the system ships.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

// Loaded once per test process.
const SystemPatternLists& TemplatePatternLists();

// The template's search engines, loaded the way the system loads them
// (addresses and names host-normalised, one delimiter per row).
void LoadTemplateEngines(TestEngineList& engines);

}  // namespace tf::test
