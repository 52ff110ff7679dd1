#include <gtest/gtest.h>

#include <string>

#include "data/manual/manual_source.h"
#include "data/manual/typesetter.h"
#include "support/test_support.h"

namespace tf::manual {
namespace {

TEST(ManualSource, ReadsEveryConstruct) {
  const auto blocks = ParseManual(
      "% Title\n"
      "# Chapter\n"
      "First line\nsecond line.\n"
      "\n"
      "- item one\n"
      "  continued\n"
      "- item two\n"
      "| A | B |\n"
      "| 1 | two words |\n"
      "    example  --kept as is\n"
      "## Section\n");
  ASSERT_EQ(blocks.size(), 8u);
  EXPECT_EQ(blocks[0].kind, BlockKind::kTitle);
  EXPECT_EQ(blocks[1].kind, BlockKind::kChapter);
  EXPECT_EQ(blocks[2].text, "First line second line.");
  EXPECT_EQ(blocks[3].kind, BlockKind::kBullet);
  EXPECT_EQ(blocks[3].text, "item one continued");
  EXPECT_EQ(blocks[4].text, "item two");
  ASSERT_EQ(blocks[5].kind, BlockKind::kTable);
  ASSERT_EQ(blocks[5].rows.size(), 2u);
  EXPECT_EQ(blocks[5].rows[1][1], "two words");
  EXPECT_EQ(blocks[6].kind, BlockKind::kExample);
  EXPECT_EQ(blocks[6].text, "example  --kept as is");
  EXPECT_EQ(blocks[7].kind, BlockKind::kSection);
}

// Text that cannot be set without cutting a word or leaving the page fails
// the build instead of producing a damaged manual.
TEST(Typesetter, RefusesWhatWouldRunOffThePage) {
  test::TempDir dir;
  const std::string file = dir.File("manual.pdf");
  const std::string long_word(300, 'w');
  for (const std::string& source : {"# C\n" + long_word + "\n", "# C\n    " + long_word + "\n",
                                     "# C\n| A | B |\n| x | " + long_word + " |\n"}) {
    std::string error;
    EXPECT_FALSE(TypesetManual(ParseManual(source), file, error)) << source.substr(0, 12);
    EXPECT_NE(error.find("too wide"), std::string::npos) << error;
  }
  std::string error;
  EXPECT_TRUE(TypesetManual(ParseManual("% T\n# C\nA paragraph.\n"), file, error)) << error;
}

}  // namespace
}  // namespace tf::manual

// Fontconfig keeps a little of its configuration for the whole process and
// never frees it; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
