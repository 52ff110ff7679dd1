#include "bench/loggen/log_generator.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <queue>
#include <random>
#include <vector>

namespace tf::bench {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// ---- The site: pages with their embedded files ----------------------------

struct Resource {
  std::string path;
  int bytes;
};

struct Page {
  std::string path;   // stem
  std::string query;  // "" or a template with %d
  int bytes;
  int section;
  bool form;                   // a script page that may be posted to
  std::vector<int> resources;  // indexes into Site::resources
};

struct Site {
  std::vector<Page> pages;
  std::vector<Resource> resources;
  std::vector<double> popularity;  // cumulative, for picking an entry page
};

const char* const kSections[] = {"products", "blog", "support", "shop", "about", "downloads"};
const char* const kWords[] = {"garden",  "tools",   "spring", "planting", "roses",  "compost",
                              "hedge",   "trimmer", "seeds",  "greenhouse", "watering", "lawn",
                              "pruning", "soil",    "herbs",  "tomatoes", "bulbs",  "mulch"};

// pages_per_section 12 gives the small site of the even mix.
Site BuildSite(int pages_per_section) {
  Site site;
  site.resources = {{"/css/site.css", 18422}, {"/js/site.js", 40960}, {"/images/logo.png", 6120},
                    {"/favicon.ico", 1150},   {"/images/banner.jpg", 48230}};
  auto add_page = [&](std::string path, std::string query, int bytes, int section, bool form) {
    Page page{std::move(path), std::move(query), bytes, section, form, {0, 1, 2, 3}};
    site.pages.push_back(std::move(page));
  };
  add_page("/", "", 11240, 4, false);
  add_page("/index.htm", "", 11240, 4, false);
  add_page("/search.php", "q=%s", 8300, 3, true);
  int w = 0;
  for (int s = 0; s < 6; ++s) {
    for (int i = 0; i < pages_per_section; ++i, ++w) {
      std::string slug = std::string(kWords[w % 18]) + "-" + kWords[(w * 7 + 3) % 18];
      if (pages_per_section > 12) slug += "-" + std::to_string(i);
      std::string section = kSections[s];
      int bytes = 6000 + (w * 7919) % 30000;
      switch (s) {
        case 0: add_page("/products/" + slug + ".htm", "", bytes, s, false); break;
        case 1: add_page("/blog/2024/" + slug + ".html", "", bytes, s, false); break;
        case 2: add_page("/support/article.aspx", "id=" + std::to_string(100 + w), bytes, s, true); break;
        case 3: add_page("/shop/item.php", "sku=" + std::to_string(4000 + w), bytes, s, true); break;
        case 4: add_page("/about/" + slug + ".htm", "", bytes, s, false); break;
        default: add_page("/downloads/" + slug + ".pdf", "", 200000 + bytes * 10, s, false); break;
      }
      Page& page = site.pages.back();
      if (s == 5) {
        page.resources.clear();
        continue;
      }
      if (i % 3 == 0) page.resources.push_back(4);
      for (int k = 0; k < 1 + w % 4; ++k) {
        site.resources.push_back({"/images/" + section + "/" + slug + "-" + std::to_string(k) +
                                      (k % 2 ? ".png" : ".jpg"),
                                  9000 + (w * 131 + k * 977) % 60000});
        page.resources.push_back(static_cast<int>(site.resources.size()) - 1);
      }
      if (s == 3) page.resources.push_back(static_cast<int>(site.resources.size()));
    }
  }
  site.resources.push_back({"/images/shop/cart.gif", 1830});
  // Zipf-like popularity over the page list.
  double total = 0;
  for (size_t i = 0; i < site.pages.size(); ++i) {
    total += 1.0 / std::pow(static_cast<double>(i + 1), 0.9);
    site.popularity.push_back(total);
  }
  for (double& p : site.popularity) p /= total;
  return site;
}

// ---- Who visits ----------------------------------------------------------

// The heavy mix: its site, its clients, and its share of heavy sessions
// (17 in 1,000 sessions give about half of the lines).
constexpr int kHeavyPagesPerSection = 500;
constexpr int kHeavyMixClients = 20000;
constexpr int kHeavyClients = 300;
constexpr int kHeavySessionsPerMille = 17;

const char* const kBrowsers[] = {
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/122.0.0.0 Safari/537.36",
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/121.0.0.0 Safari/537.36 Edg/121.0.2277.128",
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:123.0) Gecko/20100101 Firefox/123.0",
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.3 Safari/605.1.15",
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/122.0.0.0 Safari/537.36",
    "Mozilla/5.0 (X11; Linux x86_64; rv:123.0) Gecko/20100101 Firefox/123.0",
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/122.0.0.0 Safari/537.36",
    "Mozilla/5.0 (iPhone; CPU iPhone OS 17_3_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.3 Mobile/15E148 Safari/604.1",
    "Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/122.0.6261.64 Mobile Safari/537.36",
    "Mozilla/5.0 (Linux; Android 13; SM-S911B) AppleWebKit/537.36 (KHTML, like Gecko) SamsungBrowser/23.0 Chrome/115.0.0.0 Mobile Safari/537.36",
    "Mozilla/5.0 (iPad; CPU OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/16.6 Mobile/15E148 Safari/604.1",
    "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1; .NET CLR 2.0.50727)",
    "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko",
    "Opera/9.80 (Windows NT 6.1; U; en) Presto/2.12.388 Version/12.16",
};
const int kBrowserWeights[] = {30, 10, 9, 8, 5, 3, 3, 14, 9, 3, 2, 1, 2, 1};

