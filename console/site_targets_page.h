// The "Target pages" page of a site without its window: how an entered
// page is normalised, the rows of the list and how they are written back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/site_page_text.h"
#include "engine/common/time_value.h"

namespace tf {
class CSite;
}

namespace tf::console {

inline constexpr std::size_t kTargetNameSize = 200;

// The page name of an entered address: scheme and host dropped, no leading
// '/', no trailing blanks. Empty when nothing of a page is left.
std::string NormalizeTargetPage(std::string_view text);

struct TargetOptions {
  bool log_from_searches = false;    // 0x1
  bool by_search_engine = false;     // 0x2
};
TargetOptions FillTargetOptions(const CSite& site);

// The site's target page names under its statistics lock, sorted without
// regard to case.
std::vector<std::string> TargetRows(CSite& site);
// Rows differing only in case become one entry with the spelling read last;
// entries without a row go; new ones are added at the head dated `now`.
void StoreTargets(const TargetOptions& options, const std::vector<std::string>& rows, CSite& site,
                  TimeValue now);

// The list may not change while the site is pending, running or stopping.
bool TargetsLocked(const CSite& site);
PageMessage TargetsLockedMessage();
PageMessage ConfirmTargetRemoval(std::string_view name);

}  // namespace tf::console
