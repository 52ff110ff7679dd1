#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <filesystem>

#include "chart/chart_canvas.h"
#include "chart/picture_writer.h"
#include "tests/chart/chart_test_util.h"

namespace tf::chart::test {
namespace {

constexpr Color kRed = draw::Rgb(255, 0, 0);

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

std::uint32_t Be32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

class PictureWriterTest : public testing::Test {
 protected:
  // A picture of the size, filled with the colour, written as the type.
  std::string Write(int type, int width, int height, Color fill, const char* name) {
    ChartCanvas canvas;
    EXPECT_EQ(canvas.Create(dir_.File(name), type, width, height), kOk);
    canvas.SetBackgroundColor(fill);
    EXPECT_EQ(canvas.WritePicture(), kOk);
    return tf::test::ReadFile(dir_.File(name));
  }
  tf::test::TempDir dir_;
};

TEST_F(PictureWriterTest, BmpLayout) {
  std::string bmp = Write(kBmp, 10, 10, kRed, "a.bmp");
  ASSERT_EQ(bmp.size(), 374u);  // 54 + 10 rows of 30 bytes padded to 32
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 2), 374u);
  EXPECT_EQ(Le32(bmp, 6), 0u);
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(Le32(bmp, 14), 40u);
  EXPECT_EQ(Le32(bmp, 18), 10u);
  EXPECT_EQ(Le32(bmp, 22), 10u);  // positive: rows bottom-up
  EXPECT_EQ(Le32(bmp, 26), 1u | 24u << 16);
  EXPECT_EQ(Le32(bmp, 30), 0u);
  EXPECT_EQ(bmp.substr(54, 6), std::string("\0\0\xFF\0\0\xFF", 6));
  EXPECT_EQ(bmp.substr(84, 2), std::string("\0\0", 2));  // row padding

  std::string wide = Write(kBmp, 12, 10, kRed, "b.bmp");
  EXPECT_EQ(wide.size(), 54u + 36u * 10u);
}

TEST_F(PictureWriterTest, PngChunksAndPixels) {
  std::string png = Write(kPng, 10, 10, kRed, "a.png");
  ASSERT_EQ(png.substr(1, 3), "PNG");
  std::vector<std::string> chunks;
  for (std::size_t at = 8; at + 8 <= png.size();) {
    std::uint32_t length = Be32(png, at);
    std::string type = png.substr(at + 4, 4);
    std::string key = png.substr(at + 8, std::min<std::size_t>(length, 11));
    key = key.substr(0, key.find('\0'));
    chunks.push_back(type == "tEXt" || type == "zTXt" ? type + " " + key : type);
    at += 12 + length;
  }
  ASSERT_GE(chunks.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(chunks.begin(), chunks.begin() + 6),
            (std::vector<std::string>{"IHDR", "sBIT", "tEXt Title", "tEXt Author",
                                      "zTXt Description", "IDAT"}));
  EXPECT_EQ(chunks.back(), "IEND");
  EXPECT_EQ(png[8 + 8 + 8], 8);  // bit depth
  EXPECT_EQ(png[8 + 8 + 9], 2);  // RGB

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, dir_.File("a.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(pixels[0], 0xFF);
  EXPECT_EQ(pixels[1], 0x00);
  EXPECT_EQ(pixels[2], 0x00);
}

TEST_F(PictureWriterTest, JpegIsBaselineWithUnitQuantisation) {
  std::string jpeg = Write(kJpeg, 16, 16, kRed, "a.jpg");
  ASSERT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  int tables = 0;
  bool baseline = false;
  for (std::size_t at = 2; at + 4 <= jpeg.size();) {
    ASSERT_EQ(static_cast<std::uint8_t>(jpeg[at]), 0xFF);
    std::uint8_t marker = jpeg[at + 1];
    std::size_t length = static_cast<std::uint8_t>(jpeg[at + 2]) << 8 | static_cast<std::uint8_t>(jpeg[at + 3]);
    if (marker == 0xC0) baseline = true;
    if (marker == 0xDB) {
      for (std::size_t t = at + 4; t < at + 2 + length; t += 65) {
        ASSERT_EQ(jpeg[t] & 0xF0, 0) << "8-bit table";
        for (int i = 1; i <= 64; ++i) ASSERT_EQ(jpeg[t + i], 1);
        ++tables;
      }
    }
    if (marker == 0xDA) break;
    at += 2 + length;
  }
  EXPECT_TRUE(baseline);
  EXPECT_EQ(tables, 2);

  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  std::vector<std::uint8_t> row(info.output_width * 3);
  JSAMPROW rows[1] = {row.data()};
  jpeg_read_scanlines(&info, rows, 1);
  EXPECT_GT(row[0], 245);  // red stays red
  EXPECT_LT(row[1], 10);
  EXPECT_LT(row[2], 10);
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
}

TEST_F(PictureWriterTest, MissingFolderGivesStatusFive) {
  draw::DeviceContext picture(10, 10);
  const std::string name = dir_.File("no/such/folder/a");
  EXPECT_EQ(WriteBmp(picture, name + ".bmp"), kCannotOpen);
  EXPECT_EQ(WriteJpeg(picture, name + ".jpg"), kCannotOpen);
  EXPECT_EQ(WritePng(picture, name + ".png"), kCannotOpen);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("no")));
}

}  // namespace
}  // namespace tf::chart::test
