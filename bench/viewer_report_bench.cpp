// The viewer's report over a year of a busy site: "Generate Analysis" (the
// full report) and the summary (general statistics only), each into the work
// folder as the viewer writes it, timed over several runs.
//
// An install folder is staged as the viewer's tests stage one (database
// templates, style sheet, help icon, Tallyfox.mdb naming one site, the
// registry's Path, the report components registered from this build), and
// the site's statistics database is filled with generated rows: per day the
// site totals, the hours, a few thousand item rows of every kind, the
// visitors (all of them, as the site's default VisitorsStore keeps them),
// status codes, click paths and target pages, as the engine's writers lay
// them out. One transaction per day and a fixed seed keep it fast and
// repeatable.
//
//   bench_viewer_report [--days N] [--dir FOLDER] [--runs N] [--reuse]
//
// Without --dir the install folder is a new temporary folder, removed at
// the end; a given folder is kept (and refilled). With --reuse a folder
// that a previous run of the same --days filled is used as it is, so that
// the big database is generated only once.
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/common/message_box.h"
#include "platform/com/create.h"
#include "platform/db/connection.h"
#include "platform/registry/registry.h"
#include "report/regional_format.h"
#include "viewer/viewer_session.h"

namespace {

namespace fs = std::filesystem;

constexpr int kHitsPerDay = 1000000;
constexpr int kVisitorsPerDay = 50000;
// Addresses the visitors are drawn from: most come back on other days.
constexpr int kVisitorPool = 400000;
constexpr int kFirstYear = 2025;

struct Options {
  int days = 365;
  int runs = 5;
  bool reuse = false;
  std::string dir;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--reuse") {
      options.reuse = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    std::string value = argv[++i];
    if (arg == "--days") {
      options.days = std::atoi(value.c_str());
    } else if (arg == "--runs") {
      options.runs = std::atoi(value.c_str());
    } else if (arg == "--dir") {
      options.dir = value;
    } else {
      return false;
    }
  }
  return options.days >= 1 && options.days <= 3650 && options.runs >= 1 &&
         !(options.reuse && options.dir.empty());
}

// --- Dates ---------------------------------------------------------------

struct Date {
  int year, month, day;
};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

Date AddDays(Date date, int days) {
  for (; days > 0; --days) {
    if (++date.day > DaysIn(date.year, date.month)) {
      date.day = 1;
      if (++date.month > 12) {
        date.month = 1;
        ++date.year;
      }
    }
  }
  return date;
}

std::string StoredText(const Date& d, int hour = 0) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:00:00", d.year, d.month, d.day, hour);
  return buffer;
}

// The date fields' "mm/dd/yyyy".
std::string FieldText(const Date& d) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", d.month, d.day, d.year);
  return buffer;
}

// --- SQLite, directly ----------------------------------------------------

