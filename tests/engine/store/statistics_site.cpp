#include "statistics_site.h"

#include <sqlite3.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "engine/logs/log_stream.h"
#include "engine/run/run_analysis.h"
#include "engine/store/system_data.h"

namespace tf::test {

StatisticsSite::StatisticsSite() : site_(std::make_unique<CSite>()) {
  // As after the program's start-up, so that every run classifies its user
  // agents and referrers by the same lists, whatever ran before.
  if (!SystemData.OpenSystemDatabase() || !SystemData.LoadReferenceTables()) {
    throw std::runtime_error("the system template does not load");
  }
  install_.AddSiteDatabase("Project0001.mdb");
  std::filesystem::create_directory(LogFolder());
  CSite& site = *site_;
  site.ProjectID = 1;
  site.ProjectName = "Shop";
  site.DatabaseName = "Project0001.mdb";
  site.settings.AutoTimezone = 0;
  site.settings.Timezone = 0;
  site.settings.RptUseSchedule = 0;
  site.log_streams.push_back(std::make_unique<CLogStream>(LogFolder() + "/*.log"));
}

StatisticsSite::~StatisticsSite() { site_.reset(); }

void StatisticsSite::WriteLog(const std::string& name, const std::vector<std::string>& lines) const {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  WriteFile(LogFolder() + "/" + name, text);
}

int StatisticsSite::Run() {
  site_->state = kSiteRunning;
  int result = RunAnalysis(*site_);
  site_->state = kSiteIdle;
  return result;
}

std::vector<std::string> StatisticsSite::Rows(const std::string& query) const {
  {
    // The rows the site wrote may wait in its open batch, as they do during
    // a run: committed first, as the run's end commits them.
    DatabaseLockGuard lock(site_->database(), "Rows");
    site_->database().batch().Commit();
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(install_.File("Project0001.mdb").c_str(), &db, SQLITE_OPEN_READONLY,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open the site database");
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, query.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string error = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(error);
  }
  std::vector<std::string> rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      if (i > 0) row += '|';
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row += text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

std::vector<std::string> StatisticsSite::EventLog() const {
  std::string path = install_.File("Project0001.txt");
  std::vector<std::string> lines;
  if (!std::filesystem::exists(path)) return lines;
  std::istringstream log(ReadFile(path));
  for (std::string line; std::getline(log, line);) lines.push_back(line.substr(11));
  return lines;
}

std::string NcsaLine(const std::string& time, const std::string& path, int bytes,
                     const std::string& referrer) {
  return "192.0.2.1 - - [" + time + " +0000] \"GET " + path + " HTTP/1.1\" 200 " +
         std::to_string(bytes) + " \"" + referrer + "\" \"Mozilla/5.0\"";
}

}  // namespace tf::test
