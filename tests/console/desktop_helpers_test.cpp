// The desktop helpers that need no display: fitting a text into a width
// and the one-console-per-folder lock.
#include <gtest/gtest.h>

#include <memory>

#include "desktop/fit_text.h"
#include "desktop/single_instance.h"
#include "support/test_support.h"

namespace tf::desktop {
namespace {

// Ten pixels a byte.
int TenEach(std::string_view text) { return static_cast<int>(text.size()) * 10; }

TEST(FitTextToWidthTest, WholeTextsFitAndLongOnesEndInDots) {
  struct Case {
    const char* text;
    int width;
    std::size_t size;
    const char* expected;
  };
  const Case cases[] = {
      {"Sample site   ", 110, 100, "Sample site"},
      {"Sample site", 85, 100, "Sampl..."},    // 80 <= 82
      {"Sample. site", 95, 100, "Sample..."},  // "Sample. " loses blank and dot
      {"abcdef", 10, 100, "a..."},             // nothing fits: the shortest
      {"abcdef", 10, 3, "ab"},                 // no room for dots: cut to size
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 60, 100, "\xC3\xA9..."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitTextToWidth(TenEach, c.width, c.text, c.size), c.expected) << c.text;
  }
}

TEST(SingleInstanceTest, ASecondConsoleOfTheFolderAsksTheFirstToRaiseItsWindow) {
  tf::test::TempDir folder;
  auto first = std::make_unique<SingleInstance>(folder.path());
  ASSERT_TRUE(first->first());
  EXPECT_FALSE(first->TakeRaiseRequest());

  SingleInstance second(folder.path());
  EXPECT_FALSE(second.first());
  EXPECT_TRUE(second.AskFirstToRaise());
  EXPECT_TRUE(first->TakeRaiseRequest());
  EXPECT_FALSE(first->TakeRaiseRequest()) << "each request counts once";

  tf::test::TempDir other;
  EXPECT_TRUE(SingleInstance(other.path()).first()) << "another folder has its own console";

  first.reset();
  EXPECT_TRUE(SingleInstance(folder.path()).first()) << "the lock goes with its process";
}

}  // namespace
}  // namespace tf::desktop
