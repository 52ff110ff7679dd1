// CProjectsDatabase: the program's one connection to the projects database
// Tallyfox.mdb in the install folder, which lists the sites (tblProjects)
// and keeps the system settings. It loads the site list, writes changed
// sites back, and adds and deletes sites with their own database files.
// Its operations run on the caller's thread; the console calls them from
// its dialog thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/store/database.h"

namespace tf {

class CSite;

class CProjectsDatabase {
 public:
  CProjectsDatabase() = default;
  virtual ~CProjectsDatabase();
  CProjectsDatabase(const CProjectsDatabase&) = delete;
  CProjectsDatabase& operator=(const CProjectsDatabase&) = delete;

  // Opens Tallyfox.mdb, made from TallyfoxTemplate.mdb when missing (an
  // existing file is never replaced). Failures are shown to the user.
  bool Open();
  void Close();

  // One new site per row, each loaded with its settings, at the head of the
  // site list. False on a database error; the sites loaded so far stay.
  bool LoadProjects();
  // Writes the identity row and the settings of every listed site marked as
  // changed. False when tblProjects cannot be read.
  bool UpdateProjects();
  // The site's row and its database, copied from ProjectTemplate.mdb; the
  // site's database is then open. A failure is shown to the user and gives
  // false; an existing database file is never replaced.
  bool AddProject(CSite& site);
  // The site's database and side files, its row, and the site itself.
  void DeleteProject(CSite* site);
  // Reads the site's name and logon from its row again.
  bool LoadProjectRecord(CSite& site);
  // One statement; false with the database's description in error_text.
  bool ExecuteSql(std::string_view sql, const db::Params& params = {},
                  std::string* error_text = nullptr, std::size_t error_size = 0);

  // The system settings (members of SystemData), stored in this database.
  bool LoadSystemSettings();
  bool StoreSystemSettings();
  bool GetSettingInteger(std::string_view key, std::int32_t& value);
  bool GetSettingString(std::string_view key, std::string& value, std::size_t size);
  bool StoreSettingInteger(std::string_view key, std::int32_t value);
  bool StoreSettingString(std::string_view key, std::string_view value);

  db::Connection* connection() { return connection_.get(); }

 private:
  std::int32_t HighestStoredProjectID();

  ConnectionHolder connection_;
};

extern CProjectsDatabase ProjectsDatabase;

}  // namespace tf
