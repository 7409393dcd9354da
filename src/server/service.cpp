#include "server/service.h"

#include <malloc.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "server/sqlite_db.h"
#include "server/validate.h"
#include "wire/wire.h"

namespace vexa::server {
namespace {

constexpr const char* ReplyType = "text/xml; charset=utf-8";

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

std::string Field(const TForm& req, const char* name) { return req.Value(name); }

// A field the client C-escapes.
std::string EscapedField(const TForm& req, const char* name) {
  return wire::CUnescape(Field(req, name));
}

int64_t IntField(const TForm& req, const char* name) {
  const std::string text = Trimmed(Field(req, name));
  int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end)
    throw EServiceError("Неверное значение поля " + std::string(name));
  return value;
}

int64_t IntField(const TForm& req, const char* name, int64_t low, int64_t high) {
  const int64_t v = IntField(req, name);
  if (v < low || v > high) throw EServiceError("Недопустимое значение поля " + std::string(name));
  return v;
}

// Identity as sent; lcid is 0 when it is missing or not a number.
TIdentity ReadIdentity(const TForm& req) {
  TIdentity who;
  who.AppId = Trimmed(Field(req, "appid"));
  who.AppVer = Trimmed(Field(req, "appver"));
  who.HwdId = Trimmed(Field(req, "hwdid"));
  who.Name = Trimmed(EscapedField(req, "cl_name"));
  who.Mail = Trimmed(EscapedField(req, "cl_mail"));
  try {
    who.Lcid = IntField(req, "cl_lcid", 0, 0xFFFFFFFF);
  } catch (const EServiceError&) {
    who.Lcid = 0;
  }
  return who;
}

// A writer's identity: every field that goes back in list replies is checked.
// An author needs a name; a rating may come without one.
TIdentity ReadWriterIdentity(const TForm& req, const TServiceOptions& options, bool needName = true) {
  TIdentity who = ReadIdentity(req);
  const auto known = options.AppNames.find(who.AppId);
  who.AppName = known == options.AppNames.end() ? who.AppId : known->second;
  CheckPlainText("appid", who.AppId, 64);
  CheckPlainText("appver", who.AppVer, 32);
  CheckPlainText("hwdid", who.HwdId, 128);
  CheckPlainText("Автор", who.Name, MaxNameChars);
  CheckPlainText("e-mail", who.Mail, MaxMailChars);
  if (needName && who.Name.empty()) throw EServiceError("Не указано имя автора");
  return who;
}

std::string OneField(std::string_view tag, long long value) {
  wire::TReplyWriter w;
  w.Row();
  w.Field(tag, value);
  return w.Text();
}

std::string ErrorReply(std::string_view text) {
  wire::TReplyWriter w;
  w.Error(text);
  return w.Text();
}

using THandler = std::string (TService::*)(const TForm&);

}  // namespace

