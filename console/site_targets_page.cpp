#include "console/site_targets_page.h"

#include <algorithm>
#include <strings.h>

#include "engine/common/ascii.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {

bool EndsCaseless(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         EqualsCaseless(text.substr(text.size() - ending.size()), ending);
}

bool HasHostEnding(std::string_view part) {
  static constexpr std::string_view kEndings[] = {
      ".com", ".org", ".edu", ".net", ".biz", ".gov", ".mil", ".uk", ".se", ".om", ".nl",
      ".mx",  ".jp",  ".is",  ".il",  ".ie",  ".gr",  ".dk",  ".de", ".ca", ".au", ".info"};
  return std::any_of(std::begin(kEndings), std::end(kEndings),
                     [&](std::string_view ending) { return EndsCaseless(part, ending); });
}

}  // namespace

std::string NormalizeTargetPage(std::string_view text) {
  std::string_view rest = text;
  bool scheme = false;
  if (std::size_t at = rest.find("://"); at != std::string_view::npos) {
    rest = rest.substr(at + 3);
    scheme = true;
  }
  std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) {
    if (scheme) rest = {};
  } else if (scheme || HasHostEnding(rest.substr(0, slash))) {
    rest = rest.substr(slash);
  }
  if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  return CutField(TrimRight(rest), kTargetNameSize);
}

TargetOptions FillTargetOptions(const CSite& site) {
  return {(site.settings.TargetPageOptions & 0x1) != 0, (site.settings.TargetPageOptions & 0x2) != 0};
}

std::vector<std::string> TargetRows(CSite& site) {
  std::vector<std::string> rows;
  {
    SiteLockGuard lock(site, "SiteTargets1");
    for (const CTargetPage& page : site.target_pages) rows.push_back(page.Name);
  }
  std::sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  return rows;
}

void StoreTargets(const TargetOptions& options, const std::vector<std::string>& rows, CSite& site,
                  TimeValue now) {
  std::int32_t& bits = site.settings.TargetPageOptions;
  bits = (bits & ~0x3) | (options.log_from_searches ? 0x1 : 0) | (options.by_search_engine ? 0x2 : 0);
  SiteLockGuard lock(site, "SiteTargets2");
  auto& pages = site.target_pages;
  std::vector<bool> keep(pages.size(), false);
  std::vector<CTargetPage> added;
  for (const std::string& row : rows) {
    std::string name = CutField(row, kTargetNameSize);
    if (name.empty()) continue;
    auto found = std::find_if(pages.begin(), pages.end(),
                              [&](const CTargetPage& page) { return EqualsCaseless(page.Name, name); });
    if (found != pages.end()) {
      found->Name = name;
      keep[static_cast<std::size_t>(found - pages.begin())] = true;
      continue;
    }
    auto again = std::find_if(added.begin(), added.end(),
                              [&](const CTargetPage& page) { return EqualsCaseless(page.Name, name); });
    if (again != added.end()) {
      again->Name = name;
      continue;
    }
    CTargetPage page;
    page.Name = name;
    page.DateAdded = now;
    added.push_back(page);
  }
  std::vector<CTargetPage> kept(added.rbegin(), added.rend());  // newest at the head
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (keep[i]) kept.push_back(pages[i]);
  }
  auto same_name = [](const CTargetPage& a, const CTargetPage& b) { return a.Name == b.Name; };
  if (!std::equal(pages.begin(), pages.end(), kept.begin(), kept.end(), same_name)) {
    site.target_pages_changed = true;
  }
  pages = std::move(kept);
}

bool TargetsLocked(const CSite& site) { return site.state.load() != kSiteIdle; }

PageMessage TargetsLockedMessage() {
  return {"You cannot modify the target page list while an analysis is running.",
          "Change not allowed", MessageIcon::kError, MessageButtons::kOk};
}

PageMessage ConfirmTargetRemoval(std::string_view name) {
  return {"Remove " + std::string(name) + "\n\nAre you sure?", "Confirm target removal",
          MessageIcon::kQuestion, MessageButtons::kOkCancel};
}

}  // namespace tf::console