const char* const kSpiders[] = {
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
    "Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
    "Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)",
    "Mozilla/5.0 (compatible; Yahoo! Slurp; http://help.yahoo.com/help/us/ysearch/slurp)",
    "msnbot/2.0b (+http://search.msn.com/msnbot.htm)",
    "Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
};

const char* const kSearchEngines[] = {
    "https://www.google.com/search?q=%s&hl=en",
    "https://www.google.co.uk/search?q=%s",
    "https://www.bing.com/search?q=%s&form=QBLH",
    "https://search.yahoo.com/search?p=%s&fr=yfp-t",
    "https://duckduckgo.com/?q=%s",
    "http://search.msn.com/results.aspx?q=%s",
    "http://www.ask.com/web?q=%s",
    "https://www.ecosia.org/search?q=%s",
};

const char* const kPhrases[] = {
    "garden+tools",      "best+hedge+trimmer", "how+to+plant+roses", "compost+bin",
    "greenhouse+kits",   "tomato+seeds",       "lawn+care+tips",     "when+to+prune+roses",
    "watering+system",   "herb+garden+ideas",  "mulch+vs+compost",   "spring+bulbs",
    "soil+ph+test",      "cheap+garden+tools", "organic+fertilizer", "raised+bed+garden",
};

const char* const kOtherSites[] = {
    "http://gardenforum.example.net/viewtopic.php?t=%d",
    "https://news.example.org/home-and-garden/%d",
    "https://www.example.org/links.html",
    "http://blog.example.net/2024/03/favourite-tools-%d.html",
    "https://social.example.com/post/%d",
    "https://mail.example.com/",
};

const char* const kUsers[] = {"alice", "bob", "carol", "dave", "eve"};

// ---- Time ----------------------------------------------------------------

struct Civil {
  int year, month, day, hour, minute, second;
};

