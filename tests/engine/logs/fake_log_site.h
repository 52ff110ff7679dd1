// A site for log reading tests: settings as plain fields, and everything
// the readers report kept for inspection.
#pragma once

#include <sys/stat.h>
#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/logs/log_site.h"
#include "engine/logs/log_stream.h"

namespace tf::test {

class FakeLogSite : public LogSite {
 public:
  // Case-insensitive substrings, one per entry; empty lists pass all.
  std::vector<std::string> include, exclude;
  int date_format = 0;
  int auto_timezone = 1;
  int old_log_action = 0;
  std::string old_name_mask = "*.OLD";
  std::string archive_folder;

  std::vector<std::string> traces, errors;
  int old_records = 0;
  std::vector<std::string> unread_lines;  // "path:line"
  int unread_fields = 0;
  int error_clears = 0;
  TimeValue last_file_date = 0;
  LogStreamList streams;

  CLogStream& AddStream(const std::string& file_pattern) {
    streams.push_back(std::make_unique<CLogStream>(file_pattern));
    return *streams.back();
  }

  bool PassesLogFilters(std::string_view line) override {
    if (!include.empty() && !AnyIn(include, line)) return false;
    return !AnyIn(exclude, line);
  }
  int DateFormat() const override { return date_format; }
  int AutoTimezone() const override { return auto_timezone; }
  int OldLogAction() const override { return old_log_action; }
  std::string_view OldNameMask() const override { return old_name_mask; }
  std::string_view LogFileArchiveDirectory() const override { return archive_folder; }
  void Trace(std::string_view text) override { traces.emplace_back(text); }
  void SetStatus(std::string_view) override {}
  void SetError(std::string_view text) override { errors.emplace_back(text); }
  void ClearError() override { ++error_clears; }
  void CountOldRecord() override { ++old_records; }
  void CountUnreadLine(std::string_view file, std::string_view place) override {
    unread_lines.push_back(std::string(file) + ": " + std::string(place));
  }
  void CountUnreadFields(int count) override { unread_fields += count; }
  void RaiseLastFileDate(TimeValue date) override {
    if (date > last_file_date) last_file_date = date;
  }
  LogStreamList& LogStreams() override { return streams; }

  bool Traced(std::string_view text) const {
    for (const std::string& t : traces) {
      if (t == text) return true;
    }
    return false;
  }

 private:
  static bool AnyIn(const std::vector<std::string>& patterns, std::string_view line) {
    for (const std::string& p : patterns) {
      auto it = std::search(line.begin(), line.end(), p.begin(), p.end(),
                            [](char a, char b) { return std::tolower(a) == std::tolower(b); });
      if (it != line.end()) return true;
    }
    return false;
  }
};

// Tests that depend on local time use this one fixed zone.
inline void UseFixedZone() {
  setenv("TZ", "EST5", 1);  // UTC-5, no daylight saving
  tzset();
}

// Sets a file's last-write time to a local time value (UseFixedZone first).
inline void SetWriteTime(const std::string& path, TimeValue local) {
  const double epoch = static_cast<double>(DayNumber(1970, 1, 1)) * kSecondsPerDay;
  timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(local - epoch + 5 * 3600);
  times[0].tv_nsec = times[1].tv_nsec = 0;
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace tf::test
