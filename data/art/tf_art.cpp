// Build-time tool: writes the program icon at one size as a PNG with
// transparency ("icon SIZE FILE") or the splash picture as a 24-bit BMP
// ("splash FILE"). Any failure ends with status 1 so that the build stops.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "chart/picture_writer.h"
#include "data/art/cairo_handles.h"
#include "data/art/mark.h"
#include "platform/draw/device_context.h"

namespace {

int WriteIcon(int size, const char* file_name) {
  tf::art::SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
  tf::art::ContextPtr cr(cairo_create(surface.get()));
  tf::art::DrawIcon(cr.get(), size);
  return cairo_surface_write_to_png(surface.get(), file_name) == CAIRO_STATUS_SUCCESS ? 0 : 1;
}

int WriteSplash(const char* file_name) {
  constexpr int kWidth = 439, kHeight = 195;
  tf::draw::DeviceContext picture(kWidth, kHeight);
  if (!picture.ok()) return 1;
  tf::art::DrawSplash(picture.cairo(), kWidth, kHeight);
  return tf::chart::WriteBmp(picture, file_name) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  int status = 1;
  if (what == "icon" && argc == 4) status = WriteIcon(std::atoi(argv[2]), argv[3]);
  else if (what == "splash" && argc == 3) status = WriteSplash(argv[2]);
  else std::fprintf(stderr, "usage: tf_art icon SIZE FILE | tf_art splash FILE\n");
  if (status != 0) std::fprintf(stderr, "tf_art: could not write the picture\n");
  return status;
}
