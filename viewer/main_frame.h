// Form1: the viewer's main window. It moves values between its controls
// and the ViewerSession, which does the work.
#pragma once

#include <wx/frame.h>
#include <wx/weakref.h>

#include <memory>
#include <string>

#include "viewer/viewer_session.h"
#include "viewer/window_parts.h"

class wxButton;
class wxChoice;
class wxGauge;
class wxListBox;
class wxStaticText;
class wxTextCtrl;
class wxTreeCtrl;
class wxTreeEvent;
class wxWebView;
class wxWebViewEvent;

namespace tf::viewer {

class HelpFrame;

class MainFrame : public wxFrame {
 public:
  explicit MainFrame(std::unique_ptr<ViewerSession> session);

  // What the controls do, also for the test driver.
  void SelectProject(int index);
  void ApplyQuickRange(int position);
  void Generate(bool summary);
  void JumpToSection(const std::string& key);
  void ShowHelpTopic(int topic);
  void SaveReportAs(const std::string& path);
  void OpenOptions();
  void OpenAbout();
  void PrintPreview();
  void PrintReport();
  void BringUpConsole();
  wxWebView* browser() const { return browser_; }
  ViewerSession& session() { return *session_; }

 private:
  wxWindow* BuildLeftPane(wxWindow* parent);
  wxWindow* BuildRightPane(wxWindow* parent);
  void BuildMenus();
  void ShowProjectInfo();
  void ShowDates();
  void ReadDates();
  void ShowStatus(const std::string& text);
  bool RequireGeneratedReport(const std::string& message);
  void ShowCalendar(bool start);
  void FlashAttention(const RequestCheck& check);
  void EnableRunControls(bool enable);

  void OnNavigating(wxWebViewEvent& event);
  void OnScriptMessage(wxWebViewEvent& event);
  void OnNewWindow(wxWebViewEvent& event);
  void OnTreeSelection(wxTreeEvent& event);
  void OnClose(wxCloseEvent& event);

  std::unique_ptr<ViewerSession> session_;
  bool running_ = false;
  // A close asked for during a run waits for the run's end: the run's code
  // is still on the stack below the event that asked.
  bool close_after_run_ = false;
  AttentionFlash flash_;
  // Cleared by the help window's own end, also while this frame is ending.
  wxWeakRef<HelpFrame> help_;

  wxTextCtrl* search_ = nullptr;
  wxListBox* projects_ = nullptr;
  wxStaticText *name_ = nullptr, *domain_ = nullptr, *logs_from_ = nullptr, *logs_to_ = nullptr;
  wxTreeCtrl* tree_ = nullptr;
  wxButton *load_ = nullptr, *load_quick_ = nullptr, *console_ = nullptr, *exit_ = nullptr;
  wxStaticText *range_start_ = nullptr, *range_end_ = nullptr;
  wxTextCtrl *date_from_ = nullptr, *date_to_ = nullptr;
  wxWindow *calendar_start_ = nullptr, *calendar_end_ = nullptr;
  wxChoice* quick_range_ = nullptr;
  wxGauge* progress_ = nullptr;
  wxWebView* browser_ = nullptr;
};

}  // namespace tf::viewer
