// The help pages: one static page per topic of the installed system
// template, written into the report's help folder. The texts are the
// install's own HTML and go in unchanged.
#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/report_builder.h"

namespace tf::report {

void ReportBuilder::WriteHelpFiles() {
  Enter(-2240);
  DatabasePath = JoinPath(HomeFolder, "SystemTemplate.mdb");
  CurrentRecordset.Close();
  CurrentDatabase.reset();
  auto connection = std::make_unique<db::Connection>();
  connection->Open(DatabasePath);
  CurrentDatabase = std::move(connection);
  db::Recordset& rs = OpenDynaset("select id, helpname, helptext  from tblhelpfiles ");
  if (rs.RecordCount() != 0) {
    rs.MoveLast();
    int count = rs.RecordCount();
    rs.MoveFirst();
    for (int i = 0; i < count; ++i) {
      std::string helptext = rs.Field("helptext").ToString();
      std::string helpname = rs.Field("helpname").ToString();
      std::int32_t id = rs.Field("id").ToInt32();
      WriteHelpPage(id, helpname, helptext);
      rs.MoveNext();
    }
  }
  CurrentRecordset.Close();
  CurrentDatabase.reset();
  Leave(-2245);
}

std::string HelpPageHtml(const std::string& helpname, const std::string& helptext) {
  std::string page;
  page.reserve(1500 + helpname.size() * 2 + helptext.size());
  page += "<html> <head> <title>Tallyfox - " + helpname + "</title> ";
  page += "<body topmargin='0' bottommargin='0' leftmargin='0' rightmargin='0'> ";
  page +=
      "<table border='0' width='100%' height='100%' align='center' cellspacing='0' "
      "cellpadding='4'> <tr> ";
  page += "<td bgcolor='304273' align='right'> ";
  page += "<table cellspacing='0' cellpadding='0' width='100%' border='0'> <tr> ";
  page += "<td width='125' valign='bottom'> ";
  page += "<font color='white' style='font-family:arial;font-size:14px'> ";
  page += "<i>Tallyfox Help File</i> </td> <td align='right'> ";
  page += "<font color='white' style='font-family:arial;font-size:28px'> ";
  page += helpname + "</td> </tr> </table> </td> </tr> ";
  page += "<tr> <td bgcolor='black'><img src='trans.gif' height='1' width='0'></td> </tr> ";
  page += "<tr height='100%'> <td bgcolor='E0E0EE' valign='top'> " + helptext + "</td> </tr> ";
  page += "</table> </body> </html> ";
  page += "\r\n";
  return page;
}

void ReportBuilder::WriteHelpPage(std::int32_t id, const std::string& helpname,
                                  const std::string& helptext) {
  Enter(-2250);
  WriteWholeFile(JoinPath(JoinPath(OutputFolder, "help"), std::to_string(id) + ".html"),
                 HelpPageHtml(helpname, helptext));
  Leave(-2255);
}

}  // namespace tf::report
