// The Top-N counts of a report: the number of rows each ranked section shows.
#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/report_builder.h"

namespace tf::report {

void ReportBuilder::GetProjectInfoBrief() {
  Enter(-2230);
  if (variant().brief_reads_domain) {
    // The site's own domain; a site without the setting shows none.
    OpenSiteDatabase();
    db::Recordset& domain = OpenDynaset(
        "select name, stringvalue from tblsettingsstring where name = 'domainname'");
    DomainName.clear();
    if (domain.RecordCount() > 0) {
      domain.MoveFirst();
      if (!domain.Field("stringvalue").is_null()) DomainName = domain.Field("stringvalue").ToString();
    }
    CurrentRecordset.Close();
    CurrentDatabase.reset();
  }
  // The flag lives where the viewer's options write it: the projects
  // database. Without a row it keeps its value.
  const std::string projects = JoinPath(HomeFolder, "Tallyfox.mdb");
  {
    db::Connection database;
    database.Open(projects);
    db::Recordset flag = database.OpenRecordset(
        "select name, integervalue  from tblsettingsinteger where name like "
        "'GlobalTopSettings'");
    if (flag.RecordCount() > 0) {
      flag.MoveFirst();
      GlobalTopSettingsFlag = ToInt16(flag.Field("integervalue"));
    }
  }

  if (GlobalTopSettingsFlag == 1) {
    DatabasePath = projects;
    CurrentRecordset.Close();
    CurrentDatabase = std::make_unique<db::Connection>();
    CurrentDatabase->Open(DatabasePath);
  } else {
    OpenSiteDatabase();
  }
  db::Recordset& rs = OpenDynaset(
      "select name, integervalue  from tblsettingsinteger where name like 'Top*'");
  for (int i = 0; i < kTopNEntries; ++i) TopNTable[i].count = i == kTopNEntries - 1 ? "10" : "20";
  if (rs.RecordCount() > 0) {
    rs.MoveLast();
    int count = rs.RecordCount();
    rs.MoveFirst();
    for (int row = 0; row < count; ++row, rs.MoveNext()) {
      std::string name = rs.Field("name").ToString();
      for (TopNEntry& entry : TopNTable) {
        if (entry.name != name) continue;
        entry.count = rs.Field("integervalue").ToString();
        break;
      }
    }
  }
  CurrentRecordset.Close();
  CurrentDatabase.reset();
  Leave(-2235);
}

}  // namespace tf::report
