#include <png.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "chart/chart_canvas.h"
#include "chart/picture_writer.h"

namespace tf::chart {
namespace {

char kTitleKey[] = "Title";
char kAuthorKey[] = "Author";
char kDescriptionKey[] = "Description";
char kMaker[] = "Pictoloom";
char kDescription[] = "Chart drawn by the Pictoloom graphics library";

// Only plain data lives in this frame, so the library's jump back on an
// error skips no destructor.
int Encode(std::FILE* file, const draw::DeviceContext& picture, std::uint8_t* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return kPngError;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return kPngError;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return kPngError;
  }
  png_init_io(png, file);
  const int width = picture.width(), height = picture.height();
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color_8 significant{};
  significant.red = significant.green = significant.blue = 8;
  png_set_sBIT(png, info, &significant);
  png_text texts[3] = {};
  texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
  texts[0].key = kTitleKey;
  texts[0].text = kMaker;
  texts[1].compression = PNG_TEXT_COMPRESSION_NONE;
  texts[1].key = kAuthorKey;
  texts[1].text = kMaker;
  texts[2].compression = PNG_TEXT_COMPRESSION_zTXt;
  texts[2].key = kDescriptionKey;
  texts[2].text = kDescription;
  png_set_text(png, info, texts, 3);
  png_write_info(png, info);
  for (int i = 0; i < height; ++i) {
    picture.ReadScanLine(height - 1 - i, row);
    for (int x = 0; x < width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return kOk;
}

}  // namespace

int WritePng(const draw::DeviceContext& picture, const std::string& file_name) {
  PictureFile file = OpenPictureFile(file_name);
  if (!file) return kCannotOpen;
  std::vector<std::uint8_t> row(draw::DeviceContext::PaddedRowLength(picture.width()));
  return Encode(file.get(), picture, row.data());
}

}  // namespace tf::chart
