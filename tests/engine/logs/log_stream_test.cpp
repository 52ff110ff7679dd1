#include "engine/logs/log_stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/address.h"
#include "engine/logs/file_access.h"
#include "engine/logs/log_file_set.h"
#include "engine/logs/log_stream_value.h"
#include "fake_log_site.h"
#include "support/test_support.h"

namespace tf {
namespace {

using test::FakeLogSite;
using test::SetWriteTime;

TimeValue At(int hour, int minute, int second = 0) {
  return ComposeTime(2007, 1, 7, hour, minute, second);
}

// An NCSA line at a local time of 2007-01-07, tagged by its path.
std::string Ncsa(TimeValue t, const std::string& path) {
  return "192.0.2.1 - - [" + FormatTime("%d/%b/%Y:%X", t) + " +0000] \"GET " + path +
         " HTTP/1.1\" 200 10\n";
}

class LogStreamTest : public testing::Test {
 protected:
  void SetUp() override { test::UseFixedZone(); }

  std::string Write(const std::string& name, const std::string& text, TimeValue written) {
    std::string path = dir().File(name);
    test::WriteFile(path, text);
    SetWriteTime(path, written);
    return path;
  }

  // Every record of one run over the site's streams, as "path@hh:mm:ss",
  // read as a run reads them (one stream left is read straight into the
  // caller's record).
  std::vector<std::string> Run(FakeLogSite& site) {
    CLogFileSet set(site, 0);
    set.FindFiles();
    std::vector<std::string> got;
    CLogRecord r;
    while (set.ReadNext(r)) got.push_back(r.uri_stem + "@" + FormatTime("%X", r.time));
    set.CloseAll();
    return got;
  }

  std::vector<std::string> Listed(const CLogStream& stream) {
    std::vector<std::string> names;
    for (const LogFileEntry& e : stream.files()) names.push_back(e.path.substr(dir().path().size() + 1));
    return names;
  }

  const test::TempDir& dir() const { return *dir_; }
  void FreshDir() { dir_ = std::make_unique<test::TempDir>(); }

