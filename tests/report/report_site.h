// A temporary install folder with one site for the report tests: the
// database templates, style.css and the help icon; Tallyfox.mdb naming the
// site "Site A" with its database Project0001.mdb (a copy of the site
// template) that the tests fill with small synthetic statistics; the
// registry's Path pointing at the folder; the report generator and the
// components it creates registered from the build tree.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/variant.h"
#include "platform/db/connection.h"
#include "support/test_support.h"

namespace tf::report::test {

class ReportSite {
 public:
  ReportSite();

  const std::string& home() const { return home_; }
  // The report folder the tests' command lines name.
  std::string out() const { return dir_.File("out"); }
  std::string OutFile(const std::string& name) const { return out() + "/" + name; }

  db::Connection& site() { return site_; }

  // Statistics rows; dates are "m/d/yyyy" (days) or "m/d/yyyy h:nn:ss".
  int Item(int category, const std::string& name);
  void Day(const std::string& date, int category, int item, double hits, double bytes = 0,
           double sessions = 0, double view_time = 0, double entries = 0, double exits = 0);
  void Hour(const std::string& date_time, int category, double hits);
  void Visitor(const std::string& date, const std::string& address, double hits);
  void Domain(const std::string& address, const std::string& name);
  void TargetHit(const std::string& date, int target_page, int phrase, double hits,
                 double sessions);
  void HitStatus(const std::string& date, int status, int item, double hits);
  void Path(const std::string& date, int item, int next_item, double hits);
  // A row of tblSettingsInteger in the site database, or in Tallyfox.mdb.
  void SiteInteger(const std::string& name, std::int32_t value);
  void ProjectsInteger(const std::string& name, std::int32_t value);
  void SiteString(const std::string& name, const std::string& value);

  // A report command line for Site A into out().
  std::string CommandLine(const std::string& range, const std::string& name = "daily") const;

 private:
  tf::test::TempDir dir_;
  std::string home_;
  db::Connection site_;
};

// The automation date of "m/d/yyyy [h:nn:ss]".
com::Variant DateValue(const std::string& text);

}  // namespace tf::report::test
