// The translation threads end to end: requests queued as the visitor
// writer queues them, names found through a resolver that the test
// controls (or the system's, for 127.0.0.1 through /etc/hosts), and what
// reaches tblDomains and the region items.
#include "engine/names/domain_translation.h"
#include "engine/run/period_flush.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/common/address.h"
#include "engine/logs/client_address.h"
#include "engine/names/site_translation.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/store/system_data.h"
#include "statistics_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

const TimeValue kDay1 = ComposeDate(2007, 1, 7);
const TimeValue kDay2 = ComposeDate(2007, 1, 8);

// Names by address; unknown addresses fail. While closed, every lookup
// waits at the gate.
class GatedResolver : public NameResolver {
 public:
  void Name(const char* address, const char* name) { names_[ParseDottedAddress(address)] = name; }
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Lookups waiting at the gate now.
  int Waiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return waiting_;
  }
  std::vector<std::string> Asked() {
    std::lock_guard<std::mutex> lock(mutex_);
    return asked_;
  }
  void Forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    asked_.clear();
    names_.clear();
  }

  bool LocalHostName(std::string&) override { return false; }
  bool LookupHost(const std::string&, std::uint32_t&) override { return false; }
  void PauseAfterFailure() override {}
  bool LookupAddress(std::uint32_t address, std::string& name) override {
    std::unique_lock<std::mutex> lock(mutex_);
    asked_.push_back(AddressToText(address));
    ++waiting_;
    changed_.wait(lock, [&] { return open_; });
    --waiting_;
    auto found = names_.find(address);
    if (found == names_.end()) return false;
    name = found->second;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = true;
  int waiting_ = 0;
  std::vector<std::string> asked_;
  std::map<std::uint32_t, std::string> names_;
};

// Never freed: a worker left in a lookup by a stop may still be inside it
// when the test ends.
GatedResolver& Resolver() {
  static GatedResolver* resolver = new GatedResolver;
  return *resolver;
}

// Polls until the condition holds; false after a minute, so that a fault
// fails the test instead of hanging it.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 60000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

void Queue(CSite& site, const char* address, TimeValue day, int hits) {
  VisitorDay visitor;
  visitor.address = ParseDottedAddress(address);
  visitor.day = day;
  visitor.hits = hits;
  visitor.bytes = hits * 100;
  visitor.sessions = 1;
  visitor.view_time = 60;
  visitor.store = true;
  RequestTranslation(site, visitor);
}

// The day hits of the site's region item, or -1 when there is none.
std::int64_t RegionHits(CSite& site, std::string_view region) {
  SiteLockGuard lock(site, "test");
  CTextItem* item = site.run.items.index.Find(TextItemKey{404, region});
  return item == nullptr ? -1 : item->day.Hits;
}

// A site as a run leaves it open, with the translation threads running.
void PrepareSite(CSite& site) {
  ASSERT_TRUE(site.OpenSiteDatabase());
  site.run.current_hour = site.run.current_day = kDay1;
}

void CommitRows(CSite& site) {
  DatabaseLockGuard lock(site.database(), "test");
  site.database().batch().Commit();
}

class DomainTranslationTest : public testing::Test {
 protected:
  void SetUp() override {
    Resolver().Open();
    Resolver().Forget();
    previous_ = SetNameResolver(&Resolver());
    PrepareSite(shop_.site());
    StartDomainThreads();
  }
  void TearDown() override {
    Resolver().Open();
    StopDomainThreads();
    SetNameResolver(previous_);
  }

  Rows Domains() {
    CommitRows(shop_.site());
    return shop_.Rows("SELECT IPaddress, DomainName FROM tblDomains ORDER BY IPaddress");
  }

  test::StatisticsSite shop_;
  NameResolver* previous_ = nullptr;
};

