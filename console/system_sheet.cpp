#include "console/system_sheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "console/progress_dialogs.h"
#include "console/site_sheet.h"
#include "console/system_pages.h"
#include "desktop/wx_text.h"
#include "engine/common/desktop.h"
#include "engine/store/system_data.h"

namespace tf::console {

using desktop::FromWx;
using desktop::ToWx;

namespace {

void OpenOrTell(std::string_view url, const PageMessage& failure) {
  if (!OpenUrlInBrowser(std::string(url))) ShowPageMessage(failure);
}

class CSysGeneral : public SheetPage {
 public:
  CSysGeneral(wxWindow* parent, std::function<void(bool)> switch_tray)
      : SheetPage(parent, "CSysGeneral"), switch_tray_(std::move(switch_tray)) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    grid->AddGrowableCol(1);
    analyses_ = AddEdit(this, grid, "Maximum similtaneous analyses to run:");
    threads_ = AddEdit(this, grid, "Maximimum IP translation threads:");
    threads_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    minutes_ = AddEdit(this, grid, "Default minutes of inactivity to end session:");
    minutes_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    home_ = AddEdit(this, grid, "Default home page for sites:");
    grid->Add(new wxStaticText(this, wxID_ANY, "Default IIS log file date format:"), 0,
              wxALIGN_CENTER_VERTICAL);
    format_ = new wxComboBox(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, nullptr,
                             wxCB_READONLY);
    grid->Add(format_);
    column->Add(grid, 0, wxALL | wxEXPAND, Gap(this));
    auto* priority = new wxStaticBoxSizer(wxHORIZONTAL, this, "Execution priority");
    wxWindow* box = priority->GetStaticBox();
    normal_ = new wxRadioButton(box, wxID_ANY, "Normal", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    low_ = new wxRadioButton(box, wxID_ANY, "Low");
    very_low_ = new wxRadioButton(box, wxID_ANY, "Very low");
    for (wxRadioButton* radio : {normal_, low_, very_low_}) priority->Add(radio, 0, wxALL, Gap(this));
    column->Add(priority, 0, wxALL | wxEXPAND, Gap(this));
    tray_ = new wxCheckBox(this, wxID_ANY, "Show Tallyfox icon in system tray");
    column->Add(tray_, 0, wxALL, Gap(this));
    SetSizer(column);

    SysGeneralFields f = FillSysGeneral(SystemData);
    analyses_->ChangeValue(ToWx(f.max_analyses));
    threads_->ChangeValue(ToWx(f.max_domain_threads));
    minutes_->ChangeValue(ToWx(f.session_minutes));
    home_->ChangeValue(ToWx(f.home_page));
    home_->SetMaxLength(kHomePageTextSize - 1);
    // GTK radio groups always hold one checked button; a priority the page
    // does not know shows none by leaving all three unchecked through a
    // hidden fourth.
    none_ = new wxRadioButton(box, wxID_ANY, "");
    none_->Hide();
    none_->SetValue(f.priority == 0);
    normal_->SetValue(f.priority == 3);
    low_->SetValue(f.priority == 2);
    very_low_->SetValue(f.priority == 1);
    tray_->SetValue(SystemData.RunInSysTray);
    FillDateFormatCombo(*format_, f.date_format);
    tray_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
      SystemData.RunInSysTray = event.IsChecked();
      if (switch_tray_) switch_tray_(event.IsChecked());
    });
  }

  void Enter() override { analyses_->SetFocus(); }

  bool Leave() override {
    SysGeneralFields f;
    f.max_analyses = FromWx(analyses_->GetValue());
    f.max_domain_threads = FromWx(threads_->GetValue());
    f.session_minutes = FromWx(minutes_->GetValue());
    f.home_page = FromWx(home_->GetValue());
    f.date_format = GetDateFormatCombo(*format_, SystemData.DefDateFormat);
    f.priority = normal_->GetValue() ? 3 : very_low_->GetValue() ? 1 : low_->GetValue() ? 2 : 0;
    StoreSysGeneral(f, SystemData);
    return true;
  }

