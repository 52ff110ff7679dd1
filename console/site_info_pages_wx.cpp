// The General, Log files and Log filters pages and the log file
// pattern dialog.
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "console/progress_dialogs.h"
#include "console/site_folders_page.h"
#include "console/site_general_page.h"
#include "console/site_info_pages_wx.h"
#include "console/site_sheet.h"
#include "desktop/folder_picker.h"
#include "desktop/wx_text.h"
#include "engine/common/address.h"
#include "engine/common/message_box.h"
#include "engine/site/site.h"

namespace tf::console {

using desktop::FromWx;
using desktop::ToWx;

namespace {

// --- General info. -------------------------------------------------------

class CSiteGeneral : public SheetPage {
 public:
  CSiteGeneral(wxWindow* parent, CSite& site, bool new_site)
      : SheetPage(parent, "CSiteGeneral"), site_(site), new_site_(new_site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    grid->AddGrowableCol(1);
    name_ = AddEdit(this, grid, "* Project name:");
    domain_ = AddEdit(this, grid, "* Site domain name:");
    auto* address_row = new wxBoxSizer(wxHORIZONTAL);
    grid->Add(new wxStaticText(this, wxID_ANY, "Site IP address:"), 0, wxALIGN_CENTER_VERTICAL);
    address_ = new wxTextCtrl(this, wxID_ANY);
    auto* translate = new wxButton(this, wxID_ANY, "Translate domain name");
    address_row->Add(address_, 1, wxRIGHT, Gap(this));
    address_row->Add(translate);
    grid->Add(address_row, 1, wxEXPAND);
    home_ = AddEdit(this, grid, "* Home page:");
    logon_ = AddEdit(this, grid, "* Web access logon:");
    password_ = AddEdit(this, grid, "* Web access password:", wxTE_PASSWORD);
    person_ = AddEdit(this, grid, "Person name:");
    email_ = AddEdit(this, grid, "E-mail address:");
    notes_ = AddEdit(this, grid, "Notes:");
    remove_ = AddEdit(this, grid, "Remove from URL:");
    database_ = AddEdit(this, grid, "Project database:", wxTE_READONLY);
    session_ = AddEdit(this, grid, "Minutes of inactivity to end a session:");
    column->Add(grid, 0, wxALL | wxEXPAND, Gap(this));
    column->Add(new wxStaticText(this, wxID_ANY, "(* = Required items)"), 0, wxLEFT, Gap(this));

    auto* zone = new wxStaticBoxSizer(wxVERTICAL, this,
                                      "Timezone for converting log file entry dates");
    wxWindow* box = zone->GetStaticBox();
    auto* zone_grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    auto_zone_ = new wxRadioButton(box, wxID_ANY, "Use this computer's timezone", wxDefaultPosition,
                                   wxDefaultSize, wxRB_GROUP);
    machine_ = new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    fixed_zone_ = new wxRadioButton(box, wxID_ANY, "Use fixed timezone");
    fixed_ = new wxTextCtrl(box, wxID_ANY);
    zone_grid->Add(auto_zone_, 0, wxALIGN_CENTER_VERTICAL);
    zone_grid->Add(machine_);
    zone_grid->Add(fixed_zone_, 0, wxALIGN_CENTER_VERTICAL);
    zone_grid->Add(fixed_);
    zone->Add(zone_grid, 0, wxALL, Gap(this));
    zone->Add(new wxStaticText(box, wxID_ANY, "(Timezone = GMT - local time)"), 0, wxALL, Gap(this));
    column->Add(zone, 0, wxALL | wxEXPAND, Gap(this));
    SetSizer(column);

    auto_zone_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { fixed_->Enable(false); });
    fixed_zone_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { fixed_->Enable(true); });
    translate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TranslateDomain(); });
    Fill();
  }

  bool Leave() override {
    SiteGeneralFields fields = Read();
    StoreSiteGeneral(fields, site_);
    GeneralCheck check = CheckSiteGeneral(fields, new_site_);
    if (check == GeneralCheck::kAccept) return true;
    int answer = ShowPageMessage(GeneralCheckMessage(check));
    if (check == GeneralCheck::kMissingName) {
      name_->SetFocus();
      return false;
    }
    if (answer == kIdNo) return true;
    (FocusPasswordForWebLogon(fields) ? password_ : logon_)->SetFocus();
    return false;
  }

 private:
  void Fill() {
    SiteGeneralFields f = FillSiteGeneral(site_);
    name_->ChangeValue(ToWx(f.project_name));
    domain_->ChangeValue(ToWx(f.domain_name));
    address_->ChangeValue(ToWx(f.ip_address));
    home_->ChangeValue(ToWx(f.home_page));
    logon_->ChangeValue(ToWx(f.user_name));
    password_->ChangeValue(ToWx(f.user_password));
    person_->ChangeValue(ToWx(f.person_name));
    email_->ChangeValue(ToWx(f.email_address));
    notes_->ChangeValue(ToWx(f.notes));
    remove_->ChangeValue(ToWx(f.remove_string));
    database_->ChangeValue(ToWx(f.database_path));
    session_->ChangeValue(ToWx(f.session_limit));
    machine_->ChangeValue(ToWx(f.machine_offset));
    fixed_->ChangeValue(ToWx(f.fixed_offset));
    auto_zone_->SetValue(f.auto_timezone);
    fixed_zone_->SetValue(!f.auto_timezone);
    fixed_->Enable(!f.auto_timezone);
    name_->SetFocus();
  }

  SiteGeneralFields Read() const {
    SiteGeneralFields f;
    f.project_name = FromWx(name_->GetValue());
    f.domain_name = FromWx(domain_->GetValue());
    f.ip_address = FromWx(address_->GetValue());
    f.home_page = FromWx(home_->GetValue());
    f.user_name = FromWx(logon_->GetValue());
    f.user_password = FromWx(password_->GetValue());
    f.person_name = FromWx(person_->GetValue());
    f.email_address = FromWx(email_->GetValue());
    f.notes = FromWx(notes_->GetValue());
    f.remove_string = FromWx(remove_->GetValue());
    f.session_limit = FromWx(session_->GetValue());
    f.auto_timezone = auto_zone_->GetValue();
    f.fixed_offset = FromWx(fixed_->GetValue());
    return f;
  }

  void TranslateDomain() {
    std::string domain = DomainForLookup(FromWx(domain_->GetValue()));
    domain_->ChangeValue(ToWx(domain));
    if (domain.empty()) {
      ShowPageMessage(MissingDomainMessage());
      return;
    }
    std::uint32_t address = 0;
    {
      wxBusyCursor wait;
      address = HostToAddress(domain);
    }
    if (address != 0) {
      address_->ChangeValue(ToWx(AddressToText(address)));
    } else {
      ShowPageMessage(LookupFailedMessage(domain));
    }
  }

  CSite& site_;
  bool new_site_;
  wxTextCtrl *name_, *domain_, *address_, *home_, *logon_, *password_, *person_, *email_,
      *notes_, *remove_, *database_, *session_, *machine_, *fixed_;
  wxRadioButton *auto_zone_, *fixed_zone_;
};

