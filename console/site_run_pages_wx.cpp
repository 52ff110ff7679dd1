// The Reports, Schedule, Dates and Last run pages.
#include "console/site_run_pages_wx.h"

#include <array>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "console/progress_dialogs.h"
#include "console/site_reports_page.h"
#include "console/site_run_pages.h"
#include "console/site_schedule_page.h"
#include "console/site_sheet.h"
#include "desktop/folder_picker.h"
#include "desktop/wx_text.h"
#include "engine/common/message_box.h"
#include "engine/reports/report_launcher.h"
#include "engine/site/site.h"
#include "engine/run/reset_statistics.h"

namespace tf::console {

using desktop::FromWx;
using desktop::ToWx;

namespace {

constexpr std::size_t kReportErrorSize = 400;

// --- Reports --------------------------------------------------------------

class CSiteReports : public SheetPage {
 public:
  CSiteReports(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteReports"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this) * 2);
    grid->AddGrowableCol(1);
    for (std::size_t i = 0; i < kReportCount; ++i) {
      checks_[i] = new wxCheckBox(this, wxID_ANY, ToWx(ReportRows()[i].label));
      names_[i] = new wxTextCtrl(this, wxID_ANY);
      if (i == kCustomReport) {
        auto* custom = new wxBoxSizer(wxHORIZONTAL);
        custom_days_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition,
                                      wxSize(FromDIP(50), -1));
        custom->Add(checks_[i], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, Gap(this));
        custom->Add(custom_days_, 0, wxRIGHT, Gap(this));
        custom->Add(new wxStaticText(this, wxID_ANY, "days"), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(custom, 0, wxALIGN_CENTER_VERTICAL);
      } else {
        grid->Add(checks_[i], 0, wxALIGN_CENTER_VERTICAL);
      }
      grid->Add(names_[i], 1, wxEXPAND);
      checks_[i]->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ReadIntoSite(); ShowEnabling(); });
    }
    column->Add(grid, 0, wxALL | wxEXPAND, Gap(this));

    auto* folder = new wxStaticBoxSizer(wxHORIZONTAL, this,
                                        "Folder where reports for this site are to be written");
    folder_ = new wxTextCtrl(folder->GetStaticBox(), wxID_ANY);
    auto* browse = new wxButton(folder->GetStaticBox(), wxID_ANY, "Browse");
    folder->Add(folder_, 1, wxALL | wxALIGN_CENTER_VERTICAL, Gap(this));
    folder->Add(browse, 0, wxALL, Gap(this));
    column->Add(folder, 0, wxALL | wxEXPAND, Gap(this));
    use_schedule_ = new wxCheckBox(this, wxID_ANY,
                                   "Generate reports each time an analysis is performed");
    column->Add(use_schedule_, 0, wxALL, Gap(this));
    auto* generate = new wxButton(this, wxID_ANY, "Generate reports now");
    column->Add(generate, 0, wxALL, Gap(this));
    auto* status = new wxStaticBoxSizer(wxVERTICAL, this, "Status of last report generation");
    date_ = new wxTextCtrl(status->GetStaticBox(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                           wxTE_READONLY);
    status_ = new wxTextCtrl(status->GetStaticBox(), wxID_ANY, "", wxDefaultPosition,
                             wxDefaultSize, wxTE_READONLY);
    status->Add(date_, 0, wxALL | wxEXPAND, Gap(this));
    status->Add(status_, 0, wxALL | wxEXPAND, Gap(this));
    column->Add(status, 0, wxALL | wxEXPAND, Gap(this));
    SetSizer(column);

    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
    generate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { GenerateNow(); });
  }

  void Enter() override {
    SiteReportsFields f = FillSiteReports(site_);
    for (std::size_t i = 0; i < kReportCount; ++i) {
      checks_[i]->SetValue(f.enabled[i]);
      names_[i]->ChangeValue(ToWx(f.names[i]));
    }
    folder_->ChangeValue(ToWx(f.folder));
    custom_days_->ChangeValue(ToWx(f.custom_days));
    use_schedule_->SetValue(f.use_schedule);
    ShowEnabling();
    ShowStatus();
  }

  bool Leave() override {
    if (!ReadIntoSite()) return false;
    site_.settings_changed = true;
    return true;
  }

