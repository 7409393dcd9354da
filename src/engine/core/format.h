// Pascal-style message formatting, the forms the program's texts use.
//
// A format item is "%" [index ":"] ["-"] [width] ["." precision] type with
// type one of d u x s f n e g; "%%" is a literal percent sign. An item with
// an index takes that argument and the following unindexed items go on from
// there. Examples: "%d", "%.3d" (at least 3 digits), "%.2f", "%0:s", "%.3n"
// (thousands separators). Decimal and thousands separators come from the
// format settings, which follow the user's locale and can be pinned.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vexa {

struct TFormatSettings {
  std::string DecimalSeparator = ".";
  std::string ThousandSeparator = ",";
};

// The process-wide settings; initialised from the environment's LC_NUMERIC.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);

class TFormatArg {
 public:
  TFormatArg(int v) : Value_(static_cast<int64_t>(v)) {}
  TFormatArg(unsigned v) : Value_(static_cast<int64_t>(v)) {}
  TFormatArg(long v) : Value_(static_cast<int64_t>(v)) {}
  TFormatArg(unsigned long v) : Value_(static_cast<int64_t>(v)) {}
  TFormatArg(long long v) : Value_(static_cast<int64_t>(v)) {}
  TFormatArg(double v) : Value_(v) {}
  TFormatArg(long double v) : Value_(static_cast<double>(v)) {}
  TFormatArg(const char* v) : Value_(std::string(v)) {}
  TFormatArg(std::string_view v) : Value_(std::string(v)) {}
  TFormatArg(const std::string& v) : Value_(v) {}

  const std::variant<int64_t, double, std::string>& Value() const { return Value_; }

 private:
  std::variant<int64_t, double, std::string> Value_;
};

// Throws EVexaError on a malformed format or a missing argument.
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);

// Decimal text of a floating value with fixed digits, using the decimal separator.
std::string FloatToStrF(double value, int digits);

}  // namespace vexa
