#include "engine/common/scrambler.h"

#include <utility>

namespace tf {

namespace {

constexpr std::uint32_t kIncrement = 3;
constexpr std::uint32_t kMultiplier = 5;

// Smallest power of two that is at least n, and at least 2.
std::uint32_t PowerOfTwoFor(std::size_t n) {
  std::uint32_t p = 2;
  while (p < n) p <<= 1;
  return p;
}

// Sum of the bytes taken as signed, wrapping.
std::uint32_t ByteSum(const unsigned char* b, std::size_t n) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += static_cast<std::uint32_t>(static_cast<signed char>(b[i]));
  return sum;
}

// Visits the n positions once, in an order keyed by the byte sum.
StreamGenerator ShuffleGenerator(std::uint32_t sum, std::size_t n) {
  std::uint32_t p = PowerOfTwoFor(n);
  return {p, static_cast<std::uint32_t>(n), (sum & ~3u) + 1, kIncrement, sum & (p - 1)};
}

void Mask(unsigned char* b, std::size_t n) {
  StreamGenerator g{256, 256, kMultiplier, kIncrement, static_cast<std::uint32_t>(n & 0xFF)};
  for (std::size_t i = 0; i < n; ++i) b[i] ^= static_cast<unsigned char>(NextStreamValue(g));
}

// Draws floor(n/2) disjoint pairs (i, j) with a rotation k and hands each
// pair's 16-bit value b[j]:b[i] to turn, which returns the new value.
template <typename Turn>
void RotatePairs(unsigned char* b, std::size_t n, Turn turn) {
  std::uint32_t p = PowerOfTwoFor(n);
  StreamGenerator g0{p, static_cast<std::uint32_t>(n), kMultiplier, kIncrement,
                     static_cast<std::uint32_t>(n) & (p - 1)};
  StreamGenerator g1{8, 8, 9, 7, 3};
  for (std::size_t pair = 0; pair < n / 2; ++pair) {
    std::uint32_t i = NextStreamValue(g0);
    std::uint32_t j = NextStreamValue(g0);
    unsigned k = NextStreamValue(g1);
    std::uint16_t v = static_cast<std::uint16_t>(b[j] << 8 | b[i]);
    v = turn(v, k);
    b[i] = v & 0xFF;
    b[j] = v >> 8;
  }
}

std::uint16_t RotateLeft16(std::uint16_t v, unsigned k) {
  return static_cast<std::uint16_t>(v << k | v >> ((16 - k) & 15));
}

std::uint16_t RotateRight16(std::uint16_t v, unsigned k) {
  return static_cast<std::uint16_t>(v >> k | v << ((16 - k) & 15));
}

}  // namespace

std::uint32_t NextStreamValue(StreamGenerator& g) {
  if (g.range == 0) return 0;  // no value could ever be drawn
  do {
    g.value = (g.multiplier * g.value + g.increment) & (g.modulus - 1);
  } while (g.value >= g.range);
  return g.value;
}

void ScrambleBytes(void* bytes, std::size_t n) {
  if (n == 0) return;
  auto* b = static_cast<unsigned char*>(bytes);
  // Each byte moves one step forward along the generator's cycle.
  StreamGenerator g = ShuffleGenerator(ByteSum(b, n), n);
  unsigned char carried = b[NextStreamValue(g)];
  for (std::size_t step = 0; step < n; ++step) std::swap(carried, b[NextStreamValue(g)]);

  Mask(b, n);
  RotatePairs(b, n, RotateLeft16);
}

void UnscrambleBytes(void* bytes, std::size_t n) {
  if (n == 0) return;
  auto* b = static_cast<unsigned char*>(bytes);
  RotatePairs(b, n, RotateRight16);
  Mask(b, n);

  // The shuffle only permuted, so the byte sum is the one it was keyed by.
  StreamGenerator g = ShuffleGenerator(ByteSum(b, n), n);
  std::uint32_t at = NextStreamValue(g);
  unsigned char first = b[at];
  for (std::size_t step = 1; step < n; ++step) {
    std::uint32_t next = NextStreamValue(g);
    b[at] = b[next];
    at = next;
  }
  b[at] = first;
}

}  // namespace tf
