#include "server/store.h"

#include <cctype>

#include "server/sqlite_db.h"

namespace vexa::server {
namespace {

// Version 1. The big texts (combs, script) are the last columns, so a list
// never reads their overflow pages.
constexpr const char* SchemaV1 = R"sql(
CREATE TABLE owners(
  mail_key TEXT PRIMARY KEY,
  hwdid TEXT NOT NULL,
  created INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE systems(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  nums INTEGER NOT NULL, olap INTEGER NOT NULL, csize INTEGER NOT NULL,
  title TEXT NOT NULL, descr TEXT NOT NULL, author TEXT NOT NULL,
  mail TEXT NOT NULL, mail_key TEXT NOT NULL, url TEXT NOT NULL,
  app_id TEXT NOT NULL, app_ver TEXT NOT NULL, lcid INTEGER NOT NULL,
  created INTEGER NOT NULL, downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0,
  combs TEXT NOT NULL);
CREATE TABLE scripts(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  title TEXT NOT NULL, title_key TEXT NOT NULL UNIQUE, descr TEXT NOT NULL,
  author TEXT NOT NULL, mail TEXT NOT NULL, mail_key TEXT NOT NULL,
  lcid INTEGER NOT NULL, app_name TEXT NOT NULL, app_ver TEXT NOT NULL,
  app_guid TEXT NOT NULL, uniapps INTEGER NOT NULL, publics INTEGER NOT NULL,
  created INTEGER NOT NULL, downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0,
  rate_sum INTEGER NOT NULL DEFAULT 0, rate_cnt INTEGER NOT NULL DEFAULT 0,
  script TEXT NOT NULL);
CREATE INDEX scripts_mail ON scripts(mail_key);
CREATE TABLE rates(
  script_id INTEGER NOT NULL REFERENCES scripts(id) ON DELETE CASCADE,
  mail_key TEXT NOT NULL,
  cl_name TEXT NOT NULL, rate INTEGER NOT NULL, notes TEXT NOT NULL,
  app_name TEXT NOT NULL, app_ver TEXT NOT NULL, created INTEGER NOT NULL,
  PRIMARY KEY(script_id, mail_key)) WITHOUT ROWID;
)sql";

void Configure(TSqliteDb& db) {
  db.Exec("PRAGMA foreign_keys=ON");
  // FULL: every commit syncs the WAL, so an acknowledged change survives a
  // power cut too, not only a killed process.
  db.Exec("PRAGMA synchronous=FULL");
}

std::string TitleKey(std::string_view title) { return MailKey(title); }

// The caller counts as the owner of its e-mail only from the installation
// the e-mail is bound to.
bool IsAuthenticated(TSqliteDb& db, const TIdentity& who) {
  const std::string key = MailKey(who.Mail);
  if (key.empty() || who.HwdId.empty()) return false;
  TStatement s(db, "SELECT hwdid FROM owners WHERE mail_key=?1");
  s.Bind(1, key);
  return s.Step() && s.Text(0) == who.HwdId;
}

// Inside a write transaction: binds a new e-mail to the caller's
// installation, refuses an e-mail bound to another one.
std::string ClaimOwner(TSqliteDb& db, const TIdentity& who, int64_t now) {
  const std::string key = MailKey(who.Mail);
  if (key.empty()) throw EServiceError("Не указан e-mail");
  if (who.HwdId.empty()) throw EServiceError("Не указан идентификатор установки");
  TStatement s(db, "SELECT hwdid FROM owners WHERE mail_key=?1");
  s.Bind(1, key);
  if (s.Step()) {
    if (s.Text(0) != who.HwdId) throw EServiceError("Этот e-mail уже используется другой установкой программы");
    return key;
  }
  TStatement add(db, "INSERT INTO owners(mail_key, hwdid, created) VALUES(?1, ?2, ?3)");
  add.Bind(1, key).Bind(2, who.HwdId).Bind(3, now).Run();
  return key;
}

// The mail_key of an existing row, or nullopt.
std::optional<std::string> RowOwner(TSqliteDb& db, const char* sql, int64_t id) {
  TStatement s(db, sql);
  s.Bind(1, id);
  if (!s.Step()) return std::nullopt;
  return s.Text(0);
}

}  // namespace

std::string MailKey(std::string_view mail) {
  while (!mail.empty() && std::isspace(static_cast<unsigned char>(mail.front()))) mail.remove_prefix(1);
  while (!mail.empty() && std::isspace(static_cast<unsigned char>(mail.back()))) mail.remove_suffix(1);
  std::string key(mail);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

class TStore::TReadLease {
 public:
  explicit TReadLease(TStore& store) : Store_(store), Db_(store.TakeReader()) {}
  ~TReadLease() { Store_.GiveBackReader(std::move(Db_)); }
  TReadLease(const TReadLease&) = delete;
  TReadLease& operator=(const TReadLease&) = delete;
  TSqliteDb& Db() { return *Db_; }

 private:
  TStore& Store_;
  std::unique_ptr<TSqliteDb> Db_;
};

std::filesystem::path TStore::DbFile(const std::filesystem::path& dataDir) { return dataDir / "vexa-server.db"; }

TStore::TStore(const std::filesystem::path& dataDir) : File_(DbFile(dataDir)) {
  std::error_code ec;
  std::filesystem::create_directories(dataDir, ec);
  Writer_ = std::make_unique<TSqliteDb>(File_, false);
  {
    TStatement wal(*Writer_, "PRAGMA journal_mode=WAL");
    if (!wal.Step() || wal.Text(0) != "wal") throw ESqliteError("cannot switch " + File_.string() + " to WAL");
  }
  Configure(*Writer_);
  CreateSchema();
}

TStore::~TStore() = default;

void TStore::CreateSchema() {
  TTransaction tx(*Writer_);
  const int version = Writer_->UserVersion();
  if (version > SchemaVersion)
    throw ESqliteError(File_.string() + " was written by a newer vexa-server (schema " + std::to_string(version) + ")");
  if (version < 1) Writer_->Exec(SchemaV1);
  // Later versions add their steps here, each guarded by `version < N`.
  Writer_->Exec(("PRAGMA user_version=" + std::to_string(SchemaVersion)).c_str());
  tx.Commit();
}

std::unique_ptr<TSqliteDb> TStore::TakeReader() {
  {
    std::lock_guard<std::mutex> lock(ReadersMutex_);
    if (!Readers_.empty()) {
      auto db = std::move(Readers_.back());
      Readers_.pop_back();
      return db;
    }
  }
  auto db = std::make_unique<TSqliteDb>(File_, true);
  db->Exec("PRAGMA query_only=ON");
  // Readers share the file's pages through the OS instead of each copying
  // them into a cache of its own.
  db->Exec("PRAGMA mmap_size=268435456");
  return db;
}

void TStore::GiveBackReader(std::unique_ptr<TSqliteDb> db) {
  if (!db) return;
  std::lock_guard<std::mutex> lock(ReadersMutex_);
  Readers_.push_back(std::move(db));
}

std::vector<TSystemRecord> TStore::Systems() {
  TReadLease lease(*this);
  TStatement s(lease.Db(),
               "SELECT id, nums, olap, csize, title, descr, author, mail, url, created, downloads, last_download "
               "FROM systems ORDER BY id");
  std::vector<TSystemRecord> out;
  while (s.Step()) {
    TSystemRecord r;
    r.Id = s.Int(0);
    r.Nums = s.Int(1);
    r.Olap = s.Int(2);
    r.CSize = s.Int(3);
    r.Title = s.Text(4);
    r.Descr = s.Text(5);
    r.Author = s.Text(6);
    r.Mail = s.Text(7);
    r.Url = s.Text(8);
    r.Created = s.Int(9);
    r.Downloads = s.Int(10);
    r.LastDownload = s.Int(11);
    out.push_back(std::move(r));
  }
  return out;
}

std::optional<std::string> TStore::SystemCombs(int64_t id, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  TStatement s(*Writer_, "SELECT combs FROM systems WHERE id=?1");
  s.Bind(1, id);
  if (!s.Step()) return std::nullopt;
  std::string combs = s.Text(0);
  TStatement count(*Writer_, "UPDATE systems SET downloads=downloads+1, last_download=?2 WHERE id=?1");
  count.Bind(1, id).Bind(2, now).Run();
  tx.Commit();
  ++SystemsGeneration_;
  return combs;
}

int64_t TStore::PutSystem(const TIdentity& who, const TSystemPut& sys, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  const std::string key = ClaimOwner(*Writer_, who, now);
  int64_t id = sys.Id;
  if (id == 0) {
    TStatement s(*Writer_,
                 "INSERT INTO systems(nums, olap, csize, title, descr, author, mail, mail_key, url, app_id, app_ver, "
                 "lcid, created, combs) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    s.Bind(1, sys.Nums).Bind(2, sys.Olap).Bind(3, sys.CSize).Bind(4, sys.Title).Bind(5, sys.Descr);
    s.Bind(6, who.Name).Bind(7, who.Mail).Bind(8, key).Bind(9, sys.Url).Bind(10, who.AppId).Bind(11, who.AppVer);
    s.Bind(12, who.Lcid).Bind(13, now).Bind(14, sys.Combs).Run();
    id = Writer_->LastInsertId();
  } else {
    const auto owner = RowOwner(*Writer_, "SELECT mail_key FROM systems WHERE id=?1", id);
    if (!owner) throw EServiceError("Система не найдена");
    if (*owner != key) throw EServiceError("Вы можете изменять только свои системы");
    // A new created time makes every client fetch the changed system again.
    TStatement s(*Writer_,
                 "UPDATE systems SET nums=?2, olap=?3, csize=?4, title=?5, descr=?6, author=?7, mail=?8, url=?9, "
                 "app_id=?10, app_ver=?11, lcid=?12, created=?13, combs=?14 WHERE id=?1");
    s.Bind(1, id).Bind(2, sys.Nums).Bind(3, sys.Olap).Bind(4, sys.CSize).Bind(5, sys.Title).Bind(6, sys.Descr);
    s.Bind(7, who.Name).Bind(8, who.Mail).Bind(9, sys.Url).Bind(10, who.AppId).Bind(11, who.AppVer);
    s.Bind(12, who.Lcid).Bind(13, now).Bind(14, sys.Combs).Run();
  }
  tx.Commit();
  ++SystemsGeneration_;
  return id;
}

void TStore::DeleteSystem(const TIdentity& who, int64_t id) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  const std::string key = ClaimOwner(*Writer_, who, 0);
  const auto owner = RowOwner(*Writer_, "SELECT mail_key FROM systems WHERE id=?1", id);
  if (!owner) throw EServiceError("Система не найдена");
  if (*owner != key) throw EServiceError("Вы можете удалять только свои системы");
  TStatement s(*Writer_, "DELETE FROM systems WHERE id=?1");
  s.Bind(1, id).Run();
  tx.Commit();
  ++SystemsGeneration_;
}

int64_t TStore::ImportSystem(const TSystemPut& sys, std::string_view author, int64_t preferredId, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  bool keepId = preferredId > 0 && !RowOwner(*Writer_, "SELECT mail_key FROM systems WHERE id=?1", preferredId);
  if (keepId) {
    // AUTOINCREMENT never hands out an id again once used; a deleted id stays unused.
    TStatement used(*Writer_, "SELECT seq FROM sqlite_sequence WHERE name='systems'");
    if (used.Step() && used.Int(0) >= preferredId) keepId = false;
  }
  TStatement s(*Writer_,
               "INSERT INTO systems(id, nums, olap, csize, title, descr, author, mail, mail_key, url, app_id, app_ver, "
               "lcid, created, combs) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, '', '', ?8, '', '', 0, ?9, ?10)");
  if (keepId)
    s.Bind(1, preferredId);
  else
    s.BindNull(1);
  s.Bind(2, sys.Nums).Bind(3, sys.Olap).Bind(4, sys.CSize).Bind(5, sys.Title).Bind(6, sys.Descr);
  s.Bind(7, author).Bind(8, sys.Url).Bind(9, now).Bind(10, sys.Combs).Run();
  const int64_t id = Writer_->LastInsertId();
  tx.Commit();
  ++SystemsGeneration_;
  return id;
}

std::string TStore::ListKey(const TIdentity& caller) {
  TReadLease lease(*this);
  return IsAuthenticated(lease.Db(), caller) ? MailKey(caller.Mail) : std::string();
}

std::vector<TScriptRecord> TStore::Scripts(const TIdentity& caller, EScriptFilter filter, int64_t now) {
  TReadLease lease(*this);
  TSqliteDb& db = lease.Db();
  // An e-mail not bound to the caller's installation sees only what anyone sees.
  const std::string key = IsAuthenticated(db, caller) ? MailKey(caller.Mail) : std::string();
  const char* condition = "1";
  switch (filter) {
    case EScriptFilter::Hidden: condition = "you=-1"; break;
    case EScriptFilter::All: condition = "1"; break;
    case EScriptFilter::NotHidden: condition = "you<>-1"; break;
    case EScriptFilter::Mine: condition = "mine"; break;
    case EScriptFilter::Public: condition = "publics=1 AND you<>-1"; break;
    case EScriptFilter::RatedByMe: condition = "you>0"; break;
    case EScriptFilter::NotRatedByMe: condition = "you=0"; break;
    case EScriptFilter::New: condition = "created>=?2 AND you<>-1"; break;
  }
  const std::string sql =
      "SELECT * FROM (SELECT s.id, s.app_name, s.app_ver, s.app_guid, s.author, s.mail, s.lcid, s.uniapps, "
      "s.publics, s.created, s.last_download, "
      "s.rate_sum, s.rate_cnt, "
      "COALESCE((SELECT rate FROM rates r WHERE r.script_id=s.id AND r.mail_key=?1), 0) AS you, "
      "s.downloads, s.title, s.descr, (?1<>'' AND s.mail_key=?1) AS mine "
      "FROM scripts s) WHERE (publics=1 OR mine) AND (" +
      std::string(condition) + ") ORDER BY id";
  TStatement s(db, sql.c_str());
  s.Bind(1, key);
  if (filter == EScriptFilter::New) s.Bind(2, now - NewScriptAge);
  std::vector<TScriptRecord> out;
  while (s.Step()) {
    TScriptRecord r;
    r.Id = s.Int(0);
    r.AppName = s.Text(1);
    r.AppVer = s.Text(2);
    r.AppGuid = s.Text(3);
    r.Author = s.Text(4);
    r.Mail = s.Text(5);
    r.Lcid = s.Int(6);
    r.Universal = s.Int(7) != 0;
    r.Public = s.Int(8) != 0;
    r.Created = s.Int(9);
    r.LastDownload = s.Int(10);
    r.RatingCnt = s.Int(12);
    r.RatingAvg = r.RatingCnt > 0 ? static_cast<double>(s.Int(11)) / static_cast<double>(r.RatingCnt) : 0.0;
    r.RatingYou = s.Int(13);
    r.Downloads = s.Int(14);
    r.Title = s.Text(15);
    r.Descr = s.Text(16);
    out.push_back(std::move(r));
  }
  return out;
}

std::optional<std::string> TStore::ScriptText(const TIdentity& caller, int64_t id, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  TStatement s(*Writer_, "SELECT publics, mail_key, script FROM scripts WHERE id=?1");
  s.Bind(1, id);
  if (!s.Step()) return std::nullopt;
  // A private script goes only to its author's installation.
  if (s.Int(0) == 0 && !(IsAuthenticated(*Writer_, caller) && MailKey(caller.Mail) == s.Text(1))) return std::nullopt;
  std::string text = s.Text(2);
  TStatement count(*Writer_, "UPDATE scripts SET downloads=downloads+1, last_download=?2 WHERE id=?1");
  count.Bind(1, id).Bind(2, now).Run();
  tx.Commit();
  ++ScriptsGeneration_;
  return text;
}

bool TStore::TitleTaken(int64_t exceptId, std::string_view title) {
  TReadLease lease(*this);
  TStatement s(lease.Db(), "SELECT 1 FROM scripts WHERE title_key=?1 AND id<>?2");
  s.Bind(1, TitleKey(title)).Bind(2, exceptId);
  return s.Step();
}

int64_t TStore::PutScript(const TIdentity& who, const TScriptPut& scr, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  const std::string key = ClaimOwner(*Writer_, who, now);
  int64_t id = scr.Id;
  {
    TStatement taken(*Writer_, "SELECT 1 FROM scripts WHERE title_key=?1 AND id<>?2");
    taken.Bind(1, TitleKey(scr.Title)).Bind(2, id);
    if (taken.Step()) throw EServiceError("Сценарий с таким названием уже существует");
  }
  if (id == -1) {
    TStatement s(*Writer_,
                 "INSERT INTO scripts(title, title_key, descr, author, mail, mail_key, lcid, app_name, app_ver, "
                 "app_guid, uniapps, publics, created, script) "
                 "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    s.Bind(1, scr.Title).Bind(2, TitleKey(scr.Title)).Bind(3, scr.Descr).Bind(4, who.Name).Bind(5, who.Mail);
    s.Bind(6, key).Bind(7, who.Lcid).Bind(8, who.AppName).Bind(9, who.AppVer).Bind(10, who.AppId);
    s.Bind(11, int64_t{scr.Universal}).Bind(12, int64_t{scr.Public}).Bind(13, now).Bind(14, scr.Script).Run();
    id = Writer_->LastInsertId();
  } else {
    const auto owner = RowOwner(*Writer_, "SELECT mail_key FROM scripts WHERE id=?1", id);
    if (!owner) throw EServiceError("Сценарий не найден");
    if (*owner != key) throw EServiceError("Вы можете изменять только свои сценарии");
    TStatement s(*Writer_,
                 "UPDATE scripts SET title=?2, title_key=?3, descr=?4, author=?5, mail=?6, lcid=?7, app_name=?8, "
                 "app_ver=?9, app_guid=?10, uniapps=?11, publics=?12, created=?13, script=?14 WHERE id=?1");
    s.Bind(1, id).Bind(2, scr.Title).Bind(3, TitleKey(scr.Title)).Bind(4, scr.Descr).Bind(5, who.Name);
    s.Bind(6, who.Mail).Bind(7, who.Lcid).Bind(8, who.AppName).Bind(9, who.AppVer).Bind(10, who.AppId);
    s.Bind(11, int64_t{scr.Universal}).Bind(12, int64_t{scr.Public}).Bind(13, now).Bind(14, scr.Script).Run();
  }
  tx.Commit();
  ++ScriptsGeneration_;
  return id;
}

void TStore::DeleteScript(const TIdentity& who, int64_t id) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  const std::string key = ClaimOwner(*Writer_, who, 0);
  const auto owner = RowOwner(*Writer_, "SELECT mail_key FROM scripts WHERE id=?1", id);
  if (!owner) throw EServiceError("Сценарий не найден");
  if (*owner != key) throw EServiceError("Вы можете удалять только свои сценарии");
  TStatement s(*Writer_, "DELETE FROM scripts WHERE id=?1");
  s.Bind(1, id).Run();
  tx.Commit();
  ++ScriptsGeneration_;
}

void TStore::SetRate(const TIdentity& who, int64_t id, int value, std::string_view notes, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  const std::string key = ClaimOwner(*Writer_, who, now);
  {
    TStatement s(*Writer_, "SELECT publics, mail_key FROM scripts WHERE id=?1");
    s.Bind(1, id);
    if (!s.Step() || (s.Int(0) == 0 && s.Text(1) != key)) throw EServiceError("Сценарий не найден");
  }
  if (value == 0) {
    TStatement s(*Writer_, "DELETE FROM rates WHERE script_id=?1 AND mail_key=?2");
    s.Bind(1, id).Bind(2, key).Run();
  } else {
    TStatement s(*Writer_,
                 "INSERT OR REPLACE INTO rates(script_id, mail_key, cl_name, rate, notes, app_name, app_ver, created) "
                 "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    s.Bind(1, id).Bind(2, key).Bind(3, who.Name).Bind(4, int64_t{value}).Bind(5, notes).Bind(6, who.AppName);
    s.Bind(7, who.AppVer).Bind(8, now).Run();
  }
  // The list reads the sum and count kept with the script.
  TStatement totals(*Writer_,
                    "UPDATE scripts SET rate_sum=(SELECT COALESCE(SUM(rate), 0) FROM rates WHERE script_id=?1 AND "
                    "rate>0), rate_cnt=(SELECT COUNT(*) FROM rates WHERE script_id=?1 AND rate>0) WHERE id=?1");
  totals.Bind(1, id).Run();
  tx.Commit();
  ++ScriptsGeneration_;
}

std::vector<TRateRecord> TStore::Rates(int64_t id) {
  TReadLease lease(*this);
  TStatement s(lease.Db(),
               "SELECT cl_name, rate, created, app_name, app_ver, notes FROM rates "
               "WHERE script_id=?1 AND rate>0 ORDER BY created, mail_key");
  s.Bind(1, id);
  std::vector<TRateRecord> out;
  while (s.Step()) {
    TRateRecord r;
    r.Name = s.Text(0);
    r.Rate = s.Int(1);
    r.Created = s.Int(2);
    r.AppName = s.Text(3);
    r.AppVer = s.Text(4);
    r.Notes = s.Text(5);
    out.push_back(std::move(r));
  }
  return out;
}

int64_t TStore::ImportScript(const TScriptPut& scr, std::string_view author, int64_t now) {
  std::lock_guard<std::mutex> lock(WriterMutex_);
  TTransaction tx(*Writer_);
  {
    TStatement taken(*Writer_, "SELECT 1 FROM scripts WHERE title_key=?1");
    taken.Bind(1, TitleKey(scr.Title));
    if (taken.Step()) throw EServiceError("Сценарий с таким названием уже существует");
  }
  TStatement s(*Writer_,
               "INSERT INTO scripts(title, title_key, descr, author, mail, mail_key, lcid, app_name, app_ver, "
               "app_guid, uniapps, publics, created, script) "
               "VALUES(?1, ?2, ?3, ?4, '', '', 1049, '', '', '', ?5, 1, ?6, ?7)");
  s.Bind(1, scr.Title).Bind(2, TitleKey(scr.Title)).Bind(3, scr.Descr).Bind(4, author);
  s.Bind(5, int64_t{scr.Universal}).Bind(6, now).Bind(7, scr.Script).Run();
  const int64_t id = Writer_->LastInsertId();
  tx.Commit();
  ++ScriptsGeneration_;
  return id;
}

}  // namespace vexa::server
