#include "engine/logs/client_address.h"

#include <arpa/inet.h>

#include <cstring>

#include "engine/common/address.h"
#include "engine/logs/log_record.h"

namespace tf {
namespace {

// FNV-1a, 32 bits: small, stable across runs and machines. Letters are
// folded to lower case when asked, as host names ignore case.
std::uint32_t Fnv1a(const unsigned char* data, size_t size, bool fold_case) {
  std::uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = data[i];
    if (fold_case && c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

// 28 bits of the hash spread over the block: first number 240-255.
std::uint32_t StandInKey(std::uint32_t hash) {
  std::uint32_t first = 0xF0u | (hash & 0x0Fu);
  return first | ((hash >> 4) << 8);
}

bool LooksLikeIpv6(std::string_view text) { return text.find(':') != std::string_view::npos; }

}  // namespace

std::uint32_t ClientAddressFromText(std::string_view text, std::string& name) {
  name.clear();
  if (text.empty()) return 0;
  std::uint32_t v4 = 0;
  if (ReadDottedAddress(text, v4)) return v4;

  if (LooksLikeIpv6(text) && text.size() < 64) {
    char buffer[64];
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    // A zone index (%eth0) names the link, not the client.
    if (char* zone = std::strchr(buffer, '%')) *zone = '\0';
    unsigned char bytes[16];
    if (inet_pton(AF_INET6, buffer, bytes) == 1) {
      static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
      if (std::memcmp(bytes, kMapped, 12) == 0) {
        return bytes[12] | (bytes[13] << 8) | (bytes[14] << 16) |
               (static_cast<std::uint32_t>(bytes[15]) << 24);
      }
      AssignCut(name, text, LogFieldLimits::kClientName);
      return StandInKey(Fnv1a(bytes, sizeof bytes, false));
    }
  }

  AssignCut(name, text, LogFieldLimits::kClientName);
  return StandInKey(Fnv1a(reinterpret_cast<const unsigned char*>(text.data()), text.size(), true));
}

}  // namespace tf
