// The chart test program's check against the real chart and support
// components, then the program itself on a private display.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "charttest/chart_check.h"
#include "platform/com/create.h"
#include "support/message_box_recorder.h"
#include "support/tallyfox_key.h"
#include "support/test_support.h"
#include "support/window_driver.h"

namespace tf::charttest {
namespace {

using tf::test::MessageBoxRecorder;

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  // Pixels within a JPEG's blur of the colour.
  int CountNear(std::array<int, 3> colour) const {
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
      bool near = true;
      for (int c = 0; c < 3; ++c) near = near && std::abs(rgb[i + c] - colour[c]) <= 40;
      count += near;
    }
    return count;
  }
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

Picture ReadJpeg(const std::string& path) {
  Picture picture;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return picture;
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture.width = info.output_width;
  picture.height = info.output_height;
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &picture.rgb[static_cast<std::size_t>(info.output_scanline) * picture.width * 3];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}

class ChartCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(com::RegisterComDll(TF_PICTOLOOM, true), 1);
    ASSERT_EQ(com::RegisterComDll(TF_TFSUPPORT, true), 1);
    ASSERT_TRUE(tf::test::SetTallyfoxString("Path", dir_.path()));
  }
  void TearDown() override { chmod(dir_.path().c_str(), 0755); }

  // Permission bits do not stop the super-user; a folder standing where the
  // chart file goes does.
  void MakeFolderUnwritable() {
    ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
    if (access(dir_.path().c_str(), W_OK) == 0) {
      ASSERT_EQ(mkdir(ChartFile().c_str(), 0755), 0);
    }
  }
  std::string ChartFile() const { return dir_.File("PieTest.jpg"); }

  tf::test::TempDir dir_;
};

TEST_F(ChartCheckTest, AWorkingInstallationDrawsTheTestPieWithoutError) {
  MessageBoxRecorder boxes;
  const CheckResult result = RunInstallationCheck();
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{CompletionText(ChartFile())});
  EXPECT_EQ(boxes.boxes()[0].caption, kCaption);
  EXPECT_EQ(result.ExitStatus(), 0);

  const Picture picture = ReadJpeg(ChartFile());
  EXPECT_EQ(picture.width, 480);
  EXPECT_EQ(picture.height, 260);
  const int red = picture.CountNear({200, 0, 0});
  const int green = picture.CountNear({0, 200, 0});
  const int blue = picture.CountNear({0, 0, 200});
  // Slices of 10, 20 and 30.
  EXPECT_GT(red, 1000);
  EXPECT_GT(green, red);
  EXPECT_GT(blue, green);
}

TEST_F(ChartCheckTest, AnUnwritableFolderFailsOnlyTheLastCall) {
  MakeFolderUnwritable();
  MessageBoxRecorder boxes;
  const CheckResult result = RunInstallationCheck();
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Error: 23", CompletionText(ChartFile())}));
  EXPECT_EQ(result.failed_calls, std::vector<int>{23});
  EXPECT_EQ(result.ExitStatus(), 1);
}

TEST_F(ChartCheckTest, WithoutAnInstallFolderOnlyTheSupportErrorIsShown) {
  ASSERT_TRUE(tf::test::DeleteTallyfoxValue("Path"));
  MessageBoxRecorder boxes;
  const CheckResult result = RunInstallationCheck();
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{std::string(kSupportError)});
  EXPECT_TRUE(result.support_failed);
  EXPECT_EQ(result.ExitStatus(), 1);
  EXPECT_FALSE(std::filesystem::exists(ChartFile()));
}

TEST_F(ChartCheckTest, AnUnregisteredChartLibraryEndsTheCheck) {
  ASSERT_EQ(com::RegisterComDll(TF_PICTOLOOM, false), 1);
  MessageBoxRecorder boxes;
  EXPECT_THROW(RunInstallationCheck(), CallError);
  EXPECT_TRUE(boxes.boxes().empty());
}

// The real program under Xvfb; its messages also reach its standard error.
TEST_F(ChartCheckTest, TheProgramDrawsTheChartAndEnds) {
  const tf::test::DriveResult run = tf::test::DriveWindows(
      TF_CHARTTEST, {"screen:^TFChartTest$:" + tf::test::ScreenPath("TFChartTest.png"),
                     "enter:^TFChartTest$"});
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.errors, "TFChartTest: " + CompletionText(ChartFile()) + "\n");
  EXPECT_EQ(ReadJpeg(ChartFile()).width, 480);
  // Kept beside the screenshots for a person to look at.
  std::filesystem::copy_file(ChartFile(), tf::test::ScreenPath("PieTest.jpg"),
                             std::filesystem::copy_options::overwrite_existing);
}

TEST_F(ChartCheckTest, TheProgramTellsTheFailedCallAndExitsWithAFailure) {
  MakeFolderUnwritable();
  const tf::test::DriveResult run =
      tf::test::DriveWindows(TF_CHARTTEST, {"enter:^TFChartTest$", "enter:^TFChartTest$"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.errors, "TFChartTest: Error: 23\nTFChartTest: " + CompletionText(ChartFile()) + "\n");
}

}  // namespace
}  // namespace tf::charttest

#if defined(__SANITIZE_ADDRESS__)
// The chart library's fontconfig keeps a little of its configuration for the
// whole process and never frees it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