 private:
  std::unique_ptr<test::TempDir> dir_ = std::make_unique<test::TempDir>();
};

TEST_F(LogStreamTest, DiscoveryThresholdsKeepTheNewestFile) {
  Write("a.log", "", At(9, 59, 59));
  Write("b.log", "", At(11, 0));
  Write("c.log", "", At(11, 59, 30));
  Write("d.log", "", At(13, 0));
  Write("notes.txt", "", At(13, 0));
  FakeLogSite site;
  CLogStream& stream = site.AddStream(dir().path() + "/*.LOG");
  stream.SetProgress(At(12, 0), 0, {});
  stream.FindLogFiles(site);
  EXPECT_EQ(Listed(stream), (std::vector<std::string>{"c.log", "d.log"}));
  EXPECT_TRUE(site.Traced("Looking for log files since Sun,  7-Jan-2007 10:00 AM"));
  EXPECT_TRUE(site.Traced("Log file name pattern: " + dir().path() + "/*.LOG"));
  EXPECT_TRUE(site.Traced("Skipping previously-scanned file " + dir().File("b.log") +
                          " (Sun,  7-Jan-2007 11:00 AM)"));
  EXPECT_TRUE(site.Traced("2 Log files to be processed:"));
  EXPECT_TRUE(site.Traced("  " + dir().File("d.log") + "  (Sun,  7-Jan-2007  1:00 PM)"));

  // b.log as the newest file is never skipped.
  FakeLogSite only_b;
  CLogStream& b = only_b.AddStream(dir().path() + "/b.*");
  b.SetProgress(At(12, 0), 0, {});
  b.FindLogFiles(only_b);
  EXPECT_EQ(Listed(b), (std::vector<std::string>{"b.log"}));

  FakeLogSite fresh;
  CLogStream& all = fresh.AddStream(dir().path() + "/*.*");
  all.FindLogFiles(fresh);
  EXPECT_TRUE(fresh.Traced("Looking for all log files"));
  EXPECT_EQ(all.files().size(), 5u);
}

TEST_F(LogStreamTest, EqualTimesKeepTheOrderOfTheExchanges) {
  Write("A.log", "", At(10, 0));
  Write("B.log", "", At(10, 0));
  Write("C.log", "", At(9, 0));
  mkdir(dir().File("D.log").c_str(), 0755);  // folders are not log files
  FakeLogSite site;
  CLogStream& stream = site.AddStream(dir().path() + "/?.log");
  stream.FindLogFiles(site);
  EXPECT_EQ(Listed(stream), (std::vector<std::string>{"C.log", "B.log", "A.log"}));
}

TEST_F(LogStreamTest, ListingStopsAt2500Files) {
  for (int i = 0; i < 2501; ++i) test::WriteFile(dir().File("ex" + std::to_string(10000 + i) + ".log"), "");
  FakeLogSite site;
  CLogStream& stream = site.AddStream(dir().path() + "/ex*.log");
  stream.FindLogFiles(site);
  EXPECT_EQ(stream.files().size(), 2500u);
}

TEST_F(LogStreamTest, DetectsTheFormatFromTheFirstTwentyLines) {
  const std::string comma_at_30 = std::string(29, 'x') + ",\n";
  std::string comma_on_21 = "";
  for (int i = 0; i < 20; ++i) comma_on_21 += "no commas here\n";
  comma_on_21 += "1,2\n";
  struct Case {
    const char* name;
    std::string text;
    int format;
  };
  const Case cases[] = {
      {"w3c", "#Software: x\n#Fields: date time c-ip cs-uri-stem\n2007-01-07 1:00:00 1.2.3.4 /\n",
       kLogFormatW3c},
      {"basic", "1.2.3.4, -, 1/7/07, 13:05:09,\n", kLogFormatIisBasic},
      {"ncsa", "1.2.3.4 - - [07/Jan/2007:13:05:09 +0000] \"GET / HTTP/1.0\" 200 1\n", kLogFormatNcsa},
      {"comma_at_30", comma_at_30, kLogFormatNcsa},
      {"comma_on_21", comma_on_21, kLogFormatNcsa},
      {"empty", "", kLogFormatNcsa},
  };
  for (const Case& c : cases) {
    FakeLogSite site;
    CLogStream stream("unused");
    EXPECT_EQ(stream.OpenLogFile(site, Write(c.name, c.text, At(10, 0))), c.format) << c.name;
  }
}

TEST_F(LogStreamTest, OpenFailureTracesItsCause) {
  FakeLogSite site;
  CLogStream stream("unused");
  EXPECT_EQ(stream.OpenLogFile(site, dir().File("missing.log")), 0);
  EXPECT_EQ(site.traces, (std::vector<std::string>{"Opening log file: " + dir().File("missing.log"),
                                                  "Cannot open log file: " + dir().File("missing.log"),
                                                  "The file could not be located."}));
  struct Case {
    int error;
    int code;
  };
  for (Case c : {Case{ENOENT, 2}, Case{ENOTDIR, 3}, Case{EMFILE, 4}, Case{EACCES, 5}, Case{EISDIR, 5},
                 Case{EIO, 10}, Case{ENOSPC, 13}, Case{0, 0}, Case{EPIPE, 1}}) {
    EXPECT_EQ(FileErrorFromErrno(c.error), c.code) << c.error;
  }
  mkfifo(dir().File("pipe.log").c_str(), 0644);  // would block a plain open
  EXPECT_EQ(stream.OpenLogFile(site, dir().File("pipe.log")), 0);
  EXPECT_EQ(site.traces.back(), "The file could not be accessed.");
  EXPECT_EQ(FileErrorCause(14), "The end of file was reached. ");
  EXPECT_EQ(FileErrorCause(15), "Open error code = 15");
}

TEST_F(LogStreamTest, W3cHeaderRepeatedMidFileSwitchesColumns) {
  Write("ex070107.log",
        "#Software: Example Web Server 6.0\n"
        "#Date: 2007-01-07 10:00:00\n"
        "#Fields: time c-ip cs-uri-stem\n"
        "10:00:01 192.0.2.1 /first.htm\n"
        "#Fields: date time cs-method\n"
        "2007-01-07 10:00:02 GET\n"
        "#Software: Example Web Server 6.0\n"
        "#Fields: date time cs-uri-stem c-ip sc-status\n"
        "2007-01-07 10:00:03 /second.htm 192.0.2.2 200\n"
        "2007-01-07 10:00:04 /third.htm 192.0.2.2 200",  // no line feed: not read
        At(11, 0));
  FakeLogSite site;
  site.exclude = {"/SECOND"};
  site.AddStream(dir().path() + "/ex*.log");
  CLogFileSet set(site, 0);
  set.FindFiles();
  CLogRecord* r = set.NextRecord();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->uri_stem, "/first.htm");
  EXPECT_EQ(r->time, At(10, 0, 1));
  EXPECT_TRUE(r->valid);
  r = set.NextRecord();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->uri_stem, "/second.htm");
  EXPECT_EQ(r->client_address, 0x020200C0u);
  EXPECT_FALSE(r->valid);  // returned, but rejected by the exclude filter
  EXPECT_EQ(set.NextRecord(), nullptr);
  EXPECT_EQ(site.errors, (std::vector<std::string>{"Log file is missing the IP field",
                                                  "Log file is missing the URL field"}));
  EXPECT_TRUE(site.Traced("Processing an IIS format log file"));
  EXPECT_TRUE(site.Traced("  File date range:  1/7/2007 10:00:01  to  1/7/2007 10:00:03"));
}

