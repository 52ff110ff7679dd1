#include "setacc/access_done_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "setacc/set_access.h"
#include "desktop/wx_text.h"

namespace tf::setacc {

using desktop::ToWx;

AccessDoneDialog::AccessDoneDialog(wxWindow* parent, const std::string& web_folder)
    : wxDialog(parent, wxID_ANY, wxEmptyString) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  for (std::string_view text : {kDoneText1, kDoneText2, kDoneText3}) {
    auto* label = new wxStaticText(this, wxID_ANY, ToWx(text));
    label->Wrap(440);
    top->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 10);
  }
  auto* folder = new wxTextCtrl(this, wxID_ANY, ToWx(web_folder), wxDefaultPosition,
                                wxSize(440, -1), wxTE_READONLY);
  top->Add(folder, 0, wxEXPAND | wxALL, 10);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  ok->SetFocus();
  top->Add(ok, 0, wxALIGN_CENTRE | wxBOTTOM, 10);
  SetSizerAndFit(top);
  Centre();
}

}  // namespace tf::setacc
