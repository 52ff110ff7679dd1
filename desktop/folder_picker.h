// The desktop's folder picker.
#pragma once

#include <string>
#include <string_view>

class wxWindow;

namespace tf::desktop {

inline constexpr std::string_view kDefaultFolderPickerTitle = "Select a folder";

// Shows the picker over owner (the program's top window when none) with
// the title (the default when empty). On a choice the path is filled and
// the result is true; false when the user cancelled.
bool BrowseForFolder(std::string_view title, std::string& path, wxWindow* owner = nullptr);

}  // namespace tf::desktop
