#include "server/sqlite_db.h"

namespace vexa::server {
namespace {

[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
  throw ESqliteError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

}  // namespace

TSqliteDb::TSqliteDb(const std::filesystem::path& file, bool readOnly) {
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                    SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(file.c_str(), &Db_, flags, nullptr) != SQLITE_OK) {
    const std::string text = "cannot open " + file.string() + ": " + (Db_ ? sqlite3_errmsg(Db_) : "out of memory");
    sqlite3_close(Db_);
    Db_ = nullptr;
    throw ESqliteError(text);
  }
  sqlite3_extended_result_codes(Db_, 1);
  // Writers are serialised by the store; this only covers an outside reader
  // holding a checkpoint (sqlite3 shell, backups).
  sqlite3_busy_timeout(Db_, 10000);
}

TSqliteDb::~TSqliteDb() { sqlite3_close(Db_); }

void TSqliteDb::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(Db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(Db_);
    sqlite3_free(message);
    throw ESqliteError(text);
  }
}

int64_t TSqliteDb::LastInsertId() const { return sqlite3_last_insert_rowid(Db_); }

int TSqliteDb::Changes() const { return sqlite3_changes(Db_); }

int TSqliteDb::UserVersion() {
  TStatement s(*this, "PRAGMA user_version");
  return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

TStatement::TStatement(TSqliteDb& db, const char* sql) : Db_(db) {
  if (sqlite3_prepare_v2(db.Handle(), sql, -1, &Stmt_, nullptr) != SQLITE_OK) Fail(db.Handle(), "prepare");
}

TStatement::~TStatement() { sqlite3_finalize(Stmt_); }

TStatement& TStatement::Bind(int index, int64_t value) {
  if (sqlite3_bind_int64(Stmt_, index, value) != SQLITE_OK) Fail(Db_.Handle(), "bind");
  return *this;
}

TStatement& TStatement::Bind(int index, std::string_view value) {
  if (sqlite3_bind_text64(Stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
    Fail(Db_.Handle(), "bind");
  return *this;
}

TStatement& TStatement::BindNull(int index) {
  if (sqlite3_bind_null(Stmt_, index) != SQLITE_OK) Fail(Db_.Handle(), "bind");
  return *this;
}

bool TStatement::Step() {
  const int rc = sqlite3_step(Stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(Db_.Handle(), "step");
}

void TStatement::Run() {
  while (Step()) {
  }
}

void TStatement::Reset() {
  sqlite3_reset(Stmt_);
  sqlite3_clear_bindings(Stmt_);
}

int64_t TStatement::Int(int column) const { return sqlite3_column_int64(Stmt_, column); }

double TStatement::Real(int column) const { return sqlite3_column_double(Stmt_, column); }

std::string TStatement::Text(int column) const {
  const auto* p = sqlite3_column_text(Stmt_, column);
  const int n = sqlite3_column_bytes(Stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

bool TStatement::IsNull(int column) const { return sqlite3_column_type(Stmt_, column) == SQLITE_NULL; }

TTransaction::TTransaction(TSqliteDb& db) : Db_(db) { Db_.Exec("BEGIN IMMEDIATE"); }

TTransaction::~TTransaction() {
  if (!Done_) sqlite3_exec(Db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TTransaction::Commit() {
  Db_.Exec("COMMIT");
  Done_ = true;
}

}  // namespace vexa::server
