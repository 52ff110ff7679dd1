// Recordset: the rows of one SELECT, with a current row, fields read and
// written as Variants, and the moves of both faces the system uses (ADO in
// the engine: EOF, MoveNext, assign and Update, AddNew; DAO in the reports:
// MoveFirst, MoveLast, RecordCount, AbsolutePosition, GetRows).
//
// The rows are read when the recordset opens, so an open recordset holds no
// lock on the file. Update and AddNew write through to the database at once;
// they need a SELECT over one table (no join, grouping, DISTINCT or TOP).
// The connection must outlive the recordsets opened on it.
//
// Field values: integers as VT_I4 (VT_R8 when they do not fit), reals as
// VT_R8, texts as VT_BSTR, NULL as VT_NULL, and dates (date columns, and
// expressions such as Max or DateSerial over them) as VT_DATE.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"
#include "platform/db/connection.h"

namespace tf::db {

// Cursor and lock types, numbered as ADO numbers them. They are accepted for
// the callers' sake; every recordset behaves as a keyset over its rows, and
// updatable whenever it reads one table.
enum CursorType { kOpenForwardOnly = 0, kOpenKeyset = 1, kOpenDynamic = 2, kOpenStatic = 3 };
enum LockType {
  kLockReadOnly = 1,
  kLockPessimistic = 2,
  kLockOptimistic = 3,
  kLockBatchOptimistic = 4
};

using Row = std::vector<com::Variant>;

class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;

  void Open(std::string_view sql, Connection& connection, CursorType cursor = kOpenForwardOnly,
            LockType lock = kLockReadOnly);
  void Open(std::string_view sql, Connection& connection, const Params& params,
            CursorType cursor = kOpenForwardOnly, LockType lock = kLockReadOnly);
  // Discards an unsaved edit. Closing a closed recordset does nothing.
  void Close();
  bool IsOpen() const;

  // EOF is a C macro, hence the names.
  bool IsEof() const;
  bool IsBof() const;
  // Moving off an edited row saves it first, as Update would.
  void MoveNext();
  void MovePrevious();
  // Raise Error on an empty recordset.
  void MoveFirst();
  void MoveLast();
  int RecordCount() const;
  // Position of the current row counted from 0; -1 when there is none.
  int AbsolutePosition() const;

  int FieldCount() const;
  const std::string& FieldName(int index) const;
  // Fields by name (without regard to case) or by index; Error when there
  // is no current row or no such field.
  const com::Variant& Field(std::string_view name) const;
  const com::Variant& Field(int index) const;

  // Assigning a field starts an edit of the current row; Update saves it.
  void SetField(std::string_view name, const com::Variant& value);
  void SetField(int index, const com::Variant& value);
  // Starts a new row (all fields Null) that Update inserts; the new row,
  // with the values the database gave it, becomes the current row.
  void AddNew();
  void Update();
  void CancelUpdate();
  bool IsEditing() const;

  // Up to `count` rows from the current one (all of them when count < 0),
  // each a row of field values; the current row moves past them.
  std::vector<Row> GetRows(int count = -1);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tf::db
