// The translator from the Jet dialect the system writes to SQLite's. It is a
// tokenizer with a few structural rewrites; the insides of string literals
// and of [bracketed] names are never touched.
//
//   #1/7/2007 13:05:09#        '2007-01-07 13:05:09' (the stored date form)
//   'text' into a date column  the same, in INSERT ... VALUES and UPDATE SET
//   [name], "text"             "name", 'text' (Jet's quotes)
//   'text'                     'text' COLLATE NOCASE: Jet compares text
//                              without regard to case
//   GROUP BY a, b              GROUP BY a COLLATE NOCASE, ... (and the rows
//                              come in group order when there is no ORDER BY)
//   a / b                      a *1.0/ b (real division); & is ||, MOD is %
//   DELETE * FROM              DELETE FROM
//   SELECT TOP n ... ORDER BY  every row ranked within the first n, ties
//                              included, through RANK() and one hidden column
//   CREATE TABLE, ALTER TABLE  Jet types mapped to SQLite's; text columns
//                              COLLATE NOCASE; COUNTER is the autonumber
//   CREATE INDEX i ON t        index "t.i" (Jet names indexes per table)
//
// LIKE keeps its text: the connection gives LIKE Jet's wildcards (* ? # [ ])
// through its own like() function. One statement per text; a second one is
// an error.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tf::db {

struct ColumnInfo {
  std::string name;
  std::string declared_type;
};

// Columns of a table in their order, or nullptr when there is no such table.
using SchemaLookup = std::function<const std::vector<ColumnInfo>*(std::string_view table)>;

// Name of the hidden column that carries the row's identity for updates.
inline constexpr char kRowIdColumn[] = "tf_rowid_";

struct Translation {
  std::string sql;
  // Trailing result columns that are the layer's own (a rank or a row id).
  int hidden_columns = 0;
  // The last column is kRowIdColumn of `table`.
  bool has_row_id = false;
  // The one table a plain SELECT reads; where updates and inserts go.
  std::string table;
  // Per '?' in order: whether it is written into a date column.
  std::vector<bool> date_params;
  // DDL: cached schema knowledge is stale afterwards.
  bool changes_schema = false;
};

// Raises Error on text that is not one statement of the dialect (an open
// literal, a bad date, a second statement). With want_row_id, a plain SELECT
// over one table also returns the row id (see Translation).
Translation TranslateJetSql(std::string_view sql, const SchemaLookup& schema,
                            bool want_row_id = false);

}  // namespace tf::db
