// The site sheet's Processing, Visitors && Paths, Target pages and
// Error && Status pages.
#pragma once

class wxWindow;

namespace tf {
class CSite;
}

namespace tf::console {
class SheetPage;
SheetPage* MakeProcessingPage(wxWindow* book, CSite& site);
SheetPage* MakeVisitorsPage(wxWindow* book, CSite& site);
SheetPage* MakeTargetsPage(wxWindow* book, CSite& site);
SheetPage* MakeErrorsPage(wxWindow* book, CSite& site);
}  // namespace tf::console
