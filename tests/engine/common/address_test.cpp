#include "engine/common/address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tf {
namespace {

// Answers from a table and records what was asked, so no test waits on a
// name server.
class TableResolver : public NameResolver {
 public:
  bool LocalHostName(std::string& name) override {
    name = "thishost";
    return true;
  }
  bool LookupHost(const std::string& host, std::uint32_t& address) override {
    asked.push_back(host);
    if (host == "thishost" || host == "10.0.0") {
      address = 0x0100007F;
      return true;
    }
    return false;
  }
  bool LookupAddress(std::uint32_t address, std::string& name) override {
    if (address != 0x0100007F) return false;
    name = "loopback.example.invalid";
    return true;
  }
  void PauseAfterFailure() override { ++pauses; }

  std::vector<std::string> asked;
  int pauses = 0;
};

class AddressTest : public ::testing::Test {
 protected:
  void SetUp() override { SetNameResolver(&resolver_); }
  void TearDown() override { SetNameResolver(nullptr); }
  TableResolver resolver_;
};

TEST_F(AddressTest, DottedText) {
  struct Case {
    const char* text;
    std::uint32_t address;
  };
  const Case cases[] = {
      {"10.0.0.1", 0x0100000A},   {"192.168.1.254", 0xFE01A8C0}, {"0.0.0.0", 0},
      {"255.255.255.255", 0xFFFFFFFF}, {"10.0.0", 0},           {"10.0.0.1.5", 0},
      {"256.1.1.1", 0},           {"www.example.com", 0},        {"1.2.3.4 ", 0},
      {"", 0},                    {"-1.2.3.4", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDottedAddress(c.text), c.address) << c.text;
  EXPECT_EQ(AddressToText(0x0100000A), "10.0.0.1");
  EXPECT_EQ(AddressToText(0xFE01A8C0), "192.168.1.254");
}

TEST_F(AddressTest, HostToAddressUsesTheNameServiceOnlyForNames) {
  EXPECT_EQ(HostToAddress("10.0.0.1"), 0x0100000Au);
  EXPECT_TRUE(resolver_.asked.empty());

  EXPECT_EQ(HostToAddress("10.0.0"), 0x0100007Fu);
  EXPECT_EQ(resolver_.asked, std::vector<std::string>{"10.0.0"});

  resolver_.asked.clear();
  EXPECT_EQ(HostToAddress("LoCaL"), 0x0100007Fu);
  EXPECT_EQ(resolver_.asked, std::vector<std::string>{"thishost"});

  resolver_.asked.clear();
  EXPECT_EQ(HostToAddress("nowhere.invalid"), 0u);
  EXPECT_EQ(resolver_.asked.size(), 2u);  // tried twice
  EXPECT_EQ(resolver_.pauses, 2);
}

TEST_F(AddressTest, AddressToNameCutsTheName) {
  std::string name;
  EXPECT_TRUE(AddressToName(0x0100007F, name, 100));
  EXPECT_EQ(name, "loopback.example.invalid");
  EXPECT_TRUE(AddressToName(0x0100007F, name, 9));
  EXPECT_EQ(name, "loopback");
  EXPECT_FALSE(AddressToName(0x0200007F, name, 100));
  EXPECT_EQ(name, "");
}

TEST(SystemResolverTest, LoopbackNeedsNoNameServer) {
  std::string name;
  EXPECT_EQ(HostToAddress("127.0.0.1"), 0x0100007Fu);
  // /etc/hosts answers for the loopback address.
  if (AddressToName(0x0100007F, name, 100)) {
    EXPECT_FALSE(name.empty());
  }
}

}  // namespace
}  // namespace tf
