// Helpers of the chart tests: variant shorthands and a reader of the BMP
// files the chart writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/loom_chart.h"
#include "support/test_support.h"

namespace tf::chart::test {

using com::Variant;

inline Variant I(int v) { return Variant::I4(v); }
inline Variant D(double v) { return Variant::R8(v); }
inline Variant S(const std::string& v) { return Variant(v); }
inline int Status(const Variant& v) { return v.i4(); }

// A 24-bit BMP file read back; pixel (x, y) counts y from the bottom row.
struct Bitmap {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bytes;
  Color At(int x, int y) const;
  int Count(Color colour) const;
  // The smallest box holding every pixel of the colour: x0, y0, x1, y1 (inclusive); all -1 when none.
  std::vector<int> Box(Color colour) const;
};
Bitmap ReadBitmap(const std::string& path);

}  // namespace tf::chart::test
