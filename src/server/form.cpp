#include "server/form.h"

namespace vexa::server {
namespace {

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && Hex(text[i + 1]) >= 0 && Hex(text[i + 2]) >= 0) {
      out += static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

TForm TForm::Parse(std::string_view body) {
  TForm form;
  while (!body.empty()) {
    const size_t amp = body.find('&');
    const std::string_view pair = body.substr(0, amp);
    body.remove_prefix(amp == std::string_view::npos ? body.size() : amp + 1);
    if (pair.empty()) continue;
    const size_t eq = pair.find('=');
    form.Fields_.emplace_back(Decode(pair.substr(0, eq)),
                              eq == std::string_view::npos ? std::string() : Decode(pair.substr(eq + 1)));
  }
  return form;
}

bool TForm::Has(std::string_view name) const {
  for (const auto& [k, v] : Fields_)
    if (k == name) return true;
  return false;
}

std::string TForm::Value(std::string_view name) const {
  for (const auto& [k, v] : Fields_)
    if (k == name) return v;
  return {};
}

}  // namespace vexa::server
