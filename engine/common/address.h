// IPv4 addresses and host names. An address is a u32 holding the four
// numbers with the first in the lowest byte, which puts them in network order
// in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf {

// The four numbers of "a.b.c.d" (each 0 to 255, decimal digits only); 0 for
// any other text, such as a host name in a log's address field.
std::uint32_t ParseDottedAddress(std::string_view text);
// The same reading for callers that must tell "0.0.0.0" from other text:
// false, with address untouched, for anything but four such numbers.
bool ReadDottedAddress(std::string_view text, std::uint32_t& address);

// "local" (any case): the first address of this machine's own name. Dotted
// text without letters: that address. Anything else: the first address the
// name service gives, tried twice with a pause after each failure. 0 when
// nothing is found.
std::uint32_t HostToAddress(std::string_view text);

// Reverse lookup; the name is cut to size - 1 bytes. False when the name
// service knows no name for the address.
bool AddressToName(std::uint32_t address, std::string& out, std::size_t size);

// "a.b.c.d", lowest byte first.
std::string AddressToText(std::uint32_t address);

// The name service behind HostToAddress and AddressToName. Tests and tools
// that must not wait on a real name server install their own.
class NameResolver {
 public:
  virtual ~NameResolver() = default;
  virtual bool LocalHostName(std::string& name) = 0;
  // The first IPv4 address of the host.
  virtual bool LookupHost(const std::string& host, std::uint32_t& address) = 0;
  virtual bool LookupAddress(std::uint32_t address, std::string& name) = 0;
  // Between tries of a forward lookup.
  virtual void PauseAfterFailure() = 0;
};

// Installs a resolver (nullptr restores the system's) and returns the one it
// replaces, or nullptr for the system's. The resolver must outlive its use.
NameResolver* SetNameResolver(NameResolver* resolver);

}  // namespace tf
