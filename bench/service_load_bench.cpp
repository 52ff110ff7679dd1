// The service's command server under load: many consoles at once, each
// asking for the whole site list in a loop; every frame is checked, and the
// threads and descriptors of the process are counted before and after.
// Then one broadcast to every console, compared byte for byte.
//   bench_service_load [--clients N] [--sites N] [--seconds N]
// Prints round_trips_per_second, peak_rss_kb and the counts; exit status 1
// when a frame was lost or wrong, or a thread or descriptor was left.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/tagged_record.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "platform/net/socket.h"
#include "service/client_list.h"
#include "service/command_server.h"
#include "service/event_log.h"
#include "service/frame.h"
#include "service/protocol.h"
#include "service/service_scheduler.h"

namespace {

using namespace tf;
using namespace tf::service;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kLoopback = 0x0100007F;  // 127.0.0.1
constexpr int kReadTimeoutMs = 30000;

struct Options {
  int clients = 50;
  int sites = 100;
  int seconds = 10;
};

std::size_t CountEntries(const char* folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// One console: reads frames from the service.
class Console {
 public:
  bool Connect(net::Endpoint server) {
    return net::Connect(socket_, server, kReadTimeoutMs) == 0 && Next(message_) &&
           message_.code == MSG_LOGON_STATE;
  }
  void Send(std::uint32_t code) {
    net::SendAll(socket_, BuildFrame(QueueMessage{1, code, 0, {}}, 1));
  }
  bool Next(QueueMessage& out) {
    auto read = [this](char* buffer, std::size_t count) {
      std::size_t got = 0;
      while (got < count) {
        net::Transfer t = net::Receive(socket_, buffer + got, count - got, kReadTimeoutMs);
        if (t.error != 0 || t.bytes == 0) return false;
        got += t.bytes;
      }
      return true;
    };
    return ReadFrame(read, out) == FrameRead::kOk;
  }
  // One CMD_GET_ALL answered completely and in order.
  bool RoundTrip(int sites) {
    Send(CMD_GET_ALL);
    QueueMessage m;
    if (!Next(m) || m.code != MSG_SYSTEM_SETTINGS) return false;
    if (!Next(m) || m.code != MSG_SITE_LIST_BEGIN) return false;
    for (int i = 0; i < sites; ++i) {
      if (!Next(m) || m.code != MSG_SITE_RECORD) return false;
      std::uint32_t id = 0;
      RecordGetInt(m.body, 101, id);
      if (id != m.parameter || id != static_cast<std::uint32_t>(sites - i)) return false;
      if (!Next(m) || m.code != MSG_SITE_STATUS || m.parameter != id) return false;
    }
    return Next(m) && m.code == MSG_SITE_LIST_END;
  }
  void Close() { socket_.Close(); }

 private:
  net::Socket socket_;
  QueueMessage message_;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    int value = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--clients") == 0) {
      options.clients = value;
    } else if (std::strcmp(argv[i], "--sites") == 0) {
      options.sites = value;
    } else if (std::strcmp(argv[i], "--seconds") == 0) {
      options.seconds = value;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

void AddSites(int count) {
  for (int id = 1; id <= count; ++id) {
    auto* site = new CSite;
    site->ProjectID = id;
    site->ProjectName = "Site " + std::to_string(id);
    site->settings.DomainName = "www.site" + std::to_string(id) + ".example";
    AddToSiteList(site);
  }
}

// Every console gets the same broadcast bytes.
bool BroadcastReachesAll(std::vector<Console>& consoles, ServiceScheduler& scheduler) {
  {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    scheduler.BroadcastSiteRecord(*SiteList.sites().front());
  }
  std::string first;
  for (Console& console : consoles) {
    QueueMessage m;
    if (!console.Next(m) || m.code != MSG_SITE_RECORD) return false;
    if (first.empty()) first = m.body;
    if (m.body != first || !console.Next(m) || m.code != MSG_SITE_STATUS) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: bench_service_load [--clients N] [--sites N] [--seconds N]\n");
    return 2;
  }
  SetEventSink([](Severity, std::string_view) {});
  AddSites(options.sites);
  std::size_t threads_before = CountEntries("/proc/self/task");
  std::size_t descriptors_before = CountEntries("/proc/self/fd");

  ClientList clients;
  ServiceScheduler scheduler(clients);
  CommandServer server(clients, scheduler);
  if (!server.Start(kLoopback, 0)) return 1;

  std::vector<Console> consoles(static_cast<std::size_t>(options.clients));
  for (Console& console : consoles) {
    if (!console.Connect(server.endpoint())) {
      std::fprintf(stderr, "a console could not connect\n");
      return 1;
    }
  }
  std::atomic<long> round_trips{0};
  std::atomic<int> failures{0};
  auto end = Clock::now() + std::chrono::seconds(options.seconds);
  auto start = Clock::now();
  std::vector<std::thread> workers;
  for (Console& console : consoles) {
    workers.emplace_back([&, sites = options.sites] {
      while (Clock::now() < end) {
        if (!console.RoundTrip(sites)) {
          ++failures;
          return;
        }
        ++round_trips;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  bool broadcast_ok = failures == 0 && BroadcastReachesAll(consoles, scheduler);

  for (Console& console : consoles) console.Close();
  auto deadline = Clock::now() + std::chrono::seconds(60);
  while ((server.session_count() > 0 || clients.Count() > 0) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  server.Stop();
  scheduler.StopAll();
  std::size_t threads_after = CountEntries("/proc/self/task");
  std::size_t descriptors_after = CountEntries("/proc/self/fd");
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);

  std::printf("clients=%d sites=%d seconds=%.1f round_trips=%ld round_trips_per_second=%.0f\n",
              options.clients, options.sites, elapsed, round_trips.load(),
              static_cast<double>(round_trips.load()) / elapsed);
  std::printf("frames_per_second=%.0f failures=%d broadcast_equal=%s\n",
              static_cast<double>(round_trips.load()) * (2.0 * options.sites + 3) / elapsed,
              failures.load(), broadcast_ok ? "yes" : "no");
  std::printf("threads_before=%zu threads_after=%zu descriptors_before=%zu descriptors_after=%zu "
              "peak_rss_kb=%ld\n",
              threads_before, threads_after, descriptors_before, descriptors_after,
              usage.ru_maxrss);
  SiteList.Clear();
  bool clean = failures == 0 && broadcast_ok && threads_after == threads_before &&
               descriptors_after == descriptors_before;
  return clean ? 0 : 1;
}
