// Log reading speed: generates logs of each format (1,000,000 lines by
// default) and reads them through the log file set, as an analysis run
// does, counting records per second; a last case merges four logs in time
// order. Each measurement runs in a fresh child process, so its peak
// resident memory is the reader's alone; it reads the logs three times and
// reports the fastest pass.
//   bench_log_reading [--lines N] [--dir FOLDER]
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "bench/loggen/log_generator.h"
#include "engine/logs/log_file_set.h"
#include "engine/logs/log_site.h"
#include "engine/logs/log_stream.h"

namespace {

using tf::bench::LogKind;

// A site with no filters and no after-analysis action.
class BenchSite : public tf::LogSite {
 public:
  tf::LogStreamList streams;
  long old_records = 0;
  bool PassesLogFilters(std::string_view) override { return true; }
  int DateFormat() const override { return 0; }
  int AutoTimezone() const override { return 1; }
  int OldLogAction() const override { return 0; }
  std::string_view OldNameMask() const override { return "*.OLD"; }
  std::string_view LogFileArchiveDirectory() const override { return ""; }
  void Trace(std::string_view) override {}
  void SetStatus(std::string_view) override {}
  void SetError(std::string_view) override {}
  void ClearError() override {}
  void CountOldRecord() override { ++old_records; }
  void CountUnreadLine(std::string_view, std::string_view) override {}
  void CountUnreadFields(int) override {}
  void RaiseLastFileDate(tf::TimeValue) override {}
  tf::LogStreamList& LogStreams() override { return streams; }
};

// Child: reads the files of the given file patterns, one stream each,
// three times over; the fastest pass counts, as the machine may be busy.
int Measure(int count, char** patterns) {
  double best = 0;
  long records = 0, old_records = 0;
  std::int64_t bytes_read = 0, bytes_sent = 0;
  for (int pass = 0; pass < 3; ++pass) {
    BenchSite site;
    for (int i = 0; i < count; ++i) site.streams.push_back(std::make_unique<tf::CLogStream>(patterns[i]));
    auto start = std::chrono::steady_clock::now();
    tf::CLogFileSet set(site, 0);
    set.FindFiles();
    records = 0;
    bytes_sent = 0;
    while (tf::CLogRecord* record = set.NextRecord()) {
      ++records;
      bytes_sent += record->bytes_sent;
    }
    bytes_read = set.BytesRead();
    set.CloseAll();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (pass == 0 || seconds < best) best = seconds;
    old_records = site.old_records;
  }
  std::printf("%ld %.6f %lld %lld %ld\n", records, best, static_cast<long long>(bytes_read),
              static_cast<long long>(bytes_sent), old_records);
  return 0;
}

struct Case {
  const char* name;
  LogKind kind;
  int files;  // streams, one file each
};

bool Generate(const std::string& dir, const Case& c, long lines, std::vector<std::string>& patterns) {
  for (int i = 0; i < c.files; ++i) {
    tf::bench::LogGeneratorOptions options;
    options.kind = c.kind;
    options.lines = lines / c.files;
    options.seed = 1 + static_cast<std::uint64_t>(i) * 7919;
    options.days = 7;
    options.ipv6_percent = c.kind == LogKind::kW3c ? 2 : 0;
    std::string path = dir + "/" + c.name + "-" + std::to_string(i) + ".log";
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && !tf::bench::WriteLog(options, path + ".tmp", false)) return false;
    if (stat(path.c_str(), &st) != 0 && rename((path + ".tmp").c_str(), path.c_str()) != 0) return false;
    patterns.push_back(path);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--measure") return Measure(argc - 2, argv + 2);

  long lines = 1000000;
  std::string dir;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i];
    if (key == "--lines") {
      lines = std::atol(argv[i + 1]);
    } else if (key == "--dir") {
      dir = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: bench_log_reading [--lines N] [--dir FOLDER]\n");
      return 2;
    }
  }
  bool temporary = dir.empty();
  if (temporary) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/tf-bench-logs-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    dir = pattern;
  } else {
    mkdir(dir.c_str(), 0777);
  }

  const Case cases[] = {
      {"ncsa-combined", LogKind::kNcsaCombined, 1},
      {"ncsa-common", LogKind::kNcsaCommon, 1},
      {"w3c", LogKind::kW3c, 1},
      {"iis-basic", LogKind::kIisBasic, 1},
      {"ncsa-combined-4-merged", LogKind::kNcsaCombined, 4},
  };
  std::printf("%-24s %10s %8s %14s %9s %12s\n", "log", "records", "seconds", "records/s", "MB/s",
              "peak RSS KB");
  int status = 0;
  for (const Case& c : cases) {
    std::vector<std::string> patterns;
    if (!Generate(dir, c, lines, patterns)) {
      std::fprintf(stderr, "cannot generate %s in %s\n", c.name, dir.c_str());
      return 1;
    }
    std::vector<std::string> args = {"--measure"};
    args.insert(args.end(), patterns.begin(), patterns.end());
    tf::bench::AnalyzeResult child = tf::bench::RunTfAnalyze("/proc/self/exe", args);
    long records = 0, old_records = 0;
    double seconds = 0;
    long long bytes_read = 0, bytes_sent = 0;
    if (child.status != 0 || std::sscanf(child.output.c_str(), "%ld %lf %lld %lld %ld", &records,
                                         &seconds, &bytes_read, &bytes_sent, &old_records) != 5) {
      std::fprintf(stderr, "%s: measurement failed\n", c.name);
      status = 1;
      continue;
    }
    std::printf("%-24s %10ld %8.3f %14.0f %9.1f %12ld\n", c.name, records, seconds, records / seconds,
                static_cast<double>(bytes_read) / 1e6 / seconds, child.peak_rss_kb);
    if (records + old_records < lines * 99 / 100) {
      std::fprintf(stderr, "%s: only %ld of %ld lines became records\n", c.name, records, lines);
      status = 1;
    }
  }
  if (temporary) {
    for (const Case& c : cases) {
      for (int i = 0; i < c.files; ++i) unlink((dir + "/" + c.name + "-" + std::to_string(i) + ".log").c_str());
    }
    rmdir(dir.c_str());
  } else {
    std::printf("logs kept in %s\n", dir.c_str());
  }
  return status;
}
