// Guid: the 128-bit identifiers of component classes, interfaces and type
// libraries, and their registry text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tf::com {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend constexpr bool operator==(const Guid&, const Guid&) = default;
  constexpr bool is_null() const { return *this == Guid{}; }

  // Reads the braced form, hexadecimal digits in either case. Usable in
  // constant expressions: `constexpr Guid kId = Guid::Parse("{...}").value();`
  // fails to compile on a malformed text.
  static constexpr std::optional<Guid> Parse(std::string_view text);
  // The braced form with upper-case digits.
  std::string ToString() const;
};

using IID = Guid;
using CLSID = Guid;

constexpr std::optional<Guid> Guid::Parse(std::string_view text) {
  // Positions of the dashes within the braces, and the value's bytes in
  // order of appearance: 4 + 2 + 2 + 2 + 6.
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return std::nullopt;
  std::uint8_t bytes[16] = {};
  int count = 0;
  for (std::size_t i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24) continue;
    char c = text[i];
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return std::nullopt;
    bytes[count / 2] = static_cast<std::uint8_t>(bytes[count / 2] * 16 + digit);
    ++count;
  }
  Guid guid;
  guid.data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
               (std::uint32_t{bytes[2]} << 8) | bytes[3];
  guid.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) guid.data4[i] = bytes[8 + i];
  return guid;
}

}  // namespace tf::com
