// Conversions of the chart interface's arguments and results. A converter
// that meets a type it does not take leaves its destination alone and sets
// the thread's error information; the method goes on with the value it had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com/variant.h"

namespace tf::chart {

// Whole numbers, booleans (true is -1), reals truncated toward zero, and
// decimal text of up to 19 characters.
bool VariantToLong(const com::Variant& value, std::int32_t& out);
// Numbers and decimal text of up to 19 characters; booleans are refused.
bool VariantToDouble(const com::Variant& value, double& out);
// Text only, cut to buffer_size - 1 bytes without splitting a character; a
// null string gives an empty text.
bool VariantToString(const com::Variant& value, std::size_t buffer_size, std::string& out);

inline com::Variant VariantFromLong(std::int32_t value) { return com::Variant::I4(value); }
inline com::Variant VariantFromString(std::string text) { return com::Variant(com::Bstr(std::move(text))); }

}  // namespace tf::chart
