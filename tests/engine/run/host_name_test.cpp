#include "engine/common/host_name.h"

#include <gtest/gtest.h>

namespace tf {
namespace {

TEST(HostNameTest, NormalizeHost) {
  struct Case {
    const char* host;
    const char* normalized;
    bool removed;
  };
  const Case cases[] = {
      {"WWW.Example.COM", "example.com", true},
      {"www.www.example.com", "example.com", true},
      {"www.com", "www.com", false},
      {"..search.example.com/", "example.com", true},
      {"search.com", "search.com", false},  // one label would remain
      {"partner.search.example.com", "example.com", true},
      {"www2.example.com", "example.com", true},
      {"web01.example.com", "example.com", true},
      {"mp3.example.com", "mp3.example.com", false},
      {"x1.com", "x1.com", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    std::string host = c.host;
    EXPECT_EQ(NormalizeHost(host), c.removed) << c.host;
    EXPECT_EQ(host, c.normalized) << c.host;
  }
}

}  // namespace
}  // namespace tf
