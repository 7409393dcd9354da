// A thin layer over the SQLite C API: one connection, prepared statements
// and transactions, every failure turned into ESqliteError.
// A TSqliteDb is used by one thread at a time (the store hands them out).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexa::server {

class ESqliteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TSqliteDb {
 public:
  TSqliteDb(const std::filesystem::path& file, bool readOnly);
  ~TSqliteDb();
  TSqliteDb(const TSqliteDb&) = delete;
  TSqliteDb& operator=(const TSqliteDb&) = delete;

  sqlite3* Handle() const { return Db_; }
  void Exec(const char* sql);
  int64_t LastInsertId() const;
  int Changes() const;
  int UserVersion();

 private:
  sqlite3* Db_ = nullptr;
};

class TStatement {
 public:
  TStatement(TSqliteDb& db, const char* sql);
  ~TStatement();
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  // Parameters are 1-based as in SQLite; text is copied.
  TStatement& Bind(int index, int64_t value);
  TStatement& Bind(int index, std::string_view value);
  TStatement& BindNull(int index);
  // True while a row is available.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  int64_t Int(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;

 private:
  TSqliteDb& Db_;
  sqlite3_stmt* Stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when left without Commit().
class TTransaction {
 public:
  explicit TTransaction(TSqliteDb& db);
  ~TTransaction();
  TTransaction(const TTransaction&) = delete;
  TTransaction& operator=(const TTransaction&) = delete;
  void Commit();

 private:
  TSqliteDb& Db_;
  bool Done_ = false;
};

}  // namespace vexa::server
