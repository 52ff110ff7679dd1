#include <gtest/gtest.h>

#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

class LineChartTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Status(chart_.BeginChart(S(file_), I(kBmp), I(400), I(300))), kOk); }
  int Begin(int type, int values, int lines) {
    return Status(chart_.Line3dBegin(I(type), I(0), I(0), I(400), I(300), I(values), I(lines)));
  }
  tf::test::TempDir dir_;
  std::string file_ = dir_.File("line.bmp");
  LoomChart chart_;
};

TEST_F(LineChartTest, Statuses) {
  EXPECT_EQ(Status(chart_.Line3dSetLineValue(D(1), I(0), I(0))), kOutOfRange);
  EXPECT_EQ(Begin(0, 1, 1), kOutOfRange);
  EXPECT_EQ(Begin(3, 5, 1), kOutOfRange);
  EXPECT_EQ(Begin(0, 5, 0), kOutOfRange);
  ASSERT_EQ(Begin(1, 5, 2), kOk);
  EXPECT_EQ(Status(chart_.Line3dSetLineValue(D(1), I(5), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Line3dSetLineColor(I(0), I(2))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Line3dSetXvalueLabel(S(std::string(30, 'x')), I(0))), kTooLong);
  EXPECT_EQ(Status(chart_.Line3dSetXvalueLabelType(I(3))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Line3dFinish(I(0))), kOk);
  EXPECT_TRUE(chart_.engine()->line().area_flag());
  EXPECT_EQ(Status(chart_.Line3dFinish(I(0))), kNotBegun);

  // The bar chart's begin does not begin a line chart, and the two never
  // finish over each other's label table.
  ASSERT_EQ(Status(chart_.Bar3dBegin(I(0), I(0), I(100), I(100), I(3), I(1), I(1), I(1))), kOk);
  EXPECT_EQ(Status(chart_.Line3dFinish(I(0))), kNotBegun);
  ASSERT_EQ(Begin(0, 4, 1), kOk);
  EXPECT_EQ(Status(chart_.Bar3dFinish(I(0))), kNotBegun);
}

TEST_F(LineChartTest, StackedBandsLieOnTopOfEachOther) {
  const Color first = draw::Rgb(0, 0, 200), second = draw::Rgb(200, 0, 0);
  ASSERT_EQ(Begin(2, 4, 2), kOk);
  for (int j = 0; j < 4; ++j) {
    chart_.Line3dSetLineValue(D(1), I(j), I(0));
    chart_.Line3dSetLineValue(D(2), I(j), I(1));
  }
  chart_.Line3dSetLineColor(I(first), I(0));
  chart_.Line3dSetLineColor(I(second), I(1));
  ASSERT_EQ(Status(chart_.Line3dFinish(I(0))), kOk);
  ASSERT_EQ(Status(chart_.FinishChart(I(0))), kOk);
  Bitmap bmp = ReadBitmap(file_);
  std::vector<int> box = bmp.Box(first);
  ASSERT_NE(box[0], -1);
  // Down one column of the front faces: line 0 (1 unit) lies on line 1
  // (2 units), which is twice as tall.
  const int x = (box[0] + box[2]) / 2;
  std::vector<int> upper, lower;
  for (int y = 0; y < bmp.height; ++y) {
    if (bmp.At(x, y) == first) upper.push_back(y);
    if (bmp.At(x, y) == second) lower.push_back(y);
  }
  ASSERT_FALSE(upper.empty());
  ASSERT_FALSE(lower.empty());
  EXPECT_GT(upper.front(), lower.back());
  EXPECT_LE(upper.front() - lower.back(), 2);
  EXPECT_NEAR(static_cast<double>(lower.size()) / upper.size(), 2.0, 0.15);
}

}  // namespace
}  // namespace tf::chart::test
