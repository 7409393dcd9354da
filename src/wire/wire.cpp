#include "wire.h"

#include <array>
#include <cstdio>

namespace vexa::wire {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of needle in text from `from`, ASCII case ignored; npos if none.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0) {
  if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && Lower(text[i + k]) == Lower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The text between <tag> and </tag> in s; nullopt when either is missing.
std::optional<std::string_view> Between(std::string_view s, std::string_view tag, size_t& from) {
  std::string open = "<" + std::string(tag) + ">";
  std::string close = "</" + std::string(tag) + ">";
  size_t start = FindNoCase(s, open, from);
  if (start == std::string_view::npos) return std::nullopt;
  start += open.size();
  size_t end = FindNoCase(s, close, start);
  if (end == std::string_view::npos) return std::nullopt;
  from = end + close.size();
  return s.substr(start, end - start);
}

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string CEscape(std::string_view text) {
  static constexpr std::array<char, 14> Letters{'0', '1', '2', '3', '4', '5', '6', 'a', 'b', 't', 'n', 'v', 'f', 'r'};
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (b < Letters.size()) {
      out += '\\';
      out += Letters[b];
    } else if (b == 27) {
      out += "\\e";
    } else {
      if (c == '"' || c == '\'' || c == '?' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

std::string CUnescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    char e = text[++i];
    switch (e) {
      case '0': case '1': case '2': case '3': case '4': case '5': case '6':
        out += static_cast<char>(e - '0');
        break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'v': out += '\v'; break;
      case 'f': out += '\f'; break;
      case 'r': out += '\r'; break;
      case 'e': out += '\x1b'; break;
      default: out += e; break;
    }
  }
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  auto at = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[k])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    unsigned v = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
    out += Alphabet[v >> 18 & 63];
    out += Alphabet[v >> 12 & 63];
    out += Alphabet[v >> 6 & 63];
    out += Alphabet[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned v = at(i) << 16 | (rest == 2 ? at(i + 1) << 8 : 0);
    out += Alphabet[v >> 18 & 63];
    out += Alphabet[v >> 12 & 63];
    out += rest == 2 ? Alphabet[v >> 6 & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text)
    if (!IsBlank(c)) clean += c;
  if (clean.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(clean.size() / 4 * 3);
  for (size_t i = 0; i < clean.size(); i += 4) {
    bool last = i + 4 == clean.size();
    int pad = 0;
    if (last && clean[i + 3] == '=') pad = clean[i + 2] == '=' ? 2 : 1;
    unsigned v = 0;
    for (int k = 0; k < 4; ++k) {
      int s = k >= 4 - pad ? 0 : Sextet(clean[i + static_cast<size_t>(k)]);
      if (s < 0) return std::nullopt;
      v = v << 6 | static_cast<unsigned>(s);
    }
    out += static_cast<char>(v >> 16 & 255);
    if (pad < 2) out += static_cast<char>(v >> 8 & 255);
    if (pad < 1) out += static_cast<char>(v & 255);
  }
  return out;
}

std::string TReplyRow::Value(std::string_view tag) const {
  size_t from = 0;
  auto v = Between(Body, tag, from);
  return v ? std::string(Trim(*v)) : std::string();
}

std::string TReply::Error() const {
  for (const TReplyRow& row : Rows) {
    std::string e = row.Value("error");
    if (!e.empty()) return e;
  }
  return {};
}

TReply ReadReply(std::string_view body) {
  TReply reply;
  size_t start = FindNoCase(body, "<result>");
  if (start == std::string_view::npos) return reply;
  reply.HasResult = true;
  start += 8;
  size_t end = FindNoCase(body, "</result>", start);
  std::string_view result = body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  size_t from = 0;
  while (auto row = Between(result, "row", from)) reply.Rows.push_back(TReplyRow{*row});
  return reply;
}

bool IsSafeTagText(std::string_view text) {
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (c == '<' || c == '>' || (b < 32 && c != '\t') || b == 127) return false;
  }
  return true;
}

void TReplyWriter::Row() {
  CloseRow();
  Rows_ += "<row>";
  Open_ = true;
}

void TReplyWriter::CloseRow() {
  if (Open_) Rows_ += "</row>";
  Open_ = false;
}

void TReplyWriter::Field(std::string_view tag, std::string_view value) {
  if (!Open_) Row();
  Rows_ += '<';
  Rows_ += tag;
  Rows_ += '>';
  Rows_ += value;
  Rows_ += "</";
  Rows_ += tag;
  Rows_ += '>';
}

void TReplyWriter::Field(std::string_view tag, long long value) { Field(tag, std::to_string(value)); }

void TReplyWriter::Error(std::string_view text) {
  Row();
  Field("error", text);
  CloseRow();
}

std::string TReplyWriter::Text() const {
  return "<result>" + Rows_ + (Open_ ? "</row>" : "") + "</result>";
}

std::string FormatServiceTime(const TServiceTime& t) {
  if (t.IsZero()) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
  return buf;
}

std::optional<TServiceTime> ParseServiceTime(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return TServiceTime{};
  if (text.size() < 19) return std::nullopt;
  auto field = [&](size_t pos, size_t len) {
    int v = 0;
    for (size_t i = pos; i < pos + len; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      v = v * 10 + (text[i] - '0');
    }
    return v;
  };
  TServiceTime t{field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2), field(17, 2)};
  if (t.Year < 0 || t.Month < 0 || t.Day < 0 || t.Hour < 0 || t.Minute < 0 || t.Second < 0) return std::nullopt;
  if (t.IsZero()) return t;  // "0000-00-00 00:00:00" as some services send "none"
  if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour > 23 || t.Minute > 59 || t.Second > 59)
    return std::nullopt;
  return t;
}

}  // namespace vexa::wire
