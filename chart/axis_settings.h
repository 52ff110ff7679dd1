// What the bar and line charts share: the x labels (bar columns or line x
// values) with their font, the axis titles and their styles, the font of
// the axis numbers, the x-label style, and the colours of the 3-D frame.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/font_spec.h"

namespace tf::chart {

constexpr Color kWallColour = 0xF0F0F0;
constexpr Color kFrameColour = 0x000000;
constexpr Color kGridColour = 0xB4B4B4;
constexpr std::size_t kMaxAxisLabel = 29;   // longer x and row labels are refused
constexpr std::size_t kMaxAxisTitle = 199;  // longer axis titles are cut

// The family whose begin made the x-label table; a family only finishes
// over its own table.
enum class LabelOwner { kNone, kBar, kLine };

struct AxisSettings {
  LabelOwner label_owner = LabelOwner::kNone;
  std::vector<std::string> x_labels;
  FontSpec x_label_font;
  std::string x_title;
  int x_title_style = 0;
  FontSpec x_title_font{.face = kDefaultFace, .height = 30};
  std::string y_title;
  int y_title_style = 0;
  FontSpec y_title_font;
  FontSpec value_font{.face = "", .height = 0};  // empty: the x-label font
  int x_label_style = 0;                         // 1: always stagger the x labels

  // The defaults a bar chart begins with; the x-label style is kept.
  void ResetForBar() {
    int style = x_label_style;
    *this = AxisSettings();
    x_label_style = style;
  }
  void NewLabels(LabelOwner owner, int count) {
    label_owner = owner;
    x_labels.assign(count, std::string());
  }
  // Status 2 for an index outside the table, 1 for a label that is too
  // long; the label keeps the font current at the call.
  int SetXLabel(std::string_view label, int index, const FontSpec& current);
  void DropLabels() {
    label_owner = LabelOwner::kNone;
    x_labels.clear();
  }
};

}  // namespace tf::chart
