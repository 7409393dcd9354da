#include "core/format.h"

#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "core/error.h"

namespace vexa {
namespace {

TFormatSettings LocaleSettings() {
  TFormatSettings s;
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (loc != static_cast<locale_t>(nullptr)) {
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    const char* sep = nl_langinfo_l(THOUSEP, loc);
    if (radix != nullptr && *radix != '\0') s.DecimalSeparator = radix;
    if (sep != nullptr && *sep != '\0') s.ThousandSeparator = sep;
    freelocale(loc);
  }
  return s;
}

TFormatSettings& MutableSettings() {
  static TFormatSettings settings = LocaleSettings();
  return settings;
}

std::string FixedDigits(double value, int digits) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", digits < 0 ? 0 : digits, value);
  return buf;
}

// "1234567.891" -> "1 234 567,891" with the settings' separators.
std::string Localise(const std::string& plain, bool thousands) {
  const auto& fs = FormatSettings();
  size_t start = (!plain.empty() && plain[0] == '-') ? 1 : 0;
  size_t dot = plain.find('.');
  std::string intPart = plain.substr(start, (dot == std::string::npos ? plain.size() : dot) - start);
  std::string out = plain.substr(0, start);
  if (thousands) {
    for (size_t i = 0; i < intPart.size(); ++i) {
      if (i > 0 && (intPart.size() - i) % 3 == 0) out += fs.ThousandSeparator;
      out.push_back(intPart[i]);
    }
  } else {
    out += intPart;
  }
  if (dot != std::string::npos) {
    out += fs.DecimalSeparator;
    out += plain.substr(dot + 1);
  }
  return out;
}

[[noreturn]] void BadFormat(std::string_view format) {
  throw EVexaError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

double AsDouble(const TFormatArg& a, std::string_view format) {
  if (auto p = std::get_if<double>(&a.Value())) return *p;
  if (auto p = std::get_if<int64_t>(&a.Value())) return static_cast<double>(*p);
  BadFormat(format);
}

int64_t AsInt(const TFormatArg& a, std::string_view format) {
  if (auto p = std::get_if<int64_t>(&a.Value())) return *p;
  BadFormat(format);
}

size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string Utf8Prefix(const std::string& s, size_t chars) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == chars) return s.substr(0, i);
      ++n;
    }
  }
  return s;
}

}  // namespace

const TFormatSettings& FormatSettings() { return MutableSettings(); }

void SetFormatSettings(const TFormatSettings& settings) { MutableSettings() = settings; }

std::string FloatToStrF(double value, int digits) { return Localise(FixedDigits(value, digits), false); }

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args) {
  const std::vector<TFormatArg> argv(args);
  std::string out;
  size_t next = 0;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c != '%') {
      out.push_back(c);
      ++i;
      continue;
    }
    ++i;
    if (i < format.size() && format[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    auto readNumber = [&](int& value) {
      bool any = false;
      value = 0;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        value = value * 10 + (format[i] - '0');
        ++i;
        any = true;
      }
      return any;
    };
    int number = 0;
    bool haveNumber = readNumber(number);
    if (haveNumber && i < format.size() && format[i] == ':') {
      next = static_cast<size_t>(number);
      ++i;
      haveNumber = false;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = -1;
    if (!haveNumber) {
      if (readNumber(number)) width = number;
    } else {
      width = number;
    }
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      readNumber(precision);
    }
    if (i >= format.size()) BadFormat(format);
    const char type = static_cast<char>(format[i] | 0x20);
    ++i;
    if (next >= argv.size()) BadFormat(format);
    const TFormatArg& arg = argv[next++];
    std::string text;
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        int64_t v = AsInt(arg, format);
        char buf[64];
        if (type == 'x')
          std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
        else
          std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v < 0 ? -v : v));
        std::string digits = buf;
        if (precision > 0 && digits.size() < static_cast<size_t>(precision))
          digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        text = (type != 'x' && v < 0 ? "-" : "") + digits;
        break;
      }
      case 'f':
        text = Localise(FixedDigits(AsDouble(arg, format), precision < 0 ? 2 : precision), false);
        break;
      case 'n':
        text = Localise(FixedDigits(AsDouble(arg, format), precision < 0 ? 2 : precision), true);
        break;
      case 'e':
      case 'g': {
        char buf[512];
        std::snprintf(buf, sizeof buf, type == 'e' ? "%.*E" : "%.*G", precision < 0 ? 15 : precision,
                      AsDouble(arg, format));
        text = Localise(buf, false);
        break;
      }
      case 's': {
        if (auto p = std::get_if<std::string>(&arg.Value()))
          text = *p;
        else
          BadFormat(format);
        if (precision >= 0) text = Utf8Prefix(text, static_cast<size_t>(precision));
        break;
      }
      default:
        BadFormat(format);
    }
    const size_t len = Utf8Length(text);
    if (width > 0 && len < static_cast<size_t>(width)) {
      const std::string pad(static_cast<size_t>(width) - len, ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

}  // namespace vexa
