#include "setacc/set_access_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "setacc/access_done_dialog.h"
#include "desktop/wx_text.h"

namespace tf::setacc {

using desktop::FromWx;
using desktop::ToWx;

namespace {

// Wide enough for a typical folder path; the sizers grow it for larger fonts.
constexpr int kFieldWidth = 440;

wxTextCtrl* AddField(wxWindow* parent, wxSizer* sizer, std::string_view text) {
  auto* field = new wxTextCtrl(parent, wxID_ANY, ToWx(text), wxDefaultPosition,
                               wxSize(kFieldWidth, -1));
  field->SetMaxLength(kFieldBytes);
  sizer->Add(field, 0, wxEXPAND | wxALL, 4);
  return field;
}

wxStaticText* WrappedText(wxWindow* parent, std::string_view text) {
  auto* label = new wxStaticText(parent, wxID_ANY, ToWx(text));
  label->Wrap(kFieldWidth + 20);
  return label;
}

}  // namespace

SetAccessDialog::SetAccessDialog(const AccessFields& fields)
    : wxDialog(nullptr, wxID_ANY, ToWx(kDialogCaption)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(WrappedText(this, kIntroText), 0, wxALL, 10);

  auto* accounts = new wxStaticBoxSizer(wxVERTICAL, this, ToWx(kAccountsFrame));
  for (std::size_t i = 0; i < account_fields_.size(); ++i) {
    account_fields_[i] = AddField(accounts->GetStaticBox(), accounts, fields.accounts[i]);
  }
  top->Add(accounts, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);

  auto* folders = new wxStaticBoxSizer(wxVERTICAL, this, ToWx(kFoldersFrame));
  install_folder_field_ = AddField(folders->GetStaticBox(), folders, fields.install_folder);
  web_folder_field_ = AddField(folders->GetStaticBox(), folders, fields.web_folder);
  top->Add(folders, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);

  top->Add(WrappedText(this, kNoteText), 0, wxALL, 10);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* continue_button = new wxButton(this, wxID_OK, "Continue");
  continue_button->SetDefault();
  buttons->Add(continue_button, 0, wxRIGHT, 8);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);

  SetSizerAndFit(top);
  Centre();
  Bind(wxEVT_BUTTON, &SetAccessDialog::OnContinue, this, wxID_OK);
}

AccessFields SetAccessDialog::ReadFields() const {
  AccessFields fields;
  for (std::size_t i = 0; i < account_fields_.size(); ++i) {
    fields.accounts[i] = FieldText(FromWx(account_fields_[i]->GetValue()));
  }
  fields.install_folder = FieldText(FromWx(install_folder_field_->GetValue()));
  fields.web_folder = FieldText(FromWx(web_folder_field_->GetValue()));
  return fields;
}

void SetAccessDialog::OnContinue(wxCommandEvent&) {
  const AccessFields fields = ReadFields();
  // On failure the dialog stays open for another try.
  if (!GrantAll(fields)) return;
  AccessDoneDialog(this, fields.web_folder).ShowModal();
  EndModal(wxID_OK);
}

}  // namespace tf::setacc