TEST_F(LogStreamTest, W3cFileWithoutDataLinesIsPassedOver) {
  Write("ex1.log", "#Fields: date time c-ip cs-uri-stem\n", At(10, 0));
  Write("ex2.log", Ncsa(At(10, 30), "/b"), At(10, 30));
  FakeLogSite site;
  CLogStream& stream = site.AddStream(dir().path() + "/ex*.log");
  EXPECT_EQ(Run(site), (std::vector<std::string>{"/b@10:30:00"}));
  EXPECT_EQ(stream.last_file_date(), At(10, 30));
  EXPECT_TRUE(site.Traced("Closing log file: " + dir().File("ex1.log")));
}

// Without a stored position only R tells what an earlier run analysed; a
// record out of order within this run is never taken for an old one.
TEST_F(LogStreamTest, WithoutPositionRecordsBeforeTheStoredRAreOld) {
  Write("access.log",
        Ncsa(At(11, 59, 58), "/old") + Ncsa(At(12, 0, 0), "/a") + Ncsa(At(12, 0, 5), "/b") +
            Ncsa(At(12, 0, 3), "/two-older") + Ncsa(At(12, 0, 4), "/one-older") +
            Ncsa(At(12, 0, 6), "/c"),
        At(13, 0));
  FakeLogSite site;
  CLogStream& stream = site.AddStream(dir().File("access.log"));
  stream.SetProgress(0, At(12, 0, 0), {});
  EXPECT_EQ(Run(site), (std::vector<std::string>{"/a@12:00:00", "/b@12:00:05", "/two-older@12:00:03",
                                                "/one-older@12:00:04", "/c@12:00:06"}));
  EXPECT_EQ(site.old_records, 1);
  EXPECT_EQ(stream.last_record_date(), At(12, 0, 6));
  EXPECT_EQ(stream.last_file_date(), At(13, 0));
  EXPECT_EQ(site.last_file_date, At(13, 0));
}

TEST_F(LogStreamTest, MergeOrdersByTimeAndTheFirstStreamWinsTies) {
  Write("one.log", Ncsa(At(10, 0), "/1a") + Ncsa(At(10, 2), "/1b"), At(11, 0));
  Write("two.log", Ncsa(At(10, 0), "/2a") + Ncsa(At(10, 1), "/2b") + Ncsa(At(10, 2), "/2c"), At(11, 0));
  FakeLogSite site;
  site.AddStream(dir().File("one.log"));
  site.AddStream(dir().File("two.log"));
  EXPECT_EQ(Run(site), (std::vector<std::string>{"/1a@10:00:00", "/2a@10:00:00", "/2b@10:01:00",
                                                "/1b@10:02:00", "/2c@10:02:00"}));
  std::reverse(site.streams.begin(), site.streams.end());
  for (auto& s : site.streams) s->ResetProgress();
  EXPECT_EQ(Run(site)[0], "/2a@10:00:00");
}

