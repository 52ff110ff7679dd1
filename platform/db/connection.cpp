#include "platform/db/connection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <limits>

#include "platform/db/connection_impl.h"
#include "platform/db/jet_functions.h"
#include "platform/db/recordset.h"
#include "platform/db/text.h"
#include "platform/db/values.h"

namespace tf::db {
namespace {

// SQLite takes a name beginning with ':' as a special database and one
// beginning with "file:" as a URI; from the current folder, a relative name
// is only ever a file.
std::string FileName(const std::string& path) { return path[0] == '/' ? path : "./" + path; }

// SQLite's allocation statistics take a global lock on every allocation,
// and a flush allocates for every row; nothing here reads them. The setting
// only takes before SQLite's first use, so it is made before the first open.
void SetUpLibraryOnce() {
  static const bool done = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)done;
}

}  // namespace

// ---------------------------------------------------------------------------
// Statement

Statement::~Statement() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  owner_->GiveBack(*this);
}

// ---------------------------------------------------------------------------
// Connection::Impl

void Connection::Impl::Open(const std::string& file, Connection::Serialization serialization) {
  Close();
  struct stat info;
  if (file.empty() || stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw Error(SQLITE_CANTOPEN, sqlite3_errstr(SQLITE_CANTOPEN));
  }
  SetUpLibraryOnce();
  sqlite3* handle = nullptr;
  int flags = SQLITE_OPEN_READWRITE;
  if (serialization == Connection::Serialization::kByCaller) flags |= SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(FileName(file).c_str(), &handle, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    sqlite3_close_v2(handle);
    throw Error(rc, message);
  }
  db = handle;
  path = file;
  ++generation_;
  try {
    sqlite3_busy_timeout(db, timeout_ms);
    RegisterJetFunctions(db);
    // Reading the journal mode reads the file's header, so a file that is
    // not a database fails here rather than at the first statement.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
    // 32 MB holds the pages an analysis run keeps changing (the indexes'
    // upper levels, the current days' rows and visitors). A larger cache
    // faults in fresh memory for every page the run writes and leaves them
    // all to the final commit; a smaller one writes the pages to the journal
    // as the run goes, on its writer thread, but a busy site's visitors no
    // longer fit and are written again and again.
    Exec("PRAGMA cache_size=-32768");
    Exec("PRAGMA wal_autocheckpoint=8192");
  } catch (...) {
    Close();
    throw;
  }
}

void Connection::Impl::Close() {
  if (db == nullptr) return;
  if (level > 0) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  level = 0;
  ForgetSchema();
  sqlite3_close_v2(db);
  db = nullptr;
  path.clear();
}

void Connection::Impl::RequireOpen() const {
  if (db == nullptr) throw Error(SQLITE_MISUSE, kClosed);
}

void Connection::Impl::Raise(int rc) const {
  const char* message = db ? sqlite3_errmsg(db) : nullptr;
  throw Error(rc, message ? message : "");
}

void Connection::Impl::Exec(const std::string& sql) {
  RequireOpen();
  char* message = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw Error(rc, text);
  }
}

std::unique_ptr<Statement> Connection::Impl::Lend(std::string key,
                                                  const std::function<Translation()>& translate) {
  RequireOpen();
  auto found = cache_.find(key);
  if (found != cache_.end()) {
    Cached& cached = *found->second;
    lru_.splice(lru_.begin(), lru_, found->second);
    if (!cached.lent) {
      cached.lent = true;
      return std::unique_ptr<Statement>(
          new Statement(this, cached.translation, cached.stmt, generation_, &cached));
    }
    // In use further up the stack: this use gets a statement of its own.
    return std::unique_ptr<Statement>(
        new Statement(this, cached.translation, PrepareText(cached.translation->sql), generation_, nullptr));
  }
  auto translation = std::make_shared<const Translation>(translate());
  sqlite3_stmt* stmt = PrepareText(translation->sql);
  if (translation->changes_schema) {
    return std::unique_ptr<Statement>(new Statement(this, std::move(translation), stmt, generation_, nullptr));
  }
  Cached& cached = Keep(std::move(key), translation, stmt);
  return std::unique_ptr<Statement>(new Statement(this, std::move(translation), stmt, generation_, &cached));
}

