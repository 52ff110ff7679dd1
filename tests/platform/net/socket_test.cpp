#include "platform/net/socket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

namespace tf::net {
namespace {

constexpr std::uint32_t kLoopback = 0x0100007F;  // 127.0.0.1
constexpr int kWaitMs = 10000;

// A connected pair on 127.0.0.1: `client` connected to `server`.
struct Pair {
  Socket listener, client, server;
  Pair() {
    EXPECT_EQ(Listen(listener, {kLoopback, 0}, 1), 0);
    Endpoint at;
    EXPECT_EQ(LocalEndpoint(listener, at), 0);
    EXPECT_EQ(Connect(client, at, kWaitMs), 0);
    EXPECT_EQ(Accept(listener, server, kWaitMs), 0);
  }
};

TEST(SocketTest, EndpointsOfAConnectionMatch) {
  Pair pair;
  Endpoint listening, peer;
  ASSERT_EQ(LocalEndpoint(pair.listener, listening), 0);
  ASSERT_EQ(PeerEndpoint(pair.client, peer), 0);
  EXPECT_EQ(peer.address, kLoopback);
  EXPECT_NE(listening.port, 0);
  EXPECT_EQ(peer.port, listening.port);
}

TEST(SocketTest, SendOfALargeBufferCompletes) {
  Pair pair;
  // Far more than the socket buffers hold, so sends are partial.
  std::string data(16 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 4096);
  std::string received;
  std::thread reader([&] {
    char block[65536];
    for (;;) {
      Transfer got = Receive(pair.server, block, sizeof block, kWaitMs);
      if (got.error != 0 || got.bytes == 0) break;
      received.append(block, got.bytes);
    }
  });
  Transfer sent = SendAll(pair.client, data);
  pair.client.Close();
  reader.join();
  EXPECT_EQ(sent.error, 0);
  EXPECT_EQ(sent.bytes, data.size());
  EXPECT_TRUE(received == data);
}

TEST(SocketTest, WaitsRunOutWithATimeout) {
  Pair pair;
  char byte;
  Transfer got = Receive(pair.server, &byte, 1, 50);
  EXPECT_EQ(got.error, ETIMEDOUT);
  EXPECT_EQ(got.bytes, 0u);
  Socket none;
  EXPECT_EQ(Accept(pair.listener, none, 50), ETIMEDOUT);
  EXPECT_FALSE(none.is_open());
}

TEST(SocketTest, AClosedPeerIsReportedNotSignalled) {
  Pair pair;
  pair.server.Close();
  char byte;
  Transfer got = Receive(pair.client, &byte, 1, kWaitMs);
  EXPECT_EQ(got.error, 0);
  EXPECT_EQ(got.bytes, 0u);  // end of stream
  // The first send may still be accepted by the system; a later one fails.
  // Without MSG_NOSIGNAL the process would die of SIGPIPE here.
  std::string block(64 * 1024, 'x');
  Transfer sent;
  for (int i = 0; i < 100 && sent.error == 0; ++i) sent = SendAll(pair.client, block);
  EXPECT_TRUE(sent.error == EPIPE || sent.error == ECONNRESET) << sent.error;
}

TEST(SocketTest, ConnectToAClosedPortIsRefused) {
  Endpoint at;
  {
    Socket listener;
    ASSERT_EQ(Listen(listener, {kLoopback, 0}, 1), 0);
    ASSERT_EQ(LocalEndpoint(listener, at), 0);
  }
  Socket client;
  EXPECT_EQ(Connect(client, at, kWaitMs), ECONNREFUSED);
  EXPECT_FALSE(client.is_open());
}

TEST(SocketTest, OwnerClosesOnceAndMovesOwnership) {
  Socket first;
  ASSERT_EQ(OpenStream(first), 0);
  const int descriptor = first.descriptor();
  Socket second(std::move(first));
  EXPECT_FALSE(first.is_open());
  EXPECT_EQ(second.descriptor(), descriptor);
  second.Close();
  second.Close();
  EXPECT_FALSE(second.is_open());
  EXPECT_EQ(second.Release(), -1);
}

TEST(SocketTest, DottedAddressText) {
  struct Case {
    const char* text;
    bool valid;
    std::uint32_t address;
  };
  const Case cases[] = {
      {"127.0.0.1", true, 0x0100007F},     {"255.255.255.255", true, 0xFFFFFFFF},
      {"0.0.0.0", true, 0},                {"10.020.3.4", true, 0x0403140A},
      {"256.1.1.1", false, 0},             {"1.2.3", false, 0},
      {"1.2.3.4.", false, 0},              {"1.2.3.4 ", false, 0},
      {"1..3.4", false, 0},                {"1.2.3.1234", false, 0},
      {"host.example", false, 0},          {"", false, 0},
      {"1.2.3.\xB4", false, 0},           {"1.2.3/4", false, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t address = 0xDEADBEEF;
    EXPECT_EQ(ParseIpv4(c.text, address), c.valid) << c.text;
    EXPECT_EQ(address, c.valid ? c.address : 0xDEADBEEF) << c.text;
  }
  EXPECT_EQ(FormatIpv4(0x0100007F), "127.0.0.1");
  EXPECT_EQ(FormatIpv4(0xFFFFFFFF), "255.255.255.255");
}

}  // namespace
}  // namespace tf::net
