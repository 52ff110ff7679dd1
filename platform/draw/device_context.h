// A drawing surface over a 24-bit memory picture with the drawing model the
// chart code was written for: a selected pen, brush and font, a text colour
// and an opaque text background, lines that leave out their last pixel,
// shapes filled and outlined without anti-aliasing (exact colours), and
// anti-aliased text. Coordinates are whole pixels; after
// UseBottomLeftOrigin() the point (x, y) is device pixel (x, height - y).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/draw/color.h"
#include "platform/draw/font.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace tf::draw {

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

enum PenStyle : int {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenNull = 5,
  kPenInsideFrame = 6,
};

// A pen of width 0 or 1 is one pixel wide; styles other than these draw solid.
struct Pen {
  Color color = kBlack;
  int width = 1;
  int style = kPenSolid;
};

enum HatchStyle : int {
  kSolidBrush = -1,
  kHatchHorizontal = 0,
  kHatchVertical = 1,
  kHatchForwardDiagonal = 2,   // top-left to bottom-right
  kHatchBackwardDiagonal = 3,  // bottom-left to top-right
  kHatchCross = 4,
  kHatchDiagonalCross = 5,
};

// Hatch lines take the brush colour, the rest the text background colour.
struct Brush {
  Color color = kWhite;
  int hatch = kSolidBrush;
};

constexpr Color kInvalidColor = 0xFFFFFFFF;

class DeviceContext {
 public:
  DeviceContext(int width, int height);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // False when the picture could not be allocated; nothing draws then.
  bool ok() const { return cr_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }

  void UseBottomLeftOrigin() { bottom_up_ = true; }
  // The picture's own renderer, for artwork drawn beyond this model (smooth
  // shapes and gradients); null when the picture could not be allocated.
  cairo_t* cairo() const { return cr_; }

  // Each returns what was selected before.
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  FontPtr SelectFont(FontPtr font);
  const FontPtr& font() const { return font_; }
  Color SetTextColor(Color color);
  Color SetBkColor(Color color);
  Color bk_color() const { return bk_color_; }

  void Fill(Color color);  // the whole picture
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  // Covers the pixels from the first corner up to, not including, the second.
  void Rectangle(int left, int top, int right, int bottom);
  void RoundRect(int left, int top, int right, int bottom, int corner_width, int corner_height);
  // Filled with alternate (even-odd) filling, outlined through every vertex.
  void Polygon(std::span<const Point> points);
  // One line of text with its cell's top-left corner at (x, y), rotated by
  // the font's angle about that corner; the cell is first filled with the
  // background colour.
  void TextOut(int x, int y, std::string_view text);
  Size TextExtent(std::string_view text) const;

  Color GetPixel(int x, int y) const;  // kInvalidColor outside the picture

  // Length of a stored picture row: three bytes a pixel, padded to four bytes
  // (none for a width that is not positive, as a buffer is sized with it).
  static int PaddedRowLength(int width) { return width > 0 ? (3 * width + 3) & ~3 : 0; }
  // Copies scan line `line` (0 = the bottom row) as blue, green, red bytes,
  // zero-padded to PaddedRowLength, into out.
  void ReadScanLine(int line, std::uint8_t* out) const;

 private:
  struct DevicePoint {
    double x, y;
  };
  DevicePoint ToDevice(int x, int y) const;
  void SetSource(Color color);
  void FillPath(const Brush& brush);
  // A new closed path through the centres of the points' pixels.
  void TracePolygon(std::span<const DevicePoint> points);
  void OutlinePolygon(std::span<const DevicePoint> points);
  void ThinLine(DevicePoint from, DevicePoint to);
  bool ThinPen() const;

  int width_ = 0;
  int height_ = 0;
  bool bottom_up_ = false;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  Pen pen_;
  Brush brush_;
  FontPtr font_;
  Color text_color_ = kBlack;
  Color bk_color_ = kWhite;
  Point position_;
};

}  // namespace tf::draw