TEST_F(DomainTranslationTest, LoopbackIsNamedThroughTheHostsFile) {
  SetNameResolver(nullptr);
  CSite& site = shop_.site();
  Queue(site, "127.0.0.1", kDay1, 1);
  WaitForTranslations(site);
  Queue(site, "127.0.0.1", kDay1, 1);
  WaitForTranslations(site);

  Rows rows = Domains();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].rfind("127.0.0.1|localhost", 0), 0u) << rows[0];
  // The second request was answered by the cache.
  EXPECT_EQ(site.history.stDomainCacheTries, 2);
  EXPECT_EQ(site.history.stDomainCacheHits, 1);
  // "localhost" has no top-level label to count.
  EXPECT_EQ(RegionHits(site, "localhost"), -1);
  EXPECT_EQ(site.CountPendingTranslations(), 0);
}

TEST_F(DomainTranslationTest, NamesAreStoredAndRegionsCountedPerDay) {
  // No worker limit below one: the run would wait for ever.
  SystemData.MaxDomainThreads = 0;
  CSite& site = shop_.site();
  shop_.install().Sql("Project0001.mdb",
                      "INSERT INTO tblDomains (IPaddress, DomainName, LastHit) VALUES "
                      "('203.0.113.9', '203-0-113-9.dsl.old.example.org', '2007-01-01 00:00:00')");
  Resolver().Name("192.0.2.7", "192-0-2-7.DSL.provider.example.co.UK");
  Resolver().Name("192.0.2.8", "mail.provider.example.co.uk");
  Resolver().Name("198.51.100.1", "gw.example.Museum");
  Resolver().Name("198.51.100.2", "host.example.42");
  const std::string hostile = "x'); DELETE FROM tblDomains; --" + std::string(100, 'a');
  Resolver().Name("198.51.100.4", hostile.c_str());
  std::string client;
  std::uint32_t stand_in = ClientAddressFromText("crawler.example.net", client);

  Queue(site, "192.0.2.7", kDay1, 3);
  Queue(site, "198.51.100.1", kDay1, 2);
  Queue(site, "198.51.100.2", kDay1, 7);
  Queue(site, "198.51.100.3", kDay1, 1);  // the resolver knows no name
  Queue(site, "203.0.113.9", kDay1, 5);
  Queue(site, "198.51.100.4", kDay1, 1);
  VisitorDay crawler;
  crawler.address = stand_in;
  crawler.client_name = client;
  crawler.day = kDay1;
  crawler.hits = 4;
  crawler.store = true;
  RequestTranslation(site, crawler);
  // Without a worker the wait would stall; fail instead of waiting 900 s.
  WaitForTranslations(site, std::chrono::seconds(30));

  EXPECT_EQ(Domains(), (Rows{
                           "192.0.2.7|provider.example.co.UK",
                           "198.51.100.1|gw.example.Museum",
                           "198.51.100.2|host.example.42",
                           "198.51.100.3|198.51.100.3",
                           // A name server's answer is cut to 99 bytes and stored as text.
                           "198.51.100.4|" + hostile.substr(0, 99),
                           // Known before: neither looked up nor cut.
                           "203.0.113.9|203-0-113-9.dsl.old.example.org",
                           AddressToText(stand_in) + "|crawler.example.net",
                       }));
  EXPECT_EQ(Resolver().Asked(),
            (Rows{"192.0.2.7", "198.51.100.1", "198.51.100.2", "198.51.100.3", "198.51.100.4"}))
      << "the stand-in and the stored address are never looked up";
  EXPECT_EQ(RegionHits(site, "uk"), 3);
  EXPECT_EQ(RegionHits(site, "museu"), 2);
  EXPECT_EQ(RegionHits(site, "org"), 5);
  EXPECT_EQ(RegionHits(site, "net"), 4);
  EXPECT_EQ(RegionHits(site, "42"), -1);

  // The next day: a region seen again writes its finished day first; an
  // address seen again comes from the cache.
  site.run.current_hour = site.run.current_day = kDay2;
  Queue(site, "192.0.2.8", kDay2, 6);
  Queue(site, "198.51.100.1", kDay2, 1);
  WaitForTranslations(site);
  EXPECT_EQ(RegionHits(site, "uk"), 6);
  EXPECT_EQ(RegionHits(site, "museu"), 1);
  CommitRows(site);
  EXPECT_EQ(shop_.Rows("SELECT t.EntryDate, d.Name, t.Hits, t.Bytes FROM tblDay t JOIN tblData d "
                       "ON d.ItemID = t.ItemID WHERE t.Category = 404 ORDER BY d.Name"),
            (Rows{"2007-01-07 00:00:00|museu|2|200.0", "2007-01-07 00:00:00|uk|3|300.0"}));
  EXPECT_EQ(site.history.stDomainCacheTries, 9);
  EXPECT_EQ(site.history.stDomainCacheHits, 1);
  EXPECT_EQ(Resolver().Asked().size(), 6u);

  // The end of the run writes each region under the day it was last seen,
  // not under the run's last day.
  FlushRegions(site);
  CommitRows(site);
  EXPECT_EQ(shop_.Rows("SELECT t.EntryDate, d.Name, t.Hits FROM tblDay t JOIN tblData d "
                       "ON d.ItemID = t.ItemID WHERE t.Category = 404 ORDER BY d.Name, t.EntryDate"),
            (Rows{"2007-01-07 00:00:00|museu|2", "2007-01-08 00:00:00|museu|1",
                  "2007-01-07 00:00:00|net|4", "2007-01-07 00:00:00|org|5",
                  "2007-01-07 00:00:00|uk|3", "2007-01-08 00:00:00|uk|6"}));
}