sqlite3_stmt* Connection::Impl::PrepareText(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
  if (rc != SQLITE_OK) Raise(rc);
  while (tail && std::isspace(static_cast<unsigned char>(*tail))) ++tail;
  if (stmt == nullptr || (tail && *tail)) {
    sqlite3_finalize(stmt);
    throw Error(SQLITE_ERROR, stmt ? "Characters found after end of SQL statement."
                                   : "Command text was not set for the command object.");
  }
  return stmt;
}

Connection::Impl::Cached& Connection::Impl::Keep(std::string key,
                                                 std::shared_ptr<const Translation> translation,
                                                 sqlite3_stmt* stmt) {
  lru_.push_front(Cached{std::move(key), std::move(translation), stmt, true});
  cache_[lru_.front().key] = lru_.begin();
  if (lru_.size() > kCacheSize) {
    for (auto old = std::prev(lru_.end()); old != lru_.begin(); --old) {
      if (old->lent) continue;
      sqlite3_finalize(old->stmt);
      cache_.erase(old->key);
      lru_.erase(old);
      break;
    }
  }
  return lru_.front();
}

void Connection::Impl::GiveBack(Statement& s) {
  // A statement of an earlier schema or of a closed database left the
  // cache when that changed.
  if (s.entry_ == nullptr || db == nullptr || s.generation_ != generation_) {
    sqlite3_finalize(s.stmt_);
    return;
  }
  static_cast<Cached*>(s.entry_)->lent = false;
}

std::unique_ptr<Statement> Connection::Impl::LendFront(char kind, std::string_view sql) {
  RequireOpen();
  if (lru_.empty()) return nullptr;
  Cached& cached = lru_.front();
  const std::string& key = cached.key;
  if (cached.lent || key.size() != sql.size() + 1 || key[0] != kind || key.compare(1, sql.size(), sql) != 0) {
    return nullptr;
  }
  cached.lent = true;
  return std::unique_ptr<Statement>(new Statement(this, cached.translation, cached.stmt, generation_, &cached));
}

std::unique_ptr<Statement> Connection::Impl::Prepare(std::string_view sql, bool want_row_id) {
  const char kind = want_row_id ? 'R' : 'J';
  if (std::unique_ptr<Statement> statement = LendFront(kind, sql)) return statement;
  std::string key(1, kind);
  key += sql;
  return Lend(std::move(key), [&] {
    SchemaLookup lookup = [this](std::string_view table) { return Columns(table); };
    return TranslateJetSql(sql, lookup, want_row_id);
  });
}

std::unique_ptr<Statement> Connection::Impl::PrepareNative(const std::string& sql) {
  if (std::unique_ptr<Statement> statement = LendFront('N', sql)) return statement;
  return Lend("N" + sql, [&] {
    Translation translation;
    translation.sql = sql;
    return translation;
  });
}

namespace {

bool IsDateParam(const Statement& statement, int index) {
  const std::vector<bool>& dates = statement.translation().date_params;
  return static_cast<std::size_t>(index - 1) < dates.size() && dates[static_cast<std::size_t>(index - 1)];
}

void RaiseCountMismatch(int count, std::size_t given) {
  throw Error(SQLITE_RANGE, static_cast<std::size_t>(count) > given
                                ? "No value given for one or more required parameters."
                                : "More values given than the statement has parameters.");
}

}  // namespace

void Connection::Impl::Bind(const Statement& statement, const Params& params) {
  sqlite3_stmt* stmt = statement.get();
  int count = sqlite3_bind_parameter_count(stmt);
  if (static_cast<std::size_t>(count) != params.size()) RaiseCountMismatch(count, params.size());
  for (int i = 0; i < count; ++i) {
    BindValue(stmt, i + 1, params[static_cast<std::size_t>(i)], IsDateParam(statement, i + 1));
  }
}

void Connection::Impl::BindValue(sqlite3_stmt* stmt, int index, const com::Variant& value,
                                 bool date_target) {
  int rc = BindVariant(stmt, index, value, date_target);
  if (rc == SQLITE_MISMATCH) throw Error(rc, "Parameter type is not supported.");
  Check(rc);
}

