#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/common/address.h"
#include "engine/logs/client_address.h"
#include "engine/logs/line_reader.h"
#include "engine/logs/log_parse.h"
#include "engine/logs/w3c_log_reader.h"
#include "fake_log_site.h"

namespace tf {
namespace {

using test::FakeLogSite;

const TimeValue kJan7 = ComposeDate(2007, 1, 7);

TEST(NextTokenTest, QuotedUnquotedAndDashes) {
  struct Case {
    const char* text;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {"a b  c", {"a", "b", "c"}},
      {"1.2.3.4, -, 1/7/07,", {"1.2.3.4", "", "1/7/07"}},
      {"\"GET / HTTP/1.0\" 200 \"-\" -", {"GET / HTTP/1.0", "200", "-", ""}},
      {"\"a, b\",c", {"a, b", "c"}},
      {"\"unclosed quote", {"unclosed quote"}},
      {"\"\" x", {"", "x"}},
      {"--", {"--"}},
  };
  for (const Case& c : cases) {
    std::string_view text = c.text;
    std::vector<std::string> got;
    size_t pos = 0;
    while (pos < text.size()) {
      std::string_view token;
      pos = NextToken(text, pos, token);
      got.emplace_back(token);
    }
    EXPECT_EQ(got, c.tokens) << c.text;
  }
}

TEST(NextTokenTest, ATokenEndsAtItsFirstBlankOrCommaWhateverItsLength) {
  for (std::size_t length = 1; length <= 40; ++length) {
    for (char stop : {' ', ','}) {
      std::string field(length, 'x');
      for (std::size_t i = 3; i < length; i += 7) field[i] = '\xE9';
      std::string text = field + stop + std::string(20, 'y') + " z";
      std::string_view token;
      std::size_t pos = NextToken(text, 0, token);
      EXPECT_EQ(token, field) << length;
      EXPECT_EQ(pos, stop == ',' ? length + 1 : length) << length;  // a comma is passed over
      EXPECT_EQ(NextToken(text, pos, token), text.size() - 2) << length;
      EXPECT_EQ(token, std::string(20, 'y')) << length;
    }
  }
}

TEST(ClientAddressTest, DottedMappedAndStandIns) {
  std::string name;
  EXPECT_EQ(ClientAddressFromText("192.0.2.1", name), 0x010200C0u);
  EXPECT_EQ(name, "");
  EXPECT_EQ(ClientAddressFromText("::ffff:192.0.2.1", name), 0x010200C0u);
  EXPECT_EQ(ClientAddressFromText("", name), 0u);

  // IPv6 spellings of one address share a key; host names ignore case.
  std::uint32_t v6 = ClientAddressFromText("2001:db8::1", name);
  EXPECT_EQ(name, "2001:db8::1");
  EXPECT_TRUE(IsStandInAddress(v6));
  EXPECT_EQ(ClientAddressFromText("2001:0DB8:0:0::0001", name), v6);
  std::uint32_t host = ClientAddressFromText("Crawler.Example.NET", name);
  EXPECT_EQ(name, "Crawler.Example.NET");
  EXPECT_TRUE(IsStandInAddress(host));
  EXPECT_EQ(ClientAddressFromText("crawler.example.net", name), host);
  EXPECT_NE(host, v6);
  EXPECT_FALSE(IsStandInAddress(ClientAddressFromText("203.0.113.9", name)));

  for (const char* bad : {"1.2.3", "1.2.3.256", "1.2.3.4.5", "1..2.3", "01234.1.1.1", " 1.2.3.4"}) {
    EXPECT_EQ(ParseDottedAddress(bad), 0u) << bad;
  }
}

TEST(NcsaParseTest, CommonAndCombinedLines) {
  LogParseOptions options;
  options.zone_offset = 3600;
  CLogRecord r;

  ASSERT_EQ(ParseNcsaText("192.0.2.7 - alice [07/Jan/2007:13:05:09 -0500] "
                          "\"GET /a.php?x=1&y=2 HTTP/1.1\" 200 123456789012",
                          options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.client_address, 0x070200C0u);
  EXPECT_EQ(r.user_name, "alice");
  EXPECT_EQ(r.time, kJan7 + 47109 - 3600);  // as written, whatever its zone
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.uri_stem, "/a.php");
  EXPECT_EQ(r.uri_query, "x=1&y=2");
  EXPECT_EQ(r.protocol, "HTTP/1.1");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.bytes_sent, 123456789012);  // beyond 32 bits
  EXPECT_TRUE(r.has_referrer);
  EXPECT_EQ(r.referrer, "");
  EXPECT_EQ(r.user_agent, "");

