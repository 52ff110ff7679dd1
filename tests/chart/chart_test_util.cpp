#include "tests/chart/chart_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tf::chart::test {

namespace {
std::uint32_t Read32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
}  // namespace

Bitmap ReadBitmap(const std::string& path) {
  std::string data = tf::test::ReadFile(path);
  Bitmap bitmap;
  if (data.size() < 54 || data.substr(0, 2) != "BM") {
    ADD_FAILURE() << "not a BMP file: " << path;
    return bitmap;
  }
  bitmap.width = static_cast<int>(Read32(data, 18));
  bitmap.height = static_cast<int>(Read32(data, 22));
  bitmap.bytes.assign(data.begin() + 54, data.end());
  return bitmap;
}

Color Bitmap::At(int x, int y) const {
  const std::size_t row = draw::DeviceContext::PaddedRowLength(width);
  const std::size_t at = y * row + 3 * x;
  if (x < 0 || y < 0 || x >= width || y >= height || at + 2 >= bytes.size()) return draw::kInvalidColor;
  return draw::Rgb(bytes[at + 2], bytes[at + 1], bytes[at]);
}

int Bitmap::Count(Color colour) const {
  int count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) count += At(x, y) == colour;
  return count;
}

std::vector<int> Bitmap::Box(Color colour) const {
  std::vector<int> box{-1, -1, -1, -1};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (At(x, y) != colour) continue;
      if (box[0] < 0) box = {x, y, x, y};
      box[0] = std::min(box[0], x);
      box[1] = std::min(box[1], y);
      box[2] = std::max(box[2], x);
      box[3] = std::max(box[3], y);
    }
  return box;
}

}  // namespace tf::chart::test
