// Log lines come from outside: random bytes, NULs, overlong fields and cut
// lines must never crash a parser or leave a record out of its bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "engine/logs/log_file_set.h"
#include "engine/logs/log_parse.h"
#include "engine/logs/w3c_log_reader.h"
#include "fake_log_site.h"
#include "support/test_support.h"

namespace tf {
namespace {

void ExpectBounded(const CLogRecord& r) {
  EXPECT_TRUE(std::isfinite(r.time));
  EXPECT_LE(r.client_name.size(), LogFieldLimits::kClientName);
  EXPECT_LE(r.user_name.size(), LogFieldLimits::kUserName);
  EXPECT_LE(r.site_name.size(), LogFieldLimits::kSiteName);
  EXPECT_LE(r.computer_name.size(), LogFieldLimits::kComputerName);
  EXPECT_LE(r.method.size(), LogFieldLimits::kMethod);
  EXPECT_LE(r.uri_stem.size(), LogFieldLimits::kUriStem);
  EXPECT_LE(r.uri_query.size(), LogFieldLimits::kUriQuery);
  EXPECT_LE(r.protocol_version.size(), LogFieldLimits::kProtocolVersion);
  EXPECT_LE(r.host.size(), LogFieldLimits::kHost);
  EXPECT_LE(r.protocol.size(), LogFieldLimits::kProtocol);
  EXPECT_LE(r.user_agent.size(), LogFieldLimits::kUserAgent);
  EXPECT_LE(r.referrer.size(), 9999u);
}

// Random bytes, weighted towards the characters the parsers look for.
std::string RandomLine(std::mt19937& rng, size_t max_length) {
  static const std::string kSpecial = " \"[],-/:.?#0123456789\xC3\xA9\x80\xFF";
  std::uniform_int_distribution<size_t> length(0, max_length);
  std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
  std::string line(length(rng), '\0');
  for (char& c : line) {
    c = pick(rng) == 0 ? static_cast<char>(byte(rng)) : kSpecial[byte(rng) % kSpecial.size()];
  }
  return line;
}

TEST(HostileInputTest, RandomLinesStayWithinTheRecord) {
  std::mt19937 rng(20070107);
  test::FakeLogSite site;
  CW3cLogReader w3c;
  w3c.MapW3cFields(site,
                   "date time c-ip cs-username s-sitename s-computername s-ip cs-method "
                   "cs-uri-stem cs-uri-query sc-status sc-bytes cs-version cs-host cs(User-Agent) "
                   "cs(Referer) cs_protocol");
  LogParseOptions options{3600, 0, true};
  CLogRecord r;
  const std::string prefixes[] = {"", "192.0.2.1 - - [07/Jan/2007:13:05:09 -0500] ",
                                  "192.0.2.1, -, 1/7/07, 13:05:09, ", "2007-01-07 13:05:09 "};
  for (int i = 0; i < 20000; ++i) {
    std::string line = prefixes[i % 4] + RandomLine(rng, i % 50 == 0 ? 9999 : 300);
    if (ParseNcsaText(line, options, r) == LineResult::kRecord) ExpectBounded(r);
    if (ParseIisBasicText(line, options, r) == LineResult::kRecord) ExpectBounded(r);
    if (w3c.ParseDataLine(line, options, r) == LineResult::kRecord) ExpectBounded(r);
    if (HasFailure()) FAIL() << "line " << i;
  }
}

TEST(HostileInputTest, CutLinesGiveTheirTimeOrNothing) {
  const std::string line =
      "203.0.113.5 - bob [07/Jan/2007:13:05:09 -0500] \"GET /shop/cart.php?id=7 HTTP/1.1\" 200 "
      "5120 \"http://search.example.com/q?x=y\" \"Mozilla/5.0 (X11; Linux x86_64)\"";
  LogParseOptions options;
  CLogRecord full, cut;
  ASSERT_EQ(ParseNcsaText(line, options, full), LineResult::kRecord);
  auto prefix_of = [](const std::string& part, const std::string& whole) {
    return whole.compare(0, part.size(), part) == 0;
  };
  for (size_t n = 0; n < line.size(); ++n) {
    if (ParseNcsaText(std::string_view(line).substr(0, n), options, cut) != LineResult::kRecord) {
      continue;
    }
    EXPECT_EQ(cut.time, full.time) << n;
    EXPECT_TRUE(prefix_of(cut.uri_stem, full.uri_stem)) << n;
    EXPECT_TRUE(prefix_of(cut.uri_query, full.uri_query)) << n;
    EXPECT_TRUE(prefix_of(cut.referrer, full.referrer)) << n;
    EXPECT_TRUE(prefix_of(cut.user_agent, full.user_agent)) << n;
  }
}

TEST(HostileInputTest, RandomFilesOfEachFormat) {
  test::UseFixedZone();
  test::TempDir dir;
  std::mt19937 rng(7);
  struct Format {
    const char* head;  // once, before the lines
    const char* line;  // a valid line, also written between random ones
  };
  const Format formats[] = {
      {"#Fields: date time c-ip cs-uri-stem cs(Referer) cs(User-Agent)\n",
       "2007-01-07 13:05:09 192.0.2.1 /a.htm - Agent\n"},
      {"", "192.0.2.1, -, 1/7/07, 13:05:09, W3SVC1, WEB01, 198.51.100.1, 15, 310, 4520, 200, 0, GET, /,\n"},
      {"", "192.0.2.1 - - [07/Jan/2007:13:05:09 -0500] \"GET / HTTP/1.0\" 200 1\n"}};
  for (int f = 0; f < 3; ++f) {
    // Valid lines first, so that detection sees the format; then random
    // lines (ended by a line feed or a NUL) with a valid line every tenth.
    std::string text = formats[f].head;
    int valid = 0;
    for (; valid < 20; ++valid) text += formats[f].line;
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; text.size() < 400000; ++i) {
      text += RandomLine(rng, i % 7 == 0 ? 12000 : 200);
      text += byte(rng) < 200 ? "\n" : std::string(1, '\0');
      if (i % 10 == 0) {
        text += std::string("\n") + formats[f].line;
        ++valid;
      }
    }
    std::string path = dir.File("random" + std::to_string(f) + ".log");
    test::WriteFile(path, text);
    test::FakeLogSite site;
    site.AddStream(path);
    CLogFileSet set(site, 0);
    set.FindFiles();
    int records = 0;
    while (CLogRecord* r = set.NextRecord()) {
      ExpectBounded(*r);
      ++records;
    }
    // Every valid line arrives (or is passed over as older than a random
    // record with a later time).
    EXPECT_GE(records + site.old_records, valid) << f;
    EXPECT_EQ(site.streams[0]->bytes_read(), static_cast<std::int64_t>(text.rfind('\n') + 1));
  }
}

}  // namespace
}  // namespace tf
