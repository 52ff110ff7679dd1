#include "viewer/viewer_session.h"

#include <random>

#include "engine/common/path.h"
#include "interfaces/itf_com.h"
#include "platform/com/create.h"
#include "report/report_run.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

constexpr int kSummarySteps = 4;
constexpr int kFullSteps = 38;

std::int32_t NewRunNumber() {
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<std::int32_t>(1, 1000000000)(generator);
}

std::string LabelText(double automation_date) {
  return report::ShortDate(static_cast<DaySerial>(automation_date));
}

}  // namespace

std::optional<std::string> FindHomeFolder() {
  com::ComPtr<support::ITFcom> support;
  if (com::Failed(com::CreateInstanceByProgID(support::kTFcomProgId, &support)) || !support) {
    return std::nullopt;
  }
  com::Variant dummy = com::Variant::I2(0);
  com::Variant folder;
  if (com::Failed(support->GetHomeDirectory(&dummy, &folder))) return std::nullopt;
  std::string text = folder.ToString();
  if (!text.empty() && text.back() == kPathSeparator) text.pop_back();
  // An empty answer names no folder at all (not the current one).
  if (text.empty()) return std::nullopt;
  return text;
}

ViewerRun::ViewerRun() : ReportBuilder(report::PageVariant::Viewer("")) {}

void ViewerRun::SetProgress(int value, int maximum) {
  progress = value;
  progress_max = maximum;
  if (on_progress) on_progress(progress, progress_max);
}

void ViewerRun::StepDone() {
  // Ranked sections report their inner steps too; the bar never passes its
  // end before the run does.
  SetProgress(std::min(progress + 1, std::max(progress_max - 1, 0)), progress_max);
}

ViewerSession::ViewerSession(std::string home_folder)
    : home_folder_(std::move(home_folder)),
      output_folder_(JoinPath(home_folder_, kWorkFolder)) {}

void ViewerSession::UseBatchOutput(std::string folder, std::string report_name) {
  output_folder_ = std::move(folder);
  report_name_ = std::move(report_name);
}

bool ViewerSession::LoadProjectCombo() {
  bool loaded = true;
  try {
    projects_.Load(JoinPath(home_folder_, kProjectsDatabase));
  } catch (const std::exception&) {
    loaded = false;
  }
  status_text = projects_.StatusText();
  if (projects_.count() > 0) SelectProject(0);
  return loaded;
}

std::string ViewerSession::SelectedName() const {
  return selected_ >= 0 && selected_ < projects_.count() ? projects_.projects()[selected_].name
                                                          : std::string();
}

void ViewerSession::SelectProject(int index) {
  if (index < 0 || index >= projects_.count()) return;
  selected_ = index;
  run_.HomeFolder = WithTrailingSeparator(home_folder_);
  run_.CurrentDatabaseName = projects_.projects()[index].database;
  logs = {};
  try {
    if (run_.GetLogDateRange() == 1) {
      logs = {LabelText(run_.FirstDataDate), LabelText(run_.LastDataDate)};
    }
  } catch (const std::exception&) {
    // A database that cannot be read shows no log dates.
  }
  name_label = SelectedName();
  domain_label.clear();
  try {
    run_.GetProjectInfoBrief();
    domain_label = run_.DomainName;
  } catch (const std::exception&) {
    // The counts keep their values.
  }

  const std::optional<DaySerial> last = FieldDate(logs.to);
  if (!FieldDate(logs.from) || !last || !FieldDate(dates.from)) return;
  if (dates.to.empty()) {
    dates.to = logs.to;
    dates.from = FieldText(*last - 30);
  } else if (std::optional<DaySerial> end = FieldDate(dates.to); end && *end > *last) {
    dates.to = logs.to;
  }
}

RunOutcome ViewerSession::LoadProject(bool summary, DaySerial today) {
  RunOutcome outcome;
  outcome.check = CheckReportRequest(SelectedName(), logs, dates);
  if (!outcome.check.ok) return outcome;
  outcome.started = true;
  status_text = "Loading...";
  try {
    run_.HomeFolder = WithTrailingSeparator(home_folder_);
    run_.CurrentDatabaseName = projects_.projects().at(selected_).database;
    run_.ProjectName = SelectedName();
    run_.OutputFolder = output_folder_;
    run_.ReportName = report_name_;
    run_.ChartObject = {};
    if (com::Failed(com::CreateInstanceByProgID(report::kChartProgId, &run_.ChartObject)) ||
        !run_.ChartObject) {
      throw report::ReportError(std::string("Cannot create ") + report::kChartProgId);
    }
    run_.GetProjectInfo();
    // A project without data runs on and finds no hits.
    run_.GetLogDateRange();
    run_.RunNumber = NewRunNumber();
    run_.RunDay = today;
    run_.GetBaseFileName();
    const int steps = summary ? kSummarySteps : kFullSteps;
    run_.SetProgress(0, steps);
    run_.DeclareGlobalVars();
    run_.IncludeStyleSheet();
    run_.RangeFromText = dates.from;
    run_.RangeToText = dates.to;
    run_.ProcessDateRange();
    run_.WriteReportBody(summary);
    if (report::ReadNumberText(run_.TotalHits).value_or(0) != 0) {
      full_report_shown = !summary;
      run_.SetProgress(steps, steps);
    }
    run_.WriteHTMLFile();
  } catch (const std::exception& failure) {
    outcome.error = failure.what();
    return outcome;
  }
  outcome.written = true;
  outcome.page_path = JoinPath(output_folder_, run_.ReportFileName);
  report_shown = true;
  status_text = "Finished Loading";
  return outcome;
}

}  // namespace tf::viewer
