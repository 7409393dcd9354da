// The service's store: one SQLite file "vexa-server.db" in the data folder,
// in WAL mode with synchronous=FULL, so a change is on disk before its reply
// is written and a killed service loses nothing it acknowledged. Every change
// is one transaction; the schema is created and upgraded here (user_version).
//
// Thread safety: every method may be called from any thread. Changes go
// through one writer connection under a mutex; reads take a connection of
// their own from a small pool (WAL lets them run beside the writer).
//
// Times are seconds since the epoch (UTC); 0 means none.
// Refusals the caller should see are thrown as EServiceError (Russian text
// for the "<error>" row); database failures as ESqliteError.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::server {

class TSqliteDb;

class EServiceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Who sends a request: the identity fields every write carries, unescaped.
struct TIdentity {
  std::string AppId;
  std::string AppName;  // shown as the program's name: a known AppId's name, else AppId
  std::string AppVer;
  std::string HwdId;
  std::string Name;
  std::string Mail;
  int64_t Lcid = 0;
};

struct TSystemRecord {
  int64_t Id = 0;
  int64_t Nums = 0;
  int64_t Olap = 0;
  int64_t CSize = 0;
  std::string Title;
  std::string Descr;
  std::string Author;
  std::string Mail;
  std::string Url;
  int64_t Created = 0;
  int64_t Downloads = 0;
  int64_t LastDownload = 0;
};

// A system to save: Id 0 for a new one; Combs the checked lines joined by CR LF.
struct TSystemPut {
  int64_t Id = 0;
  int64_t Nums = 0;
  int64_t Olap = 0;
  int64_t CSize = 0;
  std::string Title;
  std::string Descr;
  std::string Url;
  std::string Combs;
};

struct TScriptRecord {
  int64_t Id = 0;
  std::string AppName;
  std::string AppVer;
  std::string AppGuid;
  std::string Author;
  std::string Mail;
  int64_t Lcid = 0;
  bool Universal = false;
  bool Public = true;
  int64_t Created = 0;
  int64_t LastDownload = 0;
  double RatingAvg = 0;
  int64_t RatingCnt = 0;
  int64_t RatingYou = 0;  // -1 hidden, 0 none, 1..5
  int64_t Downloads = 0;
  std::string Title;
  std::string Descr;
};

// A script to save: Id -1 for a new one.
struct TScriptPut {
  int64_t Id = -1;
  bool Universal = false;
  bool Public = true;
  std::string Title;
  std::string Descr;
  std::string Script;
};

struct TRateRecord {
  std::string Name;
  int64_t Rate = 0;
  int64_t Created = 0;
  std::string AppName;
  std::string AppVer;
  std::string Notes;
};

// The list filters of the library (the fltid field).
enum class EScriptFilter : int {
  Hidden = -1,
  All = 0,
  NotHidden = 1,
  Mine = 2,
  Public = 3,
  RatedByMe = 4,
  NotRatedByMe = 5,
  New = 6,
};

class TStore {
 public:
  static constexpr int SchemaVersion = 1;
  static constexpr int64_t NewScriptAge = 24 * 60 * 60;

  explicit TStore(const std::filesystem::path& dataDir);
  ~TStore();
  TStore(const TStore&) = delete;
  TStore& operator=(const TStore&) = delete;

  static std::filesystem::path DbFile(const std::filesystem::path& dataDir);

  // Systems catalogue. Generation() changes after every committed change of
  // systems (downloads included), so a rendered list can be cached.
  std::vector<TSystemRecord> Systems();
  int64_t SystemsGeneration() const { return SystemsGeneration_.load(); }
  // The combinations text; counts a download. nullopt: no such system.
  std::optional<std::string> SystemCombs(int64_t id, int64_t now);
  // Saves a new (Id 0) or the caller's own system; returns its id.
  int64_t PutSystem(const TIdentity& who, const TSystemPut& system, int64_t now);
  void DeleteSystem(const TIdentity& who, int64_t id);
  // A seeded system without an owner; keeps preferredId when it is free.
  int64_t ImportSystem(const TSystemPut& system, std::string_view author, int64_t preferredId, int64_t now);

  // Script library. ScriptsGeneration() changes after every committed change
  // of scripts or ratings (downloads included). ListKey: the caller's e-mail
  // key when it is bound to the caller's installation, else "" - the lists
  // of two callers with the same key and filter are the same.
  int64_t ScriptsGeneration() const { return ScriptsGeneration_.load(); }
  std::string ListKey(const TIdentity& caller);
  std::vector<TScriptRecord> Scripts(const TIdentity& caller, EScriptFilter filter, int64_t now);
  // The text of a script the caller may see; counts a download.
  std::optional<std::string> ScriptText(const TIdentity& caller, int64_t id, int64_t now);
  // True when another script than exceptId has this title (case-insensitive).
  bool TitleTaken(int64_t exceptId, std::string_view title);
  int64_t PutScript(const TIdentity& who, const TScriptPut& script, int64_t now);
  void DeleteScript(const TIdentity& who, int64_t id);
  // value 1..5 rates, 0 removes the caller's rating or hiding, -1 hides.
  void SetRate(const TIdentity& who, int64_t id, int value, std::string_view notes, int64_t now);
  std::vector<TRateRecord> Rates(int64_t id);
  int64_t ImportScript(const TScriptPut& script, std::string_view author, int64_t now);

 private:
  class TReadLease;
  std::unique_ptr<TSqliteDb> TakeReader();
  void GiveBackReader(std::unique_ptr<TSqliteDb> db);
  void CreateSchema();

  std::filesystem::path File_;
  std::unique_ptr<TSqliteDb> Writer_;
  std::mutex WriterMutex_;
  std::mutex ReadersMutex_;
  std::vector<std::unique_ptr<TSqliteDb>> Readers_;
  std::atomic<int64_t> SystemsGeneration_{0};
  std::atomic<int64_t> ScriptsGeneration_{0};
};

// The e-mail as ownership compares it: trimmed, ASCII letters lower-cased.
std::string MailKey(std::string_view mail);

}  // namespace vexa::server
