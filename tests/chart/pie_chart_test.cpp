#include <gtest/gtest.h>

#include <numbers>

#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

constexpr Color kSlice = draw::Rgb(200, 0, 0);

class PieChartTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Status(chart_.BeginChart(S(file_), I(kBmp), I(300), I(200))), kOk); }
  int Begin(int slices) {
    return Status(chart_.Pie3dBegin(I(0), I(0), I(300), I(200), I(slices)));
  }
  PieChart& pie() { return chart_.engine()->pie(); }
  tf::test::TempDir dir_;
  std::string file_ = dir_.File("pie.bmp");
  LoomChart chart_;
};

TEST_F(PieChartTest, SweepsShareTheCircle) {
  ASSERT_EQ(Begin(3), kOk);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Status(chart_.Pie3dSetSliceValue(D(10 * (i + 1)), I(i))), kOk);
  ASSERT_EQ(Status(chart_.Pie3dFinish(I(0))), kOk);
  const double circle = 6.283185307;
  ASSERT_EQ(pie().last_angles().size(), 3u);
  const double sweeps[] = {circle / 6, circle / 3, circle / 2};
  double start = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(pie().last_angles()[i].start, start, 1e-12);
    EXPECT_NEAR(pie().last_angles()[i].sweep, sweeps[i], 1e-12);
    start += sweeps[i];
  }
  EXPECT_EQ(Status(chart_.Pie3dFinish(I(0))), kNotBegun);
}

TEST_F(PieChartTest, Statuses) {
  EXPECT_EQ(Status(chart_.Pie3dSetSliceValue(D(1), I(0))), kNotBegun);
  EXPECT_EQ(Status(chart_.Pie3dBegin(I(0), I(0), I(600), I(200), I(1))), kOk);  // half the width fits
  EXPECT_EQ(Status(chart_.Pie3dBegin(I(0), I(0), I(602), I(200), I(1))), kOutOfRange);
  EXPECT_EQ(Begin(0), kOutOfRange);
  ASSERT_EQ(Begin(2), kOk);
  EXPECT_EQ(Status(chart_.Pie3dSetSliceValue(D(-1), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Pie3dSetSliceValue(D(1), I(2))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Pie3dSetSliceColor(I(0), I(-1))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Pie3dSetPieThickness(D(-0.1))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Pie3dSetSliceLabel(S(std::string(70, 'l')), I(0))), kOk);
  EXPECT_EQ(Status(chart_.Pie3dFinish(I(0))), kNotBegun);  // all values 0: stays begun
  ASSERT_EQ(Status(chart_.Pie3dSetSliceValue(D(5), I(1))), kOk);
  EXPECT_EQ(Status(chart_.Pie3dFinish(I(0))), kOk);
}

TEST_F(PieChartTest, PullOutShrinksTheRadius) {
  auto radius = [&](double pull) {
    EXPECT_EQ(Begin(2), kOk);
    chart_.Pie3dSetSliceValue(D(1), I(0));
    chart_.Pie3dSetSliceValue(D(1), I(1));
    chart_.Pie3dSetSlicePosition(D(pull), D(1), D(0), I(1));
    EXPECT_EQ(Status(chart_.Pie3dFinish(I(0))), kOk);
    return pie().last_radius();
  };
  double plain = radius(0);
  EXPECT_NEAR(radius(0.2), plain / 1.2, 1e-9);
}

TEST_F(PieChartTest, ThicknessBeforeBeginHasNoEffect) {
  auto draw = [&](bool thick_first, const char* name) {
    EXPECT_EQ(Status(chart_.BeginChart(S(dir_.File(name)), I(kBmp), I(300), I(200))), kOk);
    if (thick_first) chart_.Pie3dSetPieThickness(D(0.6));
    Begin(1);
    chart_.Pie3dSetSliceValue(D(1), I(0));
    chart_.Pie3dFinish(I(0));
    chart_.FinishChart(I(0));
    return tf::test::ReadFile(dir_.File(name));
  };
  EXPECT_EQ(draw(true, "a.bmp"), draw(false, "b.bmp"));
}

TEST_F(PieChartTest, RimIsTheDarkerShadeBelowTheTop) {
  ASSERT_EQ(Begin(1), kOk);
  chart_.Pie3dSetSliceValue(D(1), I(0));
  chart_.Pie3dSetSliceColor(I(kSlice), I(0));
  ASSERT_EQ(Status(chart_.Pie3dFinish(I(0))), kOk);
  ASSERT_EQ(Status(chart_.FinishChart(I(0))), kOk);
  Bitmap bmp = ReadBitmap(file_);
  const Color rim = ShadeColor(kSlice, 0.8);
  std::vector<int> top = bmp.Box(kSlice), side = bmp.Box(rim);
  ASSERT_NE(top[0], -1);
  ASSERT_NE(side[0], -1);
  EXPECT_LT(side[1], top[1]);  // the rim hangs below the top face
  const int x = (top[0] + top[2]) / 2;
  EXPECT_EQ(bmp.At(x, side[1] + 2), rim);
  EXPECT_EQ(bmp.At(x, (top[1] + top[3]) / 2), kSlice);
  EXPECT_EQ(bmp.At(x, side[1] - 1), draw::kWhite);
}

}  // namespace
}  // namespace tf::chart::test
