// The system property sheet "System Properties".
#pragma once

#include <functional>

class wxWindow;

namespace tf::console {

// Runs the sheet over the global system settings; `switch_tray` shows or
// removes the tray icon at once when its box is clicked.
void EditSystemSettings(wxWindow* parent, const std::function<void(bool shown)>& switch_tray);

}  // namespace tf::console
