#include "platform/db/recordset.h"

#include "platform/db/connection_impl.h"
#include "platform/db/text.h"
#include "platform/db/values.h"

namespace tf::db {
namespace {

const char kNoCurrentRecord[] =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires "
    "a current record.";
const char kNotUpdatable[] = "Current Recordset does not support updating.";

std::string Text(const char* text) { return text ? text : ""; }

// A result column: its name, and where it comes from when it is a column
// of a table (the table and column an update writes).
struct Column {
  std::string name;
  std::string table;
  std::string origin;
  DateMode dates = DateMode::kExpression;
};

}  // namespace

class Recordset::Impl {
 public:
  void Open(std::string_view sql, Connection::Impl& connection, const Params& params, bool updatable);

  void RequireOpen() const {
    if (connection == nullptr) throw Error(SQLITE_MISUSE, kClosed);
  }
  bool HasCurrent() const { return mode == kAdd || (position >= 0 && position < Count()); }
  void RequireCurrent() const {
    RequireOpen();
    if (!HasCurrent()) throw Error(SQLITE_ERROR, kNoCurrentRecord);
  }
  int Count() const { return static_cast<int>(rows.size()); }
  int Index(std::string_view name) const;
  void CheckIndex(int index) const;
  const com::Variant& Value(int index) const;
  void Set(int index, const com::Variant& value);
  void Update();
  // Leaving the current row saves its edit.
  void BeforeMove() {
    RequireOpen();
    Update();
  }

  enum Mode { kNone, kEdit, kAdd };

  Connection::Impl* connection = nullptr;
  std::vector<Column> columns;
  std::vector<Row> rows;
  std::vector<sqlite3_int64> row_ids;
  std::string table;  // where updates go; empty when the rows cannot be updated
  int position = 0;   // -1 before the first row, Count() after the last
  Mode mode = kNone;
  Row edited;
  std::vector<bool> dirty;

 private:
  void Write();
  void Refresh(int row);
  bool Writable(int index) const { return SameText(columns[index].table, table) && !columns[index].origin.empty(); }
};

void Recordset::Impl::Open(std::string_view sql, Connection::Impl& conn, const Params& params, bool updatable) {
  conn.RequireOpen();
  std::unique_ptr<Statement> statement;
  try {
    statement = conn.Prepare(sql, updatable);
  } catch (const Error&) {
    if (!updatable) throw;
    statement = conn.Prepare(sql, false);  // a view, say, has no row ids
  }
  conn.Bind(*statement, params);
  sqlite3_stmt* stmt = statement->get();
  const Translation& translation = statement->translation();
  int total = sqlite3_column_count(stmt);
  int shown = total - translation.hidden_columns;
  std::vector<Column> result;
  for (int i = 0; i < shown; ++i) {
    result.push_back({Text(sqlite3_column_name(stmt, i)), Text(sqlite3_column_table_name(stmt, i)),
                      Text(sqlite3_column_origin_name(stmt, i)), DateModeOf(sqlite3_column_decltype(stmt, i))});
  }
  std::vector<Row> read;
  std::vector<sqlite3_int64> ids;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    Row row;
    row.reserve(static_cast<std::size_t>(shown));
    for (int i = 0; i < shown; ++i) row.push_back(ReadColumn(stmt, i, result[i].dates));
    read.push_back(std::move(row));
    if (translation.has_row_id) ids.push_back(sqlite3_column_int64(stmt, total - 1));
  }
  if (rc != SQLITE_DONE) conn.Raise(rc);
  conn.Ran(*statement);
  connection = &conn;
  columns = std::move(result);
  rows = std::move(read);
  row_ids = std::move(ids);
  table = translation.has_row_id ? translation.table : "";
  position = 0;
  mode = kNone;
}

