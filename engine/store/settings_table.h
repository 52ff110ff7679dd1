// The five typed name/value tables of the settings store (one row per key),
// shared by the site databases and the projects database. Keys and values
// are bound as parameters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/variant.h"
#include "platform/db/connection.h"

namespace tf {

enum class SettingsTable { kInteger, kReal, kDate, kString, kMemo };

// The value of the key's row; nothing when there is no row or the select
// fails (a missing table, a closed connection).
std::optional<com::Variant> ReadSetting(db::Connection* connection, SettingsTable table,
                                        std::string_view key);

// Rewrites the key's row when its stored value differs (integers and reals
// exactly, dates as time values, texts byte for byte). False when the key
// has no row. A failing select raises db::Error.
bool UpdateSetting(db::Connection* connection, SettingsTable table, std::string_view key,
                   const com::Variant& value);

// Adds the key's row; false with the description in error, cut to size - 1.
bool InsertSetting(db::Connection* connection, SettingsTable table, std::string_view key,
                   const com::Variant& value, std::string& error, std::size_t size);

}  // namespace tf
