#include "engine/ftp/ftp_listing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tf {
namespace {

// Listings are read as of 1 June 2007.
const TimeValue kNow = ComposeTime(2007, 6, 1, 12, 0, 0);

struct LineCase {
  const char* line;
  const char* name;
  TimeValue date;
  std::uint64_t size;
  bool directory;
};

TEST(ListingTest, ReadsUnixAndDosLines) {
  const LineCase cases[] = {
      // Unix: a clock time means this year, or last year for a later month.
      {"-rw-r--r--   1 owner group     1024 Jan 15 10:30 ex070115.log", "ex070115.log",
       ComposeTime(2007, 1, 15, 10, 30, 0), 1024, false},
      {"-rw-r--r--   1 owner group       10 Dec  3  9:05 old.log", "old.log",
       ComposeTime(2006, 12, 3, 9, 5, 0), 10, false},
      {"-rw-r--r--   1 owner group        7 Dec 31  2006 year.log", "year.log",
       ComposeTime(2006, 12, 31, 0, 0, 0), 7, false},
      {"-rw-r--r--   1 owner group        7 dec 31     06 short.log", "short.log",
       ComposeTime(2006, 12, 31, 0, 0, 0), 7, false},
      {"-rw-r--r--   1 owner group        7 Dec 31     98 ninety.log", "ninety.log",
       ComposeTime(1998, 12, 31, 0, 0, 0), 7, false},
      {"drwxr-xr-x   2 owner group     4096 Mar  1 08:00 logs", "logs",
       ComposeTime(2007, 3, 1, 8, 0, 0), 4096, true},
      {"lrwxrwxrwx   1 owner group       12 Mar  1 08:00 current -> logs/ex.log", "current",
       ComposeTime(2007, 3, 1, 8, 0, 0), 12, true},
      {"-rw-r--r--   1 owner group       12 Mar  1 08:00 name with  blanks   ", "name with  blanks",
       ComposeTime(2007, 3, 1, 8, 0, 0), 12, false},
      // An unknown month leaves only the time of day: a very old entry.
      {"-rw-r--r--   1 owner group        5 Foo  1 08:00 odd.log", "odd.log",
       ComposeTime(2007, 13, 1, 8, 0, 0), 5, false},
      // DOS: two-digit years, AM/PM marks, <DIR>.
      {"01-15-07  10:30AM              12345 ex070115.log", "ex070115.log",
       ComposeTime(2007, 1, 15, 10, 30, 0), 12345, false},
      {"01-15-07  10:30PM              12345 ex070115.log", "ex070115.log",
       ComposeTime(2007, 1, 15, 22, 30, 0), 12345, false},
      {"01-15-07  12:05AM              1 midnight.log", "midnight.log",
       ComposeTime(2007, 1, 15, 0, 5, 0), 1, false},
      {"01-15-07  12:05PM              1 noon.log", "noon.log",
       ComposeTime(2007, 1, 15, 12, 5, 0), 1, false},
      {"01-15-07  10:30AM       <DIR>          W3SVC1", "W3SVC1",
       ComposeTime(2007, 1, 15, 10, 30, 0), 0, true},
      {"12-31-99  23:59:58  100 last.log", "last.log", ComposeTime(1999, 12, 31, 23, 59, 58), 100, false},
      {"03-02-2007  01:02 PM  9 spaced mark.log", "spaced mark.log",
       ComposeTime(2007, 3, 2, 13, 2, 0), 9, false},
  };
  for (const LineCase& c : cases) {
    CRemoteFileList list;
    ParseListing(c.line, kNow, list);
    ASSERT_EQ(list.count(), 1) << c.line;
    const RemoteFileEntry& entry = *list.entries()[0];
    EXPECT_EQ(entry.name, c.name) << c.line;
    EXPECT_EQ(entry.date, c.date) << c.line;
    EXPECT_EQ(entry.size, c.size) << c.line;
    EXPECT_EQ(entry.is_directory, c.directory) << c.line;
  }
}

TEST(ListingTest, SkipsDotEntriesAndLinesThatDoNotRead) {
  const std::string text =
      "total 12\r\n"
      "\r\n"
      "   drwxr-xr-x   2 owner group 4096 Jan  1 00:00 .\r\n"
      "drwxr-xr-x   2 owner group 4096 Jan  1 00:00 ..\n"
      "-rw-r--r--   1 owner group   xx Jan  1 00:00 no-size.log\n"
      "-rw-r--r--   1 owner group   10 Jan  1 00:00\n"
      "01-15-07 garbage\n"
      "01-15-07  10:30AM  notasize name\n"
      "-rw-r--r--   1 owner group   10 Jan  2 00:00 kept.log";
  CRemoteFileList list;
  ParseListing(text, kNow, list);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.entries()[0]->name, "kept.log");
}

TEST(ListingTest, HostileTextIsBounded) {
  // An overlong name is cut at a character boundary; huge numbers do not
  // overflow; random bytes never crash the reader.
  std::string long_name(1000, 'a');
  long_name += "\xC3\xA9";
  std::string text = "-rw-r--r-- 1 o g 99999999999999999999999 Jan 99999999999 10:30 " +
                     std::string(298, 'n') + "\xC3\xA9" + "tail\n";
  CRemoteFileList list;
  ParseListing(text, kNow, list);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.entries()[0]->name, std::string(298, 'n'));

  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::string noise;
    for (int i = 0; i < 300; ++i) noise += static_cast<char>(random() % 256);
    CRemoteFileList garbage;
    ParseListing(noise, kNow, garbage);
    for (const auto& entry : garbage.entries()) EXPECT_LE(entry->name.size(), 299u);
  }
}

TEST(ListingTest, SortsByAscendingDate) {
  CRemoteFileList list;
  ParseListing(
      "-rw-r--r-- 1 o g 1 Mar  1 08:00 c\n"
      "-rw-r--r-- 1 o g 1 Jan  1 08:00 a\n"
      "-rw-r--r-- 1 o g 1 Foo  1 08:00 undated\n"
      "-rw-r--r-- 1 o g 1 Feb  1 08:00 b\n",
      kNow, list);
  list.SortByDate();
  std::string order;
  for (const auto& entry : list.entries()) order += entry->name + " ";
  EXPECT_EQ(order, "undated a b c ");
}

}  // namespace
}  // namespace tf
