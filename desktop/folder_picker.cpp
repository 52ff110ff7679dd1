#include "desktop/folder_picker.h"

#include <wx/app.h>
#include <wx/dirdlg.h>

#include "desktop/wx_text.h"

namespace tf::desktop {

bool BrowseForFolder(std::string_view title, std::string& path, wxWindow* owner) {
  if (owner == nullptr && wxTheApp != nullptr) owner = wxTheApp->GetTopWindow();
  wxDirDialog picker(owner, ToWx(title.empty() ? kDefaultFolderPickerTitle : title), ToWx(path),
                     wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (picker.ShowModal() != wxID_OK) return false;
  path = FromWx(picker.GetPath());
  return true;
}

}  // namespace tf::desktop
