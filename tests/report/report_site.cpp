#include "tests/report/report_site.h"

#include <filesystem>
#include <stdexcept>

#include "platform/com/create.h"
#include "platform/db/jet_date.h"
#include "platform/db/recordset.h"
#include "platform/registry/registry.h"

namespace tf::report::test {

namespace fs = std::filesystem;

com::Variant DateValue(const std::string& text) {
  std::optional<db::DateParts> parts = db::ParseJetDate(text);
  if (!parts) throw std::invalid_argument("not a date: " + text);
  return com::Variant::Date(db::ToAutomationDate(*parts));
}

ReportSite::ReportSite() : home_(dir_.File("install") + "/") {
  fs::create_directories(home_ + "GUITemp/images");
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(tf::test::BuildPath(std::string("data/") + name), home_ + name);
  }
  fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/style.css", home_ + "style.css");
  fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/GUITemp/images/question1.gif",
                home_ + "GUITemp/images/question1.gif");
  fs::copy_file(home_ + "TallyfoxTemplate.mdb", home_ + "Tallyfox.mdb");
  fs::copy_file(home_ + "ProjectTemplate.mdb", home_ + "Project0001.mdb");
  {
    db::Connection projects;
    projects.Open(home_ + "Tallyfox.mdb");
    projects.Execute(
        "INSERT INTO tblProjects (ProjectID, ProjectName, DatabaseName) VALUES (1, 'Site A', "
        "'Project0001.mdb')");
  }
  site_.Open(home_ + "Project0001.mdb");

  registry::Key key;
  registry::Key::Create("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox", registry::KEY_ALL_ACCESS, &key);
  key.SetString("Path", home_);
  for (const char* library : {TF_REPORT_LIBRARY, TF_SUPPORT_LIBRARY, TF_CHART_LIBRARY}) {
    if (com::RegisterComDll(library, true) != 1) {
      throw std::runtime_error(std::string("cannot register ") + library);
    }
  }
}

int ReportSite::Item(int category, const std::string& name) {
  site_.Execute("INSERT INTO tblData (Category, Name) VALUES (?, ?)",
                {com::Variant(category), com::Variant(name)});
  db::Recordset rs = site_.OpenRecordset("SELECT Max(ItemID) AS id FROM tblData");
  rs.MoveFirst();
  return rs.Field("id").ToInt32();
}

void ReportSite::Day(const std::string& date, int category, int item, double hits, double bytes,
                     double sessions, double view_time, double entries, double exits) {
  site_.Execute(
      "INSERT INTO tblDay (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, "
      "SessionCount, ViewTime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {DateValue(date), com::Variant(category), com::Variant(item), com::Variant(hits),
       com::Variant(bytes), com::Variant(entries), com::Variant(exits), com::Variant(sessions),
       com::Variant(view_time)});
}

void ReportSite::Hour(const std::string& date_time, int category, double hits) {
  site_.Execute("INSERT INTO tblHour (EntryDate, Category, ItemID, Hits) VALUES (?, ?, 0, ?)",
                {DateValue(date_time), com::Variant(category), com::Variant(hits)});
}

void ReportSite::Visitor(const std::string& date, const std::string& address, double hits) {
  site_.Execute("INSERT INTO tblVisitors (EntryDate, IPaddress, Hits) VALUES (?, ?, ?)",
                {DateValue(date), com::Variant(address), com::Variant(hits)});
}

void ReportSite::Domain(const std::string& address, const std::string& name) {
  site_.Execute("INSERT INTO tblDomains (IPaddress, DomainName) VALUES (?, ?)",
                {com::Variant(address), com::Variant(name)});
}

void ReportSite::TargetHit(const std::string& date, int target_page, int phrase, double hits,
                           double sessions) {
  site_.Execute(
      "INSERT INTO tblTargetHits (EntryDate, ReferringSite, ReferringCategory, KeywordPhrase, "
      "TargetPage, TargetHits, TotalSessions) VALUES (?, 0, 0, ?, ?, ?, ?)",
      {DateValue(date), com::Variant(phrase), com::Variant(target_page), com::Variant(hits),
       com::Variant(sessions)});
}

void ReportSite::HitStatus(const std::string& date, int status, int item, double hits) {
  site_.Execute("INSERT INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits) VALUES (?, ?, ?, ?)",
                {DateValue(date), com::Variant(status), com::Variant(item), com::Variant(hits)});
}

void ReportSite::Path(const std::string& date, int item, int next_item, double hits) {
  site_.Execute("INSERT INTO tblPaths (EntryDate, ItemID, ItemID2, Hits) VALUES (?, ?, ?, ?)",
                {DateValue(date), com::Variant(item), com::Variant(next_item), com::Variant(hits)});
}

namespace {
void PutInteger(db::Connection& db, const std::string& name, std::int32_t value) {
  db.Execute("DELETE FROM tblSettingsInteger WHERE Name = ?", {com::Variant(name)});
  db.Execute("INSERT INTO tblSettingsInteger (Name, IntegerValue) VALUES (?, ?)",
             {com::Variant(name), com::Variant(value)});
}
}  // namespace

void ReportSite::SiteInteger(const std::string& name, std::int32_t value) {
  PutInteger(site_, name, value);
}

void ReportSite::ProjectsInteger(const std::string& name, std::int32_t value) {
  db::Connection projects;
  projects.Open(home_ + "Tallyfox.mdb");
  PutInteger(projects, name, value);
}

void ReportSite::SiteString(const std::string& name, const std::string& value) {
  site_.Execute("DELETE FROM tblSettingsString WHERE Name = ?", {com::Variant(name)});
  site_.Execute("INSERT INTO tblSettingsString (Name, StringValue) VALUES (?, ?)",
                {com::Variant(name), com::Variant(value)});
}

std::string ReportSite::CommandLine(const std::string& range, const std::string& name) const {
  return "/p \"Site A\" /d \"" + out() + "\" /r \"" + name + "\" /s " + range;
}

}  // namespace tf::report::test
