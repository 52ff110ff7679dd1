// The 3-D pie chart family: one tilted pie of slices with their own
// colours, pull-out, height and lift, and optional labels on leader lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/font_spec.h"
#include "chart/transform3d.h"

namespace tf::chart {

class ChartCanvas;

class PieChart {
 public:
  static constexpr Color kDefaultColour = 0x00B400;
  static constexpr double kDefaultThickness = 0.2;
  static constexpr std::size_t kMaxLabel = 59;
  static constexpr int kMaxSlices = 10000;

  int Begin(ChartCanvas& canvas, int x, int y, int width, int height, int slices);
  int SetThickness(double factor);
  int SetValue(double value, int index);
  int SetColor(Color colour, int index);
  int SetPosition(double pull_out, double thickness, double lift, int index);
  int SetLabel(ChartCanvas& canvas, std::string_view label, int index);
  int Finish(ChartCanvas& canvas);

  bool begun() const { return begun_; }
  // Start angle and sweep of each slice after the last Finish, in radians.
  struct Angles {
    double start, sweep;
  };
  const std::vector<Angles>& last_angles() const { return last_angles_; }
  double last_radius() const { return last_radius_; }

 private:
  struct Slice {
    double value = 0;
    Color colour = kDefaultColour;
    double pull_out = 0;
    double thickness = 1.0;
    double lift = 0;
    double start = 0;
    double sweep = 0;
    std::string label;
  };
  struct Margins {
    double top = 5, bottom = 5, left = 5, right = 5;
  };
  Margins MarginsFor(ChartCanvas& canvas, double radius) const;
  void DrawSlice(ChartCanvas& canvas, const Slice& slice, const Transform3d& view, double cx,
                 double cy, double radius) const;
  Slice* Find(int index);

  bool begun_ = false;
  std::vector<Slice> slices_;
  double thickness_factor_ = kDefaultThickness;
  FontSpec label_font_;
  std::vector<Angles> last_angles_;
  double last_radius_ = 0;
};

}  // namespace tf::chart
