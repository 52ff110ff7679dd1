#include "platform/com/guid.h"

#include <gtest/gtest.h>

namespace tf::com {
namespace {

TEST(GuidTest, ParsesEitherCaseAndFormatsUpperCase) {
  constexpr Guid kChart = Guid::Parse("{6e460070-7f55-4a05-a493-bb45efc284b7}").value();
  EXPECT_EQ(kChart.data1, 0x6E460070u);
  EXPECT_EQ(kChart.data2, 0x7F55);
  EXPECT_EQ(kChart.data3, 0x4A05);
  EXPECT_EQ(kChart.data4[0], 0xA4);
  EXPECT_EQ(kChart.data4[7], 0xB7);
  EXPECT_EQ(kChart.ToString(), "{6E460070-7F55-4A05-A493-BB45EFC284B7}");
  EXPECT_EQ(Guid::Parse(kChart.ToString()), kChart);
  EXPECT_TRUE(Guid{}.is_null());
  EXPECT_EQ(Guid{}.ToString(), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, RejectsMalformedTexts) {
  const char* bad[] = {
      "",
      "6E460070-7F55-4A05-A493-BB45EFC284B7",     // no braces
      "{6E460070-7F55-4A05-A493-BB45EFC284B}",    // one digit short
      "{6E460070-7F55-4A05-A493-BB45EFC284B7 }",  // one character long
      "{6E460070-7F55-4A05-A493-BB45EFC284BG}",   // not a digit
      "{6E4600707-F55-4A05-A493-BB45EFC284B7}",   // dash misplaced
      "{6E460070-7F55-4A05-A493+BB45EFC284B7}",
  };
  for (const char* text : bad) EXPECT_FALSE(Guid::Parse(text).has_value()) << text;
}

}  // namespace
}  // namespace tf::com
