// A site with its database open and the run's visitor, session and path
// tables set up, at 10:00 on 7 Jan 2007, for tests that drive the sessions
// by direct calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/site/item_category.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
#include "engine/visits/click_paths.h"
#include "engine/visits/sessions.h"
#include "engine/visits/visitors.h"
#include "statistics_site.h"

namespace tf::test {

// An NCSA combined line of 100 bytes from the given client.
inline std::string LineOf(const std::string& client, const std::string& time,
                          const std::string& path, const std::string& referrer = "-") {
  std::string line = NcsaLine(time, path, 100, referrer);
  return client + line.substr(line.find(' '));
}

class SessionSiteTest : public testing::Test {
 protected:
  static constexpr std::uint32_t kClient = 0x010200C0;  // 192.0.2.1

  void SetUp() override {
    ASSERT_TRUE(site().OpenSiteDatabase());
    InitPathTable(site());
    InitVisitorTable(site());
    site().run.current_hour = Start();
    site().run.current_day = ComposeTime(2007, 1, 7, 0, 0, 0);
  }
  void TearDown() override {
    ReleaseAll(site());
    ReleasePaths(site());
    site().CloseSiteDatabase();
  }

  CSite& site() { return shop_.site(); }
  static TimeValue Start() { return ComposeTime(2007, 1, 7, 10, 0, 0); }

  // A page item; names ending in ".gif" are images.
  CTextItem* Page(const std::string& name) {
    bool image = name.size() > 4 && name.compare(name.size() - 4, 4, ".gif") == 0;
    return FindTextItem(site(), image ? kCategoryImage : kCategoryWebPage, name);
  }
  // A hit `seconds` after the start.
  void Hit(std::uint32_t client, double seconds, const std::string& page,
           const ReferrerInfo& referrer = {}) {
    NewSession(site(), "Mozilla/5.0", client, "", Page(page), Start() + seconds, 100, referrer);
  }

  StatisticsSite shop_;
};

}  // namespace tf::test
