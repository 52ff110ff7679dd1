#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "chart/chart_canvas.h"
#include "chart/picture_writer.h"

namespace tf::chart {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

int WriteBmp(const draw::DeviceContext& picture, const std::string& file_name) {
  PictureFile file = OpenPictureFile(file_name);
  if (!file) return kCannotOpen;
  const int width = picture.width(), height = picture.height();
  const int row_length = draw::DeviceContext::PaddedRowLength(width);

  std::vector<std::uint8_t> header;
  header.push_back('B');
  header.push_back('M');
  Put32(header, static_cast<std::uint32_t>(row_length) * height + 54);
  Put16(header, 0);
  Put16(header, 0);
  Put32(header, 54);
  Put32(header, 40);
  Put32(header, width);
  Put32(header, height);
  Put16(header, 1);
  Put16(header, 24);
  Put32(header, 0);                            // uncompressed
  for (int i = 0; i < 5; ++i) Put32(header, 0);  // size, resolutions, colours
  std::fwrite(header.data(), 1, header.size(), file.get());

  std::vector<std::uint8_t> row(row_length);
  for (int line = 0; line < height; ++line) {
    picture.ReadScanLine(line, row.data());
    std::fwrite(row.data(), 1, row.size(), file.get());
  }
  return kOk;
}

}  // namespace tf::chart
