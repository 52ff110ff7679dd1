#include "bench/analyze/run_progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "engine/common/shared_figure.h"

namespace tf::bench {
namespace {

// Short runs finish before the first line.
constexpr auto kInterval = std::chrono::seconds(1);

std::string Grouped(long value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > (value < 0 ? 1 : 0); at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

std::string Megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  return text;
}

}  // namespace

std::string ProgressLine(double bytes_read, double log_size, long records, double seconds) {
  int percent = log_size > 0 ? static_cast<int>(100 * bytes_read / log_size) : 0;
  long per_second = seconds > 0 ? static_cast<long>(records / seconds) : 0;
  char share[8];
  std::snprintf(share, sizeof share, "%3d%%", percent < 0 ? 0 : percent > 100 ? 100 : percent);
  return std::string("  ") + share + " of " + Megabytes(log_size) + " of logs, " +
         Grouped(records) + " records, " + Grouped(per_second) + " records/s";
}

TerminalProgress::TerminalProgress(CSite& site) : site_(site) {
  if (isatty(STDERR_FILENO) == 0) return;
  thread_ = std::thread([this] {
    auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, kInterval, [this] { return done_; })) {
      Show(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
  });
}

TerminalProgress::~TerminalProgress() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  wake_.notify_one();
  thread_.join();
  if (shown_) std::fputs("\n", stderr);
}

void TerminalProgress::Show(double seconds) {
  std::string line = ProgressLine(ReadFigure(site_.run.bytes_read),
                                  ReadFigure(site_.progress.log_size),
                                  ReadFigure(site_.progress.record_count), seconds);
  std::fprintf(stderr, "\r%s\033[K", line.c_str());
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace tf::bench
