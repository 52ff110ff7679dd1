#include "console/sheet_hooks.h"

#include "console/main_window.h"
#include "console/site_sheet.h"
#include "console/system_sheet.h"

namespace tf::console {

CSite* EditedSite = nullptr;
bool EditedSiteIsNew = false;

namespace {

bool RunSiteSheet(wxWindow* parent, CSite& site, const std::string& caption) {
  return EditSite(parent, site, caption, EditedSiteIsNew);
}

void RunSystemSheet(wxWindow* parent) {
  auto* main = dynamic_cast<CMainDlg*>(parent);
  EditSystemSettings(parent, [main](bool shown) {
    if (main == nullptr) return;
    if (shown) {
      main->AddTrayIcon();
    } else {
      main->RemoveTrayIcon();
    }
  });
}

}  // namespace

SheetHooks& ConsoleSheets() {
  static SheetHooks hooks{RunSiteSheet, RunSystemSheet, nullptr};
  return hooks;
}

}  // namespace tf::console
