#include <gtest/gtest.h>

#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

class LegendTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Status(chart_.BeginChart(S(file_), I(kBmp), I(480), I(260))), kOk); }
  Bitmap Finish() {
    EXPECT_EQ(Status(chart_.LegendFinish(I(0))), kOk);
    EXPECT_EQ(Status(chart_.FinishChart(I(0))), kOk);
    return ReadBitmap(file_);
  }
  // The first black pixel left of x on row y, counting down from x.
  static int BlackLeftOf(const Bitmap& bmp, int x, int y) {
    while (x >= 0 && bmp.At(x, y) != 0u) --x;
    return x;
  }
  tf::test::TempDir dir_;
  std::string file_ = dir_.File("legend.bmp");
  LoomChart chart_;
};

TEST_F(LegendTest, Statuses) {
  EXPECT_EQ(Status(chart_.LegendSetItemText(S("x"), I(0), I(0))), kNotBegun);
  EXPECT_EQ(Status(chart_.LegendFinish(I(0))), kNotBegun);
  EXPECT_EQ(Status(chart_.LegendBegin(I(-1), I(0), I(0), I(0), I(2), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.LegendBegin(I(0), I(0), I(0), I(0), I(0), I(0))), kOutOfRange);
  ASSERT_EQ(Status(chart_.LegendBegin(I(10), I(10), I(0), I(0), I(2), I(0))), kOk);
  EXPECT_EQ(Status(chart_.LegendSetItemText(S("x"), I(0), I(2))), kOutOfRange);
  EXPECT_EQ(Status(chart_.LegendSetItemText(S("x"), I(-1), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.LegendSetItemText(S("x"), I(1000), I(0))), kOk);
  EXPECT_EQ(Status(chart_.LegendSetItemBackground(I(255), I(5), I(1))), kOk);  // no cell there
  EXPECT_EQ(Status(chart_.LegendSetMinimumWidth(I(-1))), kOutOfRange);
  EXPECT_EQ(Status(chart_.LegendSetColumn(I(2), I(0), I(0), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.LegendSetColorKey(I(0), I(1), I(1))), kOk);
  EXPECT_EQ(Status(chart_.LegendFinish(I(0))), kOk);
  EXPECT_EQ(Status(chart_.LegendFinish(I(0))), kNotBegun);
}

TEST_F(LegendTest, RightAnchorPlacesTheBoxLeftOfX) {
  ASSERT_EQ(Status(chart_.LegendBegin(I(400), I(100), I(1), I(0), I(1), I(0))), kOk);
  chart_.LegendSetColumn(I(0), I(88), I(0), I(0));  // 88 + padding = 100 wide
  chart_.LegendSetColorKey(I(draw::Rgb(0, 0, 255)), I(0), I(0));
  Bitmap bmp = Finish();
  const int y = 103;  // inside the one row: a row of keys alone is 6 tall, from 100 up
  EXPECT_EQ(bmp.At(298, y), 0u);
  EXPECT_EQ(bmp.At(297, y), draw::kWhite);
  EXPECT_EQ(bmp.At(399, y), 0u);
  EXPECT_EQ(bmp.At(400, y), draw::kWhite);
  EXPECT_EQ(bmp.At(300, y), Legend::kDefaultBackground);
}

// The legend of the chart test program: the heading's extra width goes to
// the text column, the key column stays 10 wide plus its padding.
TEST_F(LegendTest, SpanWidensTheColumnsWithoutKeys) {
  ASSERT_EQ(Status(chart_.LegendBegin(I(360), I(108), I(0), I(2), I(2), I(12))), kOk);
  ASSERT_EQ(Status(chart_.SetFont(S("Arial"), I(14), I(0), Variant::Bool(true), Variant::Bool(false), I(0))), kOk);
  chart_.LegendSetColumn(I(0), I(0), I(2), I(0));
  chart_.LegendSetColumn(I(1), I(0), I(0), I(0));
  chart_.LegendSetItemTextSpan(S("Pie Chart Legend"), I(0), I(0), I(2), I(2));
  const Color keys[] = {draw::Rgb(200, 0, 0), draw::Rgb(0, 200, 0), draw::Rgb(0, 0, 200)};
  for (int i = 0; i < 3; ++i) {
    chart_.LegendSetItemText(S("Region " + std::to_string(i + 1)), I(i + 1), I(1));
    chart_.LegendSetColorKey(I(keys[i]), I(i + 1), I(0));
  }
  ChartCanvas& canvas = *chart_.engine();
  const int heading = canvas.TextWidth("Pie Chart Legend", canvas.font());
  Bitmap bmp = Finish();

  std::vector<int> key = bmp.Box(keys[0]);
  ASSERT_NE(key[0], -1);
  EXPECT_EQ(key[2] - key[0] + 1, 10);
  // Key column: left border 360, content from 361, key centred in 10 + 12.
  EXPECT_EQ(key[0], 361 + 6);
  const int separator = 361 + 22;  // the column line after the key column
  EXPECT_EQ(bmp.At(separator, key[1] + 5), draw::Rgb(100, 100, 100));
  // The heading's room counts the key column, its padding and the gap
  // twice; the text column takes the rest.
  const int right_border = BlackLeftOf(bmp, 479, key[1] + 5);
  EXPECT_EQ(right_border - (separator + 1), (heading - 10 - 14) + 12);
}

}  // namespace
}  // namespace tf::chart::test
