// The fields of an application/x-www-form-urlencoded body. Read here rather
// than by httplib, whose built-in form reading stops at 8 KiB.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa::server {

class TForm {
 public:
  TForm() = default;
  // "a=1&b=x+y%21": '+' is a blank, %XX a byte; a '%' without two hex
  // digits stays as it is; a field without '=' has an empty value.
  static TForm Parse(std::string_view body);

  bool Has(std::string_view name) const;
  // The first field of that name; "" when there is none.
  std::string Value(std::string_view name) const;

  std::string RemoteAddr;

 private:
  std::vector<std::pair<std::string, std::string>> Fields_;
};

}  // namespace vexa::server