TEST_F(LogStreamTest, NextRunSkipsExactlyWhatWasRead) {
  // The last file grows between runs within the same second; the file
  // before it ends in that second too. Each record is returned once.
  std::string a = dir().File("a.log");
  std::string b = dir().File("b.log");
  Write("a.log", Ncsa(At(11, 59, 59), "/a1") + Ncsa(At(12, 0, 0), "/a2"), At(12, 0));
  Write("b.log", Ncsa(At(12, 0, 0), "/b1") + Ncsa(At(12, 0, 0), "/b2"), At(12, 0, 30));
  FakeLogSite site;
  site.AddStream(dir().path() + "/*.log");
  EXPECT_EQ(Run(site).size(), 4u);
  std::string stored = FormatLogStreamValue(*site.streams[0]);
  EXPECT_NE(stored.find(" P:"), std::string::npos);

  test::WriteFile(b, test::ReadFile(b) + Ncsa(At(12, 0, 0), "/b3") + Ncsa(At(12, 0, 1), "/b4"));
  SetWriteTime(b, At(12, 1));
  FakeLogSite next;
  next.streams.push_back(ParseLogStreamValue(stored));
  EXPECT_EQ(Run(next), (std::vector<std::string>{"/b3@12:00:00", "/b4@12:00:01"}));
  // The last file is not read again: the run goes on from the position.
  EXPECT_EQ(next.old_records, 2);

  // A position inside a line names a file that took over a deleted one's
  // identity: nothing of it is skipped.
  FakeLogSite reused;
  reused.streams.push_back(ParseLogStreamValue(stored));
  LogPosition position = reused.streams[0]->last_position();
  reused.streams[0]->SetProgress(0, At(11, 0), position);
  test::WriteFile(a, "");
  test::WriteFile(b, Ncsa(At(12, 5), "/new1") + Ncsa(At(12, 6), "/new2") + Ncsa(At(12, 7), "/new3"));
  EXPECT_EQ(Run(reused).size(), 3u);
}

// Servers log a request when it completes, stamped with its start: a slow
// one lands after faster later ones.
TEST_F(LogStreamTest, PastAStoredPositionEveryRecordIsNewWhateverItsTime) {
  std::string path = dir().File("access.log");
  auto six_lines = [](const std::string& mark) {
    return Ncsa(At(12, 0, 10), mark + "1") + Ncsa(At(12, 0, 2), mark + "2-slow") +
           Ncsa(At(12, 0, 11), mark + "3") + Ncsa(At(12, 0, 12), mark + "4") +
           Ncsa(At(12, 0, 5), mark + "5-slow") + Ncsa(At(12, 0, 13), mark + "6");
  };
  std::string first = six_lines("/");
  Write("access.log", first, At(12, 1));
  FakeLogSite site;
  site.AddStream(path);
  EXPECT_EQ(Run(site).size(), 6u);
  EXPECT_EQ(site.old_records, 0);
  std::string stored = FormatLogStreamValue(*site.streams[0]);

  // The next run goes on from the position: the lines before it are not
  // read again (rewritten in place here, they would count as new), and a
  // line stamped well before R is kept.
  test::WriteFile(path, six_lines("!") + Ncsa(At(12, 0, 1), "/7-slow") + "not a log line\n" +
                           Ncsa(At(12, 0, 14), "/8"));
  FakeLogSite next;
  next.streams.push_back(ParseLogStreamValue(stored));
  EXPECT_EQ(Run(next), (std::vector<std::string>{"/7-slow@12:00:01", "/8@12:00:14"}));
  EXPECT_TRUE(next.Traced("Resuming at byte " + std::to_string(first.size())));
  // Lines are numbered from where the run resumed, and the place says so.
  EXPECT_EQ(next.unread_lines,
            (std::vector<std::string>{path + ": line 2 after byte " + std::to_string(first.size())}));
}

