// The wire form of the online services, shared by the clients and by
// vexa-server: the C-style escaping of text fields, Base64, the
// "<result><row>…</row></result>" replies and their date-times.
//
// Replies are not XML: a value is the text between its tags, trimmed, with
// no entities. A writer must therefore keep '<' and '>' out of plain values
// (IsSafeTagText) and send free text as Base64.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::wire {

// Bytes 0..6 become "\0".."\6", 7..13 and 27 their C letters ("\a" … "\r",
// "\e"); '"', '\'', '?' and '\\' get a backslash in front; all else stays.
std::string CEscape(std::string_view text);
// The inverse; an unknown "\x" gives x, a trailing lone backslash stays.
std::string CUnescape(std::string_view text);

std::string Base64Encode(std::string_view bytes);  // RFC 4648, padded
// Blanks and line breaks are skipped; anything else outside the alphabet,
// a wrong length or misplaced padding gives nullopt.
std::optional<std::string> Base64Decode(std::string_view text);

struct TReplyRow {
  std::string_view Body;  // the text between <row> and </row>
  // Trimmed text between <tag> and </tag> (any case); "" when missing.
  std::string Value(std::string_view tag) const;
};

struct TReply {
  bool HasResult = false;  // a <result> element was there
  std::vector<TReplyRow> Rows;
  // The first non-empty <error> of a row; "" when none.
  std::string Error() const;
};

// Rows point into body, which must outlive the reply.
TReply ReadReply(std::string_view body);
inline TReply ReadReply(const char* body) { return ReadReply(std::string_view(body)); }
TReply ReadReply(std::string&& body) = delete;  // the rows would dangle

// True when text can stand between tags unchanged: no '<', '>' or control
// bytes other than tab.
bool IsSafeTagText(std::string_view text);

class TReplyWriter {
 public:
  void Row();  // starts a row; Field before the first Row starts one
  void Field(std::string_view tag, std::string_view value);
  void Field(std::string_view tag, long long value);
  void Error(std::string_view text);  // a row of its own
  std::string Text() const;  // "<result>" rows "</result>"

 private:
  void CloseRow();
  std::string Rows_;
  bool Open_ = false;
};

struct TServiceTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  bool IsZero() const { return Year == 0 && Month == 0 && Day == 0 && Hour == 0 && Minute == 0 && Second == 0; }
};

// "yyyy-mm-dd hh:mm:ss"; "" for the zero time.
std::string FormatServiceTime(const TServiceTime& time);
// Read by fixed positions (year 1-4, month 6-7, day 9-10, hour 12-13,
// minute 15-16, second 18-19). "" gives the zero time; a text too short,
// with a non-digit in a field or with a field out of range gives nullopt.
std::optional<TServiceTime> ParseServiceTime(std::string_view text);

}  // namespace vexa::wire
