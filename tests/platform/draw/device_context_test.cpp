#include "platform/draw/device_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace tf::draw {
namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kBlue = Rgb(0, 0, 255);

// A white picture with the origin at the bottom-left corner.
class DeviceContextTest : public testing::Test {
 protected:
  DeviceContextTest() : dc_(40, 30) {
    dc_.UseBottomLeftOrigin();
    dc_.Fill(kWhite);
  }

  std::set<Color> ColorsIn(int x0, int y0, int x1, int y1) {
    std::set<Color> colors;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) colors.insert(dc_.GetPixel(x, y));
    return colors;
  }

  DeviceContext dc_;
};

TEST_F(DeviceContextTest, RectangleCoversUpToItsSecondCorner) {
  dc_.SelectPen({kGreen, 1, kPenSolid});
  dc_.SelectBrush({kRed});
  dc_.Rectangle(2, 20, 8, 10);  // y up: device rows 10 to 19
  // The logical row y lies on device row height - y.
  EXPECT_EQ(dc_.GetPixel(2, 20), kGreen);   // top-left corner
  EXPECT_EQ(dc_.GetPixel(7, 11), kGreen);   // bottom-right corner, one inside
  EXPECT_EQ(dc_.GetPixel(8, 15), kWhite);   // right edge left out
  EXPECT_EQ(dc_.GetPixel(5, 10), kWhite);   // bottom edge left out
  EXPECT_EQ(dc_.GetPixel(3, 19), kRed);
  EXPECT_EQ(dc_.GetPixel(6, 12), kRed);
  EXPECT_EQ(ColorsIn(0, 1, 40, 31), (std::set<Color>{kWhite, kRed, kGreen}));

  dc_.Fill(kWhite);
  dc_.SelectPen({kBlack, 1, kPenNull});
  dc_.Rectangle(0, 30, 40, 0);  // without a pen one pixel less each way
  EXPECT_EQ(dc_.GetPixel(0, 30), kRed);
  EXPECT_EQ(dc_.GetPixel(38, 2), kRed);
  EXPECT_EQ(dc_.GetPixel(39, 15), kWhite);
  EXPECT_EQ(dc_.GetPixel(15, 1), kWhite);
}

TEST_F(DeviceContextTest, PolygonHasExactColoursAndOutlinedVertices) {
  dc_.SelectPen({kBlue, 1, kPenSolid});
  dc_.SelectBrush({kRed});
  const Point triangle[] = {{2, 2}, {30, 2}, {2, 25}};
  dc_.Polygon(triangle);
  for (const Point& p : triangle) EXPECT_EQ(dc_.GetPixel(p.x, p.y), kBlue);
  EXPECT_EQ(dc_.GetPixel(8, 8), kRed);
  EXPECT_EQ(dc_.GetPixel(30, 25), kWhite);
  EXPECT_EQ(ColorsIn(0, 1, 40, 31), (std::set<Color>{kWhite, kRed, kBlue}));
}

TEST_F(DeviceContextTest, LinesLeaveOutTheirLastPixel) {
  dc_.MoveTo(2, 5);
  dc_.LineTo(12, 5);
  EXPECT_EQ(dc_.GetPixel(2, 5), kBlack);
  EXPECT_EQ(dc_.GetPixel(11, 5), kBlack);
  EXPECT_EQ(dc_.GetPixel(12, 5), kWhite);
  dc_.LineTo(12, 15);  // continues from the last end
  EXPECT_EQ(dc_.GetPixel(12, 5), kBlack);
  EXPECT_EQ(dc_.GetPixel(12, 15), kWhite);
}

TEST_F(DeviceContextTest, StyledPensAndHatchesUseTheBackgroundColour) {
  dc_.SetBkColor(kGreen);
  dc_.SelectPen({kRed, 1, kPenDot});
  dc_.MoveTo(0, 3);
  dc_.LineTo(12, 3);
  const Color dots[] = {kRed, kRed, kRed, kGreen, kGreen, kGreen, kRed};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(dc_.GetPixel(x, 3), dots[x]) << x;

  dc_.SelectPen({kBlack, 1, kPenNull});
  dc_.SelectBrush({kBlue, kHatchCross});
  dc_.Rectangle(0, 30, 17, 13);
  EXPECT_EQ(ColorsIn(0, 15, 16, 31), (std::set<Color>{kBlue, kGreen}));
  // Unknown hatch styles fill solid.
  dc_.SelectBrush({kBlue, 77});
  dc_.Rectangle(20, 30, 31, 20);
  EXPECT_EQ(ColorsIn(20, 22, 30, 31), (std::set<Color>{kBlue}));
}

