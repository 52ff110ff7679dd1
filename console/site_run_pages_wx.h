// The site sheet's Reports, Schedule, Dates and Last run pages.
#pragma once

#include <functional>

class wxWindow;

namespace tf {
class CSite;
}

namespace tf::console {
class PageSheet;
class SheetPage;
// `forget_seen_hour` asks the scheduler to test the current hour at its
// next tick.
SheetPage* MakeReportsPage(wxWindow* book, CSite& site);
SheetPage* MakeSchedulePage(wxWindow* book, CSite& site, std::function<void()> forget_seen_hour);
SheetPage* MakeDatesPage(wxWindow* book, CSite& site);
SheetPage* MakeLastRunPage(wxWindow* book, CSite& site);
}  // namespace tf::console
