#include "platform/com/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tf::com {

Variant::Variant(const Variant& other) = default;
Variant& Variant::operator=(const Variant& other) = default;

Variant::Variant(Variant&& other) noexcept
    : vt_(other.vt_), n_(other.n_), text_(std::move(other.text_)), ref_(other.ref_) {
  other.vt_ = VT_EMPTY;
  other.ref_ = nullptr;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    vt_ = other.vt_;
    n_ = other.n_;
    text_ = std::move(other.text_);
    ref_ = other.ref_;
    other.vt_ = VT_EMPTY;
    other.ref_ = nullptr;
  }
  return *this;
}

void Variant::Clear() {
  vt_ = VT_EMPTY;
  n_.ui8 = 0;
  text_ = Bstr();
  ref_ = nullptr;
}

void Variant::SetI2(std::int16_t value) {
  Clear();
  vt_ = VT_I2;
  n_.i2 = value;
}

void Variant::SetI4(std::int32_t value) {
  Clear();
  vt_ = VT_I4;
  n_.i4 = value;
}

void Variant::SetR8(double value) {
  Clear();
  vt_ = VT_R8;
  n_.r8 = value;
}

void Variant::SetBstr(Bstr value) {
  Clear();
  vt_ = VT_BSTR;
  text_ = std::move(value);
}

Variant Variant::Null() {
  Variant v;
  v.vt_ = VT_NULL;
  return v;
}
Variant Variant::I2(std::int16_t value) {
  Variant v;
  v.SetI2(value);
  return v;
}
Variant Variant::I4(std::int32_t value) {
  Variant v;
  v.SetI4(value);
  return v;
}
Variant Variant::R4(float value) {
  Variant v;
  v.vt_ = VT_R4;
  v.n_.r4 = value;
  return v;
}
Variant Variant::R8(double value) {
  Variant v;
  v.SetR8(value);
  return v;
}
Variant Variant::Date(AutomationDate value) {
  Variant v;
  v.vt_ = VT_DATE;
  v.n_.r8 = value;
  return v;
}
Variant Variant::Bool(bool value) {
  Variant v;
  v.vt_ = VT_BOOL;
  v.n_.i2 = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
Variant Variant::Error(std::int32_t scode) {
  Variant v;
  v.vt_ = VT_ERROR;
  v.n_.i4 = scode;
  return v;
}
Variant Variant::UI1(std::uint8_t value) {
  Variant v;
  v.vt_ = VT_UI1;
  v.n_.ui1 = value;
  return v;
}
Variant Variant::UI2(std::uint16_t value) {
  Variant v;
  v.vt_ = VT_UI2;
  v.n_.ui2 = value;
  return v;
}
Variant Variant::UI4(std::uint32_t value) {
  Variant v;
  v.vt_ = VT_UI4;
  v.n_.ui4 = value;
  return v;
}
Variant Variant::I8(std::int64_t value) {
  Variant v;
  v.vt_ = VT_I8;
  v.n_.i8 = value;
  return v;
}
Variant Variant::UI8(std::uint64_t value) {
  Variant v;
  v.vt_ = VT_UI8;
  v.n_.ui8 = value;
  return v;
}
Variant Variant::Int(std::int32_t value) {
  Variant v;
  v.vt_ = VT_INT;
  v.n_.i4 = value;
  return v;
}
Variant Variant::UInt(std::uint32_t value) {
  Variant v;
  v.vt_ = VT_UINT;
  v.n_.ui4 = value;
  return v;
}
Variant Variant::ByRef(Variant& target) {
  Variant v;
  Variant& value = target.Deref();
  v.vt_ = static_cast<std::uint16_t>(VT_BYREF | value.vt_);
  v.ref_ = &value;
  return v;
}

bool Variant::IsNumeric() const {
  switch (base_type()) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_DATE: case VT_BOOL:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT:
    case VT_UINT: case VT_ERROR:
      return true;
    default:
      return false;
  }
}