// A file is known by its identity and the position stored for it, not by
// the pattern that reached it.
TEST_F(LogStreamTest, AFileReadUnderOnePatternIsNotReadAgainUnderAnother) {
  std::string combined = Ncsa(At(10, 0), "/c1") + Ncsa(At(10, 1), "/c2");
  Write("ncsa-combined.log", combined, At(11, 0));
  FakeLogSite site;
  site.AddStream(dir().File("ncsa-combined.log"));
  EXPECT_EQ(Run(site).size(), 2u);

  test::WriteFile(dir().File("ncsa-combined.log"), combined + Ncsa(At(10, 2), "/c3"));
  Write("ncsa-other.log", Ncsa(At(9, 0), "/o1"), At(11, 0));
  site.streams[0]->set_active(false);
  CLogStream& wide = site.AddStream(dir().path() + "/ncsa*.log");
  EXPECT_EQ(Run(site), (std::vector<std::string>{"/o1@09:00:00", "/c3@10:02:00"}));
  EXPECT_EQ(wide.last_position().file, site.streams[0]->last_position().file);

  // Back to the first pattern: it resumes where the other one stopped.
  site.streams[0]->set_active(true);
  wide.set_active(false);
  EXPECT_TRUE(Run(site).empty());

  // Two patterns of one run that reach the same file read it once.
  FakeLogSite both;
  both.AddStream(dir().path() + "/ncsa*.log");
  both.AddStream(dir().File("ncsa-other.log"));
  EXPECT_EQ(Run(both).size(), 4u);
  EXPECT_TRUE(both.streams[1]->files().empty());
}

TEST_F(LogStreamTest, StoredValueForms) {
  CLogStream stream("/var/log/web/ex*.log");
  EXPECT_EQ(FormatLogStreamValue(stream),
            "/var/log/web/ex*.log {F:01/01/1900 00:00:00; R:01/01/1900 00:00:00;}");
  stream.SetProgress(At(12, 0), At(12, 30, 5), LogPosition{{2049, 131074}, 5000000000});
  std::string value = FormatLogStreamValue(stream);
  EXPECT_EQ(value,
            "/var/log/web/ex*.log {F:1/7/2007 12:00:00; R:1/7/2007 12:30:05; P:2049:131074:5000000000;}");
  auto back = ParseLogStreamValue(value);
  EXPECT_EQ(back->file_pattern(), "/var/log/web/ex*.log");
  EXPECT_EQ(back->last_file_date(), At(12, 0));
  EXPECT_EQ(back->last_record_date(), At(12, 30, 5));
  EXPECT_EQ(back->last_position(), stream.last_position());

  // A value stored before positions were kept reads back without one.
  auto older = ParseLogStreamValue("/logs/*.log {F:1/7/2007 12:00:00; R:1/7/2007 12:30:05;}");
  EXPECT_EQ(older->last_file_date(), At(12, 0));
  EXPECT_EQ(older->last_record_date(), At(12, 30, 5));
  EXPECT_FALSE(older->last_position().known());

  auto no_dates = ParseLogStreamValue("/logs/*.log   {R:1/7/2007 12:30:05;}");
  EXPECT_EQ(no_dates->file_pattern(), "/logs/*.log");
  EXPECT_EQ(no_dates->last_record_date(), 0.0);
  EXPECT_EQ(ParseLogStreamValue(std::string(400, 'p'))->file_pattern().size(), 299u);

  // Any character a pattern holds comes back whole: '{', even followed by
  // "F:", and the blanks a cut at the field width leaves at its end.
  for (const std::string& pattern :
       {std::string("/logs/{a,b}.log"), std::string("/logs/x {F:y; R:z;}.log"),
        "/logs/" + std::string(290, 'q') + "   "}) {
    SCOPED_TRACE(pattern);
    CLogStream original(pattern);
    original.SetProgress(At(12, 0), At(12, 30, 5), LogPosition{{7, 8}, 9});
    auto parsed = ParseLogStreamValue(FormatLogStreamValue(original));
    EXPECT_EQ(parsed->file_pattern(), pattern);
    EXPECT_EQ(parsed->last_file_date(), At(12, 0));
    EXPECT_EQ(parsed->last_record_date(), At(12, 30, 5));
    EXPECT_EQ(parsed->last_position(), original.last_position());
  }
  EXPECT_FALSE(ParseLogStreamValue("x {F:1/7/2007 1:00:00; R:1/7/2007 1:00:00; P:1:2:-5;}")
                   ->last_position()
                   .known());
}