 private:
  SiteReportsFields Read() const {
    SiteReportsFields f;
    for (std::size_t i = 0; i < kReportCount; ++i) {
      f.enabled[i] = checks_[i]->GetValue();
      f.names[i] = FromWx(names_[i]->GetValue());
    }
    f.custom_days = FromWx(custom_days_->GetValue());
    f.folder = FromWx(folder_->GetValue());
    f.use_schedule = use_schedule_->GetValue();
    return f;
  }

  // False, with the reason shown, when a name or the folder cannot be used.
  bool ReadIntoSite() {
    SiteReportsFields f = Read();
    std::string problem = ReportFieldsProblem(f);
    if (!problem.empty()) {
      ShowMessageBox(problem, "Reports", kMbOk | kMbIconExclamation);
      return false;
    }
    StoreSiteReports(f, site_);
    return true;
  }

  void ShowEnabling() {
    for (std::size_t i = 0; i < kReportCount; ++i) names_[i]->Enable(checks_[i]->GetValue());
    custom_days_->Enable(checks_[kCustomReport]->GetValue());
  }

  void ShowStatus() {
    date_->ChangeValue(ToWx(ReportDateText(site_.history.RptDate)));
    status_->ChangeValue(ToWx(ReportStatusText(site_.history.RptStatus)));
  }

  void Browse() {
    std::string folder;
    if (!desktop::BrowseForFolder("Select folder where reports are to be written", folder, this)) return;
    std::string picked = ReportFolderOf(folder);
    if (!picked.empty()) folder_->ChangeValue(ToWx(picked));
  }

  void GenerateNow() {
    if (!ReadIntoSite()) return;
    CReportProgressDlg progress(site_, this);
    bool ok = false;
    std::string error;
    RunWithProgress(&progress, [&] { ok = GenerateReports(site_, error, kReportErrorSize); });
    PageMessage message = RecordReportResult(site_, ok, error, NowLocalSeconds());
    ShowStatus();
    ShowPageMessage(message);
  }

  CSite& site_;
  std::array<wxCheckBox*, kReportCount> checks_{};
  std::array<wxTextCtrl*, kReportCount> names_{};
  wxTextCtrl *custom_days_ = nullptr, *folder_, *date_, *status_;
  wxCheckBox* use_schedule_;
};

// --- Schedule -------------------------------------------------------------

class CSiteSchedule : public SheetPage {
 public:
  CSiteSchedule(wxWindow* parent, CSite& site, std::function<void()> forget_seen_hour)
      : SheetPage(parent, "CSiteSchedule"), model_(site), forget_seen_hour_(std::move(forget_seen_hour)) {
    static constexpr const char* kDayNames[kDays] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};
    auto* column = new wxBoxSizer(wxVERTICAL);
    enabled_ = new wxCheckBox(this, wxID_ANY, "Enabled scheduled analysis for this project");
    column->Add(enabled_, 0, wxALL, Gap(this));
    auto* group = new wxStaticBoxSizer(
        wxVERTICAL, this, "Check the hours when you want the analysis for this project to be run");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(kDays + 1, FromDIP(1), FromDIP(4));
    for (const char* day : kDayNames) grid->Add(new wxStaticText(box, wxID_ANY, day));
    grid->Add(new wxStaticText(box, wxID_ANY, "All days"));
    for (int hour = 0; hour < kHours; ++hour) {
      wxString label = ToWx(HourLabel(hour));
      for (int day = 0; day < kDays; ++day) {
        boxes_[day][hour] = new wxCheckBox(box, wxID_ANY, label);
        grid->Add(boxes_[day][hour]);
      }
      all_days_[hour] = new wxCheckBox(box, wxID_ANY, label);
      grid->Add(all_days_[hour]);
      all_days_[hour]->Bind(wxEVT_CHECKBOX, [this, hour](wxCommandEvent& event) {
        model_.SetAllDays(hour, event.IsChecked());
        ShowModel();
      });
    }
    group->Add(grid, 0, wxALL, Gap(this));
    column->Add(group, 0, wxALL, Gap(this));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* check_all = new wxButton(this, wxID_ANY, "Check all");
    auto* clear_all = new wxButton(this, wxID_ANY, "Clear all");
    buttons->Add(check_all, 0, wxRIGHT, Gap(this));
    buttons->Add(clear_all);
    column->Add(buttons, 0, wxALL, Gap(this));
    SetSizer(column);
    check_all->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ReadGrid(); model_.CheckAll(); ShowModel(); });
    clear_all->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ReadGrid(); model_.ClearAll(); ShowModel(); });
    ShowModel();
  }

  bool Leave() override {
    ReadGrid();
    model_.set_enabled(enabled_->GetValue());
    if (model_.Store() && forget_seen_hour_) forget_seen_hour_();
    return true;
  }

 private:
  void ReadGrid() {
    for (int day = 0; day < kDays; ++day) {
      for (int hour = 0; hour < kHours; ++hour) model_.set_checked(day, hour, boxes_[day][hour]->GetValue());
    }
  }

  void ShowModel() {
    enabled_->SetValue(model_.enabled());
    for (int hour = 0; hour < kHours; ++hour) {
      for (int day = 0; day < kDays; ++day) boxes_[day][hour]->SetValue(model_.checked(day, hour));
      all_days_[hour]->SetValue(model_.all_days(hour));
    }
  }

  SiteScheduleModel model_;
  std::function<void()> forget_seen_hour_;
  wxCheckBox* enabled_;
  std::array<std::array<wxCheckBox*, kHours>, kDays> boxes_{};
  std::array<wxCheckBox*, kHours> all_days_{};
};