double Variant::ToDouble(double fallback) const {
  const Variant& v = Deref();
  switch (v.vt_) {
    case VT_I2: case VT_BOOL: return v.n_.i2;
    case VT_I4: case VT_INT: case VT_ERROR: return v.n_.i4;
    case VT_R4: return v.n_.r4;
    case VT_R8: case VT_DATE: return v.n_.r8;
    case VT_UI1: return v.n_.ui1;
    case VT_UI2: return v.n_.ui2;
    case VT_UI4: case VT_UINT: return v.n_.ui4;
    case VT_I8: return static_cast<double>(v.n_.i8);
    case VT_UI8: return static_cast<double>(v.n_.ui8);
    case VT_BSTR: {
      const std::string& s = v.text_.str();
      char* end = nullptr;
      double d = std::strtod(s.c_str(), &end);
      return end == s.c_str() ? fallback : d;
    }
    default: return fallback;
  }
}

std::int64_t Variant::ToInt64(std::int64_t fallback) const {
  const Variant& v = Deref();
  switch (v.vt_) {
    case VT_I8: return v.n_.i8;
    case VT_UI8: return static_cast<std::int64_t>(v.n_.ui8);
    case VT_EMPTY: case VT_NULL: return fallback;
    case VT_BSTR: {
      const std::string& s = v.text_.str();
      char* end = nullptr;
      long long n = std::strtoll(s.c_str(), &end, 10);
      return end == s.c_str() ? fallback : n;
    }
    default: {
      // Beyond the range (2^63) the conversion would be undefined.
      constexpr double kLimit = 9223372036854775808.0;
      double d = v.ToDouble(static_cast<double>(fallback));
      if (!(d > -kLimit && d < kLimit)) return fallback;
      return static_cast<std::int64_t>(d);
    }
  }
}

std::int32_t Variant::ToInt32(std::int32_t fallback) const {
  return static_cast<std::int32_t>(ToInt64(fallback));
}

namespace {
std::string ShortestDecimal(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
}  // namespace

std::string Variant::ToString() const {
  const Variant& v = Deref();
  switch (v.vt_) {
    case VT_BSTR: return v.text_.str();
    case VT_EMPTY: case VT_NULL: return "";
    case VT_DATE: return FormatAutomationDate(v.n_.r8);
    case VT_R4: return ShortestDecimal(v.n_.r4);
    case VT_R8: return ShortestDecimal(v.n_.r8);
    case VT_UI8: return std::to_string(v.n_.ui8);
    case VT_BOOL: return v.n_.i2 ? "True" : "False";
    default: return std::to_string(v.ToInt64());
  }
}

bool operator==(const Variant& a, const Variant& b) {
  const Variant& x = a.Deref();
  const Variant& y = b.Deref();
  if (x.vt_ != y.vt_) return false;
  switch (x.vt_) {
    case VT_EMPTY: case VT_NULL: return true;
    case VT_BSTR: return x.text_ == y.text_;
    case VT_R4: return x.n_.r4 == y.n_.r4;
    case VT_R8: case VT_DATE: return x.n_.r8 == y.n_.r8;
    default: return x.n_.ui8 == y.n_.ui8;
  }
}

// Automation dates count days from 1899-12-30. The civil-day conversion is
// the usual days-from-civil arithmetic on the proleptic Gregorian calendar.
namespace {
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

const long long kDay1899_12_30 = DaysFromCivil(1899, 12, 30);
}  // namespace

AutomationDate MakeAutomationDate(int year, int month, int day, int hour, int minute,
                                  int second) {
  long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                   kDay1899_12_30;
  return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

void SplitAutomationDate(AutomationDate value, int& year, int& month, int& day, int& hour,
                         int& minute, int& second) {
  // Round to the nearest second first, so 23:59:59.9999 does not lose a day.
  long long total = std::llround(value * 86400.0);
  long long days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
  long long seconds = total - days * 86400;
  CivilFromDays(days + kDay1899_12_30, year, month, day);
  hour = static_cast<int>(seconds / 3600);
  minute = static_cast<int>(seconds / 60 % 60);
  second = static_cast<int>(seconds % 60);
}

std::string FormatAutomationDate(AutomationDate value) {
  int y, mo, d, h, mi, s;
  SplitAutomationDate(value, y, mo, d, h, mi, s);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%02d:%02d", mo, d, y, h, mi, s);
  return buffer;
}

}  // namespace tf::com
