#include "server/validate.h"

#include <array>
#include <cstdio>

#include "wire/wire.h"
#include "server/store.h"

namespace vexa::server {
namespace {

bool IsCombSeparator(char c) {
  switch (c) {
    case ' ': case '*': case '+': case ',': case '-': case '.': case '/': case ':':
    case ';': case '=': case '\\': case '_': case '|': case '~':
      return true;
    default:
      return false;
  }
}

[[noreturn]] void FailLine(size_t line, std::string_view why) {
  throw EServiceError("Строка " + std::to_string(line) + " списка комбинаций: " + std::string(why));
}

}  // namespace

std::optional<size_t> Utf8Length(std::string_view text) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return std::nullopt;
    }
    if (extra > 0 && i + extra >= text.size()) return std::nullopt;
    for (size_t k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    static constexpr std::array<uint32_t, 4> minimum{0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    i += extra + 1;
    ++chars;
  }
  return chars;
}

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

int64_t CombinationsOf(int64_t n) {
  if (n < CombLength) return 0;
  int64_t r = 1;
  for (int64_t k = 1; k <= CombLength; ++k) r = r * (n - CombLength + k) / k;
  return r;
}

void CheckText(std::string_view label, std::string_view text, size_t maxChars) {
  const auto chars = Utf8Length(text);
  if (!chars) throw EServiceError("Поле \"" + std::string(label) + "\" не в кодировке UTF-8");
  if (*chars > maxChars)
    throw EServiceError("Поле \"" + std::string(label) + "\" длиннее " + std::to_string(maxChars) + " символов");
}

void CheckPlainText(std::string_view label, std::string_view text, size_t maxChars) {
  CheckText(label, text, maxChars);
  if (!wire::IsSafeTagText(text))
    throw EServiceError("Поле \"" + std::string(label) + "\" содержит недопустимые символы");
}

std::string CheckTitle(std::string_view title) {
  std::string t = Trimmed(title);
  if (t.empty()) throw EServiceError("Не указано название");
  CheckText("Название", t, MaxTitleChars);
  return t;
}

std::string CheckSystemCombs(std::string_view text, int64_t nums, int64_t csize) {
  const int64_t limit = CombinationsOf(nums);
  std::string out;
  int64_t lines = 0;
  size_t lineNo = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trimmed(line).empty()) continue;
    std::array<int64_t, CombLength> values{};
    size_t count = 0;
    size_t i = 0;
    while (i < line.size()) {
      if (IsCombSeparator(line[i])) {
        ++i;
        continue;
      }
      int64_t v = 0;
      size_t digits = 0;
      for (; i < line.size() && !IsCombSeparator(line[i]); ++i, ++digits) {
        if (line[i] < '0' || line[i] > '9') FailLine(lineNo, "недопустимый символ");
        if (digits < 3) v = v * 10 + (line[i] - '0');
        else v = nums + 1;
      }
      if (count == CombLength) FailLine(lineNo, "больше 6 чисел");
      if (v < 1 || v > nums) FailLine(lineNo, "позиция вне диапазона 1.." + std::to_string(nums));
      for (size_t k = 0; k < count; ++k)
        if (values[k] == v) FailLine(lineNo, "повтор позиции " + std::to_string(v));
      values[count++] = v;
    }
    if (count != CombLength) FailLine(lineNo, "нужно ровно 6 чисел");
    if (++lines > limit) throw EServiceError("Комбинаций больше, чем C(" + std::to_string(nums) + ", 6)");
    if (!out.empty()) out += "\r\n";
    for (size_t k = 0; k < CombLength; ++k) {
      char buf[8];
      std::snprintf(buf, sizeof buf, k == 0 ? "%.2d" : " %.2d", static_cast<int>(values[k]));
      out += buf;
    }
  }
  if (lines == 0) throw EServiceError("Пустой список комбинаций");
  if (lines != csize)
    throw EServiceError("Количество комбинаций (" + std::to_string(lines) + ") не равно csize (" +
                        std::to_string(csize) + ")");
  return out;
}

}  // namespace vexa::server
