#include "platform/db/values.h"

#include <sqlite3.h>

#include <limits>
#include <optional>
#include <string>

#include "platform/db/jet_date.h"

namespace tf::db {

DateMode DateModeOf(const char* declared_type) {
  if (declared_type == nullptr) return DateMode::kExpression;
  return IsDateType(declared_type) ? DateMode::kDeclared : DateMode::kNever;
}

namespace {

int BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
  return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

int BindVariant(sqlite3_stmt* stmt, int index, const com::Variant& value, bool date_target) {
  const com::Variant& v = value.Deref();
  switch (v.base_type()) {
    case com::VT_EMPTY:
    case com::VT_NULL:
    case com::VT_ERROR:  // a missing optional argument
      return sqlite3_bind_null(stmt, index);
    case com::VT_I2: return sqlite3_bind_int(stmt, index, v.i2());
    case com::VT_I4:
    case com::VT_INT: return sqlite3_bind_int(stmt, index, v.i4());
    case com::VT_BOOL: return sqlite3_bind_int(stmt, index, v.boolean());
    case com::VT_UI1: return sqlite3_bind_int(stmt, index, v.ui1());
    case com::VT_UI2: return sqlite3_bind_int(stmt, index, v.ui2());
    case com::VT_UI4:
    case com::VT_UINT: return sqlite3_bind_int64(stmt, index, v.ui4());
    case com::VT_I8: return sqlite3_bind_int64(stmt, index, v.i8());
    case com::VT_UI8:
      if (v.ui8() > static_cast<std::uint64_t>(std::numeric_limits<sqlite3_int64>::max())) {
        return sqlite3_bind_double(stmt, index, static_cast<double>(v.ui8()));
      }
      return sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(v.ui8()));
    case com::VT_R4: return sqlite3_bind_double(stmt, index, v.r4());
    case com::VT_R8: return sqlite3_bind_double(stmt, index, v.r8());
    case com::VT_DATE: return BindText(stmt, index, FormatStoredDate(FromAutomationDate(v.date())));
    case com::VT_BSTR: {
      const std::string& text = v.bstr().str();
      if (date_target) {
        // The stored form has one spelling only: such a text stays as it is.
        if (ParseStoredDate(text)) return BindText(stmt, index, text);
        if (std::optional<DateParts> date = ParseJetDate(text)) {
          return BindText(stmt, index, FormatStoredDate(*date));
        }
      }
      return BindText(stmt, index, text);
    }
    default:
      return SQLITE_MISMATCH;
  }
}

com::Variant ReadColumn(sqlite3_stmt* stmt, int column, DateMode mode) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return com::Variant::Null();
    case SQLITE_INTEGER: {
      sqlite3_int64 n = sqlite3_column_int64(stmt, column);
      if (mode == DateMode::kDeclared) return com::Variant::Date(static_cast<double>(n));
      if (n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max()) {
        return com::Variant::I4(static_cast<std::int32_t>(n));
      }
      return com::Variant::R8(static_cast<double>(n));
    }
    case SQLITE_FLOAT: {
      double d = sqlite3_column_double(stmt, column);
      return mode == DateMode::kDeclared ? com::Variant::Date(d) : com::Variant::R8(d);
    }
    default: {
      const char* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      std::string text(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
      std::optional<DateParts> date;
      if (mode != DateMode::kNever) date = ParseStoredDate(text);
      if (!date && mode == DateMode::kDeclared) date = ParseJetDate(text);
      if (date) return com::Variant::Date(ToAutomationDate(*date));
      return com::Variant(com::Bstr(std::move(text)));
    }
  }
}

}  // namespace tf::db