int Recordset::Impl::Index(std::string_view name) const {
  RequireOpen();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (SameText(columns[i].name, name)) return static_cast<int>(i);
  }
  throw Error(SQLITE_ERROR, "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

void Recordset::Impl::CheckIndex(int index) const {
  RequireOpen();
  if (index < 0 || index >= static_cast<int>(columns.size())) {
    throw Error(SQLITE_RANGE, "Item cannot be found in the collection corresponding to the requested name or ordinal.");
  }
}

const com::Variant& Recordset::Impl::Value(int index) const {
  CheckIndex(index);
  RequireCurrent();
  return mode == kNone ? rows[static_cast<std::size_t>(position)][static_cast<std::size_t>(index)]
                       : edited[static_cast<std::size_t>(index)];
}

void Recordset::Impl::Set(int index, const com::Variant& value) {
  CheckIndex(index);
  RequireCurrent();
  if (table.empty()) throw Error(SQLITE_READONLY, kNotUpdatable);
  if (!Writable(index)) throw Error(SQLITE_READONLY, "Field '" + columns[index].name + "' cannot be updated.");
  if (mode == kNone) {
    mode = kEdit;
    edited = rows[static_cast<std::size_t>(position)];
    dirty.assign(columns.size(), false);
  }
  edited[static_cast<std::size_t>(index)] = value.Deref();
  dirty[static_cast<std::size_t>(index)] = true;
}

void Recordset::Impl::Update() {
  if (mode == kNone) return;
  Write();
  mode = kNone;
  edited.clear();
}

void Recordset::Impl::Write() {
  // Two result columns may name one table column; the last value wins.
  std::vector<std::size_t> targets;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!dirty[i]) continue;
    std::erase_if(targets, [&](std::size_t k) { return SameText(columns[k].origin, columns[i].origin); });
    targets.push_back(i);
  }
  if (mode == kEdit && targets.empty()) return;
  std::string names, marks;
  for (std::size_t i : targets) {
    const char* comma = names.empty() ? "" : ", ";
    names += comma + QuoteName(columns[i].origin) + (mode == kEdit ? " = ?" : "");
    marks += std::string(comma) + "?";
  }
  std::string sql = mode == kEdit ? "UPDATE " + QuoteName(table) + " SET " + names + " WHERE rowid = ?"
                    : targets.empty() ? "INSERT INTO " + QuoteName(table) + " DEFAULT VALUES"
                    : "INSERT INTO " + QuoteName(table) + " (" + names + ") VALUES (" + marks + ")";
  std::unique_ptr<Statement> statement = connection->PrepareNative(sql);
  sqlite3_stmt* stmt = statement->get();
  int p = 1;
  for (std::size_t i : targets) {
    connection->BindValue(stmt, p++, edited[i], columns[i].dates == DateMode::kDeclared);
  }
  if (mode == kEdit) connection->Check(sqlite3_bind_int64(stmt, p, row_ids[static_cast<std::size_t>(position)]));
  connection->Run(*statement);
  if (mode == kEdit) {
    if (sqlite3_changes(connection->db) == 0) {
      throw Error(SQLITE_NOTFOUND,
                  "Row cannot be located for updating. Some values may have been changed since it was last read.");
    }
    rows[static_cast<std::size_t>(position)] = edited;
  } else {
    rows.push_back(edited);
    row_ids.push_back(sqlite3_last_insert_rowid(connection->db));
    position = Count() - 1;
  }
  Refresh(position);
}

// Reads back the row as the database holds it (converted dates, defaults,
// the autonumber of a new row).
void Recordset::Impl::Refresh(int row) {
  std::string names;
  std::vector<std::size_t> indexes;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!Writable(static_cast<int>(i))) continue;
    names += (indexes.empty() ? "" : ", ") + QuoteName(columns[i].origin);
    indexes.push_back(i);
  }
  if (indexes.empty()) return;
  std::unique_ptr<Statement> statement =
      connection->PrepareNative("SELECT " + names + " FROM " + QuoteName(table) + " WHERE rowid = ?");
  sqlite3_stmt* stmt = statement->get();
  connection->Check(sqlite3_bind_int64(stmt, 1, row_ids[static_cast<std::size_t>(row)]));
  int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) connection->Raise(rc);
  if (rc != SQLITE_ROW) return;
  Row& values = rows[static_cast<std::size_t>(row)];
  for (std::size_t k = 0; k < indexes.size(); ++k) {
    values[indexes[k]] = ReadColumn(stmt, static_cast<int>(k), columns[indexes[k]].dates);
  }
}