class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) Fail("open " + path);
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(sql + ": " + text);
    }
  }
  sqlite3* handle() const { return db_; }
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("sqlite: " + what + ": " + sqlite3_errmsg(db_));
  }

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement run many times; values are bound by position.
class Statement {
 public:
  Statement(Database& db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      db.Fail(sql);
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  template <typename... Values>
  void Run(const Values&... values) {
    int index = 0;
    (Bind(++index, values), ...);
    if (sqlite3_step(stmt_) != SQLITE_DONE) db_.Fail("step");
    sqlite3_reset(stmt_);
  }

 private:
  void Bind(int i, int value) { sqlite3_bind_int(stmt_, i, value); }
  void Bind(int i, double value) { sqlite3_bind_double(stmt_, i, value); }
  void Bind(int i, const std::string& value) {
    sqlite3_bind_text(stmt_, i, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  }

  Database& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// --- The generated site -----------------------------------------------------

// The items of one category and how many of them get hits on a day.
struct ItemKind {
  int category;
  const char* prefix;
  int items;
  int per_day;
  double share;  // of the day's hits
};

const ItemKind kItemKinds[] = {
    {1, "/pages/page", 3000, 2500, 0.30},         {2, "/images/pic", 2000, 1500, 0.55},
    {3, "/docs/doc", 300, 200, 0.03},             {4, "/forms/form", 40, 30, 0.01},
    {5, "/cgi-bin/prog", 60, 40, 0.01},           {9, "/files/file", 200, 120, 0.02},
    {301, "http://ref.example.net/p", 3000, 1500, 0.05},
    {302, "ref-site-", 900, 600, 0.06},           {401, "search-engine-", 30, 25, 0.03},
    {402, "search phrase ", 4000, 1500, 0.02},    {403, "keyword", 2500, 1200, 0.02},
    {404, "Region ", 120, 100, 0.9},              {405, "Browser ", 25, 20, 0.9},
    {406, "Browser version ", 150, 100, 0.9},     {407, "Platform ", 15, 12, 0.9},
    {408, "Platform version ", 60, 40, 0.9},      {409, "Language ", 60, 40, 0.9},
    {410, "Spider ", 80, 50, 0.02},               {411, "Addon ", 30, 20, 0.1},
    {412, "/pages/page", 20, 20, 0.02},
};

struct ItemRange {
  int first_id;
  int count;
};

class SiteFiller {
 public:
  SiteFiller(Database& db, unsigned seed) : db_(db), random_(seed) {}

  void AddItems() {
    db_.Execute("BEGIN");
    Statement item(db_, "INSERT INTO tblData (Category, Name, LastHit) VALUES (?, ?, ?)");
    for (const ItemKind& kind : kItemKinds) {
      ItemRange range{0, kind.items};
      for (int i = 0; i < kind.items; ++i) {
        item.Run(kind.category, std::string(kind.prefix) + std::to_string(i + 1) +
                                    (kind.category <= 9 ? ".html" : ""),
                 std::string("2025-12-31 23:00:00"));
        if (i == 0) range.first_id = static_cast<int>(sqlite3_last_insert_rowid(db_.handle()));
      }
      ranges_.push_back(range);
    }
    Statement domain(db_, "INSERT INTO tblDomains (IPaddress, DomainName, LastHit) VALUES (?, ?, ?)");
    for (int v = 0; v < kVisitorPool; v += 3) {
      domain.Run(Address(v), "host" + std::to_string(v) + ".example.org",
                 std::string("2025-12-31 23:00:00"));
    }
    db_.Execute("COMMIT");
  }

  void AddDay(const Date& date) {
    db_.Execute("BEGIN");
    const std::string day = StoredText(date);
    AddTotals(date, day);
    AddItemRows(day);
    AddVisitors(day);
    AddStatusPathsAndTargets(day);
    db_.Execute("COMMIT");
  }

 private:
  // Zipf-like weights: the first items of a list get most of the hits.
  static std::vector<double> Weights(int n) {
    std::vector<double> weights(n);
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += weights[i] = 1.0 / std::pow(i + 1, 0.9);
    for (double& w : weights) w /= sum;
    return weights;
  }

  static std::string Address(int v) {
    return "10." + std::to_string((v >> 16) & 255) + "." + std::to_string((v >> 8) & 255) + "." +
           std::to_string(v & 255);
  }

  double Jitter() { return std::uniform_real_distribution<double>(0.85, 1.15)(random_); }

  void AddTotals(const Date& date, const std::string& day) {
    Statement row(db_, Upsert("tblDay"));
    Statement hour_row(db_, Upsert("tblHour"));
    const int totals[][2] = {{101, 300000}, {102, 550000}, {103, 30000}, {104, 10000},
                             {105, 10000},  {109, 100000}, {201, 60000}, {202, kVisitorsPerDay},
                             {203, 20000},  {204, 30000}};
    for (const auto& total : totals) {
      const int hits = static_cast<int>(total[1] * Jitter());
      const int view_time = total[0] == 201 ? hits * 240 : 0;
      row.Run(day, total[0], 0, hits, hits * 9000.0, 0, 0, 0, view_time);
      if (total[0] >= 203) continue;
      for (int h = 0; h < 24; ++h) {
        const double curve = 0.4 + std::sin((h - 6) * 3.14159 / 24) * 0.6;
        const int hour_hits = static_cast<int>(std::max(curve, 0.05) * hits / 14.0);
        hour_row.Run(StoredText(date, h), total[0], 0, hour_hits, hour_hits * 9000.0, 0, 0, 0,
                     0);
      }
    }
  }

  void AddItemRows(const std::string& day) {
    Statement row(db_, Upsert("tblDay"));
    for (std::size_t k = 0; k < std::size(kItemKinds); ++k) {
      const ItemKind& kind = kItemKinds[k];
      const ItemRange& range = ranges_[k];
      const std::vector<double> weights = Weights(kind.per_day);
      const double hits_of_kind = kHitsPerDay * kind.share;
      // The day's items: mostly the popular ones, a few others each day.
      const int offset = std::uniform_int_distribution<int>(0, range.count - kind.per_day)(random_);
      for (int i = 0; i < kind.per_day; ++i) {
        const int index = i < kind.per_day / 2 ? i : (i + offset) % range.count;
        const int hits = std::max(1, static_cast<int>(hits_of_kind * weights[i] * Jitter()));
        const bool page = kind.category == 1;
        const int sessions = page ? hits / 3 : 0;
        row.Run(day, kind.category, range.first_id + index, hits, hits * 12000.0,
                page ? hits / 5 : 0, page ? hits / 6 : 0, sessions, page ? hits * 45 : 0);
      }
    }
  }

  void AddVisitors(const std::string& day) {
    Statement row(db_,
                  "INSERT OR IGNORE INTO tblVisitors (EntryDate, IPaddress, Hits, Bytes, "
                  "SessionCount, ViewTime) VALUES (?, ?, ?, ?, ?, ?)");
    std::uniform_int_distribution<int> pick(0, kVisitorPool - 1);
    std::geometric_distribution<int> extra(0.05);
    for (int v = 0; v < kVisitorsPerDay; ++v) {
      const int hits = 1 + extra(random_);
      row.Run(day, Address(pick(random_)), hits, hits * 9000.0, 1 + hits / 30, hits * 20);
    }
  }

  void AddStatusPathsAndTargets(const std::string& day) {
    const ItemRange& pages = ranges_[0];
    Statement status(db_,
                     "INSERT OR IGNORE INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits) "
                     "VALUES (?, ?, ?, ?)");
    for (int code : {200, 206, 301, 302, 304, 400, 401, 403, 404, 500}) {
      status.Run(day, code, 0, static_cast<int>(kHitsPerDay / (code == 200 ? 1.2 : 200) * Jitter()));
    }
    for (int code : {404, 500}) {
      for (int i = 0; i < 100; ++i) status.Run(day, code, pages.first_id + i, 5 + i % 7);
    }
    Statement path(db_,
                   "INSERT OR IGNORE INTO tblPaths (EntryDate, ItemID, ItemID2, Hits, EntryCount, "
                   "ExitCount) VALUES (?, ?, ?, ?, ?, ?)");
    std::uniform_int_distribution<int> page(0, 499);
    for (int i = 0; i < 3000; ++i) {
      const int hits = 1 + 3000 / (i + 1);
      path.Run(day, pages.first_id + page(random_), pages.first_id + page(random_), hits, hits / 3,
               hits / 4);
    }
    Statement target(db_,
                     "INSERT OR IGNORE INTO tblTargetHits (EntryDate, ReferringSite, "
                     "ReferringCategory, KeywordPhrase, TargetPage, TargetHits, TotalSessions) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    const ItemRange& phrases = ranges_[9];
    const ItemRange& engines = ranges_[8];
    const ItemRange& targets = ranges_[19];
    for (int i = 0; i < 300; ++i) {
      const int phrase = phrases.first_id + i;
      const int hits = 1 + 300 / (i + 1);
      target.Run(day, 0, 0, phrase, targets.first_id + i % targets.count, hits, hits + 1);
      target.Run(day, engines.first_id + i % 10, 401, phrase, targets.first_id + i % targets.count,
                 hits, hits + 1);
    }
  }

  static std::string Upsert(const std::string& table) {
    return "INSERT OR IGNORE INTO " + table +
           " (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, SessionCount, "
           "ViewTime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
  }

  Database& db_;
  std::mt19937 random_;
  std::vector<ItemRange> ranges_;
};

// --- The install folder ------------------------------------------------------

// The marker of a filled site: the number of days it holds.
std::string FilledMarker(const std::string& home) { return home + "/filled-days"; }

bool IsFilledFor(const std::string& home, int days) {
  std::FILE* file = std::fopen(FilledMarker(home).c_str(), "r");
  if (!file) return false;
  int filled = 0;
  const bool read = std::fscanf(file, "%d", &filled) == 1;
  std::fclose(file);
  return read && filled == days;
}

void MarkFilled(const std::string& home, int days) {
  std::FILE* file = std::fopen(FilledMarker(home).c_str(), "w");
  if (!file) throw std::runtime_error("cannot write " + FilledMarker(home));
  std::fprintf(file, "%d\n", days);
  std::fclose(file);
}

void StageFiles(const std::string& home) {
  fs::remove_all(home);
  fs::create_directories(home + "/GUITemp/images");
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(std::string(TF_TEMPLATE_DIR) + "/" + name, home + "/" + name);
  }
  fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/style.css", home + "/style.css");
  fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/GUITemp/images/question1.gif",
                home + "/GUITemp/images/question1.gif");
  fs::copy_file(home + "/TallyfoxTemplate.mdb", home + "/Tallyfox.mdb");
  fs::copy_file(home + "/ProjectTemplate.mdb", home + "/Project0001.mdb");
  {
    tf::db::Connection projects;
    projects.Open(home + "/Tallyfox.mdb");
    projects.Execute(
        "INSERT INTO tblProjects (ProjectID, ProjectName, DatabaseName) VALUES (1, 'Busy Site', "
        "'Project0001.mdb')");
  }
}

// The registry's Path and the report components, for a staged folder.
void RegisterHome(const std::string& dir, const std::string& home) {
  setenv("TALLYFOX_REGISTRY", (dir + "/registry").c_str(), 1);
  tf::registry::Key key;
  tf::registry::Key::Create("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox", tf::registry::KEY_ALL_ACCESS,
                            &key);
  key.SetString("Path", home + "/");
  for (const char* library : {TF_REPORT_LIBRARY, TF_SUPPORT_LIBRARY, TF_CHART_LIBRARY}) {
    if (tf::com::RegisterComDll(library, true) != 1) {
      throw std::runtime_error(std::string("cannot register ") + library);
    }
  }
}

void FillSite(const std::string& database, const Date& first, int days) {
  Database db(database);
  db.Execute("PRAGMA journal_mode=WAL");
  db.Execute("PRAGMA synchronous=OFF");
  SiteFiller filler(db, 20250101u);
  filler.AddItems();
  for (int d = 0; d < days; ++d) filler.AddDay(AddDays(first, d));
  db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
  db.Execute("PRAGMA journal_mode=DELETE");
  db.Execute("ANALYZE");
}

// --- Timing ----------------------------------------------------------------------

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

struct Measured {
  double median = 0;
  double page_bytes = 0;
  std::size_t files = 0;
};

// The run `runs` times; files in the work folder after the last run count
// as that run's pages and pictures.
Measured TimeReport(tf::viewer::ViewerSession& session, bool summary, const Date& today,
                    int runs) {
  std::vector<double> seconds;
  Measured measured;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    tf::viewer::RunOutcome outcome = session.LoadProject(
        summary, tf::report::MakeDaySerial(today.year, today.month, today.day));
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!outcome.written) {
      throw std::runtime_error(outcome.check.ok ? "the report was not written: " + outcome.error
                                                : "the dates were refused");
    }
    measured.page_bytes = static_cast<double>(fs::file_size(outcome.page_path));
    // The page and the run's pictures share the run's file name prefix.
    const std::string stem = fs::path(outcome.page_path).stem().string();
    measured.files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(outcome.page_path).parent_path())) {
      if (entry.path().filename().string().rfind(stem, 0) == 0) ++measured.files;
    }
  }
  measured.median = Median(seconds);
  return measured;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: bench_viewer_report [--days N] [--dir FOLDER] [--runs N] [--reuse]\n");
    return 2;
  }
  const bool temporary = options.dir.empty();
  if (temporary) {
    options.dir = (fs::temp_directory_path() / ("tf-viewer-bench-" + std::to_string(getpid())))
                      .string();
  }
  try {
    fs::create_directories(options.dir);
    tf::SetMessageBoxHandler([](std::string_view text, std::string_view, unsigned) {
      std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
      return tf::kIdOk;
    });
    const std::string home = options.dir + "/install";
    const Date first{kFirstYear, 1, 1};
    const Date last = AddDays(first, options.days - 1);

    if (options.reuse && IsFilledFor(home, options.days)) {
      std::printf("site: %d days, reused\n", options.days);
    } else {
      StageFiles(home);
      auto fill_start = std::chrono::steady_clock::now();
      FillSite(home + "/Project0001.mdb", first, options.days);
      MarkFilled(home, options.days);
      const double fill_seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - fill_start).count();
      std::printf("site: %d days of %d hits, ~%d visitors a day; filled in %.1f s\n", options.days,
                  kHitsPerDay, kVisitorsPerDay, fill_seconds);
    }
    RegisterHome(options.dir, home);
    std::printf("database %.1f MB\n",
                static_cast<double>(fs::file_size(home + "/Project0001.mdb")) / 1e6);

    tf::viewer::ViewerSession session(home);
    if (!session.LoadProjectCombo()) throw std::runtime_error("no project list");
    session.dates = {FieldText(first), FieldText(last)};
    const Date today = AddDays(last, 1);
    std::printf("range %s - %s, medians of %d runs\n", FieldText(first).c_str(),
                FieldText(last).c_str(), options.runs);
    for (bool summary : {true, false}) {
      Measured m = TimeReport(session, summary, today, options.runs);
      std::printf("%-8s %.3f s  page %.0f KB, %zu files written  peak RSS %ld MB\n",
                  summary ? "summary" : "full", m.median, m.page_bytes / 1024, m.files,
                  PeakRssKb() / 1024);
    }
    std::printf("(the web view's own load of the page is not timed: there is no display here)\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_viewer_report: %s\n", e.what());
    return 1;
  }
  if (temporary) fs::remove_all(options.dir);
  return 0;
}
