// Moving values between Variants and SQLite statements.
#pragma once

#include "platform/com/variant.h"

struct sqlite3_stmt;

namespace tf::db {

// Whether a result column may hold dates: never (a declared column of
// another type), by declaration (a date column: stored or Jet date texts),
// or as an expression (only the exact stored form counts as a date).
enum class DateMode { kNever, kDeclared, kExpression };

DateMode DateModeOf(const char* declared_type);

// Binds `value` to parameter `index` (1-based). A date goes in as stored
// date text; so does date text when `date_target` says the parameter is
// written into a date column. Returns the SQLite result code.
int BindVariant(sqlite3_stmt* stmt, int index, const com::Variant& value, bool date_target);

// The value of result column `column` of the current row.
com::Variant ReadColumn(sqlite3_stmt* stmt, int column, DateMode mode);

}  // namespace tf::db
