// The run's log reader thread: records come out in the order the log file
// set gives them, and ending the reader early, for a save or a stop, loses
// and repeats nothing.
#include "engine/run/record_prefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/logs/log_file_set.h"
#include "fake_log_site.h"
#include "support/test_support.h"

namespace tf {
namespace {

constexpr std::int32_t kRunning = 2;
constexpr std::int32_t kStopping = 3;

class RecordPrefetchTest : public testing::Test {
 protected:
  void SetUp() override {
    test::UseFixedZone();
    // Two files of one stream and a second stream, interleaved in time, and
    // more records than the reader holds ahead.
    WriteLog("a1.log", 0, 3600, 2);
    WriteLog("a2.log", 7200, 1800, 2);
    WriteLog("b.log", 1, 3900, 2);
    site_.AddStream(dir_.File("a*.log"));
    site_.AddStream(dir_.File("b.log"));
  }

  void WriteLog(const std::string& name, int first_second, int count, int step) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      int t = first_second + i * step;
      char time[32];
      std::snprintf(time, sizeof time, "07/Jan/2007:%02d:%02d:%02d", 10 + t / 3600, t / 60 % 60,
                    t % 60);
      text += "192.0.2.1 - - [" + std::string(time) + " +0000] \"GET /" + name + "/" +
              std::to_string(i) + ".htm HTTP/1.1\" 200 1\n";
    }
    test::WriteFile(dir_.File(name), text);
  }

  // Every record, read by the set itself on this thread.
  std::vector<std::string> Direct() {
    test::FakeLogSite site;
    site.AddStream(dir_.File("a*.log"));
    site.AddStream(dir_.File("b.log"));
    CLogFileSet set(site, 0);
    set.FindFiles();
    std::vector<std::string> all;
    while (CLogRecord* r = set.NextRecord()) all.push_back(r->uri_stem);
    return all;
  }

  test::TempDir dir_;
  test::FakeLogSite site_;
  std::atomic<std::int32_t> state_{kRunning};
};

TEST_F(RecordPrefetchTest, EndingForASaveAndGoingOnLosesAndRepeatsNothing) {
  CLogFileSet set(site_, 0);
  set.FindFiles();
  std::vector<std::string> got;
  int readers = 0;
  for (;;) {
    RecordPrefetch reader(set, state_, kRunning);
    ++readers;
    std::size_t start = got.size();
    while (CLogRecord* r = reader.Next()) {
      got.push_back(r->uri_stem);
      if (got.size() - start == 1500) reader.RequestEnd();
    }
    if (!reader.ended_on_request()) break;
  }
  EXPECT_EQ(got, Direct());
  EXPECT_EQ(got.size(), 9300u);
  EXPECT_GE(readers, 3);
  EXPECT_EQ(set.BytesRead(), set.TotalBytes());
}

TEST_F(RecordPrefetchTest, AStopEndsReadingAndHandsOutWhatWasRead) {
  CLogFileSet set(site_, 0);
  set.FindFiles();
  std::vector<std::string> got;
  {
    RecordPrefetch reader(set, state_, kRunning);
    while (CLogRecord* r = reader.Next()) {
      got.push_back(r->uri_stem);
      if (got.size() == 10) state_ = kStopping;
    }
    EXPECT_FALSE(reader.ended_on_request());
  }
  std::vector<std::string> all = Direct();
  ASSERT_LT(got.size(), all.size()) << "the reader saw the stop";
  EXPECT_EQ(got, std::vector<std::string>(all.begin(), all.begin() + got.size()));

  // What the stop left is read by the next reader, from where the last
  // handed-out record ended.
  state_ = kRunning;
  RecordPrefetch next(set, state_, kRunning);
  while (CLogRecord* r = next.Next()) got.push_back(r->uri_stem);
  EXPECT_EQ(got, all);
}

TEST_F(RecordPrefetchTest, NothingIsReadPastAHeldRecordUntilItIsFinished) {
  CLogFileSet set(site_, 0);
  set.FindFiles();
  std::atomic<int> read{0};
  // Every 300th record is held, as a record that starts a day is.
  RecordPrefetch reader(set, state_, kRunning, [&read](const CLogRecord&) {
    return ++read % 300 == 0;
  });
  int handed = 0;
  int held = 0;
  while (reader.Next() != nullptr) {
    if (++handed % 300 != 0) continue;
    ++held;
    for (int i = 0; i < 100; ++i) std::this_thread::yield();  // the analysis of the record
    EXPECT_EQ(read.load(), handed) << "read past held record " << handed;
  }
  EXPECT_EQ(handed, 9300);
  EXPECT_EQ(held, 31);
}

TEST_F(RecordPrefetchTest, AReaderLeftEarlyIsEndedAndJoined) {
  CLogFileSet set(site_, 0);
  set.FindFiles();
  {
    RecordPrefetch reader(set, state_, kRunning);
    ASSERT_NE(reader.Next(), nullptr);
  }  // destroyed while the reader waits for room
  SUCCEED();
}

}  // namespace
}  // namespace tf
