// Client addresses of log lines. Dotted IPv4 text becomes the address
// itself. Anything else that names a client (an IPv6 address, a host name)
// gets a stable stand-in key inside 240.0.0.0/4, a block that is never
// assigned to hosts: the translation threads recognise such a key, never
// look it up, and take the text kept with the record as the visitor's
// domain name instead. Without the key these visitors would all read as
// address 0, which the run does not analyse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tf {

// True for keys of the 240.0.0.0/4 block (first number 240-255).
inline bool IsStandInAddress(std::uint32_t address) { return (address & 0xF0u) == 0xF0u; }

// The record's client address for a token of a log line. Dotted IPv4 and
// IPv4-mapped IPv6 (::ffff:a.b.c.d) give the IPv4 address and leave `name`
// empty. Other IPv6 text is keyed on its 16 bytes, so every spelling of one
// address gets one key; a host name is keyed on its lower-case text. Either
// way `name` receives the text as written (cut to 99 bytes). An empty token
// gives 0.
std::uint32_t ClientAddressFromText(std::string_view text, std::string& name);

}  // namespace tf
