// The console's scheduler tick with many sites, none due: the time of one
// tick (it rewrites no row when nothing changed), and of filling the list.
//   bench_console_tick [--sites N] [--ticks N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "console/console_scheduler.h"
#include "console/site_list_model.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"

namespace {

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  int sites = 200, ticks = 2000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--sites") == 0) sites = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--ticks") == 0) ticks = std::atoi(argv[i + 1]);
  }
  const tf::TimeValue now = tf::ComposeTime(2007, 1, 10, 14, 30, 0);
  for (int i = 0; i < sites; ++i) {
    auto* site = new tf::CSite;
    site->ProjectID = i + 1;
    site->ProjectName = "Site " + std::to_string(i);
    // Every other site has a schedule in another hour: its next run is
    // computed on every tick, but it never starts.
    site->settings.EnableSchedule = i % 2;
    site->settings.RunSchedule[5] = 1 << 3;
    tf::AddToSiteList(site);
  }
  tf::console::ConsoleScheduler scheduler([now] { return now; },
                                          [](tf::CSite&) {});
  auto fill_start = std::chrono::steady_clock::now();
  tf::console::SiteListModel rows;
  rows.Fill(now);
  double fill = Milliseconds(std::chrono::steady_clock::now() - fill_start);
  rows.Apply(*scheduler.Tick());  // the first tick reports every row
  std::size_t rewritten = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) rewritten += rows.Apply(*scheduler.Tick()).size();
  double per_tick = Milliseconds(std::chrono::steady_clock::now() - start) / ticks;
  std::printf("sites=%d ticks=%d ms_per_tick=%.4f rows_rewritten=%zu list_fill_ms=%.3f\n", sites,
              ticks, per_tick, rewritten, fill);
  std::lock_guard<std::recursive_mutex> lock(tf::SiteList.mutex());
  tf::SiteList.Clear();
  return 0;
}