// A fixture file, a line its reading must trace, and its record count.
struct SampleCase {
  const char* spec;
  const char* trace;
  size_t records;
};

// Files as servers write them: the W3C one with a byte order mark, CRLF
// and a second header block after a restart.
TEST_F(LogStreamTest, SampleFilesOfEachFormat) {
  const SampleCase cases[] = {
      {"logs/w3c/ex*.log", "Processing an IIS format log file", 5},
      {"logs/ncsa/access.log", "Processing a NCSA format log file", 5},
      {"logs/iis/in*.log", "Processing a basic (old format) IIS log file", 3},
  };
  std::vector<std::vector<CLogRecord>> read;
  for (const SampleCase& c : cases) {
    FakeLogSite site;
    site.AddStream(test::FixturePath(c.spec));
    CLogFileSet set(site, 18000);  // the machine's zone, five hours west
    set.FindFiles();
    read.emplace_back();
    while (CLogRecord* r = set.NextRecord()) read.back().push_back(*r);
    EXPECT_EQ(read.back().size(), c.records) << c.spec;
    EXPECT_TRUE(site.Traced(c.trace)) << c.spec;
    EXPECT_TRUE(site.errors.empty()) << c.spec;
  }
  ASSERT_EQ(read.size(), 3u);
  const std::vector<CLogRecord>& w3c = read[0];
  ASSERT_EQ(w3c.size(), 5u);
  EXPECT_EQ(w3c[0].time, ComposeTime(2007, 1, 6, 19, 0, 2));
  EXPECT_EQ(w3c[0].user_agent, "Mozilla/5.0+(Windows+NT+10.0;+Win64;+x64)");
  EXPECT_EQ(w3c[0].referrer, "http://search.example.com/search?q=garden+tools");
  EXPECT_EQ(w3c[2].client_name, "2001:db8::15");
  EXPECT_EQ(w3c[2].uri_query, "id=42");
  EXPECT_EQ(w3c[3].status, 404);
  EXPECT_EQ(w3c[3].time_taken, 15);
  EXPECT_EQ(w3c[4].method, "HEAD");

  const std::vector<CLogRecord>& ncsa = read[1];
  ASSERT_EQ(ncsa.size(), 5u);
  EXPECT_EQ(ncsa[0].time, ComposeTime(2007, 1, 7, 9, 0, 1));
  EXPECT_EQ(ncsa[2].client_name, "crawler-7.example.net");
  EXPECT_EQ(ncsa[2].referrer, "-");
  EXPECT_EQ(ncsa[3].user_name, "carol");
  EXPECT_EQ(ncsa[3].uri_stem, "/shop/order.php");
  EXPECT_EQ(ncsa[3].uri_query, "step=2&item=7");
  EXPECT_TRUE(ncsa[4].has_referrer);
  EXPECT_EQ(ncsa[4].referrer, "");

  const std::vector<CLogRecord>& iis = read[2];
  ASSERT_EQ(iis.size(), 3u);
  EXPECT_EQ(iis[0].time, ComposeTime(2007, 1, 6, 19, 0, 2));
  EXPECT_EQ(iis[2].user_name, "dave");
  EXPECT_EQ(iis[2].uri_stem, "/old page.htm");
  EXPECT_EQ(iis[2].win32_status, 2);
}

