// Picture files of a finished chart: each writer reads the picture one
// scan line at a time and returns 0, or 5 when the file cannot be opened,
// 6 for a compressor error, 7 for a PNG library error.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/draw/device_context.h"

namespace tf::chart {

// 24-bit uncompressed, rows bottom-up and padded to four bytes.
int WriteBmp(const draw::DeviceContext& picture, const std::string& file_name);
// Baseline, quality 100, floating-point DCT.
int WriteJpeg(const draw::DeviceContext& picture, const std::string& file_name);
// 8-bit RGB with significant bits and the title, author and description texts.
int WritePng(const draw::DeviceContext& picture, const std::string& file_name);

// The writers' open file, closed when it goes away.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using PictureFile = std::unique_ptr<std::FILE, FileCloser>;
inline PictureFile OpenPictureFile(const std::string& file_name) {
  return PictureFile(std::fopen(file_name.c_str(), "wb"));
}

}  // namespace tf::chart