// --- Log files ------------------------------------------------------------

class CLogSpecDlg : public wxDialog {
 public:
  CLogSpecDlg(wxWindow* parent, const wxString& caption, const std::string& text,
              std::string default_pattern)
      : wxDialog(parent, wxID_ANY, caption), default_pattern_(std::move(default_pattern)) {
    SetName("CLogSpecDlg");
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Log file specification to add");
    wxWindow* box = group->GetStaticBox();
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    edit_ = new wxTextCtrl(box, wxID_ANY, ToWx(text), wxDefaultPosition, wxSize(FromDIP(380), -1));
    auto* browse = new wxButton(box, wxID_ANY, "Browse");
    row->Add(edit_, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, Gap(this));
    row->Add(browse);
    group->Add(row, 0, wxALL | wxEXPAND, Gap(this));
    auto* hint = new wxStaticText(box, wxID_ANY,
                                  "Enter the full file specification.  You may use * and % "
                                  "wildcard characters.");
    hint->Wrap(FromDIP(440));
    group->Add(hint, 0, wxALL, Gap(this));
    column->Add(group, 1, wxALL | wxEXPAND, Gap(this) * 2);
    column->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, Gap(this) * 2);
    SetSizerAndFit(column);
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); }, wxID_OK);
    edit_->SetFocus();
  }

  // The pattern, or empty when the user gave up.
  const std::string& text() const { return text_; }

 private:
  void OnOk() {
    text_ = FromWx(edit_->GetValue());
    LogSpecCheck check = CheckLogSpec(text_);
    if (check == LogSpecCheck::kNeedDirectory || check == LogSpecCheck::kNeedFileName) {
      if (ShowPageMessage(LogSpecMessage(check)) != kIdOk) {
        text_.clear();
        EndModal(wxID_OK);
        return;
      }
      if (check == LogSpecCheck::kNeedFileName) edit_->ChangeValue(ToWx(CompleteWithLogPattern(text_)));
      edit_->SetFocus();
      return;
    }
    EndModal(wxID_OK);
  }

  void Browse() {
    std::string folder;
    if (!desktop::BrowseForFolder("Select folder with log files", folder, this)) return;
    std::string spec = BrowsedPattern(folder, default_pattern_);
    if (!spec.empty()) edit_->ChangeValue(ToWx(spec));
  }

  std::string default_pattern_;
  std::string text_;
  wxTextCtrl* edit_;
};

