// The headless driver as scripts and benchmarks use it: a staged install
// folder, log files given on the command line, one line of figures, and the
// site's report on request.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "bench/analyze/run_progress.h"
#include "support/test_support.h"

namespace tf {
namespace {

namespace fs = std::filesystem;

using bench::AnalyzeResult;

AnalyzeResult Analyze(const std::vector<std::string>& args) {
  return bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), args);
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(TfAnalyzeTest, AnalysesIntoTheInstallFolderOnly) {
  test::TempDir home, logs;
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(test::BuildPath(std::string("data/") + name), home.File(name));
  }
  test::WriteFile(logs.File("access.log"),
                  "192.0.2.1 - - [07/Jan/2007:10:05:00 +0000] \"GET / HTTP/1.1\" 200 10 \"-\" \"A\"\n"
                  "192.0.2.2 - - [07/Jan/2007:11:05:00 +0000] \"GET /a.gif HTTP/1.1\" 200 20 \"-\" \"A\"\n");
  std::string registry_before = fs::exists(test::RegistryFile()) ? test::ReadFile(test::RegistryFile()) : "";

  AnalyzeResult first = Analyze({"--home", home.path(), logs.File("*.LOG")});
  ASSERT_EQ(first.status, 0) << first.output;
  std::string database = home.File("Project0001.mdb");
  EXPECT_NE(first.output.find("records=2 seconds="), std::string::npos) << first.output;
  EXPECT_NE(first.output.find(" peak_rss_kb="), std::string::npos) << first.output;
  EXPECT_EQ(first.output.substr(first.output.rfind(" database=")), " database=" + database + "\n");
  EXPECT_NE(test::ReadFile(home.File("registry")).find(home.path()), std::string::npos)
      << "Path names the install folder";

  AnalyzeResult second = Analyze({"--home", home.path(), logs.File("*.LOG")});
  ASSERT_EQ(second.status, 0);
  EXPECT_EQ(second.output.rfind("records=0 ", 0), 0u) << second.output;

  EXPECT_EQ(Entries(logs.path()), std::vector<std::string>{"access.log"});
  std::string registry_after = fs::exists(test::RegistryFile()) ? test::ReadFile(test::RegistryFile()) : "";
  EXPECT_EQ(registry_after, registry_before) << "the caller's registry is not touched";
}

// The records= figure of one run, or -1.
long RecordsOf(const AnalyzeResult& result) {
  std::size_t at = result.output.rfind("records=");
  return result.status == 0 && at != std::string::npos ? std::stol(result.output.substr(at + 8))
                                                        : -1;
}

// A file is counted once for a site, whichever pattern reaches it and
// whatever other files were analysed in between.
TEST(TfAnalyzeTest, NoFileIsCountedTwiceAcrossPatternsAndRuns) {
  test::TempDir home, logs;
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(test::BuildPath(std::string("data/") + name), home.File(name));
  }
  auto lines = [](int count, const char* path) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      text += "192.0.2." + std::to_string(i + 1) + " - - [07/Jan/2007:10:0" + std::to_string(i) +
              ":00 +0000] \"GET " + path + " HTTP/1.1\" 200 10\n";
    }
    return text;
  };
  test::WriteFile(logs.File("a.log"), lines(3, "/a"));
  test::WriteFile(logs.File("b.log"), lines(2, "/b"));
  auto run = [&](const std::string& spec) {
    return RecordsOf(Analyze({"--home", home.path(), spec}));
  };
  EXPECT_EQ(run(logs.File("a.log")), 3);
  EXPECT_EQ(run(logs.File("b.log")), 2);
  EXPECT_EQ(run(logs.File("a.log")), 0) << "file A after file B";
  test::WriteFile(logs.File("a.log"), lines(3, "/a") + lines(1, "/a-new"));
  EXPECT_EQ(run(logs.File("*.log")), 1) << "a wider pattern over files read already";
  EXPECT_EQ(run(logs.File("a.log")), 0);
}

TEST(TfAnalyzeTest, WrongUseIsRefusedAndHelpExplainsEveryOption) {
  test::TempDir home;
  AnalyzeResult help = bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), {"--help"}, true);
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--home DIR ", "--site NAME ", "--domain NAME ", "--home-page NAME ",
                             "--timezone SECONDS ", "--translate ", "--reports OUTDIR ",
                             "--help ", "LOGPATTERN "}) {
    EXPECT_NE(help.output.find("\n  " + std::string(option)), std::string::npos) << option;
  }
  EXPECT_NE(help.output.find("-7200 counts a UTC log in UTC+2"), std::string::npos)
      << "the sign of the offset";

  AnalyzeResult unknown =
      bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), {"--bogus", "x.log"}, true);
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.errors.rfind("usage: tf-analyze --home DIR", 0), 0u) << unknown.errors;
  EXPECT_EQ(Analyze({"--home", home.path()}).status, 2) << "no log file";
  test::WriteFile(home.File("file"), "");
  EXPECT_EQ(Analyze({"--home", home.File("file"), "x.log"}).status, 1);
  // The report command line quotes the folder.
  EXPECT_EQ(Analyze({"--home", home.path(), "--reports", home.File("a\"b"), "x.log"}).status, 2);
}

