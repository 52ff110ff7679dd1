#include "platform/db/jet_functions.h"

#include <gtest/gtest.h>

#include "db_fixture.h"

namespace tf::db {
namespace {

TEST(JetLikeTest, MatchesJetWildcardsWithoutCase) {
  struct Case {
    const char* pattern;
    const char* text;
    bool match;
  };
  const Case cases[] = {
      {"Top*", "TopBrowsers", true},   {"Top*", "topx", true},      {"Top*", "xTop", false},
      {"Top*", "Top", true},           {"Stats*", "Stat", false},   {"?op", "Top", true},
      {"?op", "Toop", false},          {"a#c", "a7c", true},        {"a#c", "abc", false},
      {"[a-c]x", "Bx", true},          {"[!a-c]x", "bx", false},    {"[*]x", "*x", true},
      {"[*]x", "ax", false},           {"100%", "1000", false},     {"100%", "100%", true},
      {"a_b", "axb", false},           {"?afé", "café", true},
      {"*a*b*c*", "xxaxxbxxc", true},  {"*a*b*c*d", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaabbbbbbbbc", false},
  };
  for (const Case& c : cases) EXPECT_EQ(JetLike(c.pattern, c.text), c.match) << c.pattern << " ~ " << c.text;
}

using JetFunctionsTest = DbTest;

TEST_F(JetFunctionsTest, DatePartsAsJetCountsThem) {
  struct Case {
    const char* expression;
    int value;
  };
  const Case cases[] = {
      // Weeks start on Sunday and week 1 holds 1 January: 12/31/2006 was a
      // Sunday in week 53, 1/1/2007 a Monday in week 1, 1/7/2007 opens week 2.
      {"DatePart('ww', #12/30/2006#)", 52},
      {"DatePart('ww', #12/31/2006#)", 53},
      {"DatePart('ww', #1/1/2007#)", 1},
      {"DatePart('ww', #1/6/2007#)", 1},
      {"DatePart('ww', #1/7/2007#)", 2},
      {"DatePart('w', #1/7/2007#)", 1},
      {"DatePart('w', #1/6/2007#)", 7},
      {"Weekday(#1/7/2007#)", 1},
      {"Weekday(#1/7/2007#, 2)", 7},
      {"DatePart('m', #1/7/2007 13:05:09#)", 1},
      {"DatePart('yyyy', #1/7/2007#)", 2007},
      {"DatePart('d', #1/7/2007#)", 7},
      {"DatePart('h', #1/7/2007 13:05:09#)", 13},
      {"Hour(#1/7/2007 13:05:09#)", 13},
      {"Hour('2007-01-07 13:05:09')", 13},
      {"Hour(#1/7/2007#)", 0},
      {"Year(DateSerial(2006, 13, 1))", 2007},
      {"Month(DateSerial(2007, 3, 0))", 2},
      {"Day(DateSerial(2007, 3, 0))", 28},
  };
  for (const Case& c : cases) {
    com::Variant v = Scalar(std::string("SELECT ") + c.expression);
    EXPECT_EQ(v.vt(), com::VT_I4) << c.expression;
    EXPECT_EQ(v.ToInt32(), c.value) << c.expression;
  }
}

TEST_F(JetFunctionsTest, DateSerialGivesADate) {
  com::Variant v = Scalar("SELECT DateSerial(DatePart('yyyy', #2/17/2006 10:00:00#), DatePart('m', #2/17/2006#), 1)");
  ASSERT_EQ(v.vt(), com::VT_DATE);
  EXPECT_EQ(v.ToString(), "2/1/2006 0:00:00");
}

TEST_F(JetFunctionsTest, NullGivesNullAndNonDatesFail) {
  EXPECT_TRUE(Scalar("SELECT Hour(NULL)").is_null());
  EXPECT_THROW(Scalar("SELECT Hour('not a date')"), Error);
  EXPECT_THROW(Scalar("SELECT DatePart('fortnight', #1/7/2007#)"), Error);
}

}  // namespace
}  // namespace tf::db
