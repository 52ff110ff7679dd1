// The headless driver as scripts and benchmarks use it: a staged install
// folder, log files given on the command line, one line of figures, and the
// site's report on request.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
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

TEST(TfAnalyzeTest, WrongUseIsRefused) {
  test::TempDir home;
  EXPECT_EQ(Analyze({"--home", home.path()}).status, 2) << "no log file";
  EXPECT_EQ(Analyze({"--home", home.path(), "--bogus", "x.log"}).status, 2);
  EXPECT_EQ(Analyze({"--home", home.File("missing"), "x.log"}).status, 1);
  // The report command line quotes the folder.
  EXPECT_EQ(Analyze({"--home", home.path(), "--reports", home.File("a\"b"), "x.log"}).status, 2);
}

// An install folder staged from the build tree as the demo stages it: the
// component libraries, templates, style sheet and help icon, nothing
// registered yet.
class TfAnalyzeReportTest : public testing::Test {
 protected:
  void SetUp() override {
    bench::AnalyzeResult staged = bench::RunTfAnalyze(
        TF_CMAKE_COMMAND, {"--install", TF_BINARY_DIR, "--prefix", home_.path()}, true);
    ASSERT_EQ(staged.status, 0) << staged.output << staged.errors;
  }

  AnalyzeResult Report(const std::string& folder, const std::vector<std::string>& logs) {
    std::vector<std::string> args = {"--home", home_.path(), "--reports", folder};
    args.insert(args.end(), logs.begin(), logs.end());
    return bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), args, true);
  }

  test::TempDir home_, out_;
};

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
  std::string registry = test::ReadFile(home_.File("registry"));
  for (const char* library : {"TFReportCOM.so", "TFsupport.so", "Pictoloom.so"}) {
    EXPECT_NE(registry.find(home_.File(library)), std::string::npos) << library;
  }
}

TEST_F(TfAnalyzeReportTest, AFailedReportIsTheEnginesTextAndAFailure) {
  test::WriteFile(out_.File("empty.log"), "");
  AnalyzeResult no_data = Report(out_.File("reports"), {out_.File("empty.log")});
  EXPECT_EQ(no_data.status, 1);
  EXPECT_NE(no_data.errors.find("There is no information in the log files"), std::string::npos)
      << no_data.errors;
  EXPECT_EQ(bench::LastLine(no_data.output).rfind("records=0 ", 0), 0u) << "the run itself ran";

  AnalyzeResult bad_folder =
      Report(out_.File("missing/reports"),
             {std::string(TF_SOURCE_DIR) + "/data/samples/ncsa-combined.log"});
  EXPECT_EQ(bad_folder.status, 1);
  EXPECT_NE(bad_folder.errors.find("The report folder is invalid or could not be created"),
            std::string::npos)
      << bad_folder.errors;
  EXPECT_EQ(bad_folder.output.find("report="), std::string::npos);
}

}  // namespace
}  // namespace tf