// An install folder that tf-analyze sets up itself from the build tree, as
// the demo has it: the component libraries, templates, style sheet and help
// icon, nothing registered yet.
class TfAnalyzeHomeTest : public testing::Test {
 protected:
  AnalyzeResult Run(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--home", home()};
    all.insert(all.end(), args.begin(), args.end());
    return bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), all, true);
  }
  AnalyzeResult Report(const std::string& folder, const std::vector<std::string>& logs) {
    std::vector<std::string> args = {"--reports", folder};
    args.insert(args.end(), logs.begin(), logs.end());
    return Run(args);
  }
  std::string home() const { return home_.File("home"); }
  std::string HomeFile(const std::string& name) const { return home() + "/" + name; }
  std::string EventLog() const { return test::ReadFile(HomeFile("Project0001.txt")); }

  // One column of the site database's answer, row by row.
  std::vector<std::string> Column(const std::string& sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_open_v2(HomeFile("Project0001.mdb").c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
      while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        rows.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
      }
      sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
  }

  test::TempDir home_, out_;
};

using TfAnalyzeReportTest = TfAnalyzeHomeTest;

constexpr const char kNcsaLines[] =
    "192.0.2.1 - - [07/Jan/2007:10:05:00 +0000] \"GET / HTTP/1.1\" 200 10 "
    "\"http://www.example.com/a.htm\" \"A\"\n"
    "192.0.2.2 - - [07/Jan/2007:11:05:00 +0000] \"GET /b.htm HTTP/1.1\" 200 20 "
    "\"http://other.example.org/\" \"A\"\n";

TEST_F(TfAnalyzeHomeTest, MissingHomeIsSetUpAndTheSiteTakesItsDomainAndHomePage) {
  test::WriteFile(out_.File("a.log"), kNcsaLines);
  AnalyzeResult result = Run({"--domain", "www.example.com", "--home-page", "start.htm",
                              out_.File("a.log")});
  ASSERT_EQ(result.status, 0) << result.output << result.errors;
  EXPECT_EQ(result.errors, "") << "no progress where standard error is no terminal";
  for (const char* file : {"TallyfoxTemplate.mdb", "TFReportCOM.so", "TFsupport.so",
                           "Pictoloom.so", "style.css", "GUITemp/images/question1.gif"}) {
    EXPECT_TRUE(fs::exists(HomeFile(file))) << file;
  }
  EXPECT_EQ(Column("SELECT Name FROM tblData WHERE Category = 1 ORDER BY Name"),
            (std::vector<std::string>{"/b.htm", "/start.htm"}));
  EXPECT_EQ(Column("SELECT Name FROM tblData WHERE Category IN (302, 401)"),
            std::vector<std::string>{"other.example.org"})
      << "the site's own pages refer to no other site";
}

TEST_F(TfAnalyzeHomeTest, LogsThatCannotBeReadWhollyFailTheRun) {
  test::WriteFile(out_.File("a.log"), kNcsaLines);
  AnalyzeResult no_match = Run({out_.File("a.log"), out_.File("missing-*.log")});
  EXPECT_EQ(no_match.status, 1);
  EXPECT_NE(no_match.errors.find("tf-analyze: no log file matches " + out_.File("missing-*.log")),
            std::string::npos)
      << no_match.errors;
  EXPECT_EQ(bench::LastLine(no_match.output).rfind("records=2 ", 0), 0u)
      << "the files that match are read all the same";
  EXPECT_NE(EventLog().find("Log file name pattern: " + out_.File("missing-*.log")),
            std::string::npos);

  // A W3C log without the date column: the run records the error.
  test::WriteFile(out_.File("w3c.log"),
                  "#Fields: time c-ip cs-uri-stem\n10:00:00 192.0.2.1 /a.htm\n");
  AnalyzeResult error = Run({out_.File("w3c.log")});
  EXPECT_EQ(error.status, 1);
  EXPECT_NE(error.errors.find("tf-analyze: the run recorded an error: "
                              "Log file is missing the Date field"),
            std::string::npos)
      << error.errors;
  EXPECT_NE(EventLog().find("Log file is missing the Date field"), std::string::npos);

}

