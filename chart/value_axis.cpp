#include "chart/value_axis.h"

#include <algorithm>
#include <string>
#include <vector>

#include "chart/chart_canvas.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> chars;
  while (!text.empty()) {
    std::string_view one = draw::Utf8CutChars(text, 1);
    chars.push_back(one);
    text.remove_prefix(one.size());
  }
  return chars;
}

int WidestCharacter(ChartCanvas& canvas, std::string_view text, const FontSpec& font) {
  int widest = 0;
  for (std::string_view c : Characters(text)) widest = std::max(widest, canvas.TextWidth(c, font));
  return widest;
}

}  // namespace

AxisLayout MeasureValueAxis(ChartCanvas& canvas, double maximum) {
  const AxisSettings& axis = canvas.axis();
  AxisLayout layout;
  layout.value_font = (axis.value_font.face.empty() || axis.value_font.height == 0)
                          ? axis.x_label_font
                          : axis.value_font;
  const int label_width =
      canvas.TextWidth(FormatAxisNumber(maximum * 100), layout.value_font) + 5;
  switch (axis.y_title_style) {
    case 0:
      layout.axis_width = std::max(label_width, canvas.TextWidth(axis.y_title, axis.y_title_font));
      layout.y_title_height = canvas.TextHeight(axis.y_title, axis.y_title_font) +
                              canvas.LineHeight(layout.value_font);
      break;
    case 1:
      layout.axis_width = label_width + canvas.LineHeight(axis.y_title_font) + 10;
      break;
    case 2:
      layout.axis_width = label_width + WidestCharacter(canvas, axis.y_title, axis.y_title_font) + 10;
      break;
    default:
      break;
  }
  return layout;
}

void DrawValueAxis(ChartCanvas& canvas, const AxisLayout& layout, const AxisScale& scale,
                   int axis_x, int axis_y,
                   const std::function<draw::Point(int, int)>& to_picture) {
  const AxisSettings& axis = canvas.axis();
  const FontSpec& value_font = layout.value_font;
  const int value_height = canvas.LineHeight(value_font);
  int widest = 0;
  if (scale.ok) {
    for (int i = 0; i <= scale.steps; ++i) {
      std::string text = FormatAxisNumber(scale.minimum + i * scale.step);
      int w = canvas.TextWidth(text, value_font);
      widest = std::max(widest, w);
      draw::Point at = to_picture(axis_x, axis_y + i * scale.pixels_per_step);
      canvas.DrawText(text, at.x - 5 - w, at.y + value_height / 2, value_font);
    }
  }
  if (axis.y_title.empty()) return;

  const int axis_height = scale.ok ? scale.steps * scale.pixels_per_step : 0;
  const draw::Point foot = to_picture(axis_x, axis_y);
  const draw::Point top = to_picture(axis_x, axis_y + axis_height);
  const int middle = (foot.y + top.y) / 2;
  const int labels_left = foot.x - 5 - widest;
  const FontSpec& font = axis.y_title_font;
  switch (axis.y_title_style) {
    case 0: {
      // Kept inside the chart area and below the picture's top edge, so
      // that a wide or tall title is not cut off.
      int x = std::max(0, top.x - 5 - canvas.TextWidth(axis.y_title, font));
      int y = top.y + value_height + canvas.TextHeight(axis.y_title, font);
      y = std::min(y, canvas.height() - canvas.origin().y);
      canvas.DrawText(axis.y_title, x, y, font);
      break;
    }
    case 1: {
      // Turned clockwise: the text runs downward and its cell lies left of x.
      FontSpec turned = font;
      turned.escapement = -900;
      int length = canvas.TextWidth(axis.y_title, font);
      canvas.DrawText(axis.y_title, labels_left - 10, middle + length / 2, turned);
      break;
    }
    case 2: {
      const int column = WidestCharacter(canvas, axis.y_title, font);
      const int line_height = canvas.LineHeight(font);
      std::vector<std::string_view> chars = Characters(axis.y_title);
      int y = middle + static_cast<int>(chars.size()) * line_height / 2;
      for (std::string_view c : chars) {
        int w = canvas.TextWidth(c, font);
        canvas.DrawText(c, labels_left - 10 - column + (column - w) / 2, y, font);
        y -= line_height;
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace tf::chart
