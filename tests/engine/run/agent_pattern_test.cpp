#include "engine/recognise/agent_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recognise/literal_scanner.h"

namespace tf {
namespace {

TEST(MatchAgentPattern, FollowsThePatternRules) {
  struct Case {
    std::string text;
    const char* pattern;
    bool matches;
    std::string version;
  };
  const std::string run(150, '1');
  const Case cases[] = {
      // The version stops before the ';'.
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", "*MSIE+#", true, "6.0"},
      {"Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1)", "*MSIE+#", true, "6.0"},
      // Literals ignore case.
      {"Mozilla/4.0 (compatible; MSIE 6.0)", "*msie+#", true, "6.0"},
      {"mozilla/4.0 (compatible; msie 6.0)", "Mozilla/4#+(", true, ".0"},
      // '+' is a blank or a '+', nothing else.
      {"MSIE_6.0", "*MSIE+#", false, ""},
      // Anchored at the start; what follows the pattern is ignored.
      {"curl/8.4.0", "Wget/", false, ""},
      {"curl/8.4.0", "curl", true, ""},
      // The text runs out before the pattern does.
      {"Mozilla MSIE", "*MSIE+#", false, ""},
      {"abc", "abc*", false, ""},
      {"Opera/9", "*Opera/#", true, "9"},
      // A failed step searches the literal after the '*' again, further on.
      {"xMSIEy MSIE 7.0", "*MSIE+#", true, "7.0"},
      {"Opera/9.80 (X11) Presto/2.12 Version/12.16", "*Opera/9.80*Version/#", true, "12.16"},
      // The version is the last capture.
      {"BlackBerry9700/5.0.0.351 Profile", "*BlackBerry#/#", true, "5.0.0.351"},
      {"Mozilla/5.0 (Linux; Android 10; K; wv) Chrome/120.0", "*;+wv)*Chrome/#", true, "120.0"},
      // A run longer than 99 characters gives its first 99 and leaves the
      // text inside the run.
      {"v/" + run, "v/#1", true, run.substr(0, 99)},
      {"v/" + run.substr(0, 99), "v/#1", false, ""},
      {"anything", "", true, ""},
      {"", "", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " ~ " + c.pattern);
    std::string version = "stale";
    EXPECT_EQ(MatchAgentPattern(c.text, c.pattern, version), c.matches);
    if (c.matches) {
      EXPECT_EQ(version, c.version);
    }
  }
}

TEST(MatchAgentPattern, VersionFitsItsBuffer) {
  std::string version;
  // A buffer of 4 keeps 3 characters; the text then rests on the '5'.
  EXPECT_TRUE(MatchAgentPattern("MSIE 6.05;", "MSIE+#5;", version, 4));
  EXPECT_EQ(version, "6.0");
}

TEST(LiteralScanner, FindsEveryLiteralThatOccurs) {
  const std::vector<std::string> literals = {"he", "she", "his", "hers", "", "msie", "xyz", "s"};
  LiteralScanner scanner(literals);
  std::vector<std::uint8_t> found(scanner.size());
  scanner.Scan("uSHErs; MSIE", found.data());
  // Overlapping and nested literals, case folded; the empty one always.
  EXPECT_EQ(found, (std::vector<std::uint8_t>{1, 1, 0, 1, 1, 1, 0, 1}));

  std::vector<std::uint8_t> none(scanner.size());
  scanner.Scan("", none.data());
  EXPECT_EQ(none, (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace tf
