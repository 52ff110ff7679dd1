// The closing dialog after every grant succeeded: where the web files are.
#pragma once

#include <wx/dialog.h>

#include <string>

namespace tf::setacc {

class AccessDoneDialog : public wxDialog {
 public:
  AccessDoneDialog(wxWindow* parent, const std::string& web_folder);
};

}  // namespace tf::setacc
