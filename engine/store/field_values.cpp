#include "engine/store/field_values.h"

#include "engine/common/text.h"

namespace tf {

TimeValue DateFieldValue(const com::Variant& field) {
  if (field.is_null() || field.is_empty()) return 0;
  return ParseTimeText(field.ToString());
}

std::string TextFieldValue(const com::Variant& field, std::size_t size) {
  if (size == 0) return {};
  return std::string(CutUtf8(field.ToString(), size - 1));
}

}  // namespace tf
