#include "engine/common/text.h"

#include <gtest/gtest.h>

#include <string>

namespace tf {
namespace {

TEST(TextTest, CutUtf8NeverSplitsACharacter) {
  const std::string text = "a\xC3\xA9" "b\xE2\x82\xAC" "c\xF0\x9F\x98\x80";  // a é b € c 😀
  struct Case {
    std::size_t max;
    std::size_t kept;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 4}, {5, 4}, {6, 4}, {7, 7},
                        {8, 8}, {9, 8}, {11, 8}, {12, 12}, {99, 12}};
  for (const Case& c : cases) EXPECT_EQ(CutUtf8(text, c.max).size(), c.kept) << c.max;

  // Bytes that are not UTF-8 (a Latin-1 log line) are cut where they are.
  EXPECT_EQ(CutUtf8("caf\xE9s", 4), "caf\xE9");
  EXPECT_EQ(CutUtf8("\x80\x80\x80\x80\x80", 3), "\x80\x80\x80");
  // A stray continuation byte after the cut costs no whole character.
  EXPECT_EQ(CutUtf8("\xC3\xA9\x80", 2), "\xC3\xA9");
}

TEST(TextTest, BoundedCopies) {
  EXPECT_EQ(BoundedLength("hello", 3), 3u);
  EXPECT_EQ(BoundedLength("hi", 10), 2u);
  EXPECT_EQ(BoundedLength(nullptr, 10), 0u);
  EXPECT_EQ(BoundedLength("hi", 0), 0u);

  std::string dest = "old";
  EXPECT_EQ(SafeCopy(dest, "abcdef", 4), 3u);
  EXPECT_EQ(dest, "abc");
  EXPECT_EQ(SafeCopy(dest, "", 4), 0u);
  EXPECT_EQ(dest, "");
  SafeCopy(dest, "ab\xC3\xA9", 4);
  EXPECT_EQ(dest, "ab");

  dest = "abc";
  SafeAppend(dest, "defgh", 6);
  EXPECT_EQ(dest, "abcde");
  SafeAppend(dest, "x", 6);
  EXPECT_EQ(dest, "abcde");
}

TEST(TextTest, FindCaseless) {
  EXPECT_EQ(FindCaseless("Mozilla/4.0 (compatible; MSIE 6.0)", "msie"), 25u);
  EXPECT_EQ(FindCaseless("abc", "ABC"), 0u);
  EXPECT_EQ(FindCaseless("abc", "abcd"), std::string_view::npos);
  EXPECT_EQ(FindCaseless("abc", "x"), std::string_view::npos);
}

TEST(TextTest, QuoteSqlDoublesQuotesOnce) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"O'Brien", "O''Brien"}, {"O''Brien", "O''Brien"}, {"'", "''"},
      {"'''", "''''"},         {"a'b'c", "a''b''c"},    {"", ""},
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteSql(c.in), c.out) << c.in;
    EXPECT_EQ(QuoteSql(QuoteSql(c.in)), c.out) << c.in;
  }
  // Growing past any fixed width is no problem, and a cut keeps pairs whole.
  std::string many;
  for (int i = 0; i < 100; ++i) many += "'x";
  EXPECT_EQ(QuoteSql(many).size(), 300u);
  EXPECT_EQ(QuoteSql("ab'cd", 4), "ab");
  EXPECT_EQ(QuoteSql("ab'cd", 5), "ab''");
  EXPECT_EQ(QuoteSql("ab\xC3\xA9", 4), "ab");
  EXPECT_EQ(QuoteSql(std::string(200, '\''), 200).size(), 198u);
}

TEST(TextTest, UrlDecode) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a+b%20c%2", "a b c%2"}, {"%41%zz", "A%zz"},  {"%4a%4A", "JJ"},
      {"100%", "100%"},         {"%e2%82%ac", "\xE2\x82\xAC"},
      {"cut%00here", "cut"},
      {"", ""},                 {"http://a.example/plain", "http://a.example/plain"},
      {std::string("raw\0zero+x", 10), std::string("raw\0zero x", 10)},  // a raw zero byte stays
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    UrlDecode(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST(TextTest, HexConversions) {
  EXPECT_TRUE(IsHexDigit('f'));
  EXPECT_TRUE(IsHexDigit('F'));
  EXPECT_FALSE(IsHexDigit('g'));
  EXPECT_EQ(HexToInt("1aF"), 0x1AFu);
  EXPECT_EQ(HexToInt("12x4"), 0x12u);
  EXPECT_EQ(HexToInt(""), 0u);

  std::string bytes;
  EXPECT_EQ(HexToBytes("70fad4", bytes, 100), 3u);
  EXPECT_EQ(bytes, "\x70\xFA\xD4");
  EXPECT_EQ(HexToBytes("70FAD4", bytes, 3), 2u);  // size counts a terminator
  EXPECT_EQ(HexToBytes("70F", bytes, 100), 1u);
  EXPECT_EQ(HexToBytes("7G00", bytes, 100), 0u);
  EXPECT_EQ(BytesToHex(std::string("\x00\x0f\xff", 3)), "000FFF");
  EXPECT_EQ(BytesToHex(""), "");
}

TEST(TextTest, TrimBlanksKeepsLettersBeyondAscii) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"  a b \t\r\n", "a b"}, {"\x01x\x1f", "x"}, {"   ", ""},
      {"Zo\xC3\xAB ", "Zo\xC3\xAB"}, {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    TrimBlanks(text);
    EXPECT_EQ(text, c.out);
  }
}

}  // namespace
}  // namespace tf
