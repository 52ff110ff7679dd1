#include "chart/chart_canvas.h"

#include <algorithm>
#include <cmath>

#include "chart/picture_writer.h"
#include "chart/text_lines.h"
#include "platform/draw/utf8.h"

namespace tf::chart {

int WholePixel(double v) {
  if (!std::isfinite(v)) return v > 0 ? 1000000000 : v < 0 ? -1000000000 : 0;
  return static_cast<int>(std::clamp(std::trunc(v), -1e9, 1e9));
}

Color ShadeColor(Color colour, double factor) {
  const int percent = static_cast<int>(factor * 100);
  auto channel = [&](int value) {
    if (value == 0) value = 1;
    return std::min(value * percent / 100, 255);
  };
  return draw::Rgb(channel(draw::RedOf(colour)), channel(draw::GreenOf(colour)),
                   channel(draw::BlueOf(colour)));
}

ChartCanvas::ChartCanvas() = default;
ChartCanvas::~ChartCanvas() = default;

int ChartCanvas::Create(std::string_view file_name, int file_type, int width, int height) {
  if (file_name.size() > kMaxFileName) return kTooLong;
  file_name_ = std::string(file_name);
  if (file_type < kJpeg || file_type > kPng) return kOutOfRange;
  file_type_ = file_type;
  if (width < kMinSize || height < kMinSize) return kOutOfRange;
  width_ = width;
  height_ = height;
  area_.width = width;
  area_.height = height;
  font_scale_ = 1.0;
  auto dc = std::make_unique<draw::DeviceContext>(width, height);
  if (!dc->ok()) return kNoPicture;
  dc_ = std::move(dc);
  dc_->UseBottomLeftOrigin();
  dc_->Fill(draw::kWhite);
  font_.face = kDefaultFace;
  font_.height = 10;
  UseFont(font_);
  return kOk;
}

int ChartCanvas::WritePicture() {
  if (!dc_) return kNoPicture;
  int status;
  switch (file_type_) {
    case kJpeg: status = WriteJpeg(*dc_, file_name_); break;
    case kBmp: status = WriteBmp(*dc_, file_name_); break;
    default: status = WritePng(*dc_, file_name_); break;
  }
  origin_ = {0, 0};
  return status;
}

void ChartCanvas::SetBackgroundColor(Color colour) {
  background_ = colour;
  if (!dc_) return;
  dc_->SetBkColor(colour);
  Point saved = origin_;
  origin_ = {0, 0};
  Box(0, height_, width_, 0, colour, colour);
  origin_ = saved;
}

int ChartCanvas::SetFont(std::string_view face, int height, Color colour, bool bold, bool italic,
                         double angle_degrees) {
  if (draw::Utf8Length(face) > kMaxFaceLength) return kTooLong;
  if (!face.empty()) font_.face = std::string(face);
  if (height > 0) font_.height = height;
  font_.colour = colour;
  font_.bold = bold;
  font_.italic = italic;
  double tenths = std::trunc(angle_degrees * 10);
  font_.escapement = std::isfinite(tenths) ? static_cast<int>(std::clamp(tenths, -1e9, 1e9)) : 0;
  UseFont(font_);
  return kOk;
}

int ChartCanvas::SetTitle(std::string_view title) {
  if (draw::Utf8Length(title) > kMaxTitle) return kTooLong;
  title_ = std::string(title);
  title_font_ = font_;
  return kOk;
}

void ChartCanvas::MoveTo(int x, int y) {
  if (dc_) dc_->MoveTo(x + origin_.x, y + origin_.y);
}

void ChartCanvas::LineTo(int x, int y) {
  if (dc_) dc_->LineTo(x + origin_.x, y + origin_.y);
}

// Free text is drawn in the font the caller set last, even when a chart
// drew its labels in other fonts since.
void ChartCanvas::TextOut(std::string_view text, int x, int y) { DrawText(text, x, y, font_); }

void ChartCanvas::SetPen(Color colour, int width, int style) {
  if (dc_) dc_->SelectPen({colour, width, style});
}

void ChartCanvas::SetBrush(Color colour, int style) {
  if (dc_) dc_->SelectBrush({colour, style < 0 ? draw::kSolidBrush : style});
}

void ChartCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (dc_) {
    dc_->Rectangle(left + origin_.x, top + origin_.y, right + origin_.x, bottom + origin_.y);
  }
}