// Every record of one run over one file pattern.
std::vector<CLogRecord> ReadAll(FakeLogSite& site, const std::string& spec) {
  site.AddStream(spec);
  CLogFileSet set(site, 0);
  set.FindFiles();
  std::vector<CLogRecord> read;
  while (CLogRecord* r = set.NextRecord()) read.push_back(*r);
  set.CloseAll();
  return read;
}

// The comma rule alone read the proxied NCSA file as basic IIS and the
// IPv6 basic IIS file as NCSA, and each lost every record.
TEST_F(LogStreamTest, FormatFollowsTheLinesWhereTheCommaRuleMisjudges) {
  const SampleCase cases[] = {
      {"logs/ncsa/proxied.log",
       "The first lines read as NCSA, not as basic IIS: reading the file as NCSA", 4},
      {"logs/iis/ipv6-clients.log",
       "The first lines read as basic IIS, not as NCSA: reading the file as basic IIS", 3},
  };
  for (const SampleCase& c : cases) {
    FakeLogSite site;
    std::vector<CLogRecord> read = ReadAll(site, test::FixturePath(c.spec));
    EXPECT_EQ(read.size(), c.records) << c.spec;
    EXPECT_TRUE(site.Traced(c.trace)) << c.spec;
    EXPECT_TRUE(site.unread_lines.empty()) << c.spec;
  }
  FakeLogSite site;
  std::vector<CLogRecord> read = ReadAll(site, test::FixturePath("logs/ncsa/proxied.log"));
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[1].client_address, ParseDottedAddress("203.0.113.5"));
  EXPECT_EQ(read[1].uri_stem, "/shop/");
  EXPECT_EQ(read[1].bytes_sent, 2310);
}

TEST_F(LogStreamTest, W3cColumnsFarToTheRightAreRead) {
  FakeLogSite site;
  std::vector<CLogRecord> read = ReadAll(site, test::FixturePath("logs/w3c/wide-columns.log"));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].time, ComposeTime(2007, 1, 7, 0, 0, 2));
  EXPECT_EQ(read[0].client_address, ParseDottedAddress("192.0.2.15"));
  EXPECT_EQ(read[1].uri_stem, "/images/logo.gif");
  EXPECT_EQ(read[1].bytes_sent, 2310);
  EXPECT_TRUE(site.errors.empty());
}

// Lines that give no record, and byte fields that are no byte count, are
// counted with the place of each line; blank lines are not.
TEST_F(LogStreamTest, UnreadLinesAndFieldsAreCountedWithTheirPlace) {
  FakeLogSite site;
  const std::string ncsa = test::FixturePath("logs/ncsa/damaged.log");
  std::vector<CLogRecord> read = ReadAll(site, ncsa);
  std::vector<std::string> stems;
  std::vector<std::int64_t> bytes;
  for (const CLogRecord& r : read) {
    stems.push_back(r.uri_stem);
    bytes.push_back(r.bytes_sent);
  }
  EXPECT_EQ(stems, (std::vector<std::string>{"/index.htm", "/a.htm", "/b.htm", "/d.htm"}));
  EXPECT_EQ(bytes, (std::vector<std::int64_t>{10432, 0, 0, INT64_MAX}));
  EXPECT_EQ(site.unread_lines, (std::vector<std::string>{ncsa + ": line 2", ncsa + ": line 6"}));
  EXPECT_EQ(site.unread_fields, 2);

  // W3C: a data line while the columns lack the stem, and one whose date
  // does not read; the header's step back does not shift the numbers.
  const std::string w3c = Write("ex.log",
                                "#Fields: date time c-ip\n"
                                "2007-01-07 00:00:01 192.0.2.1\n"
                                "#Fields: date time c-ip cs-uri-stem sc-bytes\n"
                                "2007-01-07 00:00:02 192.0.2.1 /a -3\n"
                                "2007-99-07 00:00:03 192.0.2.1 /b 1\n"
                                "2007-01-07 00:00:04 192.0.2.1 /c 1\n",
                                At(10, 0));
  FakeLogSite w3c_site;
  EXPECT_EQ(ReadAll(w3c_site, w3c).size(), 2u);
  EXPECT_EQ(w3c_site.unread_lines, (std::vector<std::string>{w3c + ": line 2", w3c + ": line 5"}));
  EXPECT_EQ(w3c_site.unread_fields, 1);
}

