#include "desktop/jet_error_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "desktop/wx_text.h"
#include "engine/store/database_files.h"

namespace tf::desktop {

namespace {

constexpr int kTextWidth = 420;

wxStaticText* WrappedText(wxWindow* parent, std::string_view text) {
  auto* label = new wxStaticText(parent, wxID_ANY, ToWx(text));
  label->Wrap(parent->FromDIP(kTextWidth));
  return label;
}

}  // namespace

CJetErrorDlg::CJetErrorDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(WrappedText(this, kDatabaseEngineText), 0, wxALL, FromDIP(12));
  column->Add(WrappedText(this, DatabaseEngineSupportText()), 0, wxLEFT | wxRIGHT, FromDIP(12));
  column->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_CENTER | wxALL, FromDIP(12));
  SetSizerAndFit(column);
  CentreOnScreen();
}

void UseJetErrorDialog() {
  SetDatabaseEngineDialog([] {
    CJetErrorDlg dialog(wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr);
    dialog.ShowModal();
  });
}

}  // namespace tf::desktop
