#include "core/ini_file.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/codec.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

// Lower case of every cp1251 letter, Latin and Cyrillic, as the names of
// these files have always been compared.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c + 32);
  constexpr std::array<std::array<int, 2>, 15> pairs{{{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                                      {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                                      {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                                      {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}}};
  for (const auto& p : pairs) t[static_cast<size_t>(p[0])] = static_cast<unsigned char>(p[1]);
  return t;
}

constexpr std::array<unsigned char, 256> FoldTable = MakeFoldTable();

std::string Fold(std::string_view cp1251) {
  std::string out(cp1251);
  for (char& c : out) c = static_cast<char>(FoldTable[static_cast<unsigned char>(c)]);
  return out;
}

// A name as the caller gives it, in the folded cp1251 form the lines keep.
std::string FoldName(std::string_view utf8) { return Fold(Trim(Utf8ToCp1251(Trim(utf8)))); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

[[noreturn]] void BadName(std::string_view name) {
  throw EVexaError(Format("Недопустимое имя в файле параметров: \"%s\"!", {std::string(name)}));
}

std::string CheckedSectionName(std::string_view section) {
  const std::string_view t = Trim(section);
  if (t.empty() || HasLineBreak(t)) BadName(section);
  return Utf8ToCp1251(t);
}

std::string CheckedKeyName(std::string_view key) {
  const std::string_view t = Trim(key);
  if (t.empty() || HasLineBreak(t) || t.find('=') != std::string_view::npos || t[0] == ';' || t[0] == '[')
    BadName(key);
  return Utf8ToCp1251(t);
}

// The name and the value of a key line.
std::string_view KeyPart(std::string_view line) { return Trim(line.substr(0, line.find('='))); }
std::string_view ValuePart(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1));
}

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

// A header "[name]" with the name between "[" and the last "]"; false when
// the line is no header.
bool ParseHeader(std::string_view line, std::string_view& name) {
  const std::string_view t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  const size_t close = t.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

}  // namespace

// ---- Decimal text ------------------------------------------------------

std::string FloatToIniText(long double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14Le", value);  // "-d.ddddddddddddddde+XX"
  const std::string_view s(buf);
  const bool negative = s[0] == '-';
  const size_t first = negative ? 1 : 0;
  const size_t e = s.find('e');
  std::string digits;
  digits.push_back(s[first]);
  digits.append(s.substr(first + 2, e - first - 2));
  const int exponent = std::atoi(buf + e + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  // Fixed notation for what 15 digits can show without an exponent.
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      const size_t intLen = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= intLen) {
        out += digits + std::string(intLen - digits.size(), '0');
      } else {
        out += digits.substr(0, intLen) + "." + digits.substr(intLen);
      }
    } else {
      out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
  } else {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  }
  const size_t dot = out.find('.');
  if (dot != std::string::npos) out.replace(dot, 1, FormatSettings().DecimalSeparator);
  return out;
}

bool TryIniTextToFloat(std::string_view text, long double& value) {
  std::string s(Trim(text));
  const std::string& sep = FormatSettings().DecimalSeparator;
  if (!sep.empty() && sep != ".") {
    for (size_t p = s.find(sep); p != std::string::npos; p = s.find(sep, p + 1)) s.replace(p, sep.size(), ".");
  }
  for (char& c : s)
    if (c == ',') c = '.';
  // Digits, one point and an exponent only: no "inf", "nan" or hex forms.
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t numberStart = (!s.empty() && s[0] == '+') ? 1 : 0;
  auto skipDigits = [&]() {
    const size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - from;
  };
  size_t mantissaDigits = skipDigits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissaDigits += skipDigits();
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (skipDigits() == 0) return false;
  }
  if (i != s.size()) return false;
  long double v = 0;
  const char* begin = s.data() + numberStart;
  const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// ---- TIniFile ------------------------------------------------------------

