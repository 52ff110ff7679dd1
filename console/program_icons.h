// The program's icon in the sizes installed under the hicolor theme of the
// install folder.
#pragma once

#include <wx/iconbndl.h>

namespace tf::console {

// Empty when the icons are not installed.
wxIconBundle ProgramIcons();

}  // namespace tf::console