void TuneAllocatorForReplies() {
  mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

std::string ServiceTimeText(int64_t seconds) {
  if (seconds == 0) return {};
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  wire::TServiceTime st;
  st.Year = tm.tm_year + 1900;
  st.Month = tm.tm_mon + 1;
  st.Day = tm.tm_mday;
  st.Hour = tm.tm_hour;
  st.Minute = tm.tm_min;
  st.Second = tm.tm_sec;
  return wire::FormatServiceTime(st);
}

TService::TService(TStore& store, const TServiceOptions& options)
    : Store_(store), Options_(options), Limiter_(options.WriteRatePerMinute) {}

void TService::Install(httplib::Server& server) {
  static constexpr std::pair<const char*, THandler> Paths[] = {
      {"/scripts/sys_getlist.php", &TService::SysGetList},   {"/scripts/sys_getdata.php", &TService::SysGetData},
      {"/scripts/sys_putdata.php", &TService::SysPutData},   {"/scripts/scr_getlist.php", &TService::ScrGetList},
      {"/scripts/scr_getdata.php", &TService::ScrGetData},   {"/scripts/scr_setrate.php", &TService::ScrSetRate},
      {"/scripts/scr_chktitle.php", &TService::ScrChkTitle}, {"/scripts/scr_putscript.php", &TService::ScrPutScript},
      {"/scripts/scr_getrates.php", &TService::ScrGetRates},
  };
  for (const auto& [path, handler] : Paths) {
    server.Post(path, [this, handler = handler](const httplib::Request& req, httplib::Response& res,
                                                const httplib::ContentReader& reader) {
      std::string body;
      // Refused before reading a byte of it: the connection is closed after
      // the reply, so the unread rest does no harm.
      if (std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10) > Options_.MaxBodyBytes) {
        res.status = 413;
        res.set_header("Connection", "close");
        res.set_content(ErrorReply("Слишком большой запрос"), ReplyType);
        return;
      }
      std::string raw;
      bool tooBig = false;
      reader([&](const char* data, size_t size) {
        if (raw.size() + size > Options_.MaxBodyBytes) {
          tooBig = true;
          return false;
        }
        raw.append(data, size);
        return true;
      });
      try {
        if (tooBig) throw EServiceError("Слишком большой запрос");
        TForm form = TForm::Parse(raw);
        form.RemoteAddr = req.remote_addr;
        body = (this->*handler)(form);
      } catch (const EServiceError& e) {
        body = ErrorReply(e.what());
      } catch (const std::exception& e) {
        std::cerr << "vexa-server: " << req.path << ": " << e.what() << std::endl;
        body = ErrorReply("Ошибка сервера");
      }
      res.set_content(body, ReplyType);
    });
  }
  server.set_payload_max_length(Options_.MaxBodyBytes);
  // Unknown paths, other methods, oversized bodies: still a reply the
  // clients can read.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    const char* text = res.status == 413   ? "Слишком большой запрос"
                       : res.status == 404 ? "Неизвестный запрос"
                                           : "Неверный запрос";
    res.set_content(ErrorReply(text), ReplyType);
  });
}

void TService::CheckWriteRate(const TForm& req) {
  if (!Limiter_.Allow(req.RemoteAddr)) throw EServiceError("Слишком много запросов, повторите позже");
}

std::string TService::SysGetList(const TForm& req) {
  const int64_t combLen = req.Has("comblen") ? IntField(req, "comblen") : CombLength;
  const int64_t maxNums = req.Has("maxnums") ? IntField(req, "maxnums") : MaxSystemNums;
  const bool standard = Options_.CacheLists && combLen == CombLength && maxNums >= MaxSystemNums;
  const int64_t generation = Store_.SystemsGeneration();
  if (standard) {
    std::lock_guard<std::mutex> lock(ListCacheMutex_);
    if (ListCache_ && ListCacheGeneration_ == generation) return *ListCache_;
  }
  wire::TReplyWriter w;
  if (combLen == CombLength) {
    for (const TSystemRecord& s : Store_.Systems()) {
      if (s.Nums > maxNums) continue;
      w.Row();
      w.Field("id", s.Id);
      w.Field("nums", s.Nums);
      w.Field("olap", s.Olap);
      w.Field("csize", s.CSize);
      w.Field("title", wire::Base64Encode(s.Title));
      w.Field("descr", wire::Base64Encode(s.Descr));
      w.Field("author", s.Author);
      w.Field("cl_mail", s.Mail);
      w.Field("url", s.Url);
      w.Field("created", ServiceTimeText(s.Created));
      w.Field("last_download", ServiceTimeText(s.LastDownload));
      w.Field("downloads", s.Downloads);
    }
  }
  std::string text = w.Text();
  if (standard) {
    std::lock_guard<std::mutex> lock(ListCacheMutex_);
    // The generation read before the rows: a change meanwhile only makes
    // the next request render again.
    ListCache_ = std::make_shared<const std::string>(text);
    ListCacheGeneration_ = generation;
  }
  return text;
}

