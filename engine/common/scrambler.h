// The credential scrambler: hides the remote logon name and password stored
// in the projects database and carried in logon records. Keyless and exactly
// reversible: the result depends only on the bytes and their number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tf {

// A linear congruential sequence: drawing repeats value = (multiplier *
// value + increment) mod modulus until value < range. The modulus is a power
// of two.
struct StreamGenerator {
  std::uint32_t modulus;
  std::uint32_t range;
  std::uint32_t multiplier;
  std::uint32_t increment;
  std::uint32_t value;
};

std::uint32_t NextStreamValue(StreamGenerator& generator);

// In place over n bytes; nothing happens for n of 0. Every call uses its own
// generators, so calls may run on several threads at once.
void ScrambleBytes(void* bytes, std::size_t n);
void UnscrambleBytes(void* bytes, std::size_t n);

}  // namespace tf
