#include "console/about_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "console/program_icons.h"

namespace tf::console {

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, "About Tallyfox") {
  const int gap = FromDIP(12);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  wxIcon icon = ProgramIcons().GetIcon(FromDIP(wxSize(48, 48)), wxIconBundle::FALLBACK_NEAREST_LARGER);
  if (icon.IsOk()) row->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxRIGHT, gap);
  row->Add(new wxStaticText(this, wxID_ANY, "Tallyfox Version 2.3"), 0, wxALIGN_CENTER_VERTICAL);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(row, 0, wxALL, gap);
  column->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, gap);
  SetSizerAndFit(column);
  SetMinSize(FromDIP(wxSize(280, -1)));
  Fit();
  CentreOnParent();
}

}  // namespace tf::console
