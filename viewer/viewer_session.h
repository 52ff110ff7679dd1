// ViewerSession: the state of the viewer's main window and what it does
// without a window: the install folder, the project list and the selected
// project with its log dates and information, the date fields, and the
// report run into the work folder (or a batch run's folder).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "report/report_builder.h"
#include "viewer/date_ranges.h"
#include "viewer/project_list.h"

namespace tf::viewer {

// The install folder as the support component gives it, without one
// trailing separator; nothing when the component cannot be created or
// gives no folder.
std::optional<std::string> FindHomeFolder();

// The report procedures with the viewer's page, counting the run's
// progress.
class ViewerRun : public report::ReportBuilder {
 public:
  ViewerRun();
  int progress = 0;
  int progress_max = 0;
  std::function<void(int value, int maximum)> on_progress;

  void SetProgress(int value, int maximum);

 protected:
  void StepDone() override;
};

// How a report run ended.
struct RunOutcome {
  RequestCheck check;    // check.ok false: the request was refused
  bool started = false;
  bool written = false;  // the page file was written
  std::string page_path;
  std::string error;     // why a started run failed
};

class ViewerSession {
 public:
  // `home_folder` without a trailing separator; `output_folder` empty for
  // the work folder of the install folder.
  explicit ViewerSession(std::string home_folder);

  const std::string& HomeFolder() const { return home_folder_; }
  // Where the run writes its page and pictures.
  const std::string& OutputFolder() const { return output_folder_; }
  // Batch mode: the files go straight into `folder`, named after `report_name`.
  void UseBatchOutput(std::string folder, std::string report_name);

  // The projects of the projects database; the first is selected. False
  // when the database cannot be read (the list is then empty).
  bool LoadProjectCombo();
  const ProjectList& projects() const { return projects_; }
  int selected() const { return selected_; }
  // Selects a project: its database, log dates and information, and the end
  // date held to its last log date.
  void SelectProject(int index);
  std::string SelectedName() const;

  // The report for the selected project and the date fields: full, or the
  // general statistics only. Messages of the check are shown; a failure is
  // given back, not raised.
  RunOutcome LoadProject(bool summary, DaySerial today);

  DateFields dates;
  LogLabels logs;
  std::string name_label, domain_label;
  std::string status_text;
  bool full_report_shown = false;
  // A report has been shown since start-up (the start picture is gone).
  bool report_shown = false;

  ViewerRun& run() { return run_; }
  const ViewerRun& run() const { return run_; }

 private:
  std::string home_folder_;
  std::string output_folder_;
  std::string report_name_;
  ProjectList projects_;
  int selected_ = -1;
  ViewerRun run_;
};

}  // namespace tf::viewer
