// CAboutDlg: "About Tallyfox", the icon and the version line.
#pragma once

#include <wx/dialog.h>

namespace tf::console {

class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent);
};

}  // namespace tf::console
