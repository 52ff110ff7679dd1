#include "install_folder.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

#include "engine/common/registry_values.h"
#include "engine/site/projects_database.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"

namespace tf::test {

namespace {

const char* const kTemplates[] = {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb",
                                  "SystemTemplate.mdb"};

class Db {
 public:
  explicit Db(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      throw std::runtime_error("cannot open " + path);
    }
    sqlite3_busy_timeout(db_, 10000);
  }
  ~Db() { sqlite3_close(db_); }
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace

InstallFolder::InstallFolder() {
  for (const char* name : kTemplates) {
    std::filesystem::copy_file(BuildPath(std::string("data/") + name), dir_.File(name));
  }
  WriteInstallPath(dir_.path());
  SetRegistryString("Path", dir_.path());
}

InstallFolder::~InstallFolder() {
  SiteList.Clear();
  ProjectsDatabase.Close();
  SystemData.CloseSystemDatabase();
  // The defaults of a program that just started.
  CSystemData& system = SystemData;
  system.RunInSysTray = false;
  system.RunPriority = 2;
  system.MaxAnalyses = 2;
  system.MaxDomainThreads = 50;
  system.DefaultSessionTimelimit = 30;
  system.DefaultHomePage = "index.htm";
  system.RemoteLogonName.clear();
  system.RemotePassword.clear();
  system.AllowRemoteAccess = false;
  system.DefDateFormat = 0;
}

void InstallFolder::AddSiteDatabase(const std::string& name) const {
  std::filesystem::copy_file(dir_.File("ProjectTemplate.mdb"), dir_.File(name));
}

void InstallFolder::Sql(const std::string& file, const std::string& statements) const {
  Db db(dir_.File(file));
  char* error = nullptr;
  if (sqlite3_exec(db.get(), statements.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string text = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(text);
  }
}

std::string InstallFolder::Value(const std::string& file, const std::string& query) const {
  Db db(dir_.File(file));
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db.get(), query.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db.get()));
  }
  std::string value = "(none)";
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    value = text ? reinterpret_cast<const char*>(text) : "(null)";
  }
  sqlite3_finalize(stmt);
  return value;
}

}  // namespace tf::test
