// Classification speed with the lists the system ships: user agents (each
// distinct agent classified once, then found in the run's cache) and
// referrers (search engines with their phrases, engines learned, other
// sites), one thread and several threads sharing the engine list.
//   bench_classify [--agents N] [--records N] [--threads N] [--template FILE]
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "engine/common/registry_values.h"
#include "engine/recognise/agent_class_cache.h"
#include "engine/recognise/agent_classifier.h"
#include "engine/recognise/referrer_analysis.h"
#include "engine/store/system_data.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Small, seeded, and the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  // Skewed towards small values, as visits are towards popular agents.
  int Skewed(int n) {
    double u = (Next() + 0.5) / 4294967296.0;
    return static_cast<int>(n * u * u * u);
  }

 private:
  std::uint64_t state_;
};

std::string N(int value) { return std::to_string(value); }

// Agents as today's browsers, phones and crawlers write them, with their
// version numbers varied so that every one is distinct; a share written
// with '+' for blanks, as W3C logs have them.
std::vector<std::string> DistinctAgents(int count) {
  Random r(7);
  std::unordered_set<std::string> seen;
  std::vector<std::string> agents;
  while (static_cast<int>(agents.size()) < count) {
    const std::string m = N(90 + r.Below(40)), b = N(4000 + r.Below(3000)), p = N(r.Below(300));
    const std::string chrome = m + ".0." + b + "." + p;
    std::string a;
    switch (r.Below(12)) {
      case 0:
      case 1:
        a = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/" + chrome +
            " Safari/537.36";
        break;
      case 2:
        a = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/" + chrome +
            " Safari/537.36 Edg/" + chrome;
        break;
      case 3:
        a = "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_" + N(r.Below(8)) +
            ") AppleWebKit/605.1.15 (KHTML, like Gecko) Version/" + N(13 + r.Below(5)) + "." + N(r.Below(7)) +
            " Safari/605.1.15";
        break;
      case 4:
        a = "Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:" + m + ".0) Gecko/20100101 Firefox/" + m + "." +
            N(r.Below(5));
        break;
      case 5:
      case 6:
        a = "Mozilla/5.0 (Linux; Android " + N(9 + r.Below(6)) + "; SM-S" + N(900 + r.Below(99)) +
            "B) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/" + chrome + " Mobile Safari/537.36";
        break;
      case 7:
        a = "Mozilla/5.0 (iPhone; CPU iPhone OS " + N(14 + r.Below(4)) + "_" + N(r.Below(7)) +
            " like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/" + N(14 + r.Below(4)) + "." +
            N(r.Below(7)) + " Mobile/15E" + N(100 + r.Below(900)) + " Safari/604.1";
        break;
      case 8:
        a = "Mozilla/5.0 (Linux; Android " + N(10 + r.Below(5)) +
            "; K) AppleWebKit/537.36 (KHTML, like Gecko) SamsungBrowser/" + N(20 + r.Below(6)) + "." +
            N(r.Below(3)) + " Chrome/" + chrome + " Mobile Safari/537.36";
        break;
      case 9:
        a = "Mozilla/4.0 (compatible; MSIE " + N(6 + r.Below(5)) + ".0; Windows NT " + N(5 + r.Below(2)) +
            ".1; Trident/" + N(4 + r.Below(4)) + ".0; .NET CLR 2.0." + b + "; en-US)";
        break;
      case 10: {
        const char* bots[] = {"Googlebot", "bingbot", "YandexBot", "AhrefsBot", "SemrushBot", "Applebot",
                              "DotBot", "PetalBot", "MJ12bot", "GPTBot"};
        a = "Mozilla/5.0 (compatible; " + std::string(bots[r.Below(10)]) + "/" + N(r.Below(9)) + "." +
            N(r.Below(99)) + "; +http://www.example.com/bot" + N(r.Below(50)) + ".html)";
        break;
      }
      default:
        a = "SomeApp/" + N(r.Below(20)) + "." + p + " (" + (r.Below(2) ? "iOS " : "Android ") + m + ")";
        break;
    }
    if (r.Below(3) == 0) {
      for (char& c : a) c = c == ' ' ? '+' : c;
    }
    if (seen.insert(a).second) agents.push_back(a);
  }
  return agents;
}

// Referrers as a site sees them: engines with a phrase, engines the lists
// lack (learned on first sight), and sites that are no engine.
std::vector<std::string> Referrers(int count) {
  Random r(11);
  const char* words[] = {"cheap", "flights", "red", "shoes", "weather", "paris", "blue", "widgets",
                         "hotel", "berlin", "recipe", "pasta", "news", "today", "used", "cars"};
  auto phrase = [&] {
    std::string s = words[r.Below(16)];
    for (int i = r.Below(3); i > 0; --i) s += std::string("+") + words[r.Below(16)];
    return s;
  };
  std::vector<std::string> referrers;
  referrers.reserve(count);
  for (int i = 0; i < count; ++i) {
    switch (r.Below(10)) {
      case 0:
      case 1:
        referrers.push_back("https://www.google.com/search?q=" + phrase() + "&hl=en&source=hp");
        break;
      case 2:
        referrers.push_back("https://www.bing.com/search?q=" + phrase() + "&form=QBLH");
        break;
      case 3:
        referrers.push_back("https://search.yahoo.com/search?p=" + phrase() + "&fr=yfp-t");
        break;
      case 4:
        referrers.push_back("https://find" + N(r.Skewed(200)) + "x.example.net/find?query=" + phrase());
        break;
      case 5:
      case 6:
        referrers.push_back("https://www.site" + N(r.Skewed(5000)) + ".example.org/blog/" + N(r.Below(1000)) +
                            "/post.html");
        break;
      case 7:
        referrers.push_back("https://forum" + N(r.Skewed(2000)) + ".example.com/viewtopic.php?t=" +
                            N(r.Below(100000)) + "&start=" + N(r.Below(50)));
        break;
      default:
        referrers.push_back("https://www.example.com/products/item" + N(r.Below(500)) + ".html");
        break;
    }
  }
  return referrers;
}

