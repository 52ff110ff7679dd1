// The viewer's smaller windows: the help window with one topic, the
// options dialog and the about box.
#pragma once

#include <wx/dialog.h>
#include <wx/frame.h>

#include <array>
#include <string>

#include "viewer/options_model.h"
#include "viewer/viewer_session.h"

class wxCheckBox;
class wxTextCtrl;
class wxWebView;

namespace tf::viewer {

class HelpFrame : public wxFrame {
 public:
  explicit HelpFrame(wxWindow* owner);
  // Writes and shows the topic's page; false (after telling the user) when
  // the topic cannot be read.
  bool ShowTopic(const ViewerSession& session, int topic);

 private:
  wxWebView* browser_ = nullptr;
};

class OptionsDialog : public wxDialog {
 public:
  OptionsDialog(wxWindow* owner, ViewerSession& session);

 private:
  void OnSave(wxCommandEvent& event);

  ViewerSession& session_;
  std::array<wxTextCtrl*, report::kTopNEntries> boxes_{};
  wxCheckBox* all_projects_ = nullptr;
};

class AboutDialog : public wxDialog {
 public:
  explicit AboutDialog(wxWindow* owner);
};

// "Version 2.3.2".
std::string VersionText();

}  // namespace tf::viewer
