// The site sheet's "Log file download" page and its progress dialog.
#pragma once

class wxWindow;

namespace tf {
class CSite;
}

namespace tf::console {
class SheetPage;
SheetPage* MakeFtpPage(wxWindow* book, CSite& site);
}  // namespace tf::console
