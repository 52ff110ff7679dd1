// A 4 x 4 transform of 3-D points held as row vectors (the point is
// multiplied from the left); the fourth column is always (0, 0, 0, 1).
#pragma once

#include <array>

namespace tf::chart {

struct Point3d {
  double x = 0, y = 0, z = 0;
};

class Transform3d {
 public:
  Transform3d();  // identity

  static Transform3d Translate(double a, double b, double c);
  static Transform3d RotateX(double radians);
  static Transform3d RotateY(double radians);
  static Transform3d Shear(double s);  // x gains s * y

  // This transform followed by next.
  Transform3d Then(const Transform3d& next) const;
  Point3d Apply(const Point3d& p) const;

  double at(int row, int column) const { return m_[row][column]; }

 private:
  std::array<std::array<double, 4>, 4> m_;
};

}  // namespace tf::chart