TEST(OldLogNameTest, MasksWalkTheNameByParts) {
  struct Case {
    const char* name;
    const char* mask;
    const char* expected;
  };
  const Case cases[] = {
      {"ex070107.log", "*.OLD", "ex070107.OLD"},
      {"access", "*.OLD", "accessOLD"},
      {"ex070107.log", "*.bak", "ex070107.bak"},
      {"ex070107.log", "old.*", "old.log"},
      {"ex070107.log", "a*.bak", "a*.bak"},
      {"ex070107.log", "   *.OLD", "ex070107.OLD"},
      {"ex070107.log", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildOldLogName(c.name, c.mask), c.expected) << c.mask;
}

class OldLogActionTest : public LogStreamTest {
 protected:
  // Reads old1.log, old2.log and new.log to their ends under the action.
  void RunWith(FakeLogSite& site) {
    Write("old1.log", Ncsa(At(10, 0), "/1"), At(10, 0));
    Write("old2.log", Ncsa(At(11, 0), "/2"), At(11, 0));
    Write("new.log", Ncsa(At(12, 0), "/3"), At(12, 0));
    site.AddStream(dir().path() + "/*.log");
    EXPECT_EQ(Run(site).size(), 3u);
  }
  bool Exists(const std::string& name) { return access(dir().File(name).c_str(), F_OK) == 0; }
};

TEST_F(OldLogActionTest, LeaveDeleteRenameAndMoveSpareTheNewestFile) {
  struct Case {
    int action;
    std::vector<std::string> present, absent;
  };
  const Case cases[] = {
      {0, {"old1.log", "old2.log", "new.log"}, {}},
      {1, {"new.log"}, {"old1.log", "old2.log"}},
      {2, {"old1.OLD", "old2.OLD", "new.log"}, {"old1.log", "old2.log", "new.OLD"}},
      {3, {"archive/deep/old1.log", "archive/deep/old2.log", "new.log"}, {"old1.log", "old2.log"}},
      {7, {"old1.log", "old2.log", "new.log"}, {}},
  };
  for (const Case& c : cases) {
    FreshDir();
    FakeLogSite site;
    site.old_log_action = c.action;
    site.archive_folder = dir().File("archive/deep");
    RunWith(site);
    for (const auto& name : c.present) EXPECT_TRUE(Exists(name)) << c.action << " " << name;
    for (const auto& name : c.absent) EXPECT_FALSE(Exists(name)) << c.action << " " << name;
  }
}

TEST_F(OldLogActionTest, NeverOverwritesNorLeavesTheFolder) {
  test::WriteFile(dir().File("old1.OLD"), "keep me");
  FakeLogSite site;
  site.old_log_action = 2;
  RunWith(site);
  EXPECT_EQ(test::ReadFile(dir().File("old1.OLD")), "keep me");
  EXPECT_TRUE(Exists("old1.log"));
  EXPECT_TRUE(Exists("old2.OLD"));

  FreshDir();
  FakeLogSite escape;
  escape.old_log_action = 2;
  escape.old_name_mask = "../*.OLD";
  RunWith(escape);
  EXPECT_TRUE(Exists("old1.log"));
}

TEST_F(OldLogActionTest, SparesAFileChangedWithinTheLastMinute) {
  Write("old.log", Ncsa(At(10, 0), "/1"), At(10, 0));
  Write("recent.log", Ncsa(At(11, 0), "/2"), NowLocalSeconds() - 10);
  Write("new.log", Ncsa(At(12, 0), "/3"), NowLocalSeconds());
  FakeLogSite site;
  site.old_log_action = 1;
  site.AddStream(dir().path() + "/*.log");
  EXPECT_EQ(Run(site).size(), 3u);
  EXPECT_FALSE(Exists("old.log"));
  EXPECT_TRUE(Exists("recent.log"));
  EXPECT_TRUE(Exists("new.log"));
}

}  // namespace
}  // namespace tf
