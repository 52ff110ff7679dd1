// A site's one-line status and error texts and its event log: the text
// file, recreated by every run, in which the run writes its errors, trace
// lines and summary, each line stamped with the time.
#include <cstdio>

#include "engine/common/text.h"
#include "engine/site/site.h"
#include "engine/site/site_status_hook.h"

namespace tf {

namespace {

constexpr std::size_t kFormatSize = 499;
constexpr std::size_t kEventLogLineLength = 90;

// The text on one line: line breaks and tabs become blanks.
std::string OneLine(std::string_view text) {
  std::string line(CutUtf8(text, kFormatSize - 1));
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return line;
}

}  // namespace

void CSite::SetStatus(std::string_view text) {
  std::string line = OneLine(text);
  std::string_view status = CutUtf8(line, kStatusSize - 1);
  {
    std::lock_guard<std::mutex> guard(text_mutex_);
    if (status_text_ == status) return;
    status_text_.assign(status);
  }
  NotifySiteStatus(*this);
}

void CSite::SetError(std::string_view text) {
  std::string line = OneLine(text);
  std::string error(CutUtf8(line, kStatusSize - 1));
  {
    std::lock_guard<std::mutex> guard(text_mutex_);
    error_text_ = error;
    error_reported_ = true;
  }
  Trace(error);
  NotifySiteStatus(*this);
  SiteError(*this, error);
}

void CSite::ClearError() {
  {
    std::lock_guard<std::mutex> guard(text_mutex_);
    if (error_text_.empty()) return;
    error_text_.clear();
  }
  NotifySiteStatus(*this);
}

std::string CSite::StatusText() const {
  std::lock_guard<std::mutex> guard(text_mutex_);
  return status_text_;
}

std::string CSite::ErrorText() const {
  std::lock_guard<std::mutex> guard(text_mutex_);
  return error_text_;
}

bool CSite::error_reported() const {
  std::lock_guard<std::mutex> guard(text_mutex_);
  return error_reported_;
}

void CSite::Trace(std::string_view text) {
  std::lock_guard<std::mutex> guard(text_mutex_);
  if (event_log_ == nullptr) return;
  std::string line = FormatTime("%X  ", NowLocalSeconds()) + " " + OneLine(text);
  line.assign(CutUtf8(line, kEventLogLineLength));
  line.push_back('\n');
  std::fputs(line.c_str(), event_log_);
  std::fflush(event_log_);
}

bool CSite::OpenEventLog() {
  CloseEventLog();
  std::string path = SideFilePath("txt");
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    SetError("Unable to create event log file");
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(text_mutex_);
    event_log_ = file;
  }
  Trace(" -----  Event log for " + ProjectName + "  -----");
  return true;
}

void CSite::CloseEventLog() {
  std::lock_guard<std::mutex> guard(text_mutex_);
  if (event_log_ == nullptr) return;
  std::fclose(event_log_);
  event_log_ = nullptr;
}

}  // namespace tf
