// The console's content files as the build leaves them: the icons, the
// splash picture and the manual.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "support/test_support.h"

namespace {

std::uint32_t Le(const std::string& data, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  return v;
}

int AlphaAt(cairo_surface_t* surface, int x, int y) {
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  return reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] >> 24;
}

TEST(ContentFiles, IconsHaveEverySizeWithTransparentCorners) {
  for (int size : {TF_ICON_SIZES}) {
    SCOPED_TRACE(size);
    const std::string path =
        std::string(TF_ART_DIR) + "/icons/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/tallyfox.png";
    cairo_surface_t* icon = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(icon), CAIRO_STATUS_SUCCESS) << path;
    EXPECT_EQ(cairo_image_surface_get_width(icon), size);
    EXPECT_EQ(cairo_image_surface_get_height(icon), size);
    // Cairo reads a PNG without an alpha channel as RGB24.
    EXPECT_EQ(cairo_image_surface_get_format(icon), CAIRO_FORMAT_ARGB32);
    EXPECT_LT(AlphaAt(icon, 0, 0), 255);
    if (size >= 32) {
      EXPECT_EQ(AlphaAt(icon, 0, 0), 0);
    }
    EXPECT_EQ(AlphaAt(icon, size / 2, size / 2), 255);
    cairo_surface_destroy(icon);
  }
}

TEST(ContentFiles, SplashIsA24BitBmpOfItsSize) {
  const std::string bmp = tf::test::ReadFile(std::string(TF_ART_DIR) + "/SPLASH.BMP");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le(bmp, 18, 4), 439u);
  EXPECT_EQ(Le(bmp, 22, 4), 195u);
  EXPECT_EQ(Le(bmp, 28, 2), 24u);
  EXPECT_EQ(Le(bmp, 30, 4), 0u);  // uncompressed
  const std::size_t row = (3 * 439 + 3) & ~3u;
  EXPECT_EQ(bmp.size(), 54 + row * 195);
  EXPECT_EQ(Le(bmp, 2, 4), bmp.size());
  // A picture, not an empty canvas: many distinct colours from the gradient,
  // the mark and the anti-aliased text.
  std::set<std::uint32_t> colours;
  for (std::size_t at = 54; at + 3 <= bmp.size(); at += 3) colours.insert(Le(bmp, at, 3));
  EXPECT_GT(colours.size(), 100u);
}

TEST(ContentFiles, ManualHasItsPagesAndEveryChapter) {
  const std::string pdf = tf::test::ReadFile(TF_MANUAL_PDF);
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  int pages = 0;
  for (std::size_t at = 0; (at = pdf.find("/Type /Page", at)) != std::string::npos; at += 11)
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  EXPECT_GE(pages, 8);
  EXPECT_LE(pages, 12);
  // The chapters are the document outline, kept as plain PDF strings.
  for (const char* title :
       {"What Tallyfox does", "Installation and first start", "Sites and their settings", "Log files and formats",
        "The schedule", "Reports and their date ranges", "The service and the remote console",
        "The desktop report viewer", "Folder access and the chart test"}) {
    EXPECT_NE(pdf.find("/Title (" + std::string(title) + ")"), std::string::npos) << title;
  }
}

}  // namespace
