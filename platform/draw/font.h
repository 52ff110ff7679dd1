// Fonts for the device context: a face name, a character cell height in
// pixels, a weight, italic and a text angle, resolved through fontconfig to
// an installed metric-compatible family and measured the way the picture
// code expects (cell height = ascent + descent, whole-pixel advances).
#pragma once

#include <memory>
#include <string>
#include <string_view>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace tf::draw {

constexpr int kWeightRegular = 400;
constexpr int kWeightBold = 700;

struct FontRequest {
  std::string face;     // empty: "MS Sans Serif"
  int height = 10;      // character cell height in pixels
  int weight = kWeightRegular;
  bool italic = false;
  int escapement = 0;   // text angle in tenths of a degree, counter-clockwise
};

// The installed family a face name resolves to ("Arial" and "MS Sans Serif"
// give "Liberation Sans").
std::string ResolveFamily(std::string_view face);

class Font {
 public:
  static std::shared_ptr<const Font> Create(const FontRequest& request);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontRequest& request() const { return request_; }
  const std::string& family() const { return family_; }
  bool bold() const { return request_.weight >= 600; }
  int cell_height() const { return cell_height_; }
  int ascent() const { return ascent_; }
  double em_size() const { return em_size_; }
  double angle_radians() const;

  // Advance width of one line of text in whole pixels.
  int TextWidth(std::string_view utf8) const;

  cairo_font_face_t* face() const { return face_; }
  // The upright font at its em size, with the picture's font options.
  cairo_scaled_font_t* scaled() const { return scaled_; }

 private:
  Font() = default;

  FontRequest request_;
  std::string family_;
  int cell_height_ = 0;
  int ascent_ = 0;
  double em_size_ = 0;
  cairo_font_face_t* face_ = nullptr;
  cairo_scaled_font_t* scaled_ = nullptr;
};

using FontPtr = std::shared_ptr<const Font>;

}  // namespace tf::draw
