// The generated logs feed benchmarks and the demo: every line they hold
// must read back as a record, and a seed must always give the same log.
#include "bench/loggen/log_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/logs/log_file_set.h"
#include "engine/logs/log_stream.h"
#include "support/test_support.h"
#include "tests/engine/logs/fake_log_site.h"

namespace tf::bench {
namespace {

TEST(LogGeneratorTest, EveryLineOfEachFormatReadsBack) {
  test::UseFixedZone();
  struct Case {
    LogKind kind;
    const char* pattern;
  };
  const Case cases[] = {{LogKind::kNcsaCombined, "access.log.*"},
                        {LogKind::kNcsaCommon, "access.log.*"},
                        {LogKind::kW3c, "ex*.log"},
                        {LogKind::kIisBasic, "in*.log"}};
  for (const Case& c : cases) {
    test::TempDir dir;
    LogGeneratorOptions options;
    options.kind = c.kind;
    options.lines = 3000;
    options.days = 3;
    options.nets = ClientNets::kDocumentation;
    ASSERT_TRUE(WriteLog(options, dir.File("logs"), true));

    test::FakeLogSite site;
    site.date_format = 0;
    site.AddStream(dir.File("logs/") + c.pattern);
    CLogFileSet set(site, 0);
    set.FindFiles();
    EXPECT_EQ(site.streams[0]->files().size(), 3u);
    long records = 0;
    std::set<int> first_octets;
    while (CLogRecord* r = set.NextRecord()) {
      ++records;
      first_octets.insert(static_cast<int>(r->client_address & 0xFF));
      EXPECT_FALSE(r->uri_stem.empty());
    }
    EXPECT_EQ(records, 3000) << static_cast<int>(c.kind);
    EXPECT_EQ(site.old_records, 0);  // lines come in time order
    EXPECT_TRUE(site.errors.empty());
    for (int octet : first_octets) EXPECT_TRUE(octet == 192 || octet == 198 || octet == 203) << octet;
  }
}

TEST(LogGeneratorTest, ALogOfNoLinesIsAnEmptyFile) {
  test::TempDir dir;
  LogGeneratorOptions options;
  options.lines = 0;
  ASSERT_TRUE(WriteLog(options, dir.File("empty.log"), false));
  EXPECT_EQ(test::ReadFile(dir.File("empty.log")), "");
  EXPECT_FALSE(WriteLog(options, dir.File("missing/empty.log"), false));
}

// The heavy mix: half of the lines from a few hundred clients among
// thousands, over a site of thousands of pages, with many own-site referrers.
TEST(LogGeneratorTest, HeavyMixGivesHalfTheLinesToAFewHundredClients) {
  LogGeneratorOptions options;
  options.mix = VisitorMix::kHeavy;
  options.lines = 200000;
  options.days = 30;
  options.seed = 3;
  LogGenerator generator(options);
  std::map<std::string, long> lines_of_client;
  std::set<std::string> stems, own_referrers;
  std::string line;
  while (generator.Next(line)) {
    std::istringstream in(line);
    std::string client, skip, stem, referrer;
    in >> client >> skip >> skip >> skip >> skip >> skip >> stem >> skip >> skip >> skip >> referrer;
    ++lines_of_client[client];
    if (stem.find("/images/") == std::string::npos) stems.insert(stem.substr(0, stem.find('?')));
    if (referrer.find("www.example.com") != std::string::npos) own_referrers.insert(referrer);
    line.clear();
  }
  std::vector<long> counts;
  for (const auto& [client, count] : lines_of_client) counts.push_back(count);
  std::sort(counts.begin(), counts.end(), std::greater<>());
  long top = 0;
  for (std::size_t i = 0; i < 300 && i < counts.size(); ++i) top += counts[i];
  EXPECT_GT(lines_of_client.size(), 2500u);
  EXPECT_GT(top, options.lines * 4 / 10);
  EXPECT_LT(top, options.lines * 7 / 10);
  EXPECT_GT(stems.size(), 1500u);
  EXPECT_GT(own_referrers.size(), 1500u);
}

TEST(LogGeneratorTest, SameSeedSameLog) {
  auto text = [](std::uint64_t seed, VisitorMix mix) {
    LogGeneratorOptions options;
    options.mix = mix;
    options.kind = LogKind::kW3c;
    options.lines = 500;
    options.seed = seed;
    options.ipv6_percent = 10;
    LogGenerator generator(options);
    std::string out;
    while (generator.Next(out)) {
    }
    return out;
  };
  EXPECT_EQ(text(5, VisitorMix::kEven), text(5, VisitorMix::kEven));
  EXPECT_NE(text(5, VisitorMix::kEven), text(6, VisitorMix::kEven));
  EXPECT_EQ(text(5, VisitorMix::kHeavy), text(5, VisitorMix::kHeavy));
  EXPECT_NE(text(5, VisitorMix::kHeavy), text(5, VisitorMix::kEven));
}

}  // namespace
}  // namespace tf::bench
