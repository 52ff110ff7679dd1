// A site with its own database in a temporary install folder, for the tests
// of analysis runs and of the statistics writer: log files written by the
// test, analysed in a fixed time zone, and the rows read back as text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/site/site.h"
#include "install_folder.h"

namespace tf::test {

class StatisticsSite {
 public:
  // Site 1 "Shop" with Project0001.mdb; its logs are LogFolder()/*.log.
  // The system data holds the reference lists of the system template.
  StatisticsSite();
  ~StatisticsSite();

  CSite& site() { return *site_; }
  InstallFolder& install() { return install_; }
  std::string LogFolder() const { return install_.File("logs"); }
  // Writes one log file of the site (one line per entry).
  void WriteLog(const std::string& name, const std::vector<std::string>& lines) const;
  // One analysis run as the console makes it: running before, idle after.
  int Run();

  // The rows of a query on the site database, columns joined by '|',
  // after the site's open batch of rows is committed.
  std::vector<std::string> Rows(const std::string& query) const;
  // The event log without the time stamps.
  std::vector<std::string> EventLog() const;

 private:
  InstallFolder install_;
  std::unique_ptr<CSite> site_;
};

// One NCSA combined line of client 192.0.2.1 at a time such as
// "07/Jan/2007:10:05:00" (UTC).
std::string NcsaLine(const std::string& time, const std::string& path, int bytes,
                     const std::string& referrer = "-");

}  // namespace tf::test