Civil ToCivil(std::int64_t ms) {
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t FromCivil(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  return static_cast<std::int64_t>(timegm(&tm)) * 1000;
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// ---- Requests ------------------------------------------------------------

struct Session {
  std::string client;
  std::string user;  // empty: "-"
  int agent = 0;     // index into kBrowsers, or kSpiders when spider
  bool spider = false;
  bool returning = false;
  int pages_left = 0;
  int page = 0;
  std::string referrer;  // of the next page request; empty: none
  int pending = 0;       // its requests waiting in the queue
  bool done = false;     // no more pages to come
  bool heavy = false;    // a long session of the heavy mix
};

struct Event {
  std::int64_t time;
  std::uint64_t order;  // keeps events of one millisecond in a fixed order
  int session;
  int target;  // >= 0 page index; < 0 resource -(index + 1)
  int page;    // for a resource: the page it belongs to
  bool operator>(const Event& o) const { return time != o.time ? time > o.time : order > o.order; }
};

struct Request {
  std::int64_t time;
  const Session* session;
  std::string method;
  std::string stem;
  std::string query;
  int status;
  std::int64_t bytes;
  int time_taken;
};

}  // namespace

struct LogGenerator::State {
  LogGeneratorOptions options;
  Site site;
  std::mt19937_64 rng;
  std::vector<Session> sessions;
  std::vector<int> free_sessions;
  std::priority_queue<Event, std::vector<Event>, std::greater<Event>> events;
  std::uint64_t order = 0;
  std::int64_t start = 0, end = 0, next_arrival = 0;
  double mean_gap_ms = 1000;
  std::int64_t produced = 0;
  std::int64_t last_day = -1;
  bool header_due = true;
  std::vector<std::string> client_pool;
  std::vector<std::string> heavy_pool;  // proxies and crawlers of the heavy mix
  std::discrete_distribution<int> browser_pick{std::begin(kBrowserWeights), std::end(kBrowserWeights)};

  double Uniform() { return std::uniform_real_distribution<double>(0, 1)(rng); }
  int Below(int n) { return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(rng)); }
  double Exponential(double mean) { return -mean * std::log(1.0 - Uniform()); }

  // Visitors come more in the day than at night.
  double DayFactor(std::int64_t ms) const {
    double hour = static_cast<double>((ms / 1000) % 86400) / 3600.0;
    double s = std::sin(std::numbers::pi * (hour - 4.0) / 24.0);
    return (0.3 + 1.4 * s * s) / 1.0;
  }

  std::string NewClient() {
    if (options.ipv6_percent > 0 && Below(100) < options.ipv6_percent) {
      char text[64];
      std::snprintf(text, sizeof text, "2001:db8:%x:%x::%x", Below(0x10000), Below(0x10000),
                    1 + Below(0xfffe));
      return text;
    }
    return client_pool[static_cast<size_t>(Below(static_cast<int>(client_pool.size())))];
  }

  void BuildClientPool() {
    bool heavy = options.mix == VisitorMix::kHeavy;
    char text[32];
    if (options.nets == ClientNets::kDocumentation) {
      const char* const nets[] = {"192.0.2", "198.51.100", "203.0.113"};
      for (const char* net : nets) {
        for (int host = 1; host < 255; ++host) {
          std::snprintf(text, sizeof text, "%s.%d", net, host);
          client_pool.emplace_back(text);
        }
      }
    } else {
      size_t count = heavy ? kHeavyMixClients
                           : static_cast<size_t>(std::clamp<std::int64_t>(options.lines / 12, 1000, 2000000));
      for (size_t i = 0; i < count; ++i) client_pool.push_back(WideAddress());
    }
    // The heavy clients are among the others on the small networks.
    for (int i = 0; heavy && i < kHeavyClients; ++i) {
      heavy_pool.push_back(options.nets == ClientNets::kDocumentation
                               ? client_pool[static_cast<size_t>(Below(static_cast<int>(client_pool.size())))]
                               : WideAddress());
    }
  }

  std::string WideAddress() {
    char text[32];
    std::snprintf(text, sizeof text, "10.%d.%d.%d", Below(256), Below(256), 1 + Below(254));
    return text;
  }

  // A proxy (browsers behind it, with their embedded files) or a crawler
  // that stays for hours over hundreds of pages.
  void MakeHeavy(Session& s) {
    s.client = heavy_pool[static_cast<size_t>(Below(kHeavyClients))];
    s.spider = Below(100) < 40;
    s.agent = s.spider ? Below(static_cast<int>(std::size(kSpiders))) : browser_pick(rng);
    s.user.clear();
    s.heavy = true;
    s.pages_left = s.spider ? 200 + Below(600) : 100 + Below(500);
  }

  int PickEntryPage() {
    double u = Uniform();
    auto it = std::lower_bound(site.popularity.begin(), site.popularity.end(), u);
    return static_cast<int>(std::min<size_t>(it - site.popularity.begin(), site.pages.size() - 1));
  }

  int PickNextPage(int current) {
    double u = Uniform();
    if (u < 0.55) {  // another page of the same section
      int section = site.pages[static_cast<size_t>(current)].section;
      for (int tries = 0; tries < 8; ++tries) {
        int p = 3 + Below(static_cast<int>(site.pages.size()) - 3);
        if (site.pages[static_cast<size_t>(p)].section == section) return p;
      }
    }
    if (u < 0.62) return 2;  // the search form
    if (u < 0.67) return 1;  // home
    return PickEntryPage();
  }

  std::string EntryReferrer(bool spider) {
    char text[256];
    if (spider) return "-";
    double u = Uniform();
    if (u < 0.42) {
      const char* engine = kSearchEngines[Below(static_cast<int>(std::size(kSearchEngines)))];
      std::snprintf(text, sizeof text, engine, kPhrases[Below(static_cast<int>(std::size(kPhrases)))]);
      return text;
    }
    if (u < 0.62) {
      std::snprintf(text, sizeof text, kOtherSites[Below(static_cast<int>(std::size(kOtherSites)))],
                    1000 + Below(9000));
      return text;
    }
    return "-";
  }

  void Push(const Event& e) {
    ++sessions[static_cast<size_t>(e.session)].pending;
    events.push(e);
  }

  void StartSession(std::int64_t when) {
    int id;
    if (!free_sessions.empty()) {
      id = free_sessions.back();
      free_sessions.pop_back();
    } else {
      id = static_cast<int>(sessions.size());
      sessions.emplace_back();
    }
    Session& s = sessions[static_cast<size_t>(id)];
    s = Session{};
    s.client = NewClient();
    s.spider = Below(100) < 6;
    s.returning = Below(100) < 30;
    s.agent = s.spider ? Below(static_cast<int>(std::size(kSpiders))) : browser_pick(rng);
    if (!s.spider && Below(100) < 3) s.user = kUsers[Below(static_cast<int>(std::size(kUsers)))];
    s.pages_left = s.spider ? 2 + Below(12) : 1 + static_cast<int>(Exponential(3.0));
    if (!heavy_pool.empty() && Below(1000) < kHeavySessionsPerMille) MakeHeavy(s);
    s.referrer = EntryReferrer(s.spider);
    int first = s.spider && Below(2) == 0 ? -1 : PickEntryPage();  // -1: robots.txt
    s.page = first;
    Push({when, order++, id, first >= 0 ? first : -1000000, 0});
  }

  void Schedule() {
    double seconds = static_cast<double>(end - start) / 1000.0;
    // Lines a session gives on average.
    double per_session = options.mix == VisitorMix::kHeavy ? 50.0 : 16.0;
    double sessions_wanted = static_cast<double>(options.lines) / per_session;
    mean_gap_ms = std::max(1.0, seconds * 1000.0 / std::max(1.0, sessions_wanted));
    next_arrival = start + static_cast<std::int64_t>(Exponential(mean_gap_ms));
  }

  Request Serve(const Event& e) {
    Session& s = sessions[static_cast<size_t>(e.session)];
    Request r{e.time, &s, "GET", "", "", 200, 0, 0};
    r.time_taken = static_cast<int>(Exponential(60.0));
    if (e.target == -1000000) {
      r.stem = "/robots.txt";
      r.bytes = 212;
      r.status = Below(4) == 0 ? 404 : 200;
      if (r.status == 404) r.bytes = 1245;
      return r;
    }
    if (e.target < 0) {
      const Resource& res = site.resources[static_cast<size_t>(-e.target - 1)];
      r.stem = res.path;
      if (s.returning && Below(100) < 45) {
        r.status = 304;
      } else if (Below(1000) < 4) {
        r.status = 404;
        r.bytes = 1245;
      } else {
        r.bytes = res.bytes;
      }
      return r;
    }
    const Page& page = site.pages[static_cast<size_t>(e.target)];
    r.stem = page.path;
    if (!page.query.empty()) {
      char query[128];
      if (page.query.find("%s") != std::string::npos) {
        std::snprintf(query, sizeof query, page.query.c_str(),
                      kPhrases[Below(static_cast<int>(std::size(kPhrases)))]);
      } else {
        std::snprintf(query, sizeof query, "%s", page.query.c_str());
      }
      r.query = query;
    }
    r.bytes = page.bytes + Below(page.bytes / 5 + 1) - page.bytes / 10;
    int roll = Below(1000);
    if (roll < 15) {
      r.stem = "/old/" + std::string(kWords[Below(18)]) + ".htm";
      r.query.clear();
      r.status = 404;
      r.bytes = 1245;
    } else if (roll < 17 && page.form) {
      r.status = 500;
      r.bytes = 3120;
    } else if (page.form && roll < 80) {
      r.method = "POST";
      r.status = 302;
      r.bytes = 240;
    } else if (page.section == 5 && roll < 150) {
      r.status = 206;
      r.bytes = page.bytes / 4;
    } else if (r.stem == "/" && roll < 300) {
      r.status = 301;
      r.bytes = 162;
    }
    r.time_taken += static_cast<int>(Exponential(page.form ? 180.0 : 40.0));
    return r;
  }

  // What follows a request: a page's embedded files and the next page.
  void FollowUp(const Event& e, const Request& r) {
    Session& s = sessions[static_cast<size_t>(e.session)];
    --s.pending;
    if (e.target >= 0 || e.target == -1000000) {
      if (e.target >= 0 && !s.spider && r.status == 200) {
        const Page& page = site.pages[static_cast<size_t>(e.target)];
        for (int res : page.resources) {
          Push({e.time + 40 + static_cast<std::int64_t>(Exponential(400.0)), order++, e.session,
                -(res + 1), e.target});
        }
      }
      if (--s.pages_left <= 0) {
        s.done = true;
      } else {
        int next = PickNextPage(std::max(0, s.page));
        s.referrer = s.spider ? "-"
                              : "https://" + options.host + r.stem +
                                    (r.query.empty() ? "" : "?" + r.query);
        s.page = next;
        double think = s.heavy    ? 1000 + Exponential(s.spider ? 8000.0 : 20000.0)
                       : s.spider ? 1000 + Exponential(3000.0)
                                  : 3000 + Exponential(45000.0);
        Push({e.time + static_cast<std::int64_t>(std::min(think, 1800000.0)), order++, e.session,
              next, 0});
      }
    }
    // A session's slot is reused only once nothing of it is left to come.
    if (s.done && s.pending == 0) free_sessions.push_back(e.session);
  }

  void AppendW3cHeader(std::string& out, std::int64_t ms) {
    Civil c = ToCivil(ms);
    char text[160];
    out += "#Software: Example Web Server 10.0\n#Version: 1.0\n";
    std::snprintf(text, sizeof text, "#Date: %04d-%02d-%02d %02d:%02d:%02d\n", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    out += text;
    out +=
        "#Fields: date time s-ip cs-method cs-uri-stem cs-uri-query s-port cs-username c-ip "
        "cs(User-Agent) cs(Referer) sc-status sc-substatus sc-win32-status sc-bytes time-taken\n";
  }

  void AppendLine(std::string& out, const Request& r, const std::string& referrer) {
    const Session& s = *r.session;
    const char* agent = s.spider ? kSpiders[s.agent] : kBrowsers[s.agent];
    const std::string user = s.user.empty() ? "-" : s.user;
    char head[256];
    switch (options.kind) {
      case LogKind::kNcsaCombined:
      case LogKind::kNcsaCommon: {
        int zone = options.zone_minutes;
        Civil c = ToCivil(r.time + static_cast<std::int64_t>(zone) * 60000);
        int az = std::abs(zone);
        std::snprintf(head, sizeof head, " - %s [%02d/%s/%04d:%02d:%02d:%02d %c%02d%02d] \"", user.c_str(),
                      c.day, kMonths[c.month - 1], c.year, c.hour, c.minute, c.second,
                      zone < 0 ? '-' : '+', az / 60, az % 60);
        out += s.client;
        out += head;
        out += r.method + " " + r.stem + (r.query.empty() ? "" : "?" + r.query) + " HTTP/1.1\" ";
        out += std::to_string(r.status) + " ";
        out += r.status == 304 ? "-" : std::to_string(r.bytes);
        if (options.kind == LogKind::kNcsaCombined) {
          out += " \"" + referrer + "\" \"" + agent + "\"";
        }
        out += "\n";
        break;
      }
      case LogKind::kW3c: {
        Civil c = ToCivil(r.time);
        std::string ua = agent;
        std::replace(ua.begin(), ua.end(), ' ', '+');
        std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d ", c.year, c.month, c.day,
                      c.hour, c.minute, c.second);
        out += head;
        out += options.server_address + " " + r.method + " " + r.stem + " " +
               (r.query.empty() ? "-" : r.query) + " 80 " + user + " " + s.client + " " + ua + " " +
               referrer + " " + std::to_string(r.status) + " 0 " +
               (r.status == 404 ? "2" : "0") + " " + std::to_string(r.bytes) + " " +
               std::to_string(r.time_taken) + "\n";
        break;
      }
      case LogKind::kIisBasic: {
        Civil c = ToCivil(r.time);
        std::snprintf(head, sizeof head, ", %d/%d/%02d, %d:%02d:%02d, W3SVC1, WEB01, ", c.month, c.day,
                      c.year % 100, c.hour, c.minute, c.second);
        out += s.client + ", " + user + head + options.server_address + ", " +
               std::to_string(r.time_taken) + ", " + std::to_string(300 + r.stem.size() * 3) + ", " +
               std::to_string(r.bytes) + ", " + std::to_string(r.status) + ", " +
               (r.status == 404 ? "2" : "0") + ", " + r.method + ", " + r.stem + ", " +
               (r.query.empty() ? "-" : r.query) + ",\n";
        break;
      }
    }
  }
};

