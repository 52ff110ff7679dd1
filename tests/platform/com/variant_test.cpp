#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tf::com {
namespace {

TEST(VariantTest, ByRefReadsAndWritesThroughTarget) {
  Variant target = Variant::I4(7);
  Variant ref = Variant::ByRef(target);
  EXPECT_EQ(ref.vt(), VT_BYREF | VT_I4);
  EXPECT_EQ(ref.base_type(), VT_I4);
  EXPECT_EQ(ref.i4(), 7);
  ref.Deref().SetI4(9);
  EXPECT_EQ(target.i4(), 9);
}

TEST(VariantTest, NullBstrDiffersFromEmpty) {
  EXPECT_TRUE(Bstr().is_null());
  EXPECT_FALSE(Bstr("").is_null());
  EXPECT_FALSE(Variant(Bstr()) == Variant(""));
}

TEST(VariantTest, AutomationDatesRoundTrip) {
  struct Case { int y, mo, d, h, mi, s; double value; const char* text; };
  const Case cases[] = {
      {1899, 12, 30, 0, 0, 0, 0.0, "12/30/1899 0:00:00"},
      {1900, 1, 1, 0, 0, 0, 2.0, "1/1/1900 0:00:00"},
      {2007, 1, 7, 13, 5, 9, 39089 + (13 * 3600 + 5 * 60 + 9) / 86400.0, "1/7/2007 13:05:09"},
  };
  for (const Case& c : cases) {
    double value = MakeAutomationDate(c.y, c.mo, c.d, c.h, c.mi, c.s);
    EXPECT_NEAR(value, c.value, 1e-9) << c.text;
    EXPECT_EQ(FormatAutomationDate(value), c.text);
    EXPECT_EQ(Variant::Date(value).ToString(), c.text);
  }
}

TEST(VariantTest, LenientConversions) {
  EXPECT_EQ(Variant("  -42abc").ToInt32(), -42);
  EXPECT_EQ(Variant::R8(3.9).ToInt32(), 3);
  EXPECT_EQ(Variant::Null().ToInt32(5), 5);
  EXPECT_EQ(Variant::R8(0.5).ToString(), "0.5");
  EXPECT_EQ(Variant::I8(1LL << 40).ToString(), "1099511627776");
}

TEST(VariantTest, RealBeyondTheIntegersGivesTheFallback) {
  EXPECT_EQ(Variant::R8(1e300).ToInt64(7), 7);
  EXPECT_EQ(Variant::R8(-1e19).ToInt64(7), 7);
  EXPECT_EQ(Variant::R8(std::nan("")).ToInt64(7), 7);
  EXPECT_EQ(Variant::R8(-9e18).ToInt64(), -9000000000000000000LL);
}

}  // namespace
}  // namespace tf::com