class CSiteFolders : public SheetPage {
 public:
  CSiteFolders(wxWindow* parent, CSite& site, bool new_site)
      : SheetPage(parent, "CSiteFolders"), site_(site), new_site_(new_site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* list_row = new wxBoxSizer(wxHORIZONTAL);
    list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(FromDIP(380), FromDIP(140)),
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    list_->AppendColumn("Log file specification", wxLIST_FORMAT_LEFT, FromDIP(370));
    list_row->Add(list_, 1, wxEXPAND | wxRIGHT, Gap(this));
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    auto* add = new wxButton(this, wxID_ANY, "Add");
    auto* edit = new wxButton(this, wxID_ANY, "Edit");
    auto* remove = new wxButton(this, wxID_ANY, "Remove");
    for (wxButton* button : {add, edit, remove}) buttons->Add(button, 0, wxBOTTOM, Gap(this));
    list_row->Add(buttons);
    column->Add(list_row, 1, wxALL | wxEXPAND, Gap(this));

    auto* old = new wxStaticBoxSizer(wxVERTICAL, this, "After analyzing");
    wxWindow* box = old->GetStaticBox();
    actions_[0] = new wxRadioButton(box, wxID_ANY, "Leave unchanged", wxDefaultPosition,
                                    wxDefaultSize, wxRB_GROUP);
    actions_[1] = new wxRadioButton(box, wxID_ANY, "Delete log files after analyzing them");
    actions_[2] = new wxRadioButton(box, wxID_ANY, "Rename old log files to:");
    actions_[3] = new wxRadioButton(box, wxID_ANY, "Move to archive folder:");
    mask_ = new wxTextCtrl(box, wxID_ANY);
    archive_ = new wxTextCtrl(box, wxID_ANY);
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    grid->AddGrowableCol(1);
    for (int i = 0; i < 4; ++i) {
      grid->Add(actions_[i], 0, wxALIGN_CENTER_VERTICAL);
      if (i == 2) grid->Add(mask_, 1, wxEXPAND);
      else if (i == 3) grid->Add(archive_, 1, wxEXPAND);
      else grid->AddSpacer(0);
      actions_[i]->Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) { ChooseAction(i); });
    }
    old->Add(grid, 0, wxALL | wxEXPAND, Gap(this));
    column->Add(old, 0, wxALL | wxEXPAND, Gap(this));

    auto* format_row = new wxBoxSizer(wxHORIZONTAL);
    format_row->Add(new wxStaticText(this, wxID_ANY, "IIS log file date format:"), 0,
                    wxALIGN_CENTER_VERTICAL | wxRIGHT, Gap(this));
    format_ = new wxComboBox(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, nullptr,
                             wxCB_READONLY);
    format_row->Add(format_);
    column->Add(format_row, 0, wxALL, Gap(this));
    SetSizer(column);

    add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Add(); });
    edit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Edit(); });
    remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Remove(); });
    Fill();
  }

  bool Leave() override {
    if (NeedsLogStream(site_, new_site_)) {
      ShowPageMessage(NoLogSpecMessage());
      Add();
      return false;
    }
    SiteFoldersFields f;
    f.old_log_action = -1;
    for (int i = 0; i < 4; ++i) {
      if (actions_[i]->GetValue()) f.old_log_action = i;
    }
    f.old_name_mask = FromWx(mask_->GetValue());
    f.archive_folder = FromWx(archive_->GetValue());
    f.date_format = GetDateFormatCombo(*format_, site_.settings.DateFormat);
    StoreSiteFolders(f, site_);
    return true;
  }

 private:
  void Fill() {
    for (const auto& stream : site_.log_streams) AppendRow(*stream, list_->GetItemCount());
    SiteFoldersFields f = FillSiteFolders(site_);
    mask_->ChangeValue(ToWx(f.old_name_mask));
    archive_->ChangeValue(ToWx(f.archive_folder));
    if (f.old_log_action >= 0 && f.old_log_action < 4) actions_[f.old_log_action]->SetValue(true);
    mask_->Enable(f.old_log_action == 2);
    archive_->Enable(f.old_log_action == 3);
    FillDateFormatCombo(*format_, f.date_format);
    list_->SetFocus();
  }

  void AppendRow(CLogStream& stream, long at) {
    long row = list_->InsertItem(at, ToWx(stream.file_pattern()));
    list_->SetItemPtrData(row, reinterpret_cast<wxUIntPtr>(&stream));
  }

  void ChooseAction(int action) {
    mask_->Enable(action == 2);
    archive_->Enable(action == 3);
    if (action == 2) mask_->SetFocus();
  }

  CLogStream* Selected(long& row) const {
    row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row < 0 ? nullptr : reinterpret_cast<CLogStream*>(list_->GetItemData(row));
  }

  void Add() {
    std::string pattern;
    if (!site_.log_streams.empty()) pattern = DefaultPatternOf(site_.log_streams.front()->file_pattern());
    CLogSpecDlg dialog(this, "Add log file entry", "", pattern);
    if (dialog.ShowModal() != wxID_OK || dialog.text().empty()) return;
    AppendRow(AddLogStream(site_, dialog.text()), 0);
  }

  void Edit() {
    long row = -1;
    CLogStream* stream = Selected(row);
    if (stream == nullptr) return;
    CLogSpecDlg dialog(this, "Edit log file entry", stream->file_pattern(),
                       DefaultPatternOf(stream->file_pattern()));
    if (dialog.ShowModal() != wxID_OK || dialog.text().empty()) return;
    EditLogStream(*stream, dialog.text());
    list_->SetItemText(row, ToWx(stream->file_pattern()));
  }

  void Remove() {
    long row = -1;
    CLogStream* stream = Selected(row);
    if (stream == nullptr || ShowPageMessage(ConfirmRemoveMessage(*stream)) != kIdOk) return;
    list_->DeleteItem(row);
    RemoveLogStream(site_, *stream);
  }

  CSite& site_;
  bool new_site_;
  wxListCtrl* list_;
  wxRadioButton* actions_[4];
  wxTextCtrl *mask_, *archive_;
  wxComboBox* format_;
};

