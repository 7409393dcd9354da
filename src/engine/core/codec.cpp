#include "core/codec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace vexa {
namespace {

// The table is built once through iconv; conversions then run without it.
struct TCp1251Table {
  std::array<char32_t, 256> ToUnicode{};
  std::unordered_map<char32_t, unsigned char> FromUnicode;

  TCp1251Table() {
    iconv_t cd = iconv_open("UTF-32LE", "CP1251");
    for (int b = 0; b < 256; ++b) {
      char32_t cp = static_cast<char32_t>(b);  // fallback: Latin-1 meaning
      if (cd != reinterpret_cast<iconv_t>(-1)) {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char* inp = &in;
        size_t inLeft = 1;
        char* outp = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) &&
            outLeft == sizeof(out) - 4) {
          cp = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                     (static_cast<unsigned>(out[3]) << 24));
        }
      }
      ToUnicode[static_cast<size_t>(b)] = cp;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    for (int b = 255; b >= 0; --b)
      FromUnicode[ToUnicode[static_cast<size_t>(b)]] = static_cast<unsigned char>(b);
  }
};

const TCp1251Table& Table() {
  static const TCp1251Table table;
  return table;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence; a malformed byte is returned as U+FFFD.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) {
  const auto& table = Table();
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (char c : cp1251) AppendUtf8(out, table.ToUnicode[static_cast<unsigned char>(c)]);
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  const auto& table = Table();
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    auto it = table.FromUnicode.find(cp);
    out.push_back(it == table.FromUnicode.end() ? '?' : static_cast<char>(it->second));
  }
  return out;
}

}  // namespace vexa
