#include "viewer/batch_mode.h"

#include <filesystem>
#include <optional>

#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "report/command_line.h"
#include "report/page_text.h"
#include "viewer/viewer_session.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

namespace fs = std::filesystem;

// The switches of the line in lower case, the values as given: each switch
// letter is lowered where it stands, so a quoted value keeps its case.
std::string LowerSwitches(const std::string& line) {
  std::string out = line;
  bool quoted = false;
  for (std::size_t at = 0; at + 1 < out.size(); ++at) {
    if (out[at] == '"') quoted = !quoted;
    if (quoted || out[at] != '/' || (at > 0 && out[at - 1] != ' ' && out[at - 1] != '\t')) continue;
    const std::size_t after = at + 2;
    if (after < out.size() && out[after] != ' ' && out[after] != '\t' && out[after] != '"') continue;
    char& letter = out[at + 1];
    if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  }
  return out;
}

struct RangeTexts {
  std::string from, to;
};

// "mm/dd/yyyy-mm/dd/yyyy" as two dates; nothing when it is not.
std::optional<RangeTexts> ReadRange(const std::string& value) {
  const std::size_t dash = value.find('-');
  if (dash == std::string::npos) return std::nullopt;
  RangeTexts range{value.substr(0, dash), value.substr(dash + 1)};
  std::optional<DaySerial> from = FieldDate(range.from);
  std::optional<DaySerial> to = FieldDate(range.to);
  if (!from || !to) return std::nullopt;
  return RangeTexts{FieldText(*from), FieldText(*to)};
}

}  // namespace

std::string JoinArguments(const std::vector<std::string>& args) {
  if (args.size() == 1) return args[0];
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    const bool quote = arg.find_first_of(" \t") != std::string::npos && arg.find('"') == std::string::npos;
    line += quote ? "\"" + arg + "\"" : arg;
  }
  return line;
}

int RunBatch(const std::string& command_line, const std::string& home_folder) {
  if (home_folder.empty()) {
    ShowMessageBox(kSupportMissing, "", kMbOk);
    return 1;
  }
  std::string line = LowerSwitches(command_line);
  std::optional<std::string> folder, project, range_value, report_name;
  try {
    folder = report::SwitchValue(line, 'd');
    project = report::SwitchValue(line, 'p');
    range_value = report::SwitchValue(line, 's');
    report_name = report::SwitchValue(line, 'r');
  } catch (const report::CommandLineError& error) {
    ShowMessageBox(error.what(), "", kMbOk);
    return 1;
  }
  const bool current_month = report::HasSwitch(line, 'c');
  if (!folder) {
    ShowMessageBox(kMissingDestination, "", kMbOk);
    return 1;
  }
  if (!project) {
    ShowMessageBox(kMissingProject, "", kMbOk);
    return 1;
  }
  if (!range_value && !current_month) {
    ShowMessageBox(kMissingRange, "", kMbOk);
    return 1;
  }
  std::optional<RangeTexts> range;
  if (range_value && !current_month) {
    range = ReadRange(*range_value);
    if (!range) return 1;
  }
  const std::string name = report_name.value_or("report");
  // The report's name becomes file names in the folder.
  if (!report::IsPlainFileName(name)) return 1;

  ViewerSession session(home_folder);
  session.UseBatchOutput(*folder, name);
  session.LoadProjectCombo();
  std::optional<int> index = session.projects().FindByName(*project);
  if (!index) {
    ShowMessageBox("'" + *project + "' is not a valid project name", "", kMbOk);
    return 1;
  }
  if (range) session.dates = {range->from, range->to};
  session.SelectProject(*index);
  if (current_month) {
    // The month of the named project's last log date, up to that date.
    if (std::optional<DaySerial> last = FieldDate(session.logs.to)) {
      int year, month, day;
      report::SplitDaySerial(*last, year, month, day);
      session.dates = {FieldText(*last - day + 1), FieldText(*last)};
    }
  }

  std::error_code ignored;
  fs::create_directory(JoinPath(*folder, "images"), ignored);
  fs::copy_file(JoinPath(JoinPath(home_folder, kWorkFolder), kHelpIconFile),
                JoinPath(*folder, kHelpIconFile), fs::copy_options::overwrite_existing, ignored);
  const RunOutcome outcome = session.LoadProject(false, Today());
  if (!outcome.error.empty()) ShowMessageBox(outcome.error, kReportErrorCaption, kMbOk);
  return outcome.written ? 0 : 1;
}

}  // namespace tf::viewer
