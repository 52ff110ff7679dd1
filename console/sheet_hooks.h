// Where the main window opens the property sheets: the site sheet (for
// "Add project", as "New Project", and for "Properties") and the system
// sheet ("System Settings").
#pragma once

#include <functional>
#include <string>

class wxWindow;

namespace tf {
class CSite;
}

namespace tf::console {

// The site that an open site sheet edits; null otherwise.
extern CSite* EditedSite;
// Set while EditedSite is a new site that is not yet in the site list.
extern bool EditedSiteIsNew;

struct SheetHooks {
  // Runs the site sheet modally with the caption; true when it ended with OK.
  std::function<bool(wxWindow* parent, CSite& site, const std::string& caption)> edit_site;
  // Runs the system sheet modally with the caption "System Properties".
  std::function<void(wxWindow* parent)> system_settings;
  // Set by the main window: the scheduler tests the site's current hour at
  // its next tick (its schedule changed).
  std::function<void(const CSite& site)> forget_seen_hour;
};

SheetHooks& ConsoleSheets();

}  // namespace tf::console
