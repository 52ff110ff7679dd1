// Where the main window opens the property sheets: the site sheet (for
// "Add project", as "New Project", and for "Properties") and the system
// sheet ("System Settings"). The sheets install themselves here; until
// then a small stand-in asks only for the project's name.
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

struct SheetHooks {
  // Runs the site sheet modally with the caption; true when it ended with OK.
  std::function<bool(wxWindow* parent, CSite& site, const std::string& caption)> edit_site;
  // Runs the system sheet modally with the caption "System Properties".
  std::function<void(wxWindow* parent)> system_settings;
};

SheetHooks& ConsoleSheets();

}  // namespace tf::console
