// Many rows through one INSERT: a statement per row costs a good part of a
// row's write in itself, so the rows go in groups, their values bound one
// row after the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/connection.h"

namespace tf {

// Rows that one group statement writes.
constexpr std::size_t kRowsPerStatement = 16;

// An INSERT (with its conflict clause, if any) as a statement for one row
// and one for a group of kRowsPerStatement rows.
struct RowStatements {
  RowStatements(std::string_view head, std::string_view row, std::string_view tail)
      : one(std::string(head) + " VALUES " + std::string(row) + " " + std::string(tail)) {
    group = std::string(head) + " VALUES ";
    for (std::size_t i = 0; i < kRowsPerStatement; ++i) {
      if (i > 0) group += ", ";
      group += row;
    }
    group += " ";
    group += tail;
  }
  std::string one;
  std::string group;
};

// Runs rows [0, count): in groups through `group_sql` where there is one,
// the rest, and every row of a group that failed (none of whose rows then
// stays written), one by one through `one_sql`, so that each failure is
// told alone. bind(i, values) binds row i; failed(i, error) hears a row
// that failed; progress(n) the rows whose statement has run so far, as the
// next statement is bound and at the end.
template <typename Bind, typename Failed, typename Progress>
void ExecuteRows(db::Connection& connection, std::string_view one_sql, std::string_view group_sql,
                 std::size_t count, Bind bind, Failed failed, Progress progress) {
  std::size_t done = 0;
  std::size_t running = 0;  // rows of the statement last bound
  auto ran = [&] {
    done += running;
    running = 0;
    if (done > 0) progress(done);
  };
  constexpr std::size_t n = kRowsPerStatement;
  std::vector<std::size_t> singles;
  const std::size_t groups = group_sql.empty() ? 0 : count / n;
  if (groups > 0) {
    connection.ExecuteEachBound(
        group_sql, groups,
        [&](std::size_t g, db::RowBinder& values) {
          ran();
          for (std::size_t i = g * n; i < (g + 1) * n; ++i) bind(i, values);
          running = n;
        },
        [&](std::size_t g, const db::Error&) {
          running = 0;
          for (std::size_t i = g * n; i < (g + 1) * n; ++i) singles.push_back(i);
        });
  }
  for (std::size_t i = groups * n; i < count; ++i) singles.push_back(i);
  if (!singles.empty()) {
    connection.ExecuteEachBound(
        one_sql, singles.size(),
        [&](std::size_t k, db::RowBinder& values) {
          ran();
          bind(singles[k], values);
          running = 1;
        },
        [&](std::size_t k, const db::Error& e) { failed(singles[k], e); });
  }
  ran();
}

}  // namespace tf