  ASSERT_EQ(ParseNcsaText("198.51.100.2 - - [07/Jan/2007:13:05:09 +0000] \"GET / HTTP/1.0\" "
                          "304 - \"-\" \"-\"",
                          options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.user_name, "");
  EXPECT_EQ(r.bytes_sent, 0);
  EXPECT_EQ(r.referrer, "-");  // a quoted dash stays
  EXPECT_EQ(r.user_agent, "-");

  ASSERT_EQ(ParseNcsaText("crawler.example.net - - [07/Jan/2007:13:05:09 +0000] "
                          "\"GET /x HTTP/1.0\" 200 5 \"http://example.org/p?q=a b\" \"Agent/1.0 (X)\"",
                          options, r),
            LineResult::kRecord);
  EXPECT_TRUE(IsStandInAddress(r.client_address));
  EXPECT_EQ(r.client_name, "crawler.example.net");
  EXPECT_EQ(r.referrer, "http://example.org/p?q=a b");
  EXPECT_EQ(r.user_agent, "Agent/1.0 (X)");

  // Behind proxies the client is the first of a list.
  ASSERT_EQ(ParseNcsaText("203.0.113.5, 10.0.0.1,10.0.0.2 - bob [07/Jan/2007:13:05:09 +0000] "
                          "\"GET /p HTTP/1.0\" 200 5",
                          options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.client_address, ParseDottedAddress("203.0.113.5"));
  EXPECT_EQ(r.user_name, "bob");
  EXPECT_EQ(r.uri_stem, "/p");

  for (const char* bad : {"192.0.2.7 - - [07/Foo/2007:13:05:09 -0500] \"GET / HTTP/1.0\" 200 1",
                          "192.0.2.7 - - \"GET / HTTP/1.0\" 200 1", "192.0.2.7", "192.0.2.7,",
                          "192.0.2.7, ,,"}) {
    EXPECT_EQ(ParseNcsaText(bad, options, r), LineResult::kSkip) << bad;
  }
}

TEST(NcsaParseTest, ZoneWrittenInTheLineCountsOnlyWithTheMachineZone) {
  const char* line = "192.0.2.7 - - [07/Jan/2007:13:05:09 -0500] \"GET / HTTP/1.0\" 200 1";
  CLogRecord r;
  // The machine runs at UTC+1 (offset -3600): 18:05:09 UTC is 19:05:09 there.
  LogParseOptions machine{-3600, 0, true};
  ASSERT_EQ(ParseNcsaText(line, machine, r), LineResult::kRecord);
  EXPECT_EQ(r.time, kJan7 + 19 * 3600 + 5 * 60 + 9);
  // A fixed site zone keeps the written time.
  LogParseOptions fixed{-3600, 0, false};
  ASSERT_EQ(ParseNcsaText(line, fixed, r), LineResult::kRecord);
  EXPECT_EQ(r.time, kJan7 + 14 * 3600 + 5 * 60 + 9);
  // Without a zone in the line the written time is the machine's own.
  ASSERT_EQ(ParseNcsaText("192.0.2.7 - - [07/Jan/2007:13:05:09] \"GET / HTTP/1.0\" 200 1",
                          machine, r),
            LineResult::kRecord);
  EXPECT_EQ(r.time, kJan7 + 14 * 3600 + 5 * 60 + 9);
}

TEST(ByteFieldTest, OnlyByteCountsAreKept) {
  struct Case {
    const char* text;
    std::int64_t value;
    int unread;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"  ", 0, 0},
      {"10432", 10432, 0},
      {"+7", 7, 0},
      {"9223372036854775807", INT64_MAX, 0},
      {"9223372036854775808", 0, 1},
      {"99999999999999999999", 0, 1},
      {"-1500", 0, 1},
      {"-9223372036854775809", 0, 1},
      {"lots", 0, 1},
  };
  for (const Case& c : cases) {
    CLogRecord r;
    EXPECT_EQ(r.ReadBytes(c.text), c.value) << c.text;
    EXPECT_EQ(r.unread_fields, c.unread) << c.text;
  }
  // Each reader counts its byte fields that way.
  LogParseOptions options;
  CLogRecord r;
  ASSERT_EQ(ParseIisBasicText("192.0.2.9, -, 1/7/07, 13:05:09, W3SVC1, WEB01, 198.51.100.1, 15, -1, "
                              "99999999999999999999, 200, 0, GET, /a.htm,",
                              options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.bytes_received, 0);
  EXPECT_EQ(r.bytes_sent, 0);
  EXPECT_EQ(r.unread_fields, 2);
}

TEST(IisBasicParseTest, FieldsAndDateOrders) {
  const char* line =
      "192.0.2.9, -, 1/7/07, 13:05:09, W3SVC1, WEB01, 198.51.100.1, 15, 310, 4520, 200, 0, GET, "
      "/docs/a page.htm, q=1,";
  LogParseOptions options;
  CLogRecord r;
  ASSERT_EQ(ParseIisBasicText(line, options, r), LineResult::kRecord);
  EXPECT_EQ(r.client_address, 0x090200C0u);
  EXPECT_EQ(r.user_name, "");
  EXPECT_EQ(r.time, kJan7 + 47109);
  EXPECT_EQ(r.computer_name, "WEB01");
  EXPECT_EQ(r.server_address, 0x016433C6u);
  EXPECT_EQ(r.time_taken, 15);
  EXPECT_EQ(r.bytes_received, 310);
  EXPECT_EQ(r.bytes_sent, 4520);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.uri_stem, "/docs/a page.htm");
  EXPECT_EQ(r.uri_query, "");

  options.date_order = 1;  // d/m/y: 1 July
  ASSERT_EQ(ParseIisBasicText(line, options, r), LineResult::kRecord);
  EXPECT_EQ(r.time, ComposeTime(2007, 7, 1, 13, 5, 9));
  options.date_order = 2;  // y/m/d: 2001-07-07
  ASSERT_EQ(ParseIisBasicText(line, options, r), LineResult::kRecord);
  EXPECT_EQ(r.time, ComposeTime(2001, 7, 7, 13, 5, 9));
  EXPECT_EQ(ParseIisBasicText("192.0.2.9, -, 1/7/07, 25:00:00, W3SVC1", options, r),
            LineResult::kSkip);
}

TEST(W3cReaderTest, DateDirectiveWithoutDateColumn) {
  FakeLogSite site;
  CW3cLogReader reader;
  reader.ParseW3cDirective(site, "#Software: Example Web Server 6.0");
  reader.ParseW3cDirective(site, "#Version: 1.0");
  reader.ParseW3cDirective(site, "#Date: 2007-01-07 00:00:00");
  reader.ParseW3cDirective(site, "#Fields: time c-ip cs-method cs-uri-stem sc-status");
  EXPECT_EQ(reader.software(), "Example Web Server 6.0");
  EXPECT_EQ(reader.version(), "1.0");
  ASSERT_TRUE(reader.fields_known());
  EXPECT_EQ(site.error_clears, 1);

  LogParseOptions options;
  options.zone_offset = -3600;
  CLogRecord r;
  ASSERT_EQ(reader.ParseDataLine("13:05:09 192.0.2.1 GET /index.htm 200", options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.time, kJan7 + 47109 + 3600);
  EXPECT_EQ(r.uri_stem, "/index.htm");
  EXPECT_FALSE(r.has_referrer);
}

TEST(W3cReaderTest, IncompleteFieldsReportEachMissingPart) {
  struct Case {
    const char* fields;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"date time c-ip cs-method", {"Log file is missing the URL field"}},
      {"cs-method",
       {"Log file is missing the Date field", "Log file is missing the Time field",
        "Log file is missing the IP field", "Log file is missing the URL field"}},
      {"DATE TIME C-IP CS-URI-STEM", {}},
  };
  for (const Case& c : cases) {
    FakeLogSite site;
    CW3cLogReader reader;
    reader.MapW3cFields(site, c.fields);
    EXPECT_EQ(site.errors, c.errors) << c.fields;
    EXPECT_EQ(reader.fields_known(), c.errors.empty()) << c.fields;
  }
}

TEST(W3cReaderTest, ValuesMapToColumns) {
  FakeLogSite site;
  CW3cLogReader reader;
  reader.MapW3cFields(site,
                      "date time s-sitename s-computername s-ip cs-method cs-uri-stem "
                      "cs-uri-query s-port cs-username c-ip cs-version cs(User-Agent) cs(Cookie) "
                      "cs(Referer) cs-host sc-status sc-win32-status sc-bytes cs-bytes time-taken "
                      "cs_protocol x-unknown");
  LogParseOptions options;
  CLogRecord r;
  const std::string user(80, 'u');
  std::string line = "2007-01-07 13:05:09 W3SVC1 WEB01 198.51.100.1 GET /a/b.asp id=3 80 " + user +
                     " 2001:db8::7 HTTP/1.1 Mozilla/5.0+(X11) c=1 http://example.org/ "
                     "www.example.com 404 2 5000000000 300 47 http extra more";
  ASSERT_EQ(reader.ParseDataLine(line, options, r), LineResult::kRecord);
  EXPECT_EQ(r.time, kJan7 + 47109);
  EXPECT_EQ(r.site_name, "W3SVC1");
  EXPECT_EQ(r.computer_name, "WEB01");
  EXPECT_EQ(r.server_address, 0x016433C6u);
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.uri_stem, "/a/b.asp");
  EXPECT_EQ(r.uri_query, "id=3");
  EXPECT_EQ(r.server_port, 80);
  EXPECT_EQ(r.user_name, user.substr(0, 59));
  EXPECT_TRUE(IsStandInAddress(r.client_address));
  EXPECT_EQ(r.client_name, "2001:db8::7");
  EXPECT_EQ(r.protocol_version, "HTTP/1.1");
  EXPECT_EQ(r.user_agent, "Mozilla/5.0+(X11)");
  EXPECT_EQ(r.referrer, "http://example.org/");
  EXPECT_EQ(r.host, "www.example.com");
  EXPECT_EQ(r.status, 404);
  EXPECT_EQ(r.win32_status, 2);
  EXPECT_EQ(r.bytes_sent, 5000000000);
  EXPECT_EQ(r.bytes_received, 300);
  EXPECT_EQ(r.time_taken, 47);
  EXPECT_EQ(r.protocol, "http");

  // Fewer values leave the rest empty; a dash leaves its field untouched.
  ASSERT_EQ(reader.ParseDataLine("2007-01-07 13:05:09 - - - GET /x", options, r),
            LineResult::kRecord);
  EXPECT_EQ(r.site_name, "");
  EXPECT_EQ(r.uri_stem, "/x");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(r.has_referrer);
}

TEST(W3cReaderTest, LinesWithoutUsableDateOrTimeAreSkipped) {
  FakeLogSite site;
  CW3cLogReader reader;
  reader.MapW3cFields(site, "date time c-ip cs-uri-stem");
  LogParseOptions options;
  CLogRecord r;
  for (const char* line : {"2007-13-07 13:05:09 192.0.2.1 /", "2007-01-07 25:05:09 192.0.2.1 /",
                           "- 13:05:09 192.0.2.1 /", "2007-01-07 - 192.0.2.1 /", "2007-01-07"}) {
    EXPECT_EQ(reader.ParseDataLine(line, options, r), LineResult::kSkip) << line;
  }
}

}  // namespace
}  // namespace tf
