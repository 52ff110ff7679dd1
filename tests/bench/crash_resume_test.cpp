// A run of tf-analyze killed at any point, then run again, leaves every
// statistics table as one clean run over the same log leaves it: nothing
// counted twice, nothing dropped.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "bench/loggen/log_generator.h"
#include "support/test_support.h"

namespace tf {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStatisticsTables[] = {"tblData",  "tblDay",   "tblDomains",
                                             "tblHitStatus", "tblHour",  "tblPaths",
                                             "tblTargetHits", "tblVisitors"};
// Generous: the runs take a fraction of a second.
constexpr auto kDeadline = std::chrono::seconds(120);
constexpr int kAttempts = 5;

std::string Program() { return test::BuildPath("bench/tf-analyze"); }

// Three days, so that day writes happen inside the run, of a log in two
// halves: a run over the first, then the whole file grown.
struct TwoHalves {
  std::string first;
  std::string whole;
};

TwoHalves MakeLog() {
  bench::LogGeneratorOptions options;
  options.lines = 6000;
  options.days = 3;
  bench::LogGenerator generator(options);
  TwoHalves log;
  std::string line;
  for (std::int64_t n = 0; line.clear(), generator.Next(line); ++n) {
    if (n < options.lines / 2) log.first += line;
    log.whole += line;
  }
  return log;
}

// Every row of every statistics table, sorted, one text.
std::string DumpStatistics(const std::string& database) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "cannot open " + database;
  }
  std::string dump;
  for (const char* table : kStatisticsTables) {
    std::vector<std::string> rows;
    sqlite3_stmt* statement = nullptr;
    std::string sql = std::string("SELECT * FROM ") + table;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      dump += std::string("no table ") + table + "\n";
      continue;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const unsigned char* text = sqlite3_column_text(statement, i);
        row += (text ? reinterpret_cast<const char*>(text) : "NULL") + std::string("|");
      }
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    std::sort(rows.begin(), rows.end());
    dump += std::string(table) + ": " + std::to_string(rows.size()) + " rows\n";
    for (const std::string& row : rows) dump += row + "\n";
  }
  sqlite3_close(db);
  return dump;
}

// The lines that only one of two dumps holds, a few of each: what a
// failure shows instead of both dumps whole.
std::string Differences(const std::string& got, const std::string& expected) {
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
      end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      out.push_back(text.substr(at, end - at));
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  std::vector<std::string> a = lines(got), b = lines(expected), only_got, only_expected;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only_got));
  std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(only_expected));
  std::string text;
  for (std::size_t i = 0; i < only_got.size() && i < 8; ++i) text += "  got only:      " + only_got[i] + "\n";
  for (std::size_t i = 0; i < only_expected.size() && i < 8; ++i) {
    text += "  expected only: " + only_expected[i] + "\n";
  }
  return text;
}

class Install {
 public:
  Install() {
    for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
      fs::copy_file(test::BuildPath(std::string("data/") + name), home_.File(name));
    }
  }
  const std::string& home() const { return home_.path(); }
  std::string File(const std::string& name) const { return home_.File(name); }

 private:
  test::TempDir home_;
};

bool RunToEnd(const Install& install, const std::string& log) {
  return bench::RunTfAnalyze(Program(), {"--home", install.home(), log}).status == 0;
}

// An event in the install folder that marks a kill point.
using KillPoint = std::function<bool(const Install&, const inotify_event&)>;

// Starts a run and kills it at the first event that `point` accepts.
// True when the kill ended it; false when it ended first, by itself.
bool RunAndKill(const Install& install, const std::string& log, const KillPoint& point) {
  int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  EXPECT_GE(watch, 0);
  inotify_add_watch(watch, install.home().c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO);
  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  int child = bench::StartTfAnalyze(Program(), {"--home", install.home(), log}, null);
  close(null);
  EXPECT_GT(child, 0);
  bool killed = false;
  auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!killed && std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      close(watch);
      return false;
    }
    // The wait wakes to see whether the run ended on its own.
    pollfd ready{watch, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    alignas(inotify_event) char buffer[8192];
    ssize_t n = read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < n && !killed;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (point(install, *event)) killed = kill(child, SIGKILL) == 0;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(watch);
  return killed && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

bool Named(const inotify_event& event, std::uint32_t mask, const char* name) {
  return (event.mask & mask) != 0 && event.len > 0 && std::string(event.name) == name;
}

struct KillCase {
  const char* name;
  KillPoint point;
};

bool EventLogHolds(const Install& install, const inotify_event& event, const char* text) {
  return Named(event, IN_MODIFY, "Project0001.txt") &&
         test::ReadFile(install.File("Project0001.txt")).find(text) != std::string::npos;
}

const KillCase kKillCases[] = {
    {"mid-run, while records are read",
     [](const Install& install, const inotify_event& event) {
       return EventLogHolds(install, event, "Processing a NCSA");
     }},
    {"when the saved sessions are first written",
     [](const Install&, const inotify_event& event) {
       return Named(event, IN_CREATE | IN_MODIFY, "Project0001.ses.new") ||
              Named(event, IN_CREATE | IN_MODIFY, "Project0001.ses");
     }},
    {"after the last flush, at the run summary",
     [](const Install& install, const inotify_event& event) {
       return EventLogHolds(install, event, "Statistics for");
     }},
    {"once the saved sessions are in place",
     [](const Install&, const inotify_event& event) {
       return Named(event, IN_MOVED_TO, "Project0001.ses");
     }},
};

// The statistics of clean runs: one over the whole log, or, with
// first_half, one over its first half and one over the whole.
std::string CleanStatistics(const TwoHalves& log, const std::string& path, bool first_half) {
  Install clean;
  if (first_half) {
    test::WriteFile(path, log.first);
    if (!RunToEnd(clean, path)) return "the first clean run failed";
  }
  test::WriteFile(path, log.whole);
  if (!RunToEnd(clean, path)) return "the clean run failed";
  return DumpStatistics(clean.File("Project0001.mdb"));
}

TEST(CrashResumeTest, AKilledRunRunAgainCountsEveryRecordOnce) {
  test::TempDir logs;
  TwoHalves log = MakeLog();
  std::string path = logs.File("access.log");

  for (bool first_run : {true, false}) {
    SCOPED_TRACE(first_run ? "the site's first run" : "a run after a finished one");
    // A run that ends inside a day writes that day's part, so runs split
    // elsewhere are compared with clean runs split the same way.
    const std::string expected = CleanStatistics(log, path, !first_run);
    ASSERT_NE(expected.find("tblHour: "), std::string::npos) << expected;
    ASSERT_EQ(expected.find("tblHour: 0 rows"), std::string::npos);
    for (const KillCase& kill_case : kKillCases) {
      SCOPED_TRACE(kill_case.name);
      bool killed = false;
      for (int attempt = 0; attempt < kAttempts && !killed; ++attempt) {
        Install install;
        if (!first_run) {
          test::WriteFile(path, log.first);
          ASSERT_TRUE(RunToEnd(install, path));
        }
        test::WriteFile(path, log.whole);
        killed = RunAndKill(install, path, kill_case.point);
        ASSERT_TRUE(RunToEnd(install, path));
        ASSERT_TRUE(RunToEnd(install, path)) << "and once more: nothing new";
        EXPECT_EQ(Differences(DumpStatistics(install.File("Project0001.mdb")), expected), "")
            << (killed ? "killed" : "not killed");
      }
      EXPECT_TRUE(killed) << "the run always ended before the kill point";
    }
  }
}

}  // namespace
}  // namespace tf