void Connection::Impl::Run(const Statement& statement) {
  int rc;
  do {
    rc = sqlite3_step(statement.get());
  } while (rc == SQLITE_ROW && !sqlite3_stmt_readonly(statement.get()));
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) Raise(rc);
  Ran(statement);
}

void Connection::Impl::Ran(const Statement& statement) {
  if (statement.translation().changes_schema) ForgetSchema();
}

void Connection::Impl::ForgetSchema() {
  // A lent statement is finalized when it is given back.
  for (Cached& c : lru_) {
    if (!c.lent) sqlite3_finalize(c.stmt);
  }
  lru_.clear();
  cache_.clear();
  columns_.clear();
  ++generation_;
}

const std::vector<ColumnInfo>* Connection::Impl::Columns(std::string_view table) {
  std::string key = AsciiUpper(table);
  auto found = columns_.find(key);
  if (found != columns_.end()) return &found->second;
  std::string sql = "PRAGMA table_info(" + QuoteName(table) + ")";
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return nullptr;
  std::vector<ColumnInfo> columns;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    auto text = [&](int i) {
      const unsigned char* t = sqlite3_column_text(stmt, i);
      return std::string(t ? reinterpret_cast<const char*>(t) : "");
    };
    columns.push_back({text(1), text(2)});
  }
  sqlite3_finalize(stmt);
  if (columns.empty()) return nullptr;
  return &columns_.emplace(key, std::move(columns)).first->second;
}

// ---------------------------------------------------------------------------
// Connection

void CreateDatabase(const std::string& path) {
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw Error(SQLITE_CANTOPEN, errno == EEXIST ? "Database already exists." : sqlite3_errstr(SQLITE_CANTOPEN));
  }
  ::close(fd);
  Connection connection;
  try {
    connection.Open(path);  // writes the header: the file is a database from now on
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
}

Connection::Connection() : impl_(std::make_unique<Impl>()) {}
Connection::~Connection() = default;

Connection::Impl& Connection::impl() { return *impl_; }

void Connection::Open(const std::string& path, Serialization serialization) {
  impl_->Open(path, serialization);
}
void Connection::Close() { impl_->Close(); }
bool Connection::IsOpen() const { return impl_->db != nullptr; }
const std::string& Connection::path() const { return impl_->path; }

void Connection::SetCommandTimeout(int seconds) {
  impl_->timeout_ms = seconds <= 0 ? 0 : seconds >= 2000000 ? 2000000000 : seconds * 1000;
  if (impl_->db) sqlite3_busy_timeout(impl_->db, impl_->timeout_ms);
}

int Connection::Execute(std::string_view sql) { return Execute(sql, {}); }

void Connection::Interrupt() {
  if (impl_->db != nullptr) sqlite3_interrupt(impl_->db);
}

bool Connection::WriteChangedPages() {
  impl_->RequireOpen();
  return sqlite3_db_cacheflush(impl_->db) == SQLITE_OK;
}

std::int64_t Connection::LastInsertRowId() const {
  impl_->RequireOpen();
  return sqlite3_last_insert_rowid(impl_->db);
}

int Connection::Execute(std::string_view sql, const Params& params) {
  std::unique_ptr<Statement> statement = impl_->Prepare(sql, false);
  impl_->Bind(*statement, params);
  impl_->Run(*statement);
  return sqlite3_stmt_readonly(statement->get()) ? 0 : sqlite3_changes(impl_->db);
}

void Connection::ExecuteEach(std::string_view sql, std::size_t rows,
                             const std::function<void(std::size_t, Params&)>& fill,
                             const std::function<void(std::size_t, const Error&)>& failed) {
  Params params;
  ExecuteEachBound(
      sql, rows,
      [&](std::size_t i, RowBinder& row) {
        params.clear();
        fill(i, params);
        for (const com::Variant& value : params) row.Value(value);
      },
      failed);
}

// ---------------------------------------------------------------------------
// RowBinder

int RowBinder::NextIndex() { return ++bound_; }

void RowBinder::Keep(int rc) {
  if (rc_ == SQLITE_OK) rc_ = rc;
}

