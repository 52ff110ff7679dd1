#include "console/site_ftp_page.h"

#include "engine/common/display.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {

constexpr std::size_t kShortText = 100;  // address, name, password
constexpr std::size_t kLongText = 300;   // folders and pattern
constexpr std::size_t kCommandText = 200;

void StoreFlag(bool box, std::int32_t& value, bool& changed) {
  if (box == (value != 0)) return;
  value = box ? 1 : 0;
  changed = true;
}

void StoreText(std::string_view text, std::size_t size, std::string& value, bool& changed) {
  std::string cut = CutField(text, size);
  if (cut == value) return;
  value = std::move(cut);
  changed = true;
}

}  // namespace

FtpFields FillFtp(CSite& site) {
  SiteSettings& s = site.settings;
  if (!site.log_streams.empty()) {
    const std::string& spec = site.log_streams.front()->file_pattern();
    std::size_t slash = spec.rfind('/');
    if (s.FtpLocalFolder.empty()) {
      s.FtpLocalFolder = slash == std::string::npos ? std::string() : spec.substr(0, slash + 1);
      site.settings_changed = true;
    }
    if (s.FtpFileName.empty()) {
      s.FtpFileName = slash == std::string::npos ? spec : spec.substr(slash + 1);
      site.settings_changed = true;
    }
  }
  FtpFields f;
  f.enable = s.FtpEnable != 0;
  f.passive = s.FtpPassive != 0;
  f.log_details = s.FtpLogDetails != 0;
  f.delete_remote = s.FtpDelete != 0;
  f.only_new = s.FtpOnlyGetNew != 0;
  f.address = s.FtpAddress;
  f.name = s.FtpName;
  f.password = s.FtpPassword;
  f.remote_folder = s.FtpRemoteFolder;
  f.file_name = s.FtpFileName;
  f.local_folder = s.FtpLocalFolder;
  f.command = s.FtpCommand;
  f.last_date = FormatDateOrEmpty(s.FtpLastDate);
  return f;
}

void StoreFtp(const FtpFields& f, CSite& site) {
  SiteSettings& s = site.settings;
  bool changed = false;
  StoreFlag(f.enable, s.FtpEnable, changed);
  StoreFlag(f.passive, s.FtpPassive, changed);
  StoreFlag(f.log_details, s.FtpLogDetails, changed);
  StoreFlag(f.delete_remote, s.FtpDelete, changed);
  StoreFlag(f.only_new, s.FtpOnlyGetNew, changed);
  StoreText(f.address, kShortText, s.FtpAddress, changed);
  StoreText(f.name, kShortText, s.FtpName, changed);
  StoreText(f.password, kShortText, s.FtpPassword, changed);
  StoreText(f.remote_folder, kLongText, s.FtpRemoteFolder, changed);
  StoreText(f.file_name, kLongText, s.FtpFileName, changed);
  StoreText(f.local_folder, kLongText, s.FtpLocalFolder, changed);
  StoreText(f.command, kCommandText, s.FtpCommand, changed);
  if (changed) site.settings_changed = true;
}

FtpField MissingFtpValue(const CSite& site) {
  const SiteSettings& s = site.settings;
  if (s.FtpAddress.empty()) return FtpField::kAddress;
  if (s.FtpFileName.empty()) return FtpField::kFileName;
  if (s.FtpLocalFolder.empty()) return FtpField::kLocalFolder;
  return FtpField::kNone;
}

PageMessage MissingFtpMessage(FtpField field) {
  const char* text = "";
  switch (field) {
    case FtpField::kAddress: text = "You must specify an FTP site address"; break;
    case FtpField::kFileName: text = "You must specify a file name pattern"; break;
    case FtpField::kLocalFolder:
      text = "You must specify a folder where the downloaded files will be stored";
      break;
    case FtpField::kNone: break;
  }
  return {text, "Missing value", MessageIcon::kError, MessageButtons::kOk};
}

void ResetFtpDate(CSite& site) {
  if (site.settings.FtpLastDate == 0) return;
  site.settings.FtpLastDate = 0;
  site.settings_changed = true;
}

std::string DownloadHeader(const CSite& site) { return "Downloading from " + site.settings.FtpAddress; }

void FtpMessageQueue::Push(std::string_view text, bool last) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back({std::string(text.substr(0, end)), last});
}

std::vector<FtpMessageQueue::Line> FtpMessageQueue::TakeAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Line> taken(lines_.begin(), lines_.end());
  lines_.clear();
  return taken;
}

void AppendVisible(std::vector<std::string>& shown, std::string line, std::size_t visible) {
  if (visible == 0) visible = 1;
  while (shown.size() >= visible) shown.erase(shown.begin());
  shown.push_back(std::move(line));
}

}  // namespace tf::console
