// Variant and Bstr: the typed values that cross component interfaces and
// come back from database fields. Text is UTF-8 bytes throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tf::com {

// Type tags, numbered as the component protocol numbers them, so that stored
// or logged type numbers keep their meaning.
enum VarType : std::uint16_t {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// A string that, like its wire counterpart, distinguishes a null string from
// an empty one.
class Bstr {
 public:
  Bstr() = default;  // null
  Bstr(std::string_view text) : text_(text), null_(false) {}
  Bstr(const char* text) : text_(text ? text : ""), null_(text == nullptr) {}
  Bstr(std::string text) : text_(std::move(text)), null_(false) {}

  bool is_null() const { return null_; }
  const std::string& str() const { return text_; }  // empty for null
  const char* c_str() const { return text_.c_str(); }
  std::size_t size() const { return text_.size(); }

  friend bool operator==(const Bstr& a, const Bstr& b) {
    return a.null_ == b.null_ && a.text_ == b.text_;
  }

 private:
  std::string text_;
  bool null_ = true;
};

// VARIANT_BOOL values.
constexpr std::int16_t VARIANT_TRUE = -1;
constexpr std::int16_t VARIANT_FALSE = 0;

// Days of an automation date (days since 1899-12-30, time as the fraction).
using AutomationDate = double;

// A tagged value. A by-reference variant (VT_BYREF | type) points at another
// Variant that holds the value; the caller keeps that target alive.
class Variant {
 public:
  Variant() = default;  // VT_EMPTY
  Variant(const Variant& other);
  Variant& operator=(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() = default;

  // Convenience constructors for the common types.
  Variant(std::int32_t value) { SetI4(value); }
  Variant(double value) { SetR8(value); }
  Variant(const char* text) { SetBstr(Bstr(text)); }
  Variant(std::string_view text) { SetBstr(Bstr(text)); }
  Variant(const std::string& text) { SetBstr(Bstr(text)); }
  Variant(Bstr text) { SetBstr(std::move(text)); }

  static Variant Null();
  static Variant I2(std::int16_t value);
  static Variant I4(std::int32_t value);
  static Variant R4(float value);
  static Variant R8(double value);
  static Variant Date(AutomationDate value);
  static Variant Bool(bool value);
  static Variant Error(std::int32_t scode);
  static Variant UI1(std::uint8_t value);
  static Variant UI2(std::uint16_t value);
  static Variant UI4(std::uint32_t value);
  static Variant I8(std::int64_t value);
  static Variant UI8(std::uint64_t value);
  static Variant Int(std::int32_t value);
  static Variant UInt(std::uint32_t value);
  // A reference to target; vt() is VT_BYREF | target.vt().
  static Variant ByRef(Variant& target);

  std::uint16_t vt() const { return vt_; }
  bool is_byref() const { return (vt_ & VT_BYREF) != 0; }
  // The type of the value itself, with VT_BYREF removed.
  std::uint16_t base_type() const { return vt_ & VT_TYPEMASK; }
  bool is_empty() const { return vt_ == VT_EMPTY; }
  bool is_null() const { return Deref().vt_ == VT_NULL; }

  // The variant that holds the value: itself, or the target of a reference.
  const Variant& Deref() const { return is_byref() ? *ref_ : *this; }
  Variant& Deref() { return is_byref() ? *ref_ : *this; }

  void Clear();  // back to VT_EMPTY
  void SetI2(std::int16_t value);
  void SetI4(std::int32_t value);
  void SetR8(double value);
  void SetBstr(Bstr value);

  // Raw accessors: valid only for the matching type (checked by the caller).
  std::int16_t i2() const { return Deref().n_.i2; }
  std::int32_t i4() const { return Deref().n_.i4; }
  float r4() const { return Deref().n_.r4; }
  double r8() const { return Deref().n_.r8; }
  AutomationDate date() const { return Deref().n_.r8; }
  std::int16_t boolean() const { return Deref().n_.i2; }
  std::int32_t scode() const { return Deref().n_.i4; }
  std::uint8_t ui1() const { return Deref().n_.ui1; }
  std::uint16_t ui2() const { return Deref().n_.ui2; }
  std::uint32_t ui4() const { return Deref().n_.ui4; }
  std::int64_t i8() const { return Deref().n_.i8; }
  std::uint64_t ui8() const { return Deref().n_.ui8; }
  const Bstr& bstr() const { return Deref().text_; }

  // Lenient readers for callers that do not care about the exact type:
  // numbers of any kind, booleans (-1/0), and decimal text. Null and empty,
  // and a real number beyond the 64-bit integers, give the fallback.
  bool IsNumeric() const;
  double ToDouble(double fallback = 0) const;
  std::int64_t ToInt64(std::int64_t fallback = 0) const;
  std::int32_t ToInt32(std::int32_t fallback = 0) const;
  // Text of the value: the string itself, numbers in their shortest decimal
  // form, dates as "m/d/yyyy h:mm:ss", null and empty as "".
  std::string ToString() const;

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  union Numeric {
    std::int16_t i2;
    std::int32_t i4;
    float r4;
    double r8;
    std::uint8_t ui1;
    std::uint16_t ui2;
    std::uint32_t ui4;
    std::int64_t i8;
    std::uint64_t ui8;
  };

  std::uint16_t vt_ = VT_EMPTY;
  Numeric n_{.ui8 = 0};
  Bstr text_;
  Variant* ref_ = nullptr;
};

// Automation dates and their text form "m/d/yyyy h:mm:ss" (24-hour clock).
// Dates are calendar values in the proleptic Gregorian calendar.
AutomationDate MakeAutomationDate(int year, int month, int day, int hour = 0, int minute = 0,
                                  int second = 0);
void SplitAutomationDate(AutomationDate value, int& year, int& month, int& day, int& hour,
                         int& minute, int& second);
std::string FormatAutomationDate(AutomationDate value);

}  // namespace tf::com