TEST_F(DeviceContextTest, LinesFarOutsideThePictureAreClipped) {
  dc_.MoveTo(-2000000000, 10);
  dc_.LineTo(2000000000, 10);
  dc_.SelectPen({kRed, 3, kPenSolid});
  dc_.MoveTo(-2000000000, -2000000000);
  dc_.LineTo(2000000000, 2000000000);
  EXPECT_EQ(dc_.GetPixel(0, 10), kBlack);
  EXPECT_EQ(dc_.GetPixel(39, 10), kBlack);
  EXPECT_EQ(dc_.GetPixel(20, 20), kRed);
}

TEST_F(DeviceContextTest, TextIsAntiAliasedOnAnOpaqueUprightCell) {
  dc_.SelectFont(Font::Create({"Arial", 20}));
  dc_.SetBkColor(kGreen);
  dc_.SetTextColor(kBlack);
  Size extent = dc_.TextExtent("Wg");
  EXPECT_EQ(extent.height, 20);
  dc_.TextOut(3, 25, "Wg");  // the cell hangs below its top-left corner
  std::set<Color> cell = ColorsIn(3, 6, 3 + extent.width, 26);
  EXPECT_TRUE(cell.count(kGreen));
  EXPECT_TRUE(cell.count(kBlack));
  EXPECT_GT(cell.size(), 4u) << "text edges are anti-aliased";
  EXPECT_EQ(ColorsIn(0, 1, 40, 6), (std::set<Color>{kWhite}));
  EXPECT_EQ(ColorsIn(0, 26, 40, 31), (std::set<Color>{kWhite}));
  // Upright: the descender of g hangs in the lowest rows, W's top stays clear of them.
  std::set<Color> left_bottom = ColorsIn(3, 6, 3 + extent.width / 2, 9);
  EXPECT_EQ(left_bottom, (std::set<Color>{kGreen}));
}

TEST_F(DeviceContextTest, EscapementTurnsTextCounterClockwise) {
  dc_.SelectFont(Font::Create({"Arial", 12, kWeightRegular, false, 900}));
  dc_.SetBkColor(kGreen);
  dc_.TextOut(20, 2, "Hits");  // runs upward; the cell lies to the right
  std::set<Color> above = ColorsIn(20, 3, 32, 29);
  EXPECT_TRUE(above.count(kGreen));
  EXPECT_TRUE(std::any_of(above.begin(), above.end(),
                          [](Color c) { return RedOf(c) < 80 && GreenOf(c) < 80; }));
  EXPECT_EQ(ColorsIn(0, 1, 19, 31), (std::set<Color>{kWhite}));
}

TEST(DeviceContextRows, ScanLinesAreBottomUpBlueGreenRedAndPadded) {
  DeviceContext dc(3, 2);
  dc.UseBottomLeftOrigin();
  dc.Fill(Rgb(1, 2, 3));
  dc.SelectPen({Rgb(10, 20, 30), 1, kPenSolid});
  dc.MoveTo(0, 1);  // bottom row
  dc.LineTo(1, 1);
  ASSERT_EQ(DeviceContext::PaddedRowLength(3), 12);
  std::vector<std::uint8_t> row(12, 0xEE);
  dc.ReadScanLine(0, row.data());
  EXPECT_EQ(row, (std::vector<std::uint8_t>{30, 20, 10, 3, 2, 1, 3, 2, 1, 0, 0, 0}));
  dc.ReadScanLine(1, row.data());
  EXPECT_EQ(row[0], 3);
}

TEST(DeviceContextRows, APictureOfNoSizeHasEmptyRows) {
  DeviceContext dc(-2, 3);
  EXPECT_FALSE(dc.ok());
  EXPECT_EQ(DeviceContext::PaddedRowLength(-2), 0);
  std::uint8_t guard = 0xEE;
  dc.ReadScanLine(0, &guard);  // writes nothing
  EXPECT_EQ(guard, 0xEE);
}

}  // namespace
}  // namespace tf::draw