std::string TService::SysGetData(const TForm& req) {
  const int64_t id = IntField(req, "sys_id");
  const auto combs = Store_.SystemCombs(id, Now());
  if (!combs) throw EServiceError("Система не найдена");
  wire::TReplyWriter w;
  w.Row();
  w.Field("clist", wire::Base64Encode(*combs));
  return w.Text();
}

std::string TService::SysPutData(const TForm& req) {
  CheckWriteRate(req);
  const int64_t delMode = IntField(req, "del_mode", 0, 1);
  const int64_t id = IntField(req, "sys_id", 0, INT32_MAX);
  const TIdentity who = ReadWriterIdentity(req, Options_);
  if (delMode == 1) {
    if (id == 0) throw EServiceError("Система не найдена");
    Store_.DeleteSystem(who, id);
    return OneField("id_systems", 0);
  }
  TSystemPut sys;
  sys.Id = id;
  try {
    sys.Nums = IntField(req, "nums", MinSystemNums, MaxSystemNums);
  } catch (const EServiceError&) {
    throw EServiceError("Недопустимое количество чисел (нужно 7..45)");
  }
  if (IntField(req, "clen") != CombLength) throw EServiceError("Недопустимая длина комбинации (нужно 6)");
  try {
    sys.Olap = IntField(req, "olap", 0, MaxSystemOlap);
  } catch (const EServiceError&) {
    throw EServiceError("Недопустимый размер блока (нужно 0..5)");
  }
  sys.Title = CheckTitle(EscapedField(req, "title"));
  sys.Descr = EscapedField(req, "descr");
  CheckText("Описание", sys.Descr, MaxDescrChars);
  sys.Url = Trimmed(Field(req, "url"));
  CheckPlainText("Ссылка", sys.Url, MaxUrlChars);
  sys.CSize = IntField(req, "csize");
  if (sys.CSize < 1 || sys.CSize > CombinationsOf(sys.Nums))
    throw EServiceError("Недопустимое количество комбинаций (csize)");
  const auto clist = wire::Base64Decode(Field(req, "clist"));
  if (!clist) throw EServiceError("Поле clist не в кодировке Base64");
  sys.Combs = CheckSystemCombs(wire::CUnescape(*clist), sys.Nums, sys.CSize);
  return OneField("id_systems", Store_.PutSystem(who, sys, Now()));
}

std::string TService::ScrGetList(const TForm& req) {
  const auto filter = static_cast<EScriptFilter>(IntField(req, "fltid", -1, 6));
  const TIdentity who = ReadIdentity(req);
  // "New" depends on the clock, not only on changes: never cached.
  const bool cache = Options_.CacheLists && filter != EScriptFilter::New;
  const int64_t generation = Store_.ScriptsGeneration();
  const auto key = std::make_pair(cache ? Store_.ListKey(who) : std::string(), static_cast<int>(filter));
  if (cache) {
    std::lock_guard<std::mutex> lock(ScriptCacheMutex_);
    const auto it = ScriptCache_.find(key);
    if (it != ScriptCache_.end() && it->second.Generation == generation) return *it->second.Text;
  }
  wire::TReplyWriter w;
  for (const TScriptRecord& s : Store_.Scripts(who, filter, Now())) {
    w.Row();
    w.Field("id", s.Id);
    w.Field("app_name", s.AppName);
    w.Field("app_ver", s.AppVer);
    w.Field("key_cl_name", s.Author);
    w.Field("key_cl_mail", s.Mail);
    w.Field("key_cl_lcid", s.Lcid);
    w.Field("uniapps", s.Universal ? 1 : 0);
    w.Field("publics", s.Public ? 1 : 0);
    w.Field("created", ServiceTimeText(s.Created));
    w.Field("last_download", ServiceTimeText(s.LastDownload));
    char avg[32];
    std::snprintf(avg, sizeof avg, "%.3f", s.RatingAvg);
    w.Field("rating_avg", avg);
    w.Field("rating_cnt", s.RatingCnt);
    w.Field("rating_you", s.RatingYou);
    w.Field("downloads", s.Downloads);
    w.Field("title", wire::Base64Encode(s.Title));
    w.Field("descr", wire::Base64Encode(s.Descr));
    w.Field("app_guid", s.AppGuid);
  }
  std::string text = w.Text();
  if (cache) {
    std::lock_guard<std::mutex> lock(ScriptCacheMutex_);
    // Entries of older generations are dead weight; a bound keeps the map small.
    if (ScriptCache_.size() >= 1024) ScriptCache_.clear();
    ScriptCache_[key] = {generation, std::make_shared<const std::string>(text)};
  }
  return text;
}

