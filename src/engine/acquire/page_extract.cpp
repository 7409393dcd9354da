#include "acquire/page_extract.h"

#include "core/error.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string PairNotFoundMessage(std::string_view text, std::string_view start, std::string_view end) {
  return Format("Не удалось найти пару идентификаторов \"%1:s\" - \"%2:s\" в тексте\r\r[%0:s]!", {text, start, end});
}

size_t FindNoCase(std::string_view text, std::string_view what, size_t from) {
  if (what.empty()) return from <= text.size() ? from : std::string_view::npos;
  if (text.size() < what.size()) return std::string_view::npos;
  const char first = FoldAscii(what[0]);
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    if (FoldAscii(text[i]) != first) continue;
    size_t k = 1;
    while (k < what.size() && FoldAscii(text[i + k]) == FoldAscii(what[k])) ++k;
    if (k == what.size()) return i;
  }
  return std::string_view::npos;
}

std::string TrimUnquote(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.size() < 2 || t.front() != '"' || t.back() != '"') return std::string(t);
  t = t.substr(1, t.size() - 2);
  std::string out;
  out.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i)
    if (t[i] != '"' || (i > 0 && t[i - 1] == '"')) out += t[i];
  return out;
}

namespace {

// The raw result and the position just past the end marker (npos: none).
struct TMatch {
  bool Found = false;
  std::string_view Result;
  size_t Consumed = 0;
};

TMatch Between(std::string_view text, std::string_view start, std::string_view end, TExtractMode mode) {
  TMatch m;
  const size_t s = FindNoCase(text, start);
  if (s == std::string_view::npos) return m;
  const size_t from = s + start.size();
  if (end.empty()) {
    m.Found = true;
    m.Result = text.substr(from);
    m.Consumed = text.size();
    return m;
  }
  const size_t e = FindNoCase(text, end, from);
  if (e != std::string_view::npos) {
    m.Found = true;
    m.Result = text.substr(from, e - from);
    m.Consumed = e + end.size();
    return m;
  }
  switch (mode) {
    case TExtractMode::Strict:
      throw EVexaError(PairNotFoundMessage(text, start, end));
    case TExtractMode::ToEnd:
      m.Found = true;
      m.Result = text.substr(from);
      m.Consumed = text.size();
      return m;
    case TExtractMode::Empty:
      break;
  }
  return m;
}

}  // namespace

std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end, TExtractMode mode) {
  return TrimUnquote(Between(text, start, end, mode).Result);
}

std::string ExtractBetweenCut(std::string& text, std::string_view start, std::string_view end, TExtractMode mode) {
  const TMatch m = Between(text, start, end, mode);
  std::string result = TrimUnquote(m.Result);
  if (m.Found) text.erase(0, m.Consumed);
  return result;
}

std::string ExtractSection(std::string& text, std::string_view marker) {
  const size_t s = FindNoCase(text, marker);
  if (s == std::string::npos || marker.empty()) return "";
  const size_t from = s + marker.size();
  const size_t next = FindNoCase(text, marker, from);
  std::string result = TrimUnquote(std::string_view(text).substr(from, next == std::string::npos ? std::string::npos : next - from));
  if (next == std::string::npos)
    text.clear();
  else
    text.erase(0, next);
  return result;
}

}  // namespace vexa