void RowBinder::Int(std::int32_t value) { Keep(sqlite3_bind_int(statement_.get(), NextIndex(), value)); }

void RowBinder::Double(double value) {
  Keep(sqlite3_bind_double(statement_.get(), NextIndex(), value));
}

void RowBinder::Text(std::string_view value) { BindText(value, SQLITE_TRANSIENT); }

void RowBinder::SharedText(std::string_view value) { BindText(value, SQLITE_STATIC); }

void RowBinder::BindText(std::string_view value, void (*lifetime)(void*)) {
  const int index = NextIndex();
  // A length that does not fit an int would read as "up to the first zero
  // byte", past the end of a view.
  if (value.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    Keep(SQLITE_TOOBIG);
    return;
  }
  Keep(sqlite3_bind_text(statement_.get(), index, value.data(), static_cast<int>(value.size()),
                         lifetime));
}

void RowBinder::Value(const com::Variant& value) {
  const int index = NextIndex();
  Keep(BindVariant(statement_.get(), index, value, IsDateParam(statement_, index)));
}

void RowBinder::Check() const {
  int count = sqlite3_bind_parameter_count(statement_.get());
  if (bound_ != count) RaiseCountMismatch(count, static_cast<std::size_t>(bound_));
  if (rc_ == SQLITE_MISMATCH) throw Error(rc_, "Parameter type is not supported.");
  if (rc_ != SQLITE_OK) throw Error(rc_, sqlite3_errmsg(sqlite3_db_handle(statement_.get())));
}

void Connection::ExecuteEachBound(std::string_view sql, std::size_t rows,
                                  const std::function<void(std::size_t, RowBinder&)>& bind,
                                  const std::function<void(std::size_t, const Error&)>& failed) {
  std::unique_ptr<Statement> statement;
  try {
    statement = impl_->Prepare(sql, false);
  } catch (const Error& e) {
    for (std::size_t i = 0; i < rows; ++i) failed(i, e);
    return;
  }
  for (std::size_t i = 0; i < rows; ++i) {
    RowBinder row(*statement);
    bind(i, row);
    try {
      row.Check();
      impl_->Run(*statement);
    } catch (const Error& e) {
      failed(i, e);
    }
    sqlite3_reset(statement->get());
  }
}

namespace {
std::string SavepointName(int level) { return "tf_level_" + std::to_string(level); }
}  // namespace

int Connection::BeginTrans() {
  // IMMEDIATE takes the write lock at once: a transaction that read first
  // and wrote later could otherwise fail against another writer instead of
  // waiting for it.
  impl_->Exec(impl_->level == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT " + SavepointName(impl_->level + 1));
  return ++impl_->level;
}

void Connection::CommitTrans() {
  impl_->RequireOpen();
  if (impl_->level == 0) throw Error(SQLITE_ERROR, "No transaction is active.");
  if (sqlite3_get_autocommit(impl_->db)) {  // the database rolled it back after an error
    impl_->level = 0;
    throw Error(SQLITE_ABORT, "The transaction was rolled back after an error.");
  }
  impl_->Exec(impl_->level == 1 ? "COMMIT" : "RELEASE " + SavepointName(impl_->level));
  --impl_->level;
}

void Connection::RollbackTrans() {
  impl_->RequireOpen();
  if (impl_->level == 0) throw Error(SQLITE_ERROR, "No transaction is active.");
  if (sqlite3_get_autocommit(impl_->db)) {
    impl_->level = 0;
    return;
  }
  if (impl_->level == 1) {
    impl_->Exec("ROLLBACK");
  } else {
    std::string name = SavepointName(impl_->level);
    impl_->Exec("ROLLBACK TO " + name);
    impl_->Exec("RELEASE " + name);
  }
  --impl_->level;
}

int Connection::TransactionLevel() const { return impl_->level; }

Recordset Connection::OpenRecordset(std::string_view sql) { return OpenRecordset(sql, {}); }

Recordset Connection::OpenRecordset(std::string_view sql, const Params& params) {
  Recordset recordset;
  recordset.Open(sql, *this, params, kOpenKeyset, kLockOptimistic);
  return recordset;
}

}  // namespace tf::db
