#include "engine/common/scrambler.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/common/text.h"

namespace tf {
namespace {

TEST(ScramblerTest, KnownValues) {
  std::string abc = "abc";
  ScrambleBytes(abc.data(), abc.size());
  EXPECT_EQ(BytesToHex(abc), "70FAD4");

  // One byte is only masked: the first mask value for n = 1 is 5*1+3.
  std::string one = "A";
  ScrambleBytes(one.data(), 1);
  EXPECT_EQ(static_cast<unsigned char>(one[0]), 'A' ^ 8);

  std::string empty;
  ScrambleBytes(empty.data(), 0);
  UnscrambleBytes(empty.data(), 0);
  EXPECT_EQ(BytesToHex(empty), "");
}

TEST(ScramblerTest, RoundTripsEveryLengthAndByte) {
  std::mt19937 random(1128);
  for (std::size_t n = 1; n <= 130; ++n) {
    for (int trial = 0; trial < 4; ++trial) {
      std::string plain(n, '\0');
      for (char& c : plain) c = static_cast<char>(trial == 0 ? 0xFF - n % 2 : random() % 256);
      std::string bytes = plain;
      ScrambleBytes(bytes.data(), n);
      if (n > 1) {
        EXPECT_NE(bytes, plain) << n;
      }
      UnscrambleBytes(bytes.data(), n);
      ASSERT_EQ(bytes, plain) << "length " << n << " trial " << trial;
    }
  }
}

TEST(ScramblerTest, GeneratorDrawsBelowItsRangeInAFullCycle) {
  StreamGenerator g{16, 11, 5, 3, 11};
  std::string seen(11, '.');
  for (int i = 0; i < 11; ++i) {
    std::uint32_t v = NextStreamValue(g);
    ASSERT_LT(v, 11u);
    seen[v] = 'x';
  }
  EXPECT_EQ(seen, std::string(11, 'x'));
}

}  // namespace
}  // namespace tf