 private:
  std::function<void(bool)> switch_tray_;
  wxTextCtrl *analyses_, *threads_, *minutes_, *home_;
  wxComboBox* format_;
  wxRadioButton *normal_, *low_, *very_low_, *none_;
  wxCheckBox* tray_;
};

class CSysAccess : public SheetPage {
 public:
  explicit CSysAccess(wxWindow* parent) : SheetPage(parent, "CSysAccess") {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY,
                                 "Parameters that control access to the Tallyfox service from "
                                 "remote computers."),
                0, wxALL, Gap(this));
    allow_ = new wxCheckBox(this, wxID_ANY, "Allow remote access to the Tallyfox service");
    column->Add(allow_, 0, wxALL, Gap(this));
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Remote access logon information");
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    grid->AddGrowableCol(1);
    name_ = AddEdit(group->GetStaticBox(), grid, "Name:");
    password_ = AddEdit(group->GetStaticBox(), grid, "Password:", wxTE_PASSWORD);
    name_->SetMaxLength(kSystemTextSize - 1);
    password_->SetMaxLength(kSystemTextSize - 1);
    group->Add(grid, 0, wxALL | wxEXPAND, Gap(this));
    column->Add(group, 0, wxALL | wxEXPAND, Gap(this));
    SetSizer(column);
    allow_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
      name_->Enable(event.IsChecked());
      password_->Enable(event.IsChecked());
      (event.IsChecked() ? static_cast<wxWindow*>(name_) : allow_)->SetFocus();
    });
  }

  void Enter() override {
    SysAccessFields f = FillSysAccess(SystemData);
    name_->ChangeValue(ToWx(f.name));
    password_->ChangeValue(ToWx(f.password));
    allow_->SetValue(f.allow);
    name_->Enable(f.allow);
    password_->Enable(f.allow);
    allow_->SetFocus();
  }

  bool Leave() override {
    StoreSysAccess({allow_->GetValue(), FromWx(name_->GetValue()), FromWx(password_->GetValue())},
                   SystemData);
    return true;
  }

 private:
  wxCheckBox* allow_;
  wxTextCtrl *name_, *password_;
};

// The Support and About pages: the version line and buttons that open the
// project's addresses.
class CSysLinks : public SheetPage {
 public:
  CSysLinks(wxWindow* parent, const wxString& name, bool support) : SheetPage(parent, name) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, ToWx(SystemVersionLine())), 0, wxALL, Gap(this) * 2);
    if (support) {
      column->Add(new wxStaticText(this, wxID_ANY,
                                   ToWx("Support questions are answered at " +
                                        std::string(kSupportEmail) + ".")),
                  0, wxALL, Gap(this) * 2);
      AddLink(column, "Tallyfox support web page", [] {
        OpenOrTell(kSupportWebPage, BrowserFailedMessage(kSupportWebPage));
      });
      AddLink(column, "Send e-mail support question", [] {
        OpenOrTell("mailto:" + std::string(kSupportEmail), MailFailedMessage());
      });
    }
    AddLink(column, "Tallyfox main web page",
            [] { OpenOrTell(kMainWebPage, BrowserFailedMessage(kMainWebPage)); });
    SetSizer(column);
  }

 private:
  void AddLink(wxBoxSizer* column, const wxString& label, std::function<void()> open) {
    auto* button = new wxButton(this, wxID_ANY, label);
    button->Bind(wxEVT_BUTTON, [open](wxCommandEvent&) { open(); });
    column->Add(button, 0, wxALL, Gap(this) * 2);
  }
};

}  // namespace

void EditSystemSettings(wxWindow* parent, const std::function<void(bool)>& switch_tray) {
  PageSheet sheet(parent, "System Properties");
  sheet.SetName("CSysProperties");
  wxWindow* book = sheet.GetBookCtrl();
  sheet.AddPage(new CSysGeneral(book, switch_tray), "General options");
  sheet.AddPage(new CSysAccess(book), "Remote access");
  sheet.AddPage(new CSysLinks(book, "CSysSupport", true), "Support");
  sheet.AddPage(new CSysLinks(book, "CSysAbout", false), "About");
  sheet.Run();
}

}  // namespace tf::console