std::string TService::ScrGetData(const TForm& req) {
  const int64_t id = IntField(req, "scr_id");
  const auto text = Store_.ScriptText(ReadIdentity(req), id, Now());
  if (!text) throw EServiceError("Сценарий не найден");
  wire::TReplyWriter w;
  w.Row();
  w.Field("script", wire::Base64Encode(*text));
  return w.Text();
}

std::string TService::ScrSetRate(const TForm& req) {
  CheckWriteRate(req);
  const int64_t id = IntField(req, "scr_id");
  const int value = static_cast<int>(IntField(req, "rate_value", -1, 5));
  const std::string notes = Trimmed(EscapedField(req, "rate_notes"));
  CheckPlainText("Комментарий", notes, MaxNotesChars);
  const TIdentity who = ReadWriterIdentity(req, Options_, false);
  Store_.SetRate(who, id, value, value > 0 ? notes : std::string(), Now());
  return OneField("res_code", 0);
}

std::string TService::ScrChkTitle(const TForm& req) {
  const int64_t id = IntField(req, "scr_id");
  const std::string title = CheckTitle(EscapedField(req, "scr_title"));
  return OneField("ret_code", Store_.TitleTaken(id, title) ? 1 : 0);
}

std::string TService::ScrPutScript(const TForm& req) {
  CheckWriteRate(req);
  const int64_t delMode = IntField(req, "del_mode", 0, 1);
  const int64_t id = IntField(req, "scr_id", -1, INT32_MAX);
  const TIdentity who = ReadWriterIdentity(req, Options_);
  if (delMode == 1) {
    Store_.DeleteScript(who, id);
    return OneField("id_scripts", 0);
  }
  TScriptPut scr;
  scr.Id = id;
  scr.Universal = IntField(req, "scr_uniapps", 0, 1) == 1;
  scr.Public = IntField(req, "scr_publics", 0, 1) == 1;
  scr.Title = CheckTitle(EscapedField(req, "scr_title"));
  scr.Descr = EscapedField(req, "scr_descr");
  CheckText("Описание", scr.Descr, MaxDescrChars);
  scr.Script = EscapedField(req, "scr_script");
  if (scr.Script.size() > MaxScriptBytes) throw EServiceError("Сценарий больше 1 МБ");
  if (Trimmed(scr.Script).empty()) throw EServiceError("Пустой сценарий");
  CheckText("Сценарий", scr.Script, MaxScriptBytes);
  return OneField("id_scripts", Store_.PutScript(who, scr, Now()));
}

std::string TService::ScrGetRates(const TForm& req) {
  const int64_t id = IntField(req, "scr_id");
  wire::TReplyWriter w;
  for (const TRateRecord& r : Store_.Rates(id)) {
    w.Row();
    w.Field("key_cl_name", r.Name);
    w.Field("rate", r.Rate);
    w.Field("created", ServiceTimeText(r.Created));
    w.Field("app_name", r.AppName);
    w.Field("app_ver", r.AppVer);
    w.Field("notes", r.Notes);
  }
  return w.Text();
}

}  // namespace vexa::server
