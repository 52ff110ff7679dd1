#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "chart/loom_chart.h"
#include "chart/variant_args.h"
#include "platform/com/error_info.h"
#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

class ChartObjectTest : public testing::Test {
 protected:
  void SetUp() override { com::ClearErrorInfo(); }
  int Begin(const std::string& name = "chart.bmp", int type = kBmp, int w = 200, int h = 100) {
    return Status(chart_.BeginChart(S(dir_.File(name)), I(type), I(w), I(h)));
  }
  tf::test::TempDir dir_;
  LoomChart chart_;
};

TEST_F(ChartObjectTest, ValuesThatNeedNoChart) {
  EXPECT_EQ(Status(chart_.GetVersion(Variant())), 100);
  EXPECT_EQ(Status(chart_.RGBcolor(I(255), I(128), I(0))), 33023);
  EXPECT_EQ(Status(chart_.RGBold(I(255), I(128), I(0))), 33023);
  EXPECT_EQ(Status(chart_.RGBcolor(I(256), I(0), I(0))), 0);
  Variant notice = chart_.GetCopyright(I(0));
  EXPECT_EQ(notice.vt(), com::VT_BSTR);
  EXPECT_FALSE(notice.bstr().str().empty());
}

TEST_F(ChartObjectTest, EveryDrawingMethodWantsALiveChart) {
  const std::vector<std::function<Variant()>> calls = {
      [&] { return chart_.SetTitle(S("t")); },
      [&] { return chart_.SetFont(S("Arial"), I(10), I(0), I(0), I(0), D(0)); },
      [&] { return chart_.MoveTo(I(0), I(0)); },
      [&] { return chart_.TextOut(S("x"), I(0), I(0)); },
      [&] { return chart_.SetBackgroundColor(I(0)); },
      [&] { return chart_.Bar3dBegin(I(0), I(0), I(50), I(50), I(1), I(1), I(1), I(1)); },
      [&] { return chart_.Line3dSetXaxisLabel(S("x"), I(0)); },
      [&] { return chart_.Pie3dSetSliceValue(D(1), I(0)); },
      [&] { return chart_.LegendSetMinimumWidth(I(5)); },
      [&] { return chart_.FinishChart(I(0)); },
  };
  for (const auto& call : calls) EXPECT_EQ(Status(call()), kNotBegun);
  ASSERT_EQ(Begin(), kOk);
  ASSERT_EQ(Status(chart_.FinishChart(I(0))), kOk);
  for (const auto& call : calls) EXPECT_EQ(Status(call()), kNotBegun);
}

TEST_F(ChartObjectTest, BeginChartStatuses) {
  EXPECT_EQ(Begin("a.bmp", kBmp, 9, 100), kOutOfRange);
  EXPECT_EQ(Status(chart_.SetTitle(S("still live"))), kOk);  // a failed begin leaves a chart
  EXPECT_EQ(Begin("a.bmp", 4), kOutOfRange);
  EXPECT_EQ(Begin("a.bmp", 0), kOutOfRange);
  EXPECT_EQ(Status(chart_.FinishChart(I(0))), kOutOfRange);  // nothing written
  EXPECT_FALSE(std::filesystem::exists(dir_.File("a.bmp")));
  EXPECT_EQ(Begin("small.bmp", kBmp, 10, 10), kOk);
  // A name longer than the interface takes is cut, not refused.
  EXPECT_EQ(Status(chart_.BeginChart(S(std::string(450, 'n')), I(kBmp), I(10), I(10))), kOk);
}

TEST_F(ChartObjectTest, SecondBeginDiscardsTheFirstPicture) {
  ASSERT_EQ(Begin("first.png", kPng), kOk);
  ASSERT_EQ(Begin("second.png", kPng), kOk);
  EXPECT_EQ(Status(chart_.FinishChart(I(0))), kOk);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("first.png")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("second.png")));
}

