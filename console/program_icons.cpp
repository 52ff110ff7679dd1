#include "console/program_icons.h"

#include <wx/log.h>

#include "desktop/wx_text.h"
#include "engine/common/files.h"
#include "engine/common/registry_values.h"

namespace tf::console {

wxIconBundle ProgramIcons() {
  wxIconBundle icons;
  wxLogNull quiet;  // a missing size is no error
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    std::string name = "share/icons/hicolor/" + std::to_string(size) + "x" +
                       std::to_string(size) + "/apps/tallyfox.png";
    std::string path = InstallFolderPath(name);
    if (IsFileReadable(path)) icons.AddIcon(desktop::ToWx(path), wxBITMAP_TYPE_PNG);
  }
  return icons;
}

}  // namespace tf::console
