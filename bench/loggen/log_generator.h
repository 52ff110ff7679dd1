// Generates realistic web-server logs for benchmarks and demos: visitors
// arriving through the day in sessions of pages with their images, style
// sheets and scripts; search-engine, other-site and own-site referrers;
// browsers and spiders with real-looking user agents; a mix of status
// codes. Lines come out in time order; the same options and seed always
// give the same log.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tf::bench {

enum class LogKind { kNcsaCombined, kNcsaCommon, kW3c, kIisBasic };

// Where client addresses come from: the three documentation networks
// (192.0.2.0/24, 198.51.100.0/24, 203.0.113.0/24), or 10.0.0.0/8 for logs
// with many more clients. Neither is ever routed.
enum class ClientNets { kDocumentation, kWide };

// Who makes the visits: kEven spreads them over many clients in short
// sessions of a small site; kHeavy is a 3,000-page site where half of the
// lines come from a few hundred proxies and crawlers whose sessions run for
// hours over hundreds of pages, the rest from 20,000 other clients.
enum class VisitorMix { kEven, kHeavy };

struct LogGeneratorOptions {
  LogKind kind = LogKind::kNcsaCombined;
  std::uint64_t seed = 1;
  std::int64_t lines = 1000;
  int year = 2024, month = 3, day = 1;  // the first day, from 00:00 UTC
  int days = 1;                         // the days the lines spread over
  ClientNets nets = ClientNets::kWide;
  VisitorMix mix = VisitorMix::kEven;
  int ipv6_percent = 0;  // share of visitors with an address of 2001:db8::/32
  int zone_minutes = 0;  // NCSA: the zone the server writes (east of UTC)
  std::string server_address = "198.51.100.10";
  std::string host = "www.example.com";
};

class LogGenerator {
 public:
  explicit LogGenerator(const LogGeneratorOptions& options);
  ~LogGenerator();
  LogGenerator(const LogGenerator&) = delete;
  LogGenerator& operator=(const LogGenerator&) = delete;

  // Appends the next line (with its line feed; for W3C preceded by a
  // directive block at the start and at each new day). False once the
  // requested number of lines has been produced.
  bool Next(std::string& out);
  // UTC day (days since 1970-01-01) of the last line produced.
  std::int64_t last_day() const;
  // Starts a new W3C directive block before the next line (a new file).
  void RestartHeader();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// File name a server gives the log of a UTC day: exYYMMDD.log (W3C),
// inYYMMDD.log (basic IIS), access.log.YYYY-MM-DD (NCSA).
std::string DailyLogName(LogKind kind, std::int64_t utc_day);

// Writes a whole log into one file, or with per_day into one file per day
// inside the folder `path`. False when a file cannot be written.
bool WriteLog(const LogGeneratorOptions& options, const std::string& path, bool per_day);

// Reads "ncsa", "common", "w3c" or "iis"; false for anything else.
bool ParseLogKind(const std::string& text, LogKind& kind);
// Reads "even" or "heavy"; false for anything else.
bool ParseVisitorMix(const std::string& text, VisitorMix& mix);

}  // namespace tf::bench
