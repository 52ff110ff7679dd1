#include "chart/variant_args.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/com/error_info.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

using com::Variant;

// Numbers given as text are read from their first 19 characters.
constexpr std::size_t kNumberText = 20;

std::int32_t ClampToLong(double v) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  return text;
}

// The leading decimal integer, as the C library's atol reads it; 0 when there is none.
std::int32_t LeadingLong(std::string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<std::int64_t>(value * 10 + (c - '0'), std::int64_t{1} << 40);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// The leading real number, as atof reads it but always with "." as the point.
double LeadingDouble(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string NumberText(const Variant& value) {
  return std::string(draw::Utf8CutBytes(value.bstr().str(), kNumberText - 1));
}

}  // namespace

bool VariantToLong(const Variant& value, std::int32_t& out) {
  switch (value.base_type()) {
    case com::VT_I2: out = value.i2(); return true;
    case com::VT_BOOL: out = value.boolean() ? -1 : 0; return true;
    case com::VT_I4:
    case com::VT_INT: out = value.i4(); return true;
    case com::VT_UI4:
    case com::VT_UINT: out = static_cast<std::int32_t>(value.ui4()); return true;
    case com::VT_UI2: out = value.ui2(); return true;
    case com::VT_R4: out = ClampToLong(value.r4()); return true;
    case com::VT_R8: out = ClampToLong(value.r8()); return true;
    case com::VT_BSTR: out = LeadingLong(NumberText(value)); return true;
    default:
      com::SetErrorInfo("Invalid data type passed where long integer expected");
      return false;
  }
}

bool VariantToDouble(const Variant& value, double& out) {
  switch (value.base_type()) {
    case com::VT_I2: out = value.i2(); return true;
    case com::VT_I4:
    case com::VT_INT: out = value.i4(); return true;
    case com::VT_UI2: out = value.ui2(); return true;
    case com::VT_UI4:
    case com::VT_UINT: out = value.ui4(); return true;
    case com::VT_R4: out = value.r4(); return true;
    case com::VT_R8: out = value.r8(); return true;
    case com::VT_BSTR: out = LeadingDouble(NumberText(value)); return true;
    default:
      com::SetErrorInfo("Invalid data type passed where double (float) expected");
      return false;
  }
}

bool VariantToString(const Variant& value, std::size_t buffer_size, std::string& out) {
  if (value.base_type() != com::VT_BSTR) {
    com::SetErrorInfo("Invalid data type passed where string expected");
    return false;
  }
  out = std::string(draw::Utf8CutBytes(value.bstr().str(), buffer_size - 1));
  return true;
}

}  // namespace tf::chart
