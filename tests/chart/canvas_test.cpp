#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "chart/axis_scale.h"
#include "chart/chart_canvas.h"
#include "chart/text_lines.h"
#include "chart/transform3d.h"
#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

TEST(ShadeColorTest, ChannelsInWholeHundredths) {
  struct Case {
    Color in;
    double factor;
    Color out;
  };
  const Case cases[] = {
      {0x000000, 0.8, 0x000000},   // 1 * 80 / 100 = 0
      {0x000000, 1.0, 0x010101},   // black channels count as 1
      {0x0000FF, 1.15, 0x0101FF},  // 1.15 * 100 truncates to 114
      {0xF0F0F0, 0.9, 0xD8D8D8},
      {0x0F8701, 0.7, 0x0A5E00},
      {0xFF0000, 0.88, 0xE00000},
  };
  for (const Case& c : cases) EXPECT_EQ(ShadeColor(c.in, c.factor), c.out) << std::hex << c.in;
}

TEST(Transform3dTest, ComposesLeftToRight) {
  Transform3d t = Transform3d::Translate(1, 2, 3).Then(Transform3d::RotateY(std::numbers::pi / 2));
  Point3d p = t.Apply({0, 0, 0});
  EXPECT_NEAR(p.x, -3, 1e-12);
  EXPECT_NEAR(p.y, 2, 1e-12);
  EXPECT_NEAR(p.z, 1, 1e-12);
  Point3d sheared = Transform3d::Shear(0.5).Apply({1, 4, 0});
  EXPECT_DOUBLE_EQ(sheared.x, 3);
  Point3d tilted = Transform3d::RotateX(-1).Apply({0, 0, 1});  // heights lift points
  EXPECT_NEAR(tilted.y, std::sin(1.0), 1e-12);
}

TEST(AxisScaleTest, NiceScales) {
  struct Case {
    double max;
    int height;
    double step, top;
    int steps, pixels, minor;
  };
  const Case cases[] = {
      {7.3, 200, 1, 8, 8, 25, 5},         // unit 0.1 raised to 1 for whole steps
      {0, 200, 1, 1, 1, 200, 5},          // an empty chart still shows 0 and 1
      {2234, 300, 200, 2400, 12, 25, 2},  // multiplier 2
      {96, 310, 10, 100, 10, 31, 5},
  };
  for (const Case& c : cases) {
    AxisScale s = NiceAxisScale(0, c.max, c.height, 20, true);
    ASSERT_TRUE(s.ok) << c.max;
    EXPECT_EQ(s.minimum, 0);
    EXPECT_DOUBLE_EQ(s.step, c.step) << c.max;
    EXPECT_DOUBLE_EQ(s.maximum, c.top) << c.max;
    EXPECT_EQ(s.steps, c.steps) << c.max;
    EXPECT_EQ(s.pixels_per_step, c.pixels) << c.max;
    EXPECT_DOUBLE_EQ(s.pixels_per_unit, c.pixels / c.step) << c.max;
    EXPECT_EQ(s.minor_divisions, c.minor) << c.max;
  }
  EXPECT_DOUBLE_EQ(NiceAxisScale(0, 0.35, 100, 20, false).step, 0.1);
  EXPECT_FALSE(NiceAxisScale(0, 10, 19, 20, true).ok);  // no step fits
}

TEST(AxisScaleTest, FormatAxisNumber) {
  const std::pair<double, const char*> cases[] = {
      {1234567, "1,234,567"}, {2.5, "2.5"},   {0, "0"},       {1234.25, "1,234.25"},
      {999, "999"},           {1000, "1,000"}, {0.30000000000000004, "0.3"}, {100, "100"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatAxisNumber(value), text);
}

TEST(TextLinesTest, TildeAndLineFeedSeparate) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitTextLines("a~b"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a~"), (Lines{"a"}));
  EXPECT_EQ(SplitTextLines("a~~b"), (Lines{"a", "", "b"}));
  EXPECT_TRUE(SplitTextLines("").empty());
}

class CanvasTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(canvas_.Create(dir_.File("c.bmp"), kBmp, 60, 40), kOk); }
  Color Pixel(int x, int y) const { return canvas_.picture()->GetPixel(x, y); }
  tf::test::TempDir dir_;
  ChartCanvas canvas_;
};

TEST_F(CanvasTest, PictureIsWhiteUntilABackgroundIsSet) {
  for (auto [x, y] : {std::pair{0, 1}, {59, 40}, {30, 20}}) EXPECT_EQ(Pixel(x, y), draw::kWhite);
  canvas_.SetBackgroundColor(0x00FF00);
  for (int y = 1; y <= 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(Pixel(x, y), 0x00FF00u) << x << "," << y;
}

TEST_F(CanvasTest, FontSettings) {
  EXPECT_EQ(canvas_.font().face, "MS Sans Serif");
  EXPECT_EQ(canvas_.font().height, 10);
  ASSERT_EQ(canvas_.SetFont("Arial", 18, 0xFF, true, false, 12.34), kOk);
  EXPECT_EQ(canvas_.font().escapement, 123);
  ASSERT_EQ(canvas_.SetTitle("Title"), kOk);
  ASSERT_EQ(canvas_.SetFont("", 0, 0, false, true, 0), kOk);  // keeps face and height
  EXPECT_EQ(canvas_.font().face, "Arial");
  EXPECT_EQ(canvas_.font().height, 18);
  EXPECT_TRUE(canvas_.font().italic);
  // The title keeps the font of its own time.
  EXPECT_TRUE(canvas_.title_font().bold);
  EXPECT_EQ(canvas_.title_font().colour, 0xFFu);
  EXPECT_EQ(canvas_.TitleHeight(), 18 + 5);
}

TEST_F(CanvasTest, TextLinesStepDownByTheLineHeight) {
  auto rows_with_ink = [&] {
    std::vector<int> rows;
    for (int y = 1; y <= 40; ++y)
      for (int x = 0; x < 60; ++x)
        if (draw::RedOf(Pixel(x, y)) < 128) {
          rows.push_back(y);
          break;
        }
    return rows;
  };
  ASSERT_EQ(canvas_.SetFont("Arial", 12, 0, false, false, 0), kOk);
  canvas_.TextOut("l", 5, 38);
  const std::vector<int> one = rows_with_ink();
  ASSERT_FALSE(one.empty());
  for (const char* text : {"l~l", "l\nl"}) {
    canvas_.SetBackgroundColor(draw::kWhite);
    canvas_.TextOut(text, 5, 38);
    std::vector<int> two = rows_with_ink();
    EXPECT_EQ(two.front(), one.front() - 12) << text;  // the second line, 12 lower
    EXPECT_EQ(two.back(), one.back()) << text;
  }
  canvas_.SetBackgroundColor(draw::kWhite);
  canvas_.TextOut("l~", 5, 38);
  EXPECT_EQ(rows_with_ink(), one);
}

}  // namespace
}  // namespace tf::chart::test
