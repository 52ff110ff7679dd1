// tf-loggen: writes a generated web-server log.
//   tf-loggen --format ncsa|common|w3c|iis [--lines N] [--seed S]
//             [--start YYYY-MM-DD] [--days D] [--nets doc|wide] [--ipv6 PCT]
//             [--zone +HHMM] [--mix even|heavy] (--out FILE | --per-day FOLDER)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/loggen/log_generator.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tf-loggen --format ncsa|common|w3c|iis [--lines N] [--seed S]\n"
               "                 [--start YYYY-MM-DD] [--days D] [--nets doc|wide] [--ipv6 PCT]\n"
               "                 [--zone +HHMM] [--mix even|heavy] (--out FILE | --per-day FOLDER)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tf::bench::LogGeneratorOptions options;
  std::string out, per_day;
  bool have_format = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i], value = argv[i + 1];
    if (key == "--format") {
      if (!tf::bench::ParseLogKind(value, options.kind)) return Usage();
      have_format = true;
    } else if (key == "--lines") {
      options.lines = std::strtoll(value.c_str(), nullptr, 10);
    } else if (key == "--seed") {
      options.seed = std::strtoull(value.c_str(), nullptr, 10);
    } else if (key == "--start") {
      if (std::sscanf(value.c_str(), "%d-%d-%d", &options.year, &options.month, &options.day) != 3) {
        return Usage();
      }
    } else if (key == "--days") {
      options.days = std::atoi(value.c_str());
    } else if (key == "--nets") {
      if (value != "doc" && value != "wide") return Usage();
      options.nets = value == "doc" ? tf::bench::ClientNets::kDocumentation : tf::bench::ClientNets::kWide;
    } else if (key == "--ipv6") {
      options.ipv6_percent = std::atoi(value.c_str());
    } else if (key == "--zone") {
      int hhmm = std::atoi(value.c_str() + (value[0] == '+' || value[0] == '-'));
      options.zone_minutes = (hhmm / 100 * 60 + hhmm % 100) * (value[0] == '-' ? -1 : 1);
    } else if (key == "--mix") {
      if (!tf::bench::ParseVisitorMix(value, options.mix)) return Usage();
    } else if (key == "--out") {
      out = value;
    } else if (key == "--per-day") {
      per_day = value;
    } else {
      return Usage();
    }
  }
  if (argc % 2 == 0 || !have_format || out.empty() == per_day.empty() || options.lines < 0) {
    return Usage();
  }
  bool ok = per_day.empty() ? tf::bench::WriteLog(options, out, false)
                            : tf::bench::WriteLog(options, per_day, true);
  if (!ok) {
    std::fprintf(stderr, "tf-loggen: cannot write %s\n", (per_day.empty() ? out : per_day).c_str());
    return 1;
  }
  return 0;
}
