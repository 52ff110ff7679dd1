#include "viewer/save_report.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/report_builder.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHelpIcon =
    "<img src='images/question1.gif' border='0' alt='Click here for more information'>";

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

void Save(const ShownReport& report, const std::string& path) {
  std::string page = ReadWholeFile(JoinPath(report.work_folder, report.page_file));
  ReplaceAll(page, kHelpIcon, "");
  const std::string save_name = SaveName(path);
  // The pictures' new names go into src attributes.
  ReplaceAll(page, report.chart_prefix, report::UrlPathEscape(save_name + "-"));
  const std::string folder(FolderOf(path));
  for (const fs::directory_entry& entry : fs::directory_iterator(report.work_folder)) {
    const std::string name = entry.path().filename();
    if (name.rfind(report.chart_prefix, 0) != 0 || !name.ends_with(".jpg")) continue;
    const std::string copy = save_name + "-" + name.substr(report.chart_prefix.size());
    fs::copy_file(entry.path(), JoinPath(folder, copy), fs::copy_options::overwrite_existing);
  }
  report::WriteWholeFile(path, page + "\r\n");
}

}  // namespace

std::string SaveName(const std::string& path) {
  std::string name(FileNameOf(path));
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

SaveOutcome SaveReportAs(const ShownReport& report, const std::string& path) {
  std::error_code error;
  if (fs::exists(path, error) &&
      ShowMessageBox("'" + path + "' already exists, do you want to overwrite?",
                     kFileExistsCaption, kMbYesNo | kMbIconQuestion) != kIdYes) {
    return SaveOutcome::kKept;
  }
  try {
    Save(report, path);
  } catch (const std::exception& failure) {
    ShowMessageBox("The report could not be saved as '" + path + "': " + failure.what(),
                   kSaveCaption, kMbOk | kMbIconError);
    return SaveOutcome::kFailed;
  }
  ShowMessageBox("Report saved as '" + path + "'", kSaveCaption, kMbOk);
  return SaveOutcome::kSaved;
}

}  // namespace tf::viewer