TEST_F(TfAnalyzeHomeTest, FileThatCannotBeOpenedFailsTheRun) {
  if (geteuid() == 0) GTEST_SKIP() << "every file is readable to root";
  test::WriteFile(out_.File("a.log"), kNcsaLines);
  fs::permissions(out_.File("a.log"), fs::perms::none);
  AnalyzeResult unreadable = Run({out_.File("a.log")});
  fs::permissions(out_.File("a.log"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_NE(unreadable.errors.find("tf-analyze: cannot open " + out_.File("a.log")),
            std::string::npos)
      << unreadable.errors;
  EXPECT_NE(EventLog().find("Cannot open log file: " + out_.File("a.log")), std::string::npos);
}

// Every text of the page that stands between `before` and `after`.
std::set<std::string> Between(const std::string& text, const std::string& before,
                              const std::string& after) {
  std::set<std::string> found;
  for (std::size_t at = text.find(before); at != std::string::npos; at = text.find(before, at)) {
    at += before.size();
    std::size_t end = text.find(after, at);
    if (end == std::string::npos) break;
    found.insert(text.substr(at, end - at));
  }
  return found;
}

TEST_F(TfAnalyzeReportTest, WritesTheWholeReportOfTheSampleLogs) {
  const std::string samples = std::string(TF_SOURCE_DIR) + "/data/samples/";
  const std::string folder = out_.File("site report");
  AnalyzeResult result = Report(folder, {samples + "w3c-extended.log",
                                         samples + "ncsa-combined.log", samples + "iis-basic.log"});
  ASSERT_EQ(result.status, 0) << result.output << result.errors;
  const std::string page = folder + "/report.html";
  EXPECT_NE(result.output.find("report=" + page + "\nrecords=9000 "), std::string::npos)
      << result.output;

  const std::string html = test::ReadFile(page);
  // The whole range of the samples, first to last day.
  EXPECT_NE(html.find("Mon, May 5th, 2025-Thu, May 22nd, 2025<br>18 Days"), std::string::npos);
  EXPECT_NE(html.find(">9,000<"), std::string::npos) << "the total hits";

  std::set<std::string> help_links = Between(html, "javascript:helppageopen(", ")");
  EXPECT_GE(help_links.size(), 30u);
  for (int id = 1; id <= 32; ++id) {
    EXPECT_TRUE(fs::exists(folder + "/help/" + std::to_string(id) + ".html")) << id;
  }
  for (const std::string& id : help_links) {
    EXPECT_TRUE(fs::exists(folder + "/help/" + id + ".html")) << id;
  }
  EXPECT_EQ(Between(html, "<img src='images/", "'"), std::set<std::string>{"question1.gif"});
  EXPECT_GT(fs::file_size(folder + "/images/question1.gif"), 0u);

  // Every picture the page shows is there, a JPEG, and nothing else was drawn.
  std::set<std::string> charts = Between(html, "<img src='chart/", "'");
  EXPECT_TRUE(charts.count("report-DayChart.jpg") && charts.count("report-Browser.jpg"));
  std::vector<std::string> drawn = Entries(folder + "/chart");
  EXPECT_EQ(std::set<std::string>(drawn.begin(), drawn.end()), charts);
  for (const std::string& chart : charts) {
    EXPECT_EQ(test::ReadFile(folder + "/chart/" + chart).substr(0, 3), "\xFF\xD8\xFF") << chart;
  }

  // The components were registered from the install folder, into its own
  // registry.
  std::string registry = test::ReadFile(HomeFile("registry"));
  for (const char* library : {"TFReportCOM.so", "TFsupport.so", "Pictoloom.so"}) {
    EXPECT_NE(registry.find(HomeFile(library)), std::string::npos) << library;
  }
}

TEST_F(TfAnalyzeReportTest, AFailedReportIsTheEnginesTextAndAFailure) {
  test::WriteFile(out_.File("empty.log"), "");
  AnalyzeResult no_data = Report(out_.File("reports"), {out_.File("empty.log")});
  EXPECT_EQ(no_data.status, 1);
  EXPECT_NE(no_data.errors.find("tf-analyze: the report was not written: no hits in the range "),
            std::string::npos)
      << no_data.errors;
  EXPECT_NE(no_data.errors.find(": There is no information in the log files"), std::string::npos)
      << no_data.errors;
  EXPECT_EQ(bench::LastLine(no_data.output).rfind("records=0 ", 0), 0u) << "the run itself ran";

  AnalyzeResult bad_folder =
      Report(out_.File("missing/reports"),
             {std::string(TF_SOURCE_DIR) + "/data/samples/ncsa-combined.log"});
  EXPECT_EQ(bad_folder.status, 1);
  EXPECT_NE(bad_folder.errors.find("the report of 5/5/2025\u20135/22/2025 in " +
                                   out_.File("missing/reports") +
                                   ": The report folder is invalid or could not be created"),
            std::string::npos)
      << bad_folder.errors;
  EXPECT_EQ(bad_folder.output.find("report="), std::string::npos);
}

TEST(TfAnalyzeProgressTest, LineGivesTheShareOfTheLogBytesAndTheRecordRate) {
  const struct {
    double read, size;
    long records;
    double seconds;
    const char* line;
  } cases[] = {
      {250e6, 1e9, 1234567, 2, "   25% of 1000.0 MB of logs, 1,234,567 records, 617,283 records/s"},
      {0, 0, 0, 0, "    0% of 0.0 MB of logs, 0 records, 0 records/s"},
      {2e6, 1e6, 999, 1, "  100% of 1.0 MB of logs, 999 records, 999 records/s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bench::ProgressLine(c.read, c.size, c.records, c.seconds), c.line) << c.line;
  }
}

}  // namespace
}  // namespace tf
