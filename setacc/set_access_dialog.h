// The program's one dialog: the accounts and folders to grant access to,
// "Continue" to grant, "Cancel" to leave without change.
#pragma once

#include <wx/dialog.h>

#include <array>

#include "setacc/set_access.h"

class wxTextCtrl;

namespace tf::setacc {

class SetAccessDialog : public wxDialog {
 public:
  explicit SetAccessDialog(const AccessFields& fields);

 private:
  void OnContinue(wxCommandEvent& event);
  AccessFields ReadFields() const;

  std::array<wxTextCtrl*, 3> account_fields_{};
  wxTextCtrl* install_folder_field_ = nullptr;
  wxTextCtrl* web_folder_field_ = nullptr;
};

}  // namespace tf::setacc
