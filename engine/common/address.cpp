#include "engine/common/address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/common/text.h"
#include "platform/net/socket.h"

namespace tf {

namespace {

in_addr ToInAddr(std::uint32_t address) {
  unsigned char bytes[4] = {static_cast<unsigned char>(address), static_cast<unsigned char>(address >> 8),
                            static_cast<unsigned char>(address >> 16),
                            static_cast<unsigned char>(address >> 24)};
  in_addr result;
  std::memcpy(&result.s_addr, bytes, 4);
  return result;
}

std::uint32_t FromInAddr(const in_addr& in) {
  unsigned char bytes[4];
  std::memcpy(bytes, &in.s_addr, 4);
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

class SystemResolver : public NameResolver {
 public:
  bool LocalHostName(std::string& name) override {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return false;
    name = buffer;
    return true;
  }

  bool LookupHost(const std::string& host, std::uint32_t& address) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    address = FromInAddr(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
    freeaddrinfo(found);
    return true;
  }

  bool LookupAddress(std::uint32_t address, std::string& name) override {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr = ToInAddr(address);
    char host[NI_MAXHOST];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&in), sizeof in, host, sizeof host, nullptr,
                    0, NI_NAMEREQD) != 0) {
      return false;
    }
    name = host;
    return true;
  }

  void PauseAfterFailure() override { std::this_thread::sleep_for(std::chrono::seconds(1)); }
};

SystemResolver system_resolver;
std::atomic<NameResolver*> installed{nullptr};

NameResolver& Resolver() {
  NameResolver* resolver = installed.load();
  return resolver != nullptr ? *resolver : system_resolver;
}

}  // namespace

bool ReadDottedAddress(std::string_view text, std::uint32_t& address) {
  return net::ParseIpv4(text, address);
}

std::uint32_t ParseDottedAddress(std::string_view text) {
  std::uint32_t address = 0;
  return ReadDottedAddress(text, address) ? address : 0;
}

std::uint32_t HostToAddress(std::string_view text) {
  NameResolver& resolver = Resolver();
  std::uint32_t address = 0;
  if (text.size() == 5 && FindCaseless(text, "local") == 0) {
    std::string name;
    if (!resolver.LocalHostName(name) || !resolver.LookupHost(name, address)) return 0;
    return address;
  }
  if (ReadDottedAddress(text, address)) return address;
  std::string host(text);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (resolver.LookupHost(host, address)) return address;
    resolver.PauseAfterFailure();
  }
  return 0;
}

bool AddressToName(std::uint32_t address, std::string& out, std::size_t size) {
  out.clear();
  std::string name;
  if (!Resolver().LookupAddress(address, name)) return false;
  SafeCopy(out, name, size);
  return true;
}

std::string AddressToText(std::uint32_t address) { return net::FormatIpv4(address); }

NameResolver* SetNameResolver(NameResolver* resolver) {
  NameResolver* previous = installed.exchange(resolver);
  return previous;
}

}  // namespace tf
