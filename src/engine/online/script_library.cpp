#include "online/script_library.h"

#include <cstdlib>

#include "core/error.h"
#include "core/format.h"
#include "core/game.h"
#include "core/list_compare.h"
#include "wire/wire.h"

namespace vexa {
namespace {

std::vector<std::string> IdentityFields(const TOnlineIdentity& id) {
  return {PlainField("appid", id.AppId), PlainField("appver", id.AppVer), PlainField("hwdid", id.HwdId),
          EscapedField("cl_name", id.Name), EscapedField("cl_mail", id.Mail), IntField("cl_lcid", id.Lcid)};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& fields) {
  to.insert(to.end(), fields.begin(), fields.end());
}

// A decimal number with "." or ","; 0 when unreadable.
double ReadDecimal(std::string_view text) {
  std::string s(Trim(text));
  for (char& c : s)
    if (c == ',') c = '.';
  if (s.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  return end != nullptr && *end == '\0' ? value : 0;
}

// The last row's integer tag, or `none` when there is no row or it is no integer.
int32_t LastRowInt(const wire::TReply& reply, std::string_view tag, int32_t none) {
  if (reply.Rows.empty()) return none;
  int32_t value = 0;
  return TryStrToInt(reply.Rows.back().Value(tag), value) ? value : none;
}

}  // namespace

const std::array<const char*, LibraryFilterCount>& LibraryFilterItems() {
  static const std::array<const char*, LibraryFilterCount> items = {
      "Скрытые",          "Все, включая скрытые", "Все, кроме скрытых (по умолчанию)",
      "Только мои",       "Только публичные",     "С моими оценками",
      "Без моих оценок",  "Новые (24 часа с момента публикации)"};
  return items;
}

const std::array<const char*, LibraryColumns>& LibraryColumnTitles() {
  static const std::array<const char*, LibraryColumns> titles = {
      "Тип",         "Название", "Автор",    "Программа", "Версия",    "Язык",       "Создан",
      "Рейтинг",     "Оценок",   "Ваша оценка", "Загрузок", "Последняя", "Комментарии"};
  return titles;
}

const std::array<const char*, LibraryRateColumns>& LibraryRateColumnTitles() {
  static const std::array<const char*, LibraryRateColumns> titles = {"Имя",       "Оценка", "Дата",
                                                                     "Программа", "Версия", "Комментарии"};
  return titles;
}

std::array<std::string, LibraryColumns> LibraryViewRow(const TScriptInfo& info) {
  std::string yours;
  if (info.YourRating == -1)
    yours = "Скрытый";
  else if (info.YourRating >= 1 && info.YourRating <= 5)
    yours = std::to_string(info.YourRating);
  return {info.Own ? "Мой" : "Общий",
          info.Title,
          info.Author,
          info.Universal ? "Универсальный" : info.Program,
          info.ProgramVersion,
          LanguageAbbreviation(info.Language),
          ServiceTimeText(info.Created),
          Format("%.3n", {info.Rating}),
          std::to_string(info.Ratings),
          yours,
          std::to_string(info.Downloads),
          ServiceTimeText(info.LastDownload),
          info.Descr};
}

TScriptData ScriptDataOf(const TScriptInfo& info) {
  TScriptData data;
  data.Id = info.Id;
  data.Author = info.Author;
  data.Language = info.Language;
  data.Universal = info.Universal;
  data.Public = info.Public;
  data.Title = info.Title;
  data.Descr = info.Descr;
  return data;
}

std::vector<std::pair<int32_t, std::string>> ScriptLanguages() { return {{BuiltInLanguage, "Русский"}}; }

std::string ScriptOwnProgramItem() { return Format("Только в \"%s\"", {std::string(ProgramBaseName)}); }

// ---- Requests ---------------------------------------------------------------------------

bool PostLibraryList(const TOnlineService& service, int fltid, const std::function<void(const TScriptInfo&)>& onRow) {
  std::vector<std::string> fields{IntField("fltid", fltid)};
  Append(fields, IdentityFields(service.Identity));
  const std::string body = PostToService(service, LibraryListPath, fields);
  const wire::TReply reply = ReadServiceReply(body);
  if (!reply.HasResult) return false;
  for (const wire::TReplyRow& row : reply.Rows) {
    TScriptInfo info;
    info.Id = RowInt(row, "id");
    info.Program = row.Value("app_name");
    info.ProgramVersion = row.Value("app_ver");
    info.Author = row.Value("key_cl_name");
    info.AuthorMail = row.Value("key_cl_mail");
    int32_t lcid = 0;
    info.Language = TryStrToInt(row.Value("key_cl_lcid"), lcid) ? lcid : service.Identity.Lcid;
    info.Universal = RowIntOrZero(row, "uniapps") > 0;
    info.Public = RowIntOrZero(row, "publics") > 0;
    info.Created = ReadServiceTime(row.Value("created"));
    info.LastDownload = ReadServiceTime(row.Value("last_download"));
    info.Rating = ReadDecimal(row.Value("rating_avg"));
    info.Ratings = RowIntOrZero(row, "rating_cnt");
    info.YourRating = RowIntOrZero(row, "rating_you");
    info.Downloads = RowIntOrZero(row, "downloads");
    info.Title = RowBase64(row, "title");
    info.Descr = RowBase64(row, "descr");
    info.Own = SameMail(info.AuthorMail, service.Identity.Mail);
    info.Compatible = info.Universal || CompareTextNoCase(row.Value("app_guid"), service.Identity.AppId) == 0;
    info.Editable = info.Own && info.Compatible;
    onRow(info);
  }
  return true;
}

std::string PostLibraryScript(const TOnlineService& service, int32_t id) {
  // The identity after the id lets a service hand a private script to its
  // own author only; a service that reads just scr_id ignores it.
  std::vector<std::string> fields{IntField("scr_id", id)};
  Append(fields, IdentityFields(service.Identity));
  const std::string body = PostToService(service, LibraryDataPath, fields);
  const wire::TReply reply = ReadServiceReply(body);
  for (const wire::TReplyRow& row : reply.Rows) {
    if (Trim(row.Body).substr(0, 8) != "<script>") continue;
    const std::optional<std::string> text = wire::Base64Decode(row.Value("script"));
    if (text && !text->empty()) return *text;
  }
  return {};
}

void PostLibraryRate(const TOnlineService& service, int32_t id, int value, std::string_view notes) {
  std::vector<std::string> fields{IntField("scr_id", id), IntField("rate_value", value),
                                  EscapedField("rate_notes", notes)};
  Append(fields, IdentityFields(service.Identity));
  const std::string body = PostToService(service, LibraryRatePath, fields);
  const wire::TReply reply = ReadServiceReply(body);
  const int32_t code = LastRowInt(reply, "res_code", -1);
  if (code < 0) throw EVexaError(Format("Код возврата: %d", {code}));
}

bool PostLibraryTitleFree(const TOnlineService& service, int32_t id, std::string_view title) {
  const std::string body =
      PostToService(service, LibraryTitlePath, {IntField("scr_id", id), EscapedField("scr_title", title)});
  const wire::TReply reply = ReadServiceReply(body);
  for (const wire::TReplyRow& row : reply.Rows) {
    int32_t code = 0;
    if (TryStrToInt(row.Value("ret_code"), code) && code == 0) return true;
  }
  return false;
}

namespace {

std::vector<std::string> PutFields(const TOnlineService& service, const TScriptData& data, bool del,
                                   std::string_view script) {
  const TOnlineIdentity& id = service.Identity;
  std::vector<std::string> fields{IntField("del_mode", del ? 1 : 0),
                                  IntField("scr_id", data.Id),
                                  IntField("scr_uniapps", data.Universal ? 1 : 0),
                                  IntField("scr_publics", data.Public ? 1 : 0),
                                  EscapedField("scr_title", data.Title),
                                  EscapedField("scr_descr", data.Descr)};
  if (!del) fields.push_back(EscapedField("scr_script", script));
  Append(fields, {PlainField("appid", id.AppId), PlainField("appver", id.AppVer), PlainField("hwdid", id.HwdId),
                  EscapedField("cl_name", data.Author), EscapedField("cl_mail", id.Mail),
                  IntField("cl_lcid", data.Language)});
  return fields;
}

}  // namespace

int32_t PostLibraryPut(const TOnlineService& service, const TScriptData& data, std::string_view script) {
  const std::string body = PostToService(service, LibraryPutPath, PutFields(service, data, false, script));
  return LastRowInt(ReadServiceReply(body), "id_scripts", -1);
}

int32_t PostLibraryDelete(const TOnlineService& service, const TScriptData& data) {
  const std::string body = PostToService(service, LibraryPutPath, PutFields(service, data, true, {}));
  return LastRowInt(ReadServiceReply(body), "id_scripts", -1);
}

TScriptRates PostLibraryRates(const TOnlineService& service, int32_t id) {
  const std::string body = PostToService(service, LibraryRatesPath, {IntField("scr_id", id)});
  const wire::TReply reply = ReadServiceReply(body);
  TScriptRates rates;
  rates.HasResult = reply.HasResult;
  for (const wire::TReplyRow& row : reply.Rows) {
    TScriptRate r;
    r.Name = row.Value("key_cl_name");
    r.Rate = row.Value("rate");
    r.Created = ServiceTimeText(ReadServiceTime(row.Value("created")));
    r.Program = row.Value("app_name");
    r.Version = row.Value("app_ver");
    r.Notes = row.Value("notes");
    rates.Rows.push_back(std::move(r));
  }
  return rates;
}

}  // namespace vexa