TEST_F(DomainTranslationTest, AStalledWaitGivesUpAndTheLateNameIsDropped) {
  SystemData.MaxDomainThreads = 1;
  CSite& site = shop_.site();
  Resolver().Name("192.0.2.7", "a.example.net");
  Resolver().Close();
  Queue(site, "192.0.2.7", kDay1, 1);
  Queue(site, "192.0.2.8", kDay1, 1);
  ASSERT_TRUE(Eventually([] { return Resolver().Waiting() == 1; }));
  ASSERT_TRUE(Eventually([&] { return TranslationOf(site).Counters().waiting_worker == 1; }));

  WaitForTranslations(site, std::chrono::milliseconds(100));
  EXPECT_EQ(site.CountPendingTranslations(), 0);
  TranslationCounters after = TranslationOf(site).Counters();
  EXPECT_EQ(after.outstanding + after.translating + after.waiting_worker, 0);
  std::string dump = test::ReadFile(shop_.install().File("Timeout.txt"));
  for (const char* line : {"Our site = Shop\n", "Our PendingTranslations = 2\n",
                           "Our ActiveDomainThreads = 1\n", "DomainThreadCount = 1\n",
                           "TransInTaskQueue = 1\n", " -- Our Domain Requests on master list --\n"
                                                     "     1: State = 17\n     2: State = 20\n"
                                                     "Request count for our site = 2\n"}) {
    EXPECT_NE(dump.find(line), std::string::npos) << line << " in\n" << dump;
  }

  // The lookup comes back after the run gave up: nothing reaches the site.
  Resolver().Open();
  ASSERT_TRUE(Eventually([] { return Resolver().Waiting() == 0 && BusyDomainThreads() == 0; }));
  EXPECT_EQ(Domains(), Rows{});
  EXPECT_EQ(RegionHits(site, "net"), -1);
  StopDomainThreads();

  // The site's next requests are served as usual; a second stall in the
  // same process leaves no new dump.
  std::filesystem::remove(shop_.install().File("Timeout.txt"));
  StartDomainThreads();
  Queue(site, "192.0.2.7", kDay1, 1);
  WaitForTranslations(site);
  EXPECT_EQ(Domains(), Rows{"192.0.2.7|a.example.net"});
  Resolver().Close();
  Queue(site, "192.0.2.9", kDay1, 1);
  WaitForTranslations(site, std::chrono::milliseconds(100));
  EXPECT_FALSE(std::filesystem::exists(shop_.install().File("Timeout.txt")));
  EXPECT_EQ(Resolver().Asked(), (Rows{"192.0.2.7", "192.0.2.7", "192.0.2.9"}))
      << "the abandoned request that waited for a worker is never looked up";
}

