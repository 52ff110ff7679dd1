#include "chart/axis_settings.h"

#include "chart/chart_canvas.h"
#include "platform/draw/utf8.h"

namespace tf::chart {

int AxisSettings::SetXLabel(std::string_view label, int index, const FontSpec& current) {
  if (index < 0 || index >= static_cast<int>(x_labels.size())) return kOutOfRange;
  if (draw::Utf8Length(label) > kMaxAxisLabel) return kTooLong;
  x_labels[index] = std::string(label);
  x_label_font = current;
  return kOk;
}

}  // namespace tf::chart
