// The site sheet's General, Log files and Log filters pages.
#pragma once

namespace tf {
class CSite;
}

namespace tf::console {
class PageSheet;
void AddSiteInfoPages(PageSheet& sheet, CSite& site, bool new_site);
}  // namespace tf::console