LogGenerator::LogGenerator(const LogGeneratorOptions& options) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.options = options;
  s.rng.seed(options.seed);
  s.site = BuildSite(options.mix == VisitorMix::kHeavy ? kHeavyPagesPerSection : 12);
  s.start = FromCivil(options.year, options.month, options.day);
  s.end = s.start + std::max(1, options.days) * kMsPerDay;
  s.BuildClientPool();
  s.Schedule();
}

LogGenerator::~LogGenerator() = default;

std::int64_t LogGenerator::last_day() const { return state_->last_day; }

void LogGenerator::RestartHeader() { state_->header_due = true; }

bool LogGenerator::Next(std::string& out) {
  State& s = *state_;
  if (s.produced >= s.options.lines) return false;
  for (;;) {
    if (s.events.empty() || s.next_arrival <= s.events.top().time) {
      s.StartSession(s.next_arrival);
      double gap = s.Exponential(s.mean_gap_ms) / s.DayFactor(s.next_arrival);
      s.next_arrival += std::max<std::int64_t>(1, static_cast<std::int64_t>(gap));
      continue;
    }
    Event e = s.events.top();
    s.events.pop();
    Session& session = s.sessions[static_cast<size_t>(e.session)];
    std::string referrer = "-";
    if (e.target < 0 && e.target != -1000000) {
      // Embedded files are referred by their page.
      const Page& page = s.site.pages[static_cast<size_t>(e.page)];
      referrer = session.spider ? "-" : "https://" + s.options.host + page.path;
    } else {
      referrer = session.referrer.empty() ? "-" : session.referrer;
    }
    Request r = s.Serve(e);
    std::int64_t day = r.time / kMsPerDay;
    if (s.options.kind == LogKind::kW3c && (s.header_due || day != s.last_day)) {
      s.AppendW3cHeader(out, r.time);
      s.header_due = false;
    }
    s.last_day = day;
    s.AppendLine(out, r, referrer);
    s.FollowUp(e, r);
    ++s.produced;
    return true;
  }
}