TEST_F(DomainTranslationTest, AStopLeavesABlockedLookupBehindSafely) {
  auto site = std::make_unique<CSite>();
  shop_.install().AddSiteDatabase("Project0002.mdb");
  site->DatabaseName = "Project0002.mdb";
  PrepareSite(*site);
  Resolver().Name("192.0.2.7", "a.example.net");
  Resolver().Close();
  Queue(*site, "192.0.2.7", kDay1, 1);
  ASSERT_TRUE(Eventually([] { return Resolver().Waiting() == 1; }));

  StopDomainThreads();  // returns although the lookup still waits
  // Without the threads a request is dropped at once instead of blocking.
  for (int i = 0; i < 20; ++i) Queue(*site, "192.0.2.8", kDay1, 1);
  EXPECT_EQ(TranslationOf(*site).Counters().outstanding, 1) << "only the one out in the lookup";

  std::weak_ptr<SiteTranslation> translation = SharedTranslationOf(*site);
  site.reset();  // the site goes while its request is still out
  Resolver().Open();
  EXPECT_TRUE(Eventually([&] { return translation.expired(); }))
      << "the late request was dropped and let go of the site's share";
  EXPECT_EQ(shop_.install().Value("Project0002.mdb", "SELECT count(*) FROM tblDomains"), "0");
}

// Three sites queue at once while every lookup waits: each queue holds at
// most five requests and the producers block, then everything drains.
TEST_F(DomainTranslationTest, FullQueuesBlockTheirProducersWithoutDeadlock) {
  constexpr int kSites = 3;
  constexpr int kPerSite = 40;
  SystemData.MaxDomainThreads = 2;
  std::vector<std::unique_ptr<CSite>> sites;
  for (int i = 0; i < kSites; ++i) {
    std::string database = "Project000" + std::to_string(i + 2) + ".mdb";
    shop_.install().AddSiteDatabase(database);
    auto site = std::make_unique<CSite>();
    site->ProjectName = "Site " + std::to_string(i);
    site->DatabaseName = database;
    PrepareSite(*site);
    sites.push_back(std::move(site));
  }
  for (int n = 0; n < kPerSite; ++n) {
    std::string address = "198.51.100." + std::to_string(n + 1);
    Resolver().Name(address.c_str(), ("host" + std::to_string(n) + ".example.net").c_str());
  }
  Resolver().Close();

  std::atomic<int> queued{0};
  std::vector<std::thread> producers;
  for (auto& site : sites) {
    producers.emplace_back([&queued, &site] {
      for (int n = 0; n < kPerSite; ++n) {
        Queue(*site, ("198.51.100." + std::to_string(n + 1)).c_str(), kDay1, 1);
        ++queued;
      }
    });
  }
  auto total = [&](std::int32_t TranslationCounters::*counter) {
    int sum = 0;
    for (auto& site : sites) sum += TranslationOf(*site).Counters().*counter;
    return sum;
  };
  // Two lookups wait; the task queue holds five and the dispatcher one more;
  // the request queue holds five and each producer one more.
  ASSERT_TRUE(Eventually([&] {
    return Resolver().Waiting() == 2 && total(&TranslationCounters::waiting_worker) == 6 &&
           total(&TranslationCounters::at_dispatcher) == 5 + kSites;
  }));
  EXPECT_EQ(total(&TranslationCounters::outstanding), 2 + 6 + 5 + kSites);
  EXPECT_EQ(queued, 2 + 6 + 5);
  EXPECT_EQ(BusyDomainThreads(), 2);

  Resolver().Open();
  for (std::thread& producer : producers) producer.join();
  for (auto& site : sites) {
    WaitForTranslations(*site);
    EXPECT_EQ(RegionHits(*site, "net"), kPerSite) << site->ProjectName;
    CommitRows(*site);
    EXPECT_EQ(shop_.install().Value(site->DatabaseName, "SELECT count(*) FROM tblDomains"),
              std::to_string(kPerSite));
  }
  EXPECT_FALSE(std::filesystem::exists(shop_.install().File("Timeout.txt")));
}

}  // namespace
}  // namespace tf
