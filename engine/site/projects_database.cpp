#include "engine/site/projects_database.h"

#include <algorithm>
#include <mutex>

#include "engine/common/busy.h"
#include "engine/common/message_box.h"
#include "engine/logs/file_access.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/database_files.h"
#include "engine/store/field_values.h"
#include "platform/db/recordset.h"

namespace tf {

CProjectsDatabase ProjectsDatabase;

namespace {

constexpr std::size_t kAddErrorSize = 1000;
constexpr char kCannotInitialize[] = "Cannot initialize project database";

}  // namespace

CProjectsDatabase::~CProjectsDatabase() { Close(); }

bool CProjectsDatabase::Open() {
  return OpenInstalledDatabase(connection_, "Tallyfox.mdb", "TallyfoxTemplate.mdb",
                               "Error opening projects database", "Error opening Tallyfox.mdb");
}

void CProjectsDatabase::Close() { CloseDatabase(connection_); }

bool CProjectsDatabase::LoadProjects() {
  if (!connection_) return false;
  try {
    db::Recordset rs;
    rs.Open("SELECT * FROM tblProjects", *connection_, db::kOpenDynamic, db::kLockPessimistic);
    for (; !rs.IsEof(); rs.MoveNext()) {
      auto site = std::make_unique<CSite>();
      site->LoadIdentity(rs);
      AddToSiteList(site.release());
      PumpMessages();
    }
    return true;
  } catch (const db::Error&) {
    return false;
  }
}

bool CProjectsDatabase::UpdateProjects() {
  if (!connection_) return false;
  db::Recordset rs;
  try {
    rs.Open("SELECT * FROM tblProjects", *connection_, db::kOpenDynamic, db::kLockPessimistic);
  } catch (const db::Error&) {
    return false;
  }
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  try {
    for (; !rs.IsEof(); rs.MoveNext()) {
      CSite* site = SiteList.Find(rs.Field("ProjectID").ToInt32());
      if (site != nullptr && site->settings_changed) {
        try {
          site->StoreIdentity(rs);
          rs.Update();
        } catch (const db::Error&) {
          rs.CancelUpdate();  // the row keeps its old identity
        }
        if (site->settings_changed) site->StoreSettings();
      }
      PumpMessages();
    }
  } catch (const db::Error&) {
    return false;
  }
  return true;
}

std::int32_t CProjectsDatabase::HighestStoredProjectID() {
  try {
    db::Recordset rs;
    rs.Open("SELECT Max(ProjectID) AS Highest FROM tblProjects", *connection_);
    if (!rs.IsEof()) return rs.Field("Highest").ToInt32();
  } catch (const db::Error&) {
  }
  return 0;
}

bool CProjectsDatabase::AddProject(CSite& site) {
  site.SetIdentityDefaults();
  // Another program may have added a site since the id was chosen.
  std::int32_t highest = connection_ ? HighestStoredProjectID() : 0;
  if (site.ProjectID <= highest) {
    bool default_name = site.DatabaseName == DefaultDatabaseName(site.ProjectID);
    {
      std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
      site.ProjectID = std::max(highest, SiteList.HighestProjectID(&site)) + 1;
    }
    if (default_name) site.DatabaseName = DefaultDatabaseName(site.ProjectID);
  }

  // The database first: a row is only written for a site whose database is
  // its own, and an existing file is never taken over.
  std::string path = site.DatabasePath();
  if (path.empty() || !CopyTemplate("ProjectTemplate.mdb", path)) {
    ShowMessageBox(
        "Tallyfox is unable to copy the ProjectTemplate.mdb database to initialize a database for "
        "this project.",
        kCannotInitialize, kMbIconError);
    return false;
  }
  std::string error;
  if (!ExecuteSql("INSERT INTO tblProjects (ProjectID, ProjectName, UserName, UserPassword, "
                  "DatabaseName) VALUES (?, ?, ?, ?, ?)",
                  {com::Variant(site.ProjectID), com::Variant(site.ProjectName),
                   com::Variant(site.UserName), com::Variant(site.UserPassword),
                   com::Variant(site.DatabaseName)},
                  &error, kAddErrorSize)) {
    RemoveFile(path);
    ShowMessageBox("Tallyfox is unable to add this project to Tallyfox.mdb: " + error,
                   kCannotInitialize, kMbIconError);
    return false;
  }
  return site.OpenSiteDatabase();
}

void CProjectsDatabase::DeleteProject(CSite* site) {
  if (site == nullptr) return;
  site->ForceCloseSiteDatabase();
  std::string path = site->DatabasePath();
  RemoveFile(path);
  if (!path.empty()) {
    RemoveFile(path + "-wal");
    RemoveFile(path + "-shm");
  }
  ExecuteSql("DELETE FROM tblProjects WHERE ProjectID=?", {com::Variant(site->ProjectID)});
  for (const char* extension : {"ses", "txt", "ldb"}) RemoveFile(site->SideFilePath(extension));
  RemoveSiteFromList(site);
}

bool CProjectsDatabase::LoadProjectRecord(CSite& site) {
  if (!connection_) return false;
  db::Recordset rs;
  try {
    rs.Open("SELECT * FROM tblProjects WHERE ProjectID=?", *connection_,
            {com::Variant(site.ProjectID)}, db::kOpenDynamic, db::kLockPessimistic);
  } catch (const db::Error&) {
    return false;
  }
  if (rs.IsEof()) return true;  // no row: the site keeps what it has
  const std::pair<const char*, std::string*> fields[] = {{"ProjectName", &site.ProjectName},
                                                         {"UserName", &site.UserName},
                                                         {"UserPassword", &site.UserPassword}};
  const std::size_t sizes[] = {CSite::kProjectNameSize, CSite::kUserNameSize,
                               CSite::kUserPasswordSize};
  for (int i = 0; i < 3; ++i) {
    const com::Variant& value = rs.Field(fields[i].first);
    if (value.is_null()) break;  // reading stops, what was read stays
    *fields[i].second = TextFieldValue(value, sizes[i]);
  }
  return true;
}

bool CProjectsDatabase::ExecuteSql(std::string_view sql, const db::Params& params,
                                   std::string* error_text, std::size_t error_size) {
  return tf::ExecuteSql(connection_.get(), sql, params, error_text, error_size) != 0;
}

}  // namespace tf
