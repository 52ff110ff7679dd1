// Reading the values of database fields into the engine's types.
#pragma once

#include <cstddef>
#include <string>

#include "engine/common/time_value.h"
#include "platform/com/variant.h"

namespace tf {

// A date field as a time value, read back from its "%D" text as every stored
// date is; a null field and dates up to 1900 give 0.
TimeValue DateFieldValue(const com::Variant& field);

// A text field cut to a field of size bytes (at most size - 1 kept, never
// splitting a character); null gives the empty text.
std::string TextFieldValue(const com::Variant& field, std::size_t size);

}  // namespace tf
