#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <tuple>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/busy.h"
#include "engine/common/crc32.h"
#include "engine/common/display.h"
#include "engine/common/time_value.h"
#include "engine/common/exception_counters.h"
#include "engine/common/files.h"
#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "support/test_support.h"

namespace tf {
namespace {

TEST(UtilitiesTest, Crc32IsTheComplementOfTheUsualValue) {
  EXPECT_EQ(Crc32("abc"), 0xCADBBE3Du);
  EXPECT_EQ(Crc32("123456789"), ~0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0xFFFFFFFFu);
  EXPECT_EQ(Crc32(std::string("\0\xff", 2)), Crc32(std::string("\0\xff", 2)));
}

TEST(UtilitiesTest, FormatThousands) {
  struct Case {
    std::int64_t value;
    int min_width, max_width;
    const char* text;
  };
  const Case cases[] = {
      {-1234567, 1, 15, "-1,234,567"},
      {999, 1, 15, "999"},
      {1000, 1, 15, "1,000"},
      {0, 1, 15, "0"},
      {1234567, 1, 8, "1234567"},
      {1234567, 1, 5, "****"},
      {-123, 6, 15, "  -123"},
      {1234, 20, 8, "       "},          // padding never exceeds the field
      {INT64_MIN, 1, 0, "-9,223,372,036,854,775,808"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatThousands(c.value, c.min_width, c.max_width), c.text) << c.value;
  }
}

TEST(UtilitiesTest, PathHelpers) {
  EXPECT_EQ(JoinPath("/opt/tallyfox", "Tallyfox.mdb"), "/opt/tallyfox/Tallyfox.mdb");
  EXPECT_EQ(JoinPath("/opt/tallyfox/", "/help"), "/opt/tallyfox/help");
  EXPECT_EQ(JoinPath("", "a.log"), "a.log");
  EXPECT_EQ(WithTrailingSeparator("/var/log"), "/var/log/");
  EXPECT_EQ(WithTrailingSeparator("/var/log/"), "/var/log/");
  EXPECT_EQ(FolderOf("/var/log/ex0701.log"), "/var/log");
  EXPECT_EQ(FolderOf("/ex0701.log"), "/");
  EXPECT_EQ(FolderOf("ex0701.log"), "");
  EXPECT_EQ(FileNameOf("/var/log/ex0701.log"), "ex0701.log");
  EXPECT_EQ(FileNameOf("access"), "access");
  EXPECT_EQ(ChangeExtension("/opt/tallyfox/Project0001.mdb", "ses"), "/opt/tallyfox/Project0001.ses");
  EXPECT_EQ(ChangeExtension("/srv/v1.2/access", "OLD"), "/srv/v1.2/access.OLD");
}

TEST(UtilitiesTest, CreateDirectoryChainAndReadableFiles) {
  test::TempDir dir;
  std::string deep = dir.File("a/b/c/");
  EXPECT_TRUE(CreateDirectoryChain(deep));
  struct stat info;
  ASSERT_EQ(stat(dir.File("a/b/c").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_TRUE(CreateDirectoryChain(deep));  // existing levels are no failure

  test::WriteFile(dir.File("a/file"), "x");
  EXPECT_TRUE(IsFileReadable(dir.File("a/file")));
  EXPECT_FALSE(IsFileReadable(dir.File("a/missing")));
  EXPECT_FALSE(IsFileReadable(dir.File("a/b")));
  EXPECT_TRUE(CreateDirectoryChain(dir.File("a/file/below")));  // cannot be made, still true
}

TEST(UtilitiesTest, GetFileInfo) {
  test::TempDir dir;
  test::WriteFile(dir.File("ex070107.log"), std::string(5000, 'x'));
  TimeValue time = 0;
  std::uint64_t size = 0;
  EXPECT_EQ(GetFileInfo(dir.File("ex070107.log"), &time, &size), 1);
  EXPECT_EQ(size, 5000u);
  EXPECT_GT(time, MinimumDate());
  EXPECT_EQ(GetFileInfo(dir.File("ex070107.log"), nullptr, nullptr), 1);

  for (const std::string& path : {dir.File("missing"), dir.path()}) {
    time = size = 7;
    EXPECT_EQ(GetFileInfo(path, &time, &size), 0) << path;
    EXPECT_EQ(time, 0);
    EXPECT_EQ(size, 0u);
  }
}

TEST(UtilitiesTest, FormatDateOrEmptyHidesDatesUpToTheMinimum) {
  EXPECT_EQ(FormatDateOrEmpty(ComposeTime(1901, 1, 1, 0, 0, 0)), "");
  EXPECT_EQ(FormatDateOrEmpty(0), "");
  EXPECT_EQ(FormatDateOrEmpty(ComposeTime(1901, 1, 1, 0, 0, 1)),
            FormatTime("%L", ComposeTime(1901, 1, 1, 0, 0, 1)));
  EXPECT_NE(FormatDateOrEmpty(ComposeTime(2007, 1, 7, 13, 5, 9)), "");
}

TEST(UtilitiesTest, MessageBoxGoesThroughTheInstalledHandler) {
  std::string seen;
  MessageBoxHandler previous = SetMessageBoxHandler(
      [&](std::string_view text, std::string_view caption, unsigned flags) {
        seen = std::string(caption) + "|" + std::string(text) + "|" + std::to_string(flags);
        return kIdCancel;
      });
  EXPECT_EQ(ShowMessageBox("Delete x ?", "Confirm deletion", kMbOkCancel | kMbIconQuestion),
            kIdCancel);
  EXPECT_EQ(seen, "Confirm deletion|Delete x ?|33");
  SetMessageBoxHandler(previous);

  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox("text", "caption", kMbOk), kIdOk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "caption: text\n");
}

TEST(UtilitiesTest, CountersAreSharedAcrossThreads) {
  CExceptionCounters counters;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        counters.Increment(i % CExceptionCounters::kCount);
        BeginBusy();
        EndBusy();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counters.Get(0), 4 * 34);
  EXPECT_EQ(counters.Get(29), 4 * 33);
  counters.Increment(30);
  EXPECT_EQ(counters.Get(30), 0);
  EXPECT_EQ(BusyCount(), 0);
}

TEST(UtilitiesTest, MessagePumpRunsOnlyOnItsThread) {
  static std::atomic<int> pumped{0};
  SetMessagePump([] { ++pumped; });
  PumpMessages();
  std::thread([] { PumpMessages(); }).join();
  EXPECT_EQ(pumped.load(), 1);
  SetMessagePump(nullptr);
  PumpMessages();
  EXPECT_EQ(pumped.load(), 1);
}

TEST(UtilitiesTest, SplitClockMatchesTheRemaindersOfTheFormatter) {
  auto by_fmod = [](TimeValue t) {
    return ClockParts{static_cast<int>(std::fmod((t + 0.49) / 3600.0, 24.0)),
                      static_cast<int>(std::fmod((t + 0.49) / 60.0, 60.0)),
                      static_cast<int>(std::fmod(t + 0.49, 60.0))};
  };
  std::vector<TimeValue> times = {0, 0.5, 59.51, 3599.509, 86399.5, -1, -0.2, -3600.7, 1e15, -1e15, 1e300};
  for (TimeValue t = ComposeTime(2007, 1, 7, 0, 0, 0); t < ComposeTime(2007, 1, 9, 0, 0, 0); t += 0.999) {
    times.push_back(t);
  }
  for (TimeValue t : times) {
    ClockParts got = SplitClock(t), want = by_fmod(t);
    ASSERT_EQ(std::tie(got.hour, got.minute, got.second), std::tie(want.hour, want.minute, want.second)) << t;
  }
}

}  // namespace
}  // namespace tf
