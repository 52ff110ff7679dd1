// What the translation makes of a host name: the provider's domain instead
// of a host name built from the client's address, and the top-level label
// that the region statistics count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tf {

// Cuts a name that spells the address ("a.b.c.d" or "a-b-c-d") down to what
// follows it, less leading labels such as "dsl." or "client.": the
// provider's domain. Any other name stays.
void TrimDomainName(std::uint32_t address, std::string& name);

// The label after the name's last '.', cut to 5 bytes and lower-cased.
// Empty for a name without '.', or a label that is empty or all digits.
std::string RegionLabel(std::string_view name);

}  // namespace tf
