#include "engine/store/database.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <new>

#include "engine/common/text.h"
#include "platform/com/error_info.h"

namespace tf {
namespace {

constexpr int kCommandTimeoutSeconds = 3600;
// The description of a failed open is kept to this many bytes.
constexpr std::size_t kDescriptionSize = 1000;

std::int32_t Clamp(double value) {
  if (std::isnan(value)) return 0;
  if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);  // toward zero
}

// Leading blanks, one sign, digits up to the first non-digit; past the
// 32-bit range the value stays at its limit.
std::int32_t ReadDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  return Clamp(negative ? -value : value);
}

}  // namespace

bool OpenConnection(ConnectionHolder& holder, const std::string& path, std::string& error,
                    db::Connection::Serialization serialization) {
  CloseDatabase(holder);
  auto connection = std::make_unique<db::Connection>();
  try {
    connection->SetCommandTimeout(kCommandTimeoutSeconds);
    connection->Open(path, serialization);
  } catch (const db::Error& e) {
    SafeCopy(error, e.description(), kDescriptionSize);
    return false;
  }
  holder = std::move(connection);
  return true;
}

int OpenDatabase(ConnectionHolder& holder, const std::string& path, StatusSink* site,
                 db::Connection::Serialization serialization) {
  if (site) site->SetStatus("Opening database: " + path);
  std::string error;
  try {
    if (OpenConnection(holder, path, error, serialization)) return 1;
    error = "Connection failure: " + error;
  } catch (const std::bad_alloc&) {
    error = "Unable to create connection";
  }
  if (site) site->SetError(error);
  return 0;
}

void CloseDatabase(ConnectionHolder& holder) {
  if (!holder) return;
  try {
    holder->Close();
  } catch (const db::Error&) {
  }
  holder.reset();
}

int ExecuteSql(db::Connection* connection, std::string_view sql, std::string* error_text,
               std::size_t error_size) {
  return ExecuteSql(connection, sql, {}, error_text, error_size);
}

int ExecuteSql(db::Connection* connection, std::string_view sql, const db::Params& params,
               std::string* error_text, std::size_t error_size) {
  if (error_text) error_text->clear();
  if (connection == nullptr) {  // the holder's database could not be opened
    if (error_text) {
      SafeCopy(*error_text, "Operation is not allowed when the object is closed.", error_size);
    }
    return 0;
  }
  try {
    connection->Execute(sql, params);
    return 1;
  } catch (const db::Error& e) {
    if (error_text) SafeCopy(*error_text, e.description(), error_size);
    return 0;
  }
}

int GetVariantString(const com::Variant& value, std::string& text, std::size_t size) {
  if (value.base_type() != com::VT_BSTR) {
    com::SetErrorInfo("Invalid data type passed where string expected");
    return 0;
  }
  SafeCopy(text, value.bstr().str(), size);
  return 1;
}

int GetVariantLong(const com::Variant& value, std::int32_t& number) {
  const com::Variant& v = value.Deref();
  switch (v.base_type()) {
    case com::VT_I2: number = v.i2(); return 1;
    case com::VT_I4:
    case com::VT_INT: number = v.i4(); return 1;
    case com::VT_UI2: number = v.ui2(); return 1;
    case com::VT_UI4:
    case com::VT_UINT: number = static_cast<std::int32_t>(v.ui4()); return 1;
    case com::VT_R4: number = Clamp(v.r4()); return 1;
    case com::VT_R8: number = Clamp(v.r8()); return 1;
    case com::VT_BSTR: {
      std::string text;
      GetVariantString(v, text, 20);
      number = ReadDecimal(text);
      return 1;
    }
    default:
      com::SetErrorInfo("Invalid data type passed where long integer expected");
      return 0;
  }
}

void MakeVariantString(com::Variant& out, std::string_view text) { out = com::Variant(com::Bstr(text)); }

void MakeVariantLong(com::Variant& out, std::int32_t value) { out = com::Variant::I4(value); }

}  // namespace tf
