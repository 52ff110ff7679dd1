#include "chart/transform3d.h"

#include <cmath>

namespace tf::chart {

Transform3d::Transform3d() {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m_[r][c] = r == c ? 1.0 : 0.0;
}

Transform3d Transform3d::Translate(double a, double b, double c) {
  Transform3d t;
  t.m_[3] = {a, b, c, 1};
  return t;
}

Transform3d Transform3d::RotateX(double radians) {
  Transform3d t;
  double c = std::cos(radians), s = std::sin(radians);
  t.m_[1] = {0, c, s, 0};
  t.m_[2] = {0, -s, c, 0};
  return t;
}

Transform3d Transform3d::RotateY(double radians) {
  Transform3d t;
  double c = std::cos(radians), s = std::sin(radians);
  t.m_[0] = {c, 0, s, 0};
  t.m_[2] = {-s, 0, c, 0};
  return t;
}

Transform3d Transform3d::Shear(double s) {
  Transform3d t;
  t.m_[1][0] = s;
  return t;
}

Transform3d Transform3d::Then(const Transform3d& next) const {
  Transform3d out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += m_[r][k] * next.m_[k][c];
      out.m_[r][c] = sum;
    }
  }
  for (int r = 0; r < 4; ++r) out.m_[r][3] = r == 3 ? 1.0 : 0.0;
  return out;
}

Point3d Transform3d::Apply(const Point3d& p) const {
  return {p.x * m_[0][0] + p.y * m_[1][0] + p.z * m_[2][0] + m_[3][0],
          p.x * m_[0][1] + p.y * m_[1][1] + p.z * m_[2][1] + m_[3][1],
          p.x * m_[0][2] + p.y * m_[1][2] + p.z * m_[2][2] + m_[3][2]};
}

}  // namespace tf::chart
