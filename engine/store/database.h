// The engine's access to its database files: open one as a connection that
// its holder owns, close it, run one statement with the failure turned into
// text, and the Variant converters used where values cross a component
// interface. The layer keeps no state and takes no lock: the holder
// serialises the statements on its connection (a site through its database
// lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/common/status_sink.h"
#include "platform/com/variant.h"
#include "platform/db/connection.h"

namespace tf {

// Empty when closed.
using ConnectionHolder = std::unique_ptr<db::Connection>;

// Opens the database file at `path` into `holder` (dropping what it held).
// The site, when given, shows "Opening database: <path>" and receives the
// error text of a failure ("Connection failure: <description>"). 1 when
// open, 0 otherwise (the holder is then empty). See db::Connection for
// `serialization`.
int OpenDatabase(ConnectionHolder& holder, const std::string& path, StatusSink* site,
                 db::Connection::Serialization serialization = db::Connection::Serialization::kByLibrary);

// Opens the database at path into holder (dropping what it held) with the
// engine's command time-out; false with the database's description in
// error, the holder then empty.
bool OpenConnection(ConnectionHolder& holder, const std::string& path, std::string& error,
                    db::Connection::Serialization serialization = db::Connection::Serialization::kByLibrary);

// Closes and releases the holder's connection; an error from closing is
// ignored. An empty holder is left as it is.
void CloseDatabase(ConnectionHolder& holder);

// Runs one statement. 1 when it ran; 0 on a failure, with the database's
// description in `error_text` (when given) cut to error_size - 1 bytes.
// The text is emptied first. A missing or closed connection is a failure.
int ExecuteSql(db::Connection* connection, std::string_view sql, std::string* error_text = nullptr,
               std::size_t error_size = 0);
// The same with `params` bound to the statement's '?'s.
int ExecuteSql(db::Connection* connection, std::string_view sql, const db::Params& params,
               std::string* error_text = nullptr, std::size_t error_size = 0);

// A string Variant (directly or by reference) as text, cut to size - 1
// bytes; a null string is the empty text. Another type sets the thread's
// error information and gives 0, leaving `text` as it was.
int GetVariantString(const com::Variant& value, std::string& text, std::size_t size);

// A 16- or 32-bit integer (signed or unsigned, or machine size), a real (cut
// toward zero) or a string read as a decimal integer (leading blanks, a sign,
// digits up to the first non-digit; 0 when none), directly or by reference.
// Another type sets the thread's error information and gives 0, leaving
// `number` as it was.
int GetVariantLong(const com::Variant& value, std::int32_t& number);

void MakeVariantString(com::Variant& out, std::string_view text);
void MakeVariantLong(com::Variant& out, std::int32_t value);

}  // namespace tf