std::string ArgValue(int argc, char** argv, const char* name, const std::string& fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == name) return argv[i + 1];
  }
  return fallback;
}

// The system data as the program loads it at start-up, from the template
// in a temporary install folder that a registry file of its own names.
bool LoadSystemData(const std::string& source, const std::string& folder, tf::CSystemData& system) {
  setenv("TALLYFOX_REGISTRY", (folder + "/registry").c_str(), 1);
  tf::WriteInstallPath(folder);
  std::filesystem::copy_file(source, folder + "/SystemTemplate.mdb");
  return system.OpenSystemDatabase() && system.LoadReferenceTables();
}

std::size_t EngineCount(const tf::CSystemData& system) {
  std::size_t n = 0;
  for (auto* engine = system.search_engines(); engine != nullptr; engine = engine->next) ++n;
  return n;
}

// Referrer analysis of all records on one thread; returns the engines found.
long AnalyzeAll(tf::CSystemData& engines, const std::vector<std::string>& referrers) {
  long found = 0;
  std::string url;
  tf::ReferrerInfo info;
  for (const std::string& referrer : referrers) {
    url.assign(referrer);
    info.Clear();
    if (tf::AnalyzeReferrer(engines, 0xe00000, url, info)) ++found;
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const int agent_count = std::atoi(ArgValue(argc, argv, "--agents", "50000").c_str());
  const int records = std::atoi(ArgValue(argc, argv, "--records", "1000000").c_str());
  const int threads = std::atoi(ArgValue(argc, argv, "--threads", "4").c_str());
  const std::string source = ArgValue(argc, argv, "--template", TF_SYSTEM_TEMPLATE);

  char folder[] = "/tmp/tf-bench-classify-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  tf::CSystemData engines;
  const tf::CSystemData& lists = engines;
  bool loaded = LoadSystemData(source, folder, engines);
  engines.CloseSystemDatabase();
  std::filesystem::remove_all(folder);
  if (!loaded) {
    std::fprintf(stderr, "%s does not load\n", source.c_str());
    return 1;
  }
  std::printf("patterns: %zu browsers, %zu add-ons, %zu platforms, %zu spiders, %zu languages; %zu engines\n",
              lists.browsers.size(), lists.browser_addons.size(), lists.platforms.size(), lists.spiders.size(),
              lists.languages.size(), EngineCount(engines));

  auto start = Clock::now();
  tf::AgentClassifier classifier(tf::AgentPatternLists::From(lists));
  std::printf("classifier built in %.2f ms\n", Seconds(start) * 1e3);

  const std::vector<std::string> agents = DistinctAgents(agent_count);
  double best = 1e9;
  std::size_t items = 0;
  for (int pass = 0; pass < 3; ++pass) {
    start = Clock::now();
    for (const std::string& agent : agents) items += classifier.Classify(agent).items.size();
    best = std::min(best, Seconds(start));
  }
  std::printf("distinct agents: %zu classified in %.1f ms: %.2f us each, %.0f agents/s\n", agents.size(),
              best * 1e3, best * 1e6 / agents.size(), agents.size() / best);

  // A run: every record's agent through the cache, popular agents often.
  Random r(3);
  std::vector<int> picks(records);
  for (int& pick : picks) pick = r.Skewed(static_cast<int>(agents.size()));
  tf::AgentClassCache cache(classifier);
  start = Clock::now();
  for (int pick : picks) items += cache.Classify(agents[pick]).items.size();
  double run = Seconds(start);
  std::printf("run of %d records: %zu distinct agents classified, %zu classes, %.1f ms: %.0f records/s\n",
              records, cache.classified(), cache.classes(), run * 1e3, records / run);

  const std::vector<std::string> referrers = Referrers(records);
  best = 1e9;
  long found = 0;
  std::size_t known = EngineCount(engines);
  for (int pass = 0; pass < 3; ++pass) {
    start = Clock::now();
    found = AnalyzeAll(engines, referrers);
    best = std::min(best, Seconds(start));
  }
  std::printf("referrers: %d analysed in %.1f ms: %.0f/s, %ld from engines, %zu engines learned\n", records,
              best * 1e3, records / best, found, EngineCount(engines) - known);

  start = Clock::now();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) workers.emplace_back([&] { AnalyzeAll(engines, referrers); });
  for (std::thread& worker : workers) worker.join();
  double shared = Seconds(start);
  std::printf("referrers on %d threads sharing the engine list: %.0f/s in all, %.0f/s each\n", threads,
              threads * records / shared, records / shared);
  return items > 0 ? 0 : 1;
}
