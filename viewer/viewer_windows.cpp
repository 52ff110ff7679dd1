#include "viewer/viewer_windows.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include "desktop/wx_text.h"
#include "engine/common/message_box.h"
#include "viewer/help_topic.h"
#include "viewer/viewer_texts.h"
#include "viewer/window_parts.h"

namespace tf::viewer {

using desktop::FromWx;
using desktop::ToWx;

std::string VersionText() {
  return "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

HelpFrame::HelpFrame(wxWindow* owner)
    : wxFrame(owner, wxID_ANY, "Tallyfox Help", wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT) {
  auto* panel = new wxPanel(this);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  browser_ = wxWebView::New(panel, wxID_ANY);
  sizer->Add(browser_, 1, wxEXPAND | wxALL, Twips(this, 50));
  auto* close = new wxButton(panel, wxID_CLOSE, "Close");
  sizer->Add(close, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, Twips(this, 100));
  panel->SetSizer(sizer);
  close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
  SetSize(FromDIP(wxSize(520, 460)));
}

bool HelpFrame::ShowTopic(const ViewerSession& session, int topic) {
  try {
    const std::string page = WriteHelpTopic(session.HomeFolder(), session.OutputFolder(), topic);
    browser_->LoadURL(wxFileName::FileNameToURL(wxFileName(ToWx(page))));
  } catch (const std::exception& failure) {
    ShowMessageBox("The help topic " + std::to_string(topic) + " cannot be shown: " +
                       failure.what(),
                   "Tallyfox Help", kMbOk | kMbIconError);
    return false;
  }
  return true;
}

OptionsDialog::OptionsDialog(wxWindow* owner, ViewerSession& session)
    : wxDialog(owner, wxID_ANY, "Options"), session_(session) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, "Display top x Reports");
  auto* grid = new wxFlexGridSizer(2 * 3, wxSize(6, 4));
  for (int i = 0; i < report::kTopNEntries; ++i) {
    grid->Add(new wxStaticText(frame->GetStaticBox(), wxID_ANY, kTopNLabels[i]), 0,
              wxALIGN_CENTER_VERTICAL | wxLEFT, 8);
    boxes_[i] = new wxTextCtrl(frame->GetStaticBox(), wxID_ANY,
                               ToWx(session.run().TopNTable[i].count), wxDefaultPosition,
                               wxSize(FromDIP(60), -1));
    grid->Add(boxes_[i], 0, wxRIGHT, 8);
  }
  frame->Add(grid, 0, wxALL, 4);
  frame->Add(new wxStaticText(frame->GetStaticBox(), wxID_ANY, "NOTE: Enter 0 to hide the report"),
             0, wxALL, 8);
  top->Add(frame, 0, wxEXPAND | wxALL, 10);
  all_projects_ = new wxCheckBox(this, wxID_ANY, "Use these settings for all projects");
  all_projects_->SetValue(session.run().GlobalTopSettingsFlag == 1);
  top->Add(all_projects_, 0, wxLEFT | wxRIGHT, 10);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* save = new wxButton(this, wxID_SAVE, "Save");
  save->SetDefault();
  buttons->Add(save, 0, wxRIGHT, 8);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 10);
  SetSizerAndFit(top);
  Bind(wxEVT_BUTTON, &OptionsDialog::OnSave, this, wxID_SAVE);
}

void OptionsDialog::OnSave(wxCommandEvent&) {
  TopNBoxes texts;
  for (int i = 0; i < report::kTopNEntries; ++i) texts[i] = FromWx(boxes_[i]->GetValue());
  const bool all = all_projects_->GetValue();
  std::string database;
  if (session_.selected() >= 0) database = session_.projects().projects()[session_.selected()].database;
  try {
    SaveTopCounts(session_.run(), session_.HomeFolder(), database, texts, all);
  } catch (const std::exception& failure) {
    // The dialog stays open for another try; nothing was changed.
    ShowMessageBox(std::string("The options could not be saved: ") + failure.what(), "Options",
                   kMbOk | kMbIconError);
    return;
  }
  ShowMessageBox(kOptionsSaved, "Options", kMbOk);
  EndModal(wxID_OK);
}

AboutDialog::AboutDialog(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, ToWx(std::string("About ") + kMainCaption)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* title = new wxStaticText(this, wxID_ANY, kMainCaption);
  title->SetFont(title->GetFont().Bold().Larger());
  top->Add(title, 0, wxALL, 16);
  top->Add(new wxStaticText(this, wxID_ANY, ToWx(VersionText())), 0, wxLEFT | wxRIGHT, 16);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  top->Add(ok, 0, wxALIGN_RIGHT | wxALL, 16);
  SetSizerAndFit(top);
}

}  // namespace tf::viewer
