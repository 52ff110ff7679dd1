// The real TallyfoxGUI on an install folder staged from this build with the
// sample site analysed: batch mode without a display, and the window on a
// private display driven through its steps, with screenshots.
#include <gtest/gtest.h>

#include <filesystem>

#include "bench/analyze/analyze_process.h"
#include "platform/shell/shell.h"
#include "support/test_support.h"
#include "support/window_driver.h"

namespace tf::viewer {
namespace {

namespace fs = std::filesystem;

class ViewerProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    home_ = dir_.File("install");
    const std::string samples = std::string(TF_SOURCE_DIR) + "/data/samples/";
    bench::AnalyzeResult staged = bench::RunTfAnalyze(
        tf::test::BuildPath("bench/tf-analyze"),
        {"--home", home_, "--domain", "www.example.com", "--reports", dir_.File("generated"),
         samples + "w3c-extended.log", samples + "ncsa-combined.log", samples + "iis-basic.log"});
    ASSERT_EQ(staged.status, 0) << staged.output << staged.errors;
    // The program finds its install folder through the staged registry.
    setenv("TALLYFOX_REGISTRY", (home_ + "/registry").c_str(), 1);
  }
  void TearDown() override { setenv("TALLYFOX_REGISTRY", tf::test::RegistryFile().c_str(), 1); }

  int RunBatch(const std::vector<std::string>& args) {
    shell::StartOptions options;
    options.wait = true;
    shell::StartResult run = shell::StartProgram(home_ + "/TallyfoxGUI", args, options);
    return run.started && run.exited ? run.exit_code : -1;
  }

  tf::test::TempDir dir_;
  std::string home_;
};

TEST_F(ViewerProgramTest, BatchWritesTheSampleMonthWithoutADisplay) {
  unsetenv("DISPLAY");
  const std::string out = dir_.File("batch out");
  fs::create_directories(out);
  EXPECT_EQ(RunBatch({"/D", out, "/P", "SAMPLE SITE", "/c", "/r", "May"}), 0);
  EXPECT_TRUE(fs::exists(out + "/May.html"));
  EXPECT_TRUE(fs::exists(out + "/May-SessionsChart.jpg"));
  EXPECT_TRUE(fs::exists(out + "/images/question1.gif"));
  EXPECT_NE(RunBatch({"/d", dir_.File("missing"), "/p", "Sample site", "/c"}), 0);
  EXPECT_NE(RunBatch({"/d", out, "/p", "Nobody", "/c"}), 0);
}

TEST_F(ViewerProgramTest, WindowShowsAFullReportJumpsOpensHelpAndSaves) {
  const std::string marks = dir_.File("marks");
  const std::string saved = dir_.File("saved");
  fs::create_directories(marks);
  fs::create_directories(saved);
  const std::string steps = dir_.File("steps");
  tf::test::WriteFile(steps, "quick 12\ngenerate\nmark report\nsection Domains\nhelplink 12\n"
                             "mark help\nsave " + saved + "/week.html\noptions\nexit\n");
  setenv("TALLYFOX_VIEWER_STEPS", steps.c_str(), 1);
  setenv("TALLYFOX_VIEWER_MARKS", marks.c_str(), 1);
  const tf::test::DriveResult run = tf::test::DriveWindows(
      home_ + "/TallyfoxGUI",
      {"file::" + marks + "/report",
       "shot:^Tallyfox Desktop Report Viewer$:" + tf::test::ScreenPath("TallyfoxGUI.png"),
       "touch::" + marks + "/report.done", "file::" + marks + "/help",
       "screen:^Tallyfox Help$:" + tf::test::ScreenPath("TallyfoxGUI-help.png"),
       "touch::" + marks + "/help.done", "enter:^Save Report$",
       "shot:^Options$:" + tf::test::ScreenPath("TallyfoxGUI-options.png"), "escape:^Options$"});
  unsetenv("TALLYFOX_VIEWER_STEPS");
  unsetenv("TALLYFOX_VIEWER_MARKS");
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.errors, "Save Report: Report saved as '" + saved + "/week.html'\n");
  const std::string page = tf::test::ReadFile(saved + "/week.html");
  EXPECT_NE(page.find("<img src='week-SessionsChart.jpg'>"), std::string::npos);
  EXPECT_EQ(page.find("question1.gif"), std::string::npos);
  EXPECT_TRUE(fs::exists(saved + "/week-SessionsChart.jpg"));
  const std::string help = tf::test::ReadFile(home_ + "/GUITemp/HelpPage.html");
  EXPECT_NE(help.find("Browser Add-Ons"), std::string::npos) << "topic 12 was shown";
}

}  // namespace
}  // namespace tf::viewer