void ChartCanvas::UseFont(const FontSpec& spec) {
  if (!dc_) return;
  draw::FontRequest request;
  request.face = spec.face.empty() ? kDefaultFace : spec.face;
  request.height = static_cast<int>(spec.height * font_scale_ + 0.3);
  request.weight = spec.bold ? draw::kWeightBold : 200;
  request.italic = spec.italic;
  request.escapement = spec.escapement;
  // Labels switch fonts often; the same font is not made twice in a row.
  if (made_font_ && made_request_.face == request.face && made_request_.height == request.height &&
      made_request_.weight == request.weight && made_request_.italic == request.italic &&
      made_request_.escapement == request.escapement) {
    return;
  }
  made_request_ = request;
  made_font_ = draw::Font::Create(request);
  dc_->SelectFont(made_font_);
}

int ChartCanvas::LineHeight(const FontSpec& spec) const {
  return static_cast<int>(spec.height * font_scale_ + 0.3);
}

int ChartCanvas::TextWidth(std::string_view text, const FontSpec& spec) {
  if (text.empty() || !dc_) return 0;
  UseFont(spec);
  int widest = 0;
  for (std::string_view line : SplitTextLines(text)) {
    widest = std::max(widest, dc_->TextExtent(line).width);
  }
  return widest;
}

int ChartCanvas::TextHeight(std::string_view text, const FontSpec& spec) const {
  return static_cast<int>(SplitTextLines(text).size()) * LineHeight(spec);
}

int ChartCanvas::TitleHeight() const {
  return title_.empty() ? 0 : LineHeight(title_font_) + 5;
}

void ChartCanvas::DrawText(std::string_view text, int x, int y, const FontSpec& spec) {
  if (text.empty() || !dc_) return;
  UseFont(spec);
  dc_->SetTextColor(spec.colour);
  const int line_height = LineHeight(spec);
  for (std::string_view line : SplitTextLines(text)) {
    dc_->TextOut(x + origin_.x, y + origin_.y, line);
    y -= line_height;
  }
}

void ChartCanvas::Line(int x0, int y0, int x1, int y1, Color colour) {
  if (!dc_) return;
  draw::Pen saved = dc_->SelectPen({colour, 1, draw::kPenSolid});
  dc_->MoveTo(x0 + origin_.x, y0 + origin_.y);
  dc_->LineTo(x1 + origin_.x, y1 + origin_.y);
  dc_->SelectPen(saved);
}

void ChartCanvas::Shape(std::vector<Point> points, Color fill, Color outline) {
  if (!dc_) return;
  for (Point& p : points) {
    p.x += origin_.x;
    p.y += origin_.y;
  }
  draw::Pen saved_pen = dc_->SelectPen({outline, 1, draw::kPenSolid});
  draw::Brush saved_brush = dc_->SelectBrush({fill});
  dc_->Polygon(points);
  dc_->SelectPen(saved_pen);
  dc_->SelectBrush(saved_brush);
}

void ChartCanvas::Outline(const std::vector<Point>& corners, Color colour) {
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Point& next = corners[(i + 1) % corners.size()];
    Line(corners[i].x, corners[i].y, next.x, next.y, colour);
  }
}

void ChartCanvas::Box(int left, int top, int right, int bottom, Color fill, Color outline) {
  if (!dc_) return;
  draw::Pen saved_pen = dc_->SelectPen({outline, 1, draw::kPenSolid});
  draw::Brush saved_brush = dc_->SelectBrush({fill});
  dc_->Rectangle(left + origin_.x, top + origin_.y, right + origin_.x, bottom + origin_.y);
  dc_->SelectPen(saved_pen);
  dc_->SelectBrush(saved_brush);
}

void ChartCanvas::RoundBox(int left, int top, int right, int bottom, int corner, Color fill,
                           Color outline) {
  if (!dc_) return;
  draw::Pen saved_pen = dc_->SelectPen({outline, 1, draw::kPenSolid});
  draw::Brush saved_brush = dc_->SelectBrush({fill});
  dc_->RoundRect(left + origin_.x, top + origin_.y, right + origin_.x, bottom + origin_.y, corner,
                 corner);
  dc_->SelectPen(saved_pen);
  dc_->SelectBrush(saved_brush);
}

void ChartCanvas::SetTextBackground(Color colour) {
  if (dc_) dc_->SetBkColor(colour);
}

Point ChartCanvas::Project(const Transform3d& view, double x, double y, double z) {
  Point3d p = view.Apply({x, y, z});
  return {WholePixel(p.x), WholePixel(p.y)};
}

}  // namespace tf::chart
