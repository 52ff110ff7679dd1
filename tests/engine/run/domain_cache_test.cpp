// The domain cache, the names the translation makes and the cache's
// automatic size: no threads, no name service.
#include "engine/names/domain_cache.h"
#include "engine/names/domain_translation.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/common/address.h"
#include "engine/names/domain_names.h"
#include "engine/names/site_translation.h"
#include "engine/site/site.h"

namespace tf {
namespace {

bool Cached(CDomainCache& cache, std::uint32_t address, std::string* name = nullptr) {
  std::string found;
  bool hit = cache.Lookup(address, found);
  if (name != nullptr) *name = found;
  return hit;
}

TEST(DomainCacheTest, TheLeastRecentlyUsedEntryGoesFirst) {
  CDomainCache cache;
  cache.SetLimit(2);
  cache.Insert(1, "one.example");
  cache.Insert(2, "two.example");
  ASSERT_TRUE(Cached(cache, 1));  // 2 is now the least recently used
  cache.Insert(3, "three.example");
  EXPECT_EQ(cache.Count(), 2);
  EXPECT_FALSE(Cached(cache, 2));
  EXPECT_TRUE(Cached(cache, 1));
  EXPECT_TRUE(Cached(cache, 3));

  // A second insert of an address keeps the first name and refreshes it.
  cache.Insert(1, "other.example");
  cache.Insert(4, "four.example");
  std::string name;
  EXPECT_TRUE(Cached(cache, 1, &name));
  EXPECT_EQ(name, "one.example");
  EXPECT_FALSE(Cached(cache, 3));

  cache.SetLimit(1);
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_TRUE(Cached(cache, 1));
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_FALSE(Cached(cache, 1));
}

TEST(DomainCacheTest, NamesAreCutTo99Bytes) {
  CDomainCache cache;
  cache.Insert(7, std::string(150, 'a'));
  std::string name;
  ASSERT_TRUE(Cached(cache, 7, &name));
  EXPECT_EQ(name.size(), 99u);
}

TEST(DomainNamesTest, ProviderNamesAreCutToTheProviderDomain) {
  const struct {
    const char* address;
    const char* name;
    const char* trimmed;
  } cases[] = {
      {"192.0.2.7", "192-0-2-7.dsl.example.net", "example.net"},
      {"192.0.2.7", "host-192.0.2.7.Client.IP.example.net", "example.net"},
      {"192.0.2.7", "192-0-2-7.dynamic-ip.example.org", "example.org"},
      {"192.0.2.7", "192-0-2-7.in-addr.asdl.example.com", "example.com"},
      // Names without the address, or with nothing after it, stay.
      {"192.0.2.7", "7.2.0.192.example.net", "7.2.0.192.example.net"},
      {"192.0.2.7", "gw.example.net", "gw.example.net"},
      {"192.0.2.7", "pool-192-0-2-7", "pool-192-0-2-7"},
      {"192.0.2.7", "192-0-2-7.dsl.", "192-0-2-7.dsl."},
  };
  for (const auto& c : cases) {
    std::string name = c.name;
    TrimDomainName(ParseDottedAddress(c.address), name);
    EXPECT_EQ(name, c.trimmed) << c.name;
  }
}

TEST(DomainNamesTest, TheRegionIsTheTopLevelLabel) {
  const std::pair<const char*, const char*> cases[] = {
      {"www.example.co.UK", "uk"},  {"gw.example.Museum", "museu"},
      {"host.example.42", ""},      {"localhost", ""},
      {"192.0.2.7", ""},            {"trailing.dot.", ""},
  };
  for (auto [name, region] : cases) EXPECT_EQ(RegionLabel(name), region) << name;
}

// The automatic size after a run that read `days` of log.
struct Tuning {
  double days;
  std::int32_t visitors;
  std::int32_t size;
  std::int32_t tries;
  std::int32_t hits;
  std::int32_t expected;
};

TEST(TuneDomainCacheTest, TheSizeMovesTowardFiveDaysOfVisitors) {
  const Tuning cases[] = {
      // Two days, 1000 visitors a day: (3000 + 2 * 5000) / 3.
      {2, 2000, 3000, 200, 20, 4333},
      // One day: halfway; under a day: a third of the way.
      {1, 1000, 3000, 0, 0, 4000},
      {0.5, 500, 3000, 0, 0, 3666},
      // Growing, but the cache answers a quarter already: it stays.
      {2, 2000, 3000, 200, 50, 3000},
      // Growing with a good hit rate and more room than a day needs: smaller.
      {2, 2000, 3000, 600, 300, 2850},
      // Bounds: at least 100, and never below half or above twice the size.
      {2, 20, 120, 0, 0, 100},
      {2, 20000, 1000, 0, 0, 2000},
      {2, 0, 5000, 0, 0, 2500},
  };
  for (const Tuning& c : cases) {
    CSite site;
    site.settings.DomainCacheSize = c.size;
    site.history.stStartRecord = 1000;
    site.history.stEndRecord = 1000 + c.days * kSecondsPerDay;
    site.history.stVisitors = c.visitors;
    site.history.stDomainCacheTries = c.tries;
    site.history.stDomainCacheHits = c.hits;
    TuneDomainCache(site);
    EXPECT_EQ(site.settings.DomainCacheSize, c.expected) << c.days << " days, size " << c.size;
    EXPECT_EQ(TranslationOf(site).cache.Limit(), c.expected);
  }
}

TEST(TuneDomainCacheTest, AFixedSizeOrTooShortALogChangesNothing) {
  auto untouched = [](auto&& configure) {
    CSite site;
    site.settings.DomainCacheSize = 3000;
    site.history.stStartRecord = 1000;
    site.history.stEndRecord = 1000 + 2 * kSecondsPerDay;
    site.history.stVisitors = 2000;
    configure(site);
    TuneDomainCache(site);
    return site.settings.DomainCacheSize == 3000;
  };
  EXPECT_TRUE(untouched([](CSite& s) { s.settings.DomainCacheOptions = 0; }));
  EXPECT_TRUE(untouched([](CSite& s) { s.history.stEndRecord = 1000 + 14399; }));
  EXPECT_TRUE(untouched([](CSite& s) {
    s.settings.DayStats &= ~0x4000000;
    s.settings.VisitorsDomains = 0;
  }));
  EXPECT_FALSE(untouched([](CSite& s) { s.settings.DayStats &= ~0x4000000; }));
}

}  // namespace
}  // namespace tf