TEST_F(ChartObjectTest, TooLongTextsAndRanges) {
  ASSERT_EQ(Begin(), kOk);
  const std::string face50(50, 'f');
  EXPECT_EQ(Status(chart_.SetFont(S("Arial"), I(17), I(0), I(0), I(0), D(0))), kOk);
  EXPECT_EQ(Status(chart_.SetFont(S(face50), I(30), I(255), I(1), I(0), D(0))), kTooLong);
  EXPECT_EQ(chart_.engine()->font().face, "Arial");
  EXPECT_EQ(chart_.engine()->font().height, 17);
  EXPECT_FALSE(chart_.engine()->font().bold);

  EXPECT_EQ(Status(chart_.SetTitle(S(std::string(300, 't')))), kOk);
  EXPECT_EQ(chart_.engine()->title().size(), 199u);

  ASSERT_EQ(Status(chart_.Bar3dBegin(I(0), I(0), I(200), I(100), I(3), I(2), I(1), I(1))), kOk);
  EXPECT_EQ(Status(chart_.Bar3dSetColumnLabel(S(std::string(29, 'c')), I(0))), kOk);
  EXPECT_EQ(Status(chart_.Bar3dSetColumnLabel(S(std::string(30, 'c')), I(0))), kTooLong);
  EXPECT_EQ(Status(chart_.Bar3dSetColumnLabel(S(std::string(30, 'c')), I(3))), kOutOfRange);
  EXPECT_EQ(Status(chart_.Bar3dSetRowLabel(S(std::string(30, 'r')), I(1))), kTooLong);
  EXPECT_EQ(Status(chart_.Bar3dSetXaxisLabelType(I(1))), kOk);
  EXPECT_EQ(Status(chart_.Bar3dSetXaxisLabelType(I(2))), kOutOfRange);

  EXPECT_EQ(Status(chart_.MoveTo(I(200), I(100))), kOk);
  EXPECT_EQ(Status(chart_.LineTo(I(201), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.MoveTo(I(-1), I(0))), kOutOfRange);
  EXPECT_EQ(Status(chart_.TextOut(S("no bounds check"), I(-50), I(5000))), kOk);
}

TEST_F(ChartObjectTest, WrongArgumentTypesSetErrorInformation) {
  ASSERT_EQ(Begin(), kOk);
  EXPECT_EQ(Status(chart_.SetTitle(Variant())), kOk);
  EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where string expected");
  EXPECT_EQ(chart_.engine()->title(), "");

  ASSERT_EQ(Status(chart_.Pie3dBegin(I(0), I(0), I(100), I(100), I(2))), kOk);
  EXPECT_EQ(Status(chart_.Pie3dSetSliceValue(Variant::Bool(true), I(0))), kOk);
  EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where double (float) expected");
  EXPECT_EQ(Status(chart_.Pie3dSetSliceValue(D(1), Variant::Null())), kOk);
  EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where long integer expected");
}

TEST(VariantArgsTest, Conversions) {
  Variant target = Variant::I4(42);
  struct LongCase {
    Variant in;
    std::int32_t out;
  };
  const LongCase longs[] = {
      {Variant::I2(-7), -7},         {Variant::Bool(true), -1},   {Variant::UI2(65535), 65535},
      {Variant::R8(3.9), 3},         {Variant::R8(-3.9), -3},     {Variant::R4(2.5f), 2},
      {Variant("12"), 12},           {Variant("  -8kb"), -8},     {Variant("abc"), 0},
      {Variant::ByRef(target), 42},  {Variant::R8(1e20), 2147483647},
      {Variant(std::string(25, '9')), 2147483647},
  };
  for (const LongCase& c : longs) {
    std::int32_t out = 99;
    EXPECT_TRUE(VariantToLong(c.in, out));
    EXPECT_EQ(out, c.out) << c.in.ToString();
  }
  std::int32_t untouched = 5;
  EXPECT_FALSE(VariantToLong(Variant::UI1(3), untouched));
  EXPECT_EQ(untouched, 5);

  double real = 0;
  EXPECT_TRUE(VariantToDouble(Variant(" 2.75e1x"), real));
  EXPECT_EQ(real, 27.5);
  EXPECT_TRUE(VariantToDouble(Variant::UI4(4000000000u), real));
  EXPECT_EQ(real, 4e9);
  EXPECT_FALSE(VariantToDouble(Variant::Bool(false), real));

  std::string text;
  EXPECT_TRUE(VariantToString(Variant(com::Bstr()), 10, text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(VariantToString(Variant("abcdefgh\xC3\xA9"), 10, text));
  EXPECT_EQ(text, "abcdefgh");  // nine bytes would split the last character
  EXPECT_FALSE(VariantToString(Variant::I4(1), 10, text));
}

}  // namespace
}  // namespace tf::chart::test
