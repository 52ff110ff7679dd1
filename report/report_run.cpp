#include "report/report_run.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/com/create.h"
#include "platform/draw/utf8.h"
#include "report/command_line.h"
#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/regional_format.h"

namespace tf::report {
namespace {

com::ComPtr<com::IDispatch> CreateByProgId(const char* prog_id) {
  com::ComPtr<com::IDispatch> object;
  com::HRESULT hr = com::CreateInstanceByProgID(prog_id, &object);
  if (com::Failed(hr) || !object) {
    throw ReportError(std::string("Cannot create ") + prog_id);
  }
  return object;
}

// The command line as text: strings, numbers, dates and booleans convert;
// Null and the rest do not.
std::optional<std::string> CommandText(const com::Variant& value) {
  switch (value.base_type()) {
    case com::VT_NULL:
    case com::VT_ERROR:
    case com::VT_VARIANT:
      return std::nullopt;
    default:
      return value.ToString();
  }
}

}  // namespace

com::Variant ReportRun::LoadProject(const com::Variant& command_line) {
  try {
    std::optional<std::string> text = CommandText(command_line);
    if (!text) return com::Variant::I4(CurrentStep);
    CommandLine = *text;

    CurrentStep = -1010;
    SupportObject = CreateByProgId(kSupportProgId);

    CurrentStep = -1020;
    com::Variant home;
    if (com::Failed(SupportObject->InvokeByName("GetHomeDirectory", {com::Variant::I2(0)}, &home))) {
      throw ReportError("GetHomeDirectory failed");
    }
    HomeFolder = home.ToString();
    if (HomeFolder.empty()) HomeFolder = kDefaultHomeFolder;

    CurrentStep = -1030;
    std::int16_t status = ProcessCommandLine();
    if (status != 1) return com::Variant::I2(static_cast<std::int16_t>(-status));

    CurrentStep = -1040;
    ChartObject = CreateByProgId(kChartProgId);

    CurrentStep = -1050;
    GetProjectInfo();

    CurrentStep = -1060;
    if (GetLogDateRange() != 1) return com::Variant::I2(-2);

    CurrentStep = -1070;
    GetBaseFileName();
    CurrentStep = -1080;
    DeclareGlobalVars();
    CurrentStep = -1090;
    IncludeStyleSheet();
    CurrentStep = -1100;
    ProcessDateRange();
    CurrentStep = -1110;
    WriteHelpFiles();
    CurrentStep = -1120;
    GetProjectInfoBrief();

    WriteReportBody(false);

    CurrentStep = -1700;
    WriteHTMLFile();
    CurrentStep = -1750;
    return com::Variant::I2(1);
  } catch (...) {
    // The one error handler: the code written last says where it stopped.
    return com::Variant::I4(CurrentStep);
  }
}

std::string ReportRun::GetParam(char letter) {
  Enter(-2210);
  std::string value = SwitchValue(CommandLine, letter).value_or("");
  Leave(-2215);
  return value;
}

std::int16_t ReportRun::ProcessCommandLine() {
  Enter(-2090);
  if (!HasSwitch(CommandLine, 'd')) return 10;
  if (!HasSwitch(CommandLine, 'p')) return 11;
  if (!HasSwitch(CommandLine, 's')) return 12;

  std::string range = GetParam('s') + "-";
  std::size_t dash = range.find('-');
  RangeFromText = range.substr(0, dash);
  std::size_t second = range.find('-', dash + 1);
  RangeToText = range.substr(dash + 1, second - dash - 1);

  OutputFolder = GetParam('d');
  ProjectName = GetParam('p');
  ReportName = HasSwitch(CommandLine, 'r') ? GetParam('r') : "report";
  // The report's name becomes file names in the output folder.
  if (!IsPlainFileName(ReportName)) throw ReportError("Invalid report name '" + ReportName + "'");

  {
    DatabasePath = JoinPath(HomeFolder, "Tallyfox.mdb");
    CurrentRecordset.Close();
    CurrentDatabase = std::make_unique<db::Connection>();
    CurrentDatabase->Open(DatabasePath);
    SqlText =
        "select projectname, projectid, databasename from tblprojects where projectname = ?";
    CurrentRecordset = CurrentDatabase->OpenRecordset(SqlText, {com::Variant(ProjectName)});
    if (CurrentRecordset.RecordCount() == 0) return 13;
    CurrentRecordset.MoveFirst();
    CurrentDatabaseName = CurrentRecordset.Field("DatabaseName").ToString();
  }

  // From here a failure only shows later, when the first help page cannot
  // be written.
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::create_directory(OutputFolder, ignored);
  for (const char* sub : {"images", "help", "chart"}) {
    fs::create_directory(JoinPath(OutputFolder, sub), ignored);
  }
  fs::copy_file(JoinPath(HomeFolder, "GUITemp/images/question1.gif"),
                JoinPath(OutputFolder, "images/question1.gif"),
                fs::copy_options::overwrite_existing, ignored);
  Leave(-2095);
  return 1;
}

com::Variant ReportRun::TestReport(const com::Variant& text) {
  std::string value = text.ToString();
  if (value.empty()) return com::Variant::I2(0);
  return com::Variant::I4(static_cast<std::int32_t>(draw::Utf8Length(value)));
}

bool ReportRun::FileExists(const std::string& path) {
  Enter(-2110);
  std::error_code error;
  bool exists = std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
  Leave(-2115);
  return exists && !error;
}

}  // namespace tf::report