// --- Log filters ----------------------------------------------------------

class CSiteLogFilters : public SheetPage {
 public:
  CSiteLogFilters(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteLogFilters"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    include_ = AddFilter(column, "Include only log records that contain one of these texts (one a line):");
    exclude_ = AddFilter(column, "Exclude log records that contain one of these texts (one a line):");
    SetSizer(column);
  }

  void Enter() override {
    include_->ChangeValue(ToWx(site_.settings.LogIncludeFilter));
    exclude_->ChangeValue(ToWx(site_.settings.LogExcludeFilter));
    include_->SetFocus();
  }

  bool Leave() override {
    StoreLogFilters(FromWx(include_->GetValue()), FromWx(exclude_->GetValue()), site_);
    return true;
  }

 private:
  wxTextCtrl* AddFilter(wxBoxSizer* column, const wxString& label) {
    column->Add(new wxStaticText(this, wxID_ANY, label), 0, wxLEFT | wxRIGHT | wxTOP, Gap(this));
    auto* edit = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition,
                                wxSize(FromDIP(380), FromDIP(120)), wxTE_MULTILINE);
    column->Add(edit, 1, wxALL | wxEXPAND, Gap(this));
    return edit;
  }

  CSite& site_;
  wxTextCtrl *include_, *exclude_;
};

}  // namespace

void AddSiteInfoPages(PageSheet& sheet, CSite& site, bool new_site) {
  wxWindow* book = sheet.GetBookCtrl();
  sheet.AddPage(new CSiteGeneral(book, site, new_site), "General info.");
  sheet.AddPage(new CSiteFolders(book, site, new_site), "Log files");
  sheet.AddPage(new CSiteLogFilters(book, site), "Log filters");
}

}  // namespace tf::console