std::string DailyLogName(LogKind kind, std::int64_t utc_day) {
  Civil c = ToCivil(utc_day * kMsPerDay);
  char name[64];
  switch (kind) {
    case LogKind::kW3c: std::snprintf(name, sizeof name, "ex%02d%02d%02d.log", c.year % 100, c.month, c.day); break;
    case LogKind::kIisBasic: std::snprintf(name, sizeof name, "in%02d%02d%02d.log", c.year % 100, c.month, c.day); break;
    default: std::snprintf(name, sizeof name, "access.log.%04d-%02d-%02d", c.year, c.month, c.day); break;
  }
  return name;
}

bool WriteLog(const LogGeneratorOptions& options, const std::string& path, bool per_day) {
  LogGenerator generator(options);
  std::string chunk;
  std::string line;
  FILE* out = nullptr;
  std::int64_t file_day = -1;
  bool ok = true;
  auto flush = [&] {
    if (out && !chunk.empty() && std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) ok = false;
    chunk.clear();
  };
  if (per_day) {
    mkdir(path.c_str(), 0777);
  } else if ((out = std::fopen(path.c_str(), "wb")) == nullptr) {
    return false;  // opened first, so that a log of no lines is still an empty file
  }
  while (ok) {
    line.clear();
    if (!generator.Next(line)) break;
    std::int64_t day = generator.last_day();
    if (out == nullptr || (per_day && day != file_day)) {
      flush();
      if (out) ok = std::fclose(out) == 0 && ok;
      std::string file = per_day ? path + "/" + DailyLogName(options.kind, day) : path;
      out = std::fopen(file.c_str(), "wb");
      if (out == nullptr) return false;
      file_day = day;
    }
    chunk += line;
    if (chunk.size() > (1 << 20)) flush();
  }
  flush();
  if (out) ok = std::fclose(out) == 0 && ok;
  return ok;
}

bool ParseLogKind(const std::string& text, LogKind& kind) {
  if (text == "ncsa") kind = LogKind::kNcsaCombined;
  else if (text == "common") kind = LogKind::kNcsaCommon;
  else if (text == "w3c") kind = LogKind::kW3c;
  else if (text == "iis") kind = LogKind::kIisBasic;
  else return false;
  return true;
}

bool ParseVisitorMix(const std::string& text, VisitorMix& mix) {
  if (text == "even") mix = VisitorMix::kEven;
  else if (text == "heavy") mix = VisitorMix::kHeavy;
  else return false;
  return true;
}

}  // namespace tf::bench
