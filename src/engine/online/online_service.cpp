#include "online/online_service.h"

#include <cmath>
#include <ctime>
#include <optional>

#include "core/error.h"
#include "core/game.h"
#include "core/format.h"
#include "wire/wire.h"

namespace vexa {

std::string TOnlineService::UrlOf(std::string_view path) const {
  if (BaseUrl.empty()) throw EVexaError(Format(NoServiceFormat, {UrlKey}));
  return BaseUrl + std::string(path);
}

std::string EscapedField(std::string_view name, std::string_view value) {
  return std::string(name) + "=" + wire::CEscape(value);
}

std::string PlainField(std::string_view name, std::string_view value) {
  return std::string(name) + "=" + std::string(value);
}

std::string IntField(std::string_view name, long long value) {
  return std::string(name) + "=" + std::to_string(value);
}

std::string PostToService(const TOnlineService& service, std::string_view path,
                          const std::vector<std::string>& fields) {
  return HttpPostForm(service.UrlOf(path), fields, true, service.Options);
}

}  // namespace vexa

namespace vexa {
namespace {

constexpr double SecondsPerDay = 86400.0;

}  // namespace

TDateTime ReadServiceTime(std::string_view text) {
  const std::optional<wire::TServiceTime> t = wire::ParseServiceTime(Trim(text));
  if (!t || t->IsZero()) return 0;
  try {
    return EncodeDate(t->Year, t->Month, t->Day) + (t->Hour * 3600 + t->Minute * 60 + t->Second) / SecondsPerDay;
  } catch (const EVexaError&) {
    return 0;  // no such day
  }
}

std::string ServiceTimeText(TDateTime time) {
  if (time == 0) return {};
  int year = 0, month = 0, day = 0;
  const double days = std::floor(time);
  DecodeDate(days, year, month, day);
  int seconds = static_cast<int>(std::lround((time - days) * SecondsPerDay));
  if (seconds >= 86400) seconds = 86399;
  wire::TServiceTime t{year, month, day, seconds / 3600, seconds / 60 % 60, seconds % 60};
  return wire::FormatServiceTime(t);
}

TDateTime LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
         (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) / SecondsPerDay;
}

int64_t LocalTimeToUnix(TDateTime time) {
  int year = 0, month = 0, day = 0;
  const double days = std::floor(time);
  DecodeDate(days, year, month, day);
  const int seconds = static_cast<int>(std::lround((time - days) * SecondsPerDay));
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_sec = seconds;  // mktime carries the seconds into hours and minutes
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

wire::TReply ReadServiceReply(std::string_view body) {
  wire::TReply reply = wire::ReadReply(body);
  const std::string error = reply.Error();
  if (!error.empty()) throw EVexaError(error);
  return reply;
}

int32_t RowInt(const wire::TReplyRow& row, std::string_view tag) {
  const std::string text = row.Value(tag);
  int32_t value = 0;
  if (!TryStrToInt(text, value))
    throw EVexaError(Format("Некорректное значение <%s> в ответе сервера: \"%s\"", {std::string(tag), text}));
  return value;
}

int32_t RowIntOrZero(const wire::TReplyRow& row, std::string_view tag) {
  int32_t value = 0;
  return TryStrToInt(row.Value(tag), value) ? value : 0;
}

std::string RowBase64(const wire::TReplyRow& row, std::string_view tag) {
  const std::string text = row.Value(tag);
  if (text.empty()) return {};
  std::optional<std::string> bytes = wire::Base64Decode(text);
  if (!bytes) throw EVexaError(Format("Некорректные данные <%s> в ответе сервера", {std::string(tag)}));
  return std::move(*bytes);
}

}  // namespace vexa
