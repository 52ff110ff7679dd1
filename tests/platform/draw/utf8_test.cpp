#include "platform/draw/utf8.h"

#include <gtest/gtest.h>

namespace tf::draw {
namespace {

TEST(Utf8Test, CutsNeverSplitACharacter) {
  const std::string text = "a\xC3\xA9" "b\xE2\x82\xAC";  // a é b €
  EXPECT_EQ(Utf8Length(text), 4u);
  EXPECT_EQ(Utf8CutBytes(text, 2), "a");
  EXPECT_EQ(Utf8CutBytes(text, 3), "a\xC3\xA9");
  EXPECT_EQ(Utf8CutBytes(text, 6), "a\xC3\xA9" "b");
  EXPECT_EQ(Utf8CutChars(text, 2), "a\xC3\xA9");
  EXPECT_EQ(Utf8CutChars(text, 9), text);
}

TEST(Utf8Test, SanitizeReplacesMalformedBytes) {
  EXPECT_EQ(Utf8Sanitize("ok\xFF\xC3-\xE2\x82"), "ok\?\?-\?\?");
  EXPECT_EQ(Utf8Sanitize("\xED\xA0\x80"), "???");  // an encoded surrogate
  EXPECT_EQ(Utf8Sanitize("caf\xC3\xA9"), "caf\xC3\xA9");
}

}  // namespace
}  // namespace tf::draw