// --- Dates ----------------------------------------------------------------

class CSiteDates : public SheetPage {
 public:
  CSiteDates(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteDates"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    scan_ = AddEdit(this, grid, "Last analysis:", wxTE_READONLY);
    file_ = AddEdit(this, grid, "Last log file completed:", wxTE_READONLY);
    record_ = AddEdit(this, grid, "Last record processed:", wxTE_READONLY);
    column->Add(grid, 0, wxALL, Gap(this));
    auto* reset = new wxButton(this, wxID_ANY, "Reset all stored site hit statistics");
    column->Add(reset, 0, wxALL, Gap(this));
    SetSizer(column);
    reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Reset(); });
    Fill();
  }

 private:
  void Fill() {
    SiteDatesTexts texts = FillSiteDates(site_);
    scan_->ChangeValue(ToWx(texts.last_scan));
    file_->ChangeValue(ToWx(texts.last_file));
    record_->ChangeValue(ToWx(texts.last_record));
  }

  void Reset() {
    if (std::optional<PageMessage> refusal = ResetRefusal(site_)) {
      ShowPageMessage(*refusal);
      return;
    }
    if (ShowPageMessage(ConfirmResetMessage()) != kIdOk) return;
    CResetProgressDlg progress(this);
    RunWithProgress(&progress, [this] { ResetStatistics(site_); });
    Fill();
  }

  CSite& site_;
  wxTextCtrl *scan_, *file_, *record_;
};

// --- Last run -------------------------------------------------------------

class CSiteLastrun : public SheetPage {
 public:
  CSiteLastrun(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteLastrun") {
    auto figures = LastRunFigures(site, NowLocalSeconds());
    // Two columns of label and figure pairs, so the page stays short.
    auto* grid = new wxFlexGridSizer(4, FromDIP(3), FromDIP(10));
    std::size_t half = (figures.size() + 1) / 2;
    for (std::size_t row = 0; row < half; ++row) {
      for (std::size_t at : {row, row + half}) {
        if (at >= figures.size()) break;
        grid->Add(new wxStaticText(this, wxID_ANY, ToWx(figures[at].label)));
        grid->Add(new wxStaticText(this, wxID_ANY, ToWx(figures[at].value)));
      }
    }
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxALL, Gap(this) * 2);
    SetSizer(column);
  }
};

}  // namespace

SheetPage* MakeReportsPage(wxWindow* book, CSite& site) { return new CSiteReports(book, site); }
SheetPage* MakeSchedulePage(wxWindow* book, CSite& site, std::function<void()> forget_seen_hour) {
  return new CSiteSchedule(book, site, std::move(forget_seen_hour));
}
SheetPage* MakeDatesPage(wxWindow* book, CSite& site) { return new CSiteDates(book, site); }
SheetPage* MakeLastRunPage(wxWindow* book, CSite& site) { return new CSiteLastrun(book, site); }

}  // namespace tf::console