TIniFile::TIniFile(std::filesystem::path path, unsigned createMode)
    : Path_(std::move(path)), CreateMode_(createMode) {
  struct stat st {};
  if (::stat(Path_.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return;
    throw EVexaError(std::strerror(errno));
  }
  Parse(ReadWholeFile(Path_));
}

void TIniFile::Parse(std::string_view bytes) {
  std::vector<std::string> lines;
  SplitLines(bytes, lines);
  for (std::string& text : lines) {
    std::string_view name;
    if (ParseHeader(text, name)) {
      Sections_.push_back(TSection{text, Fold(name), {}});
      continue;
    }
    TLine line{std::move(text), {}};
    const std::string_view t = Trim(line.Text);
    if (!Sections_.empty() && !t.empty() && t[0] != ';' && t.find('=') != std::string_view::npos)
      line.Key = Fold(KeyPart(t));
    (Sections_.empty() ? Preamble_ : Sections_.back().Lines).push_back(std::move(line));
  }
}

const TIniFile::TLine* TIniFile::FindKey(std::string_view section, std::string_view key) const {
  const std::string s = FoldName(section);
  const std::string k = FoldName(key);
  if (k.empty()) return nullptr;
  for (const TSection& sec : Sections_) {
    if (sec.Name != s) continue;
    for (const TLine& line : sec.Lines)
      if (line.Key == k) return &line;
  }
  return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const {
  const std::string s = FoldName(section);
  for (const TSection& sec : Sections_)
    if (sec.Name == s) return true;
  return false;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindKey(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  std::vector<std::string> seen;
  for (const TSection& sec : Sections_) {
    bool known = false;
    for (const std::string& s : seen) known = known || s == sec.Name;
    if (known) continue;
    seen.push_back(sec.Name);
    std::string_view title;
    ParseHeader(sec.Header, title);
    names.push_back(Cp1251ToUtf8(title));
  }
  return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  const std::string s = FoldName(section);
  std::vector<std::string> names;
  std::vector<std::string> seen;
  for (const TSection& sec : Sections_) {
    if (sec.Name != s) continue;
    for (const TLine& line : sec.Lines) {
      if (line.Key.empty()) continue;
      bool known = false;
      for (const std::string& k : seen) known = known || k == line.Key;
      if (known) continue;
      seen.push_back(line.Key);
      names.push_back(Cp1251ToUtf8(KeyPart(line.Text)));
    }
  }
  return names;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const TLine* line = FindKey(section, key);
  return line ? Cp1251ToUtf8(ValuePart(line->Text)) : std::string(def);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const TLine* line = FindKey(section, key);
  return line ? StrToIntDef(ValuePart(line->Text), def) : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

long double TIniFile::ReadFloat(std::string_view section, std::string_view key, long double def) const {
  const TLine* line = FindKey(section, key);
  long double v = 0;
  if (line && TryIniTextToFloat(Cp1251ToUtf8(ValuePart(line->Text)), v)) return v;
  return def;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName = CheckedSectionName(section);
  const std::string keyName = CheckedKeyName(key);
  std::string text = Utf8ToCp1251(value);
  for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p)) text.erase(p, 1);
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  const std::string s = Fold(sectionName);
  const std::string k = Fold(keyName);

  TSection* target = nullptr;
  for (TSection& sec : Sections_) {
    if (sec.Name != s) continue;
    if (!target) target = &sec;
    for (TLine& line : sec.Lines) {
      if (line.Key == k) {
        line.Text = std::string(KeyPart(line.Text)) + "=" + text;
        return;
      }
    }
  }
  TLine line{keyName + "=" + text, k};
  if (target) {
    // After the last line that says something, so blank separators stay at the end.
    size_t pos = target->Lines.size();
    while (pos > 0 && IsBlank(target->Lines[pos - 1].Text)) --pos;
    target->Lines.insert(target->Lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
    return;
  }
  std::vector<TLine>& last = Sections_.empty() ? Preamble_ : Sections_.back().Lines;
  const bool fileEmpty = Sections_.empty() && Preamble_.empty();
  if (!fileEmpty && (last.empty() || !IsBlank(last.back().Text))) last.push_back(TLine{});
  Sections_.push_back(TSection{"[" + sectionName + "]", s, {}});
  Sections_.back().Lines.push_back(std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, long double value) {
  WriteString(section, key, FloatToIniText(value));
}

void TIniFile::EraseSection(std::string_view section) {
  const std::string s = FoldName(section);
  std::erase_if(Sections_, [&](const TSection& sec) { return sec.Name == s; });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  const std::string s = FoldName(section);
  const std::string k = FoldName(key);
  if (k.empty()) return;
  for (TSection& sec : Sections_)
    if (sec.Name == s) std::erase_if(sec.Lines, [&](const TLine& line) { return line.Key == k; });
}

std::string TIniFile::Text() const {
  std::string out;
  auto put = [&out](const std::string& line) {
    out += line;
    out += "\r\n";
  };
  for (const TLine& line : Preamble_) put(line.Text);
  for (const TSection& sec : Sections_) {
    put(sec.Header);
    for (const TLine& line : sec.Lines) put(line.Text);
  }
  return out;
}

void TIniFile::UpdateFile() const { WriteFileAtomic(Path_, Text(), CreateMode_); }

void TIniFile::UpdateFile(unsigned forcedMode) const { WriteFileAtomic(Path_, Text(), forcedMode, true); }

}  // namespace vexa
