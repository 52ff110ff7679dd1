#include <gtest/gtest.h>

#include <array>

#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

constexpr Color kBar = draw::Rgb(0x33, 0x66, 0xCC);

class BarChartTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Status(chart_.BeginChart(S(file_), I(kBmp), I(300), I(250))), kOk);
  }
  int Begin(int columns, int rows = 1, int bars = 1, int layers = 1) {
    return Status(chart_.Bar3dBegin(I(0), I(0), I(300), I(250), I(columns), I(rows), I(bars), I(layers)));
  }
  Bitmap Finish() {
    EXPECT_EQ(Status(chart_.Bar3dFinish(I(0))), kOk);
    EXPECT_EQ(Status(chart_.FinishChart(I(0))), kOk);
    return ReadBitmap(file_);
  }
  tf::test::TempDir dir_;
  std::string file_ = dir_.File("bar.bmp");
  LoomChart chart_;
};

TEST_F(BarChartTest, StatusesOfTheTables) {
  EXPECT_EQ(Status(chart_.Bar3dSetBarValue(D(1), I(0), I(0), I(0), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Bar3dSetColumnLabel(S("x"), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Bar3dFinish(I(0))), kNotBegun);
  const int bad[][8] = {{-1, 0, 10, 10, 1, 1, 1, 1}, {0, 0, 301, 10, 1, 1, 1, 1},
                        {0, 1, 10, 250, 1, 1, 1, 1}, {0, 0, 10, 10, 0, 1, 1, 1},
                        {0, 0, 10, 10, 1, 0, 1, 1},  {0, 0, 10, 10, 1, 1, 0, 1},
                        {0, 0, 10, 10, 1, 1, 1, -1}, {0, 0, 10, 10, 100000, 100000, 1, 1}};
  for (const auto& a : bad) {
    EXPECT_EQ(Status(chart_.Bar3dBegin(I(a[0]), I(a[1]), I(a[2]), I(a[3]), I(a[4]), I(a[5]),
                                       I(a[6]), I(a[7]))),
              kOutOfRange);
  }
  ASSERT_EQ(Begin(3, 2, 2, 2), kOk);
  EXPECT_EQ(Status(chart_.Bar3dSetBarValue(D(1), I(2), I(1), I(1), I(1))), kOk);
  for (auto [c, r, b, l] : {std::array{-1, 0, 0, 0}, {3, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0},
                            {0, 0, 0, 2}}) {
    EXPECT_EQ(Status(chart_.Bar3dSetBarValue(D(1), I(c), I(r), I(b), I(l))), kOutOfRange);
    EXPECT_EQ(Status(chart_.Bar3dSetBarColor(I(0), I(c), I(r), I(b), I(l))), kOutOfRange);
  }
  EXPECT_EQ(Status(chart_.Bar3dFinish(I(0))), kOk);
  EXPECT_EQ(Status(chart_.Bar3dFinish(I(0))), kNotBegun);

  ASSERT_EQ(Begin(1, 1, 1, 0), kOk);  // no layers: no cells
  EXPECT_EQ(Status(chart_.Bar3dSetBarValue(D(1), I(0), I(0), I(0), I(0))), kOutOfRange);
}

TEST_F(BarChartTest, AxisTitlesBelongToTheNextBegin) {
  chart_.Bar3dSetYaxisLabel(S("early"), I(0));
  ASSERT_EQ(Begin(2), kOk);
  EXPECT_EQ(chart_.engine()->axis().y_title, "");
  chart_.Bar3dSetYaxisLabel(S("Hits"), I(1));
  EXPECT_EQ(chart_.engine()->axis().y_title, "Hits");
  EXPECT_EQ(chart_.engine()->axis().y_title_style, 1);
}

TEST_F(BarChartTest, FacesHaveExactShades) {
  chart_.SetFont(S("Arial"), I(12), I(0), I(0), I(0), D(0));
  ASSERT_EQ(Begin(1), kOk);
  chart_.Bar3dSetBarValue(D(7.3), I(0), I(0), I(0), I(0));
  chart_.Bar3dSetBarColor(I(kBar), I(0), I(0), I(0), I(0));
  Bitmap bmp = Finish();

  const Color edge = ShadeColor(kBar, 0.88), side = ShadeColor(kBar, 0.7);
  const Color top = ShadeColor(kBar, 1.15);
  // The front's outline gives its extent; the faces are filled with their
  // shades up to their outlines, without blending.
  std::vector<int> front = bmp.Box(edge), side_box = bmp.Box(side), top_box = bmp.Box(top);
  ASSERT_NE(front[0], -1);
  ASSERT_NE(side_box[0], -1);
  ASSERT_NE(top_box[0], -1);
  const int mid_x = (front[0] + front[2]) / 2, mid_y = (front[1] + front[3]) / 2;
  EXPECT_EQ(bmp.At(front[0], mid_y), edge);
  EXPECT_EQ(bmp.At(front[0] + 1, mid_y), kBar);
  EXPECT_EQ(bmp.At(mid_x, mid_y), kBar);
  EXPECT_EQ(bmp.At(front[2] - 1, mid_y), kBar);
  EXPECT_GT(bmp.Count(kBar), 30 * 150);
  // The side stands right of the front, the top above it.
  EXPECT_GE(side_box[0], front[2]);
  EXPECT_EQ(bmp.At((side_box[0] + side_box[2]) / 2, mid_y), side);
  EXPECT_GE(top_box[1], front[3] - 1);
  EXPECT_EQ(bmp.At((top_box[0] + top_box[2]) / 2, (top_box[1] + top_box[3]) / 2), top);
}

TEST_F(BarChartTest, ZeroBarsShowOnlyTheirTops) {
  ASSERT_EQ(Begin(3), kOk);
  for (int c = 0; c < 3; ++c) chart_.Bar3dSetBarColor(I(kBar), I(c), I(0), I(0), I(0));
  Bitmap bmp = Finish();
  EXPECT_EQ(bmp.Count(ShadeColor(kBar, 0.88)), 0);  // no front
  EXPECT_EQ(bmp.Count(ShadeColor(kBar, 0.7)), 0);   // no side
  EXPECT_GT(bmp.Count(ShadeColor(kBar, 1.15)), 0);
}

}  // namespace
}  // namespace tf::chart::test
