// One online service (the systems catalogue or the script library): its
// base address, the HTTP options of its one-shot posts and the identity
// every request carries.
//
// Requests are form posts through HttpPostForm (no proxy, redirects
// followed) to the base address followed by a fixed path; replies are read
// by the shared wire code. A row with a non-empty "<error>" fails the
// request with the service's own text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dates.h"
#include "online/http.h"
#include "online/online_settings.h"
#include "wire/wire.h"

namespace vexa {

struct TOnlineService {
  std::string BaseUrl;  // without the trailing "/"
  THttpOptions Options;
  TOnlineIdentity Identity;

  // BaseUrl + path. Throws NoServiceFormat (naming `urlKey`) when BaseUrl is empty.
  std::string UrlOf(std::string_view path) const;
  std::string UrlKey = "CatalogueUrl";  // the settings key named by the error
  bool Configured() const { return !BaseUrl.empty(); }
};

// "name=value" with the value after the C-style escaping.
std::string EscapedField(std::string_view name, std::string_view value);
// "name=value" as it stands.
std::string PlainField(std::string_view name, std::string_view value);
std::string IntField(std::string_view name, long long value);

// Posts the fields to BaseUrl + path; the reply body. Throws EHttpError,
// or EVexaError NoServiceFormat.
std::string PostToService(const TOnlineService& service, std::string_view path, const std::vector<std::string>& fields);

// Date-times of the services: "yyyy-mm-dd hh:mm:ss" read by fixed
// positions; "" and an unreadable text give 0.
TDateTime ReadServiceTime(std::string_view text);
// "yyyy-mm-dd hh:mm:ss", "" for 0.
std::string ServiceTimeText(TDateTime time);
// The local time now.
TDateTime LocalNow();
// A local date-time as seconds since the epoch (the file times of the store).
int64_t LocalTimeToUnix(TDateTime time);

// The reply body read; a row with "<error>" throws the service's text.
// `body` must outlive the rows.
wire::TReply ReadServiceReply(std::string_view body);
// An integer tag of a row; a text that is no integer throws naming the tag.
int32_t RowInt(const wire::TReplyRow& row, std::string_view tag);
// The same, 0 when it is no integer.
int32_t RowIntOrZero(const wire::TReplyRow& row, std::string_view tag);
// A Base64 tag decoded ("" stays ""); invalid Base64 throws naming the tag.
std::string RowBase64(const wire::TReplyRow& row, std::string_view tag);

}  // namespace vexa
