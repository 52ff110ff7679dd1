#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "chart/chart_canvas.h"
#include "chart/picture_writer.h"

namespace tf::chart {
namespace {

struct ErrorManager {
  jpeg_error_mgr standard;
  std::jmp_buf jump;
};

void JumpBack(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

// Only plain data lives in this frame, so the jump back from the library's
// error exit skips no destructor.
int Compress(std::FILE* file, const draw::DeviceContext& picture, std::uint8_t* row) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.standard);
  errors.standard.error_exit = JumpBack;
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return kJpegError;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = picture.width();
  info.image_height = picture.height();
  info.input_components = 3;
  // The picture rows are blue, green, red.
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  info.dct_method = JDCT_FLOAT;
  jpeg_start_compress(&info, TRUE);
  const int height = picture.height();
  for (int i = 0; i < height; ++i) {
    picture.ReadScanLine(height - 1 - i, row);
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return kOk;
}

}  // namespace

int WriteJpeg(const draw::DeviceContext& picture, const std::string& file_name) {
  PictureFile file = OpenPictureFile(file_name);
  if (!file) return kCannotOpen;
  std::vector<std::uint8_t> row(draw::DeviceContext::PaddedRowLength(picture.width()));
  return Compress(file.get(), picture, row.data());
}

}  // namespace tf::chart
