// CRC-32 over the reflected polynomial 0xEDB88320, started at 0xFFFFFFFF and
// returned without the final inversion: the complement of the usual CRC-32
// ("abc" gives 0xCADBBE3D). The service's logon check depends on exactly
// this value.
#pragma once

#include <cstdint>
#include <string_view>

namespace tf {

// No bytes give 0xFFFFFFFF.
std::uint32_t Crc32(std::string_view data);

}  // namespace tf
