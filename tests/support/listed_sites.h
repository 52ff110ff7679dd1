// What tests ask of the process's site list: a site by its name, and every
// site's name with its state ("A:2"), in list order.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/site/site.h"
#include "engine/site/site_list.h"

namespace tf::test {

inline CSite& ListedSite(const std::string& name) {
  for (const auto& site : SiteList.sites()) {
    if (site->ProjectName == name) return *site;
  }
  throw std::invalid_argument(name);
}

inline std::vector<std::string> ListedSiteStates() {
  std::vector<std::string> states;
  for (const auto& site : SiteList.sites()) {
    states.push_back(site->ProjectName + ":" + std::to_string(site->state));
  }
  return states;
}

}  // namespace tf::test
