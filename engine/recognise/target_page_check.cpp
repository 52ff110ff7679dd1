#include "engine/recognise/target_page_check.h"

#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"

namespace tf {

std::int32_t CheckTargetPage(CSite& site, const CTextItem* page) {
  if (site.target_pages.empty() || page == nullptr) return 0;
  std::string_view name = page->name;
  name.remove_prefix(std::min(name.size(), name.find_first_not_of('/')));
  SiteLockGuard held(site, "CheckTargetPage");
  for (CTargetPage& target : site.target_pages) {
    if (!EqualsCaseless(name, target.Name)) continue;
    if (target.ItemID == 0) {
      CTextItem* item = FindTextItem(site, kCategoryTargetPage, target.Name, held);
      target.ItemID = item != nullptr ? item->ItemID : 0;
    }
    return target.ItemID;
  }
  return 0;
}

}  // namespace tf