// ---------------------------------------------------------------------------

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(std::string_view sql, Connection& connection, CursorType cursor, LockType lock) {
  Open(sql, connection, {}, cursor, lock);
}

void Recordset::Open(std::string_view sql, Connection& connection, const Params& params, CursorType,
                     LockType lock) {
  Close();
  impl_->Open(sql, connection.impl(), params, lock != kLockReadOnly);
}

void Recordset::Close() { impl_ = std::make_unique<Impl>(); }

bool Recordset::IsOpen() const { return impl_ && impl_->connection != nullptr; }

bool Recordset::IsEof() const {
  impl_->RequireOpen();
  return impl_->mode != Impl::kAdd && impl_->position >= impl_->Count();
}

bool Recordset::IsBof() const {
  impl_->RequireOpen();
  return impl_->mode != Impl::kAdd && (impl_->position < 0 || impl_->Count() == 0);
}

void Recordset::MoveNext() {
  impl_->BeforeMove();
  if (impl_->position >= impl_->Count()) throw Error(SQLITE_ERROR, kNoCurrentRecord);
  ++impl_->position;
}

void Recordset::MovePrevious() {
  impl_->BeforeMove();
  if (impl_->position < 0) throw Error(SQLITE_ERROR, kNoCurrentRecord);
  --impl_->position;
}

void Recordset::MoveFirst() {
  impl_->BeforeMove();
  if (impl_->Count() == 0) throw Error(SQLITE_ERROR, kNoCurrentRecord);
  impl_->position = 0;
}

void Recordset::MoveLast() {
  impl_->BeforeMove();
  if (impl_->Count() == 0) throw Error(SQLITE_ERROR, kNoCurrentRecord);
  impl_->position = impl_->Count() - 1;
}

int Recordset::RecordCount() const {
  impl_->RequireOpen();
  return impl_->Count();
}

int Recordset::AbsolutePosition() const {
  impl_->RequireOpen();
  return impl_->mode != Impl::kAdd && impl_->position >= 0 && impl_->position < impl_->Count()
             ? impl_->position
             : -1;
}

int Recordset::FieldCount() const {
  impl_->RequireOpen();
  return static_cast<int>(impl_->columns.size());
}

const std::string& Recordset::FieldName(int index) const {
  impl_->CheckIndex(index);
  return impl_->columns[static_cast<std::size_t>(index)].name;
}

const com::Variant& Recordset::Field(std::string_view name) const { return impl_->Value(impl_->Index(name)); }
const com::Variant& Recordset::Field(int index) const { return impl_->Value(index); }

void Recordset::SetField(std::string_view name, const com::Variant& value) { impl_->Set(impl_->Index(name), value); }
void Recordset::SetField(int index, const com::Variant& value) { impl_->Set(index, value); }

void Recordset::AddNew() {
  impl_->BeforeMove();
  if (impl_->table.empty()) throw Error(SQLITE_READONLY, kNotUpdatable);
  impl_->mode = Impl::kAdd;
  impl_->edited.assign(impl_->columns.size(), com::Variant::Null());
  impl_->dirty.assign(impl_->columns.size(), false);
}

void Recordset::Update() {
  impl_->RequireOpen();
  impl_->Update();
}

void Recordset::CancelUpdate() {
  impl_->RequireOpen();
  impl_->mode = Impl::kNone;
  impl_->edited.clear();
}

bool Recordset::IsEditing() const { return impl_->mode != Impl::kNone; }

std::vector<Row> Recordset::GetRows(int count) {
  impl_->BeforeMove();
  std::vector<Row> out;
  while (impl_->position >= 0 && impl_->position < impl_->Count() &&
         (count < 0 || static_cast<int>(out.size()) < count)) {
    out.push_back(impl_->rows[static_cast<std::size_t>(impl_->position++)]);
  }
  return out;
}

}  // namespace tf::db
