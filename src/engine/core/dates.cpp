#include "core/dates.h"

#include <cctype>
#include <cmath>

#include "core/error.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

constexpr const char* MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

// Day 0 of TDateTime is 30 Dec 1899.
constexpr int64_t EpochOffset = -25569;  // DaysFromCivil(1899, 12, 30)

int DaysInMonth(int y, int m) {
  static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return (m == 2 && leap) ? 29 : days[m - 1];
}

TDateToTextHook& ToTextHook() {
  static TDateToTextHook hook = &EnglishDateToText;
  return hook;
}

TTextToDateHook& ToDateHook() {
  static TTextToDateHook hook = &EnglishTextToDate;
  return hook;
}

[[noreturn]] void BadDate(std::string_view text) {
  throw EConvertError(Format("Некорректная дата: \"%s\"!", {text}));
}

}  // namespace

void SetDateHooks(TDateToTextHook toText, TTextToDateHook toDate) {
  ToTextHook() = toText;
  ToDateHook() = toDate;
}

void InstallDrawDateHooks() { SetDateHooks(&EnglishDateToText, &EnglishTextToDate); }

std::string DateToDrawText(TDateTime date) { return ToTextHook()(date); }

TDateTime DrawTextToDate(std::string_view text) { return ToDateHook()(text); }

TDateTime EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    throw EConvertError(Format("Некорректная дата: %d.%d.%d!", {day, month, year}));
  return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                EpochOffset);
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  CivilFromDays(static_cast<int64_t>(std::floor(date)) + EpochOffset, year, month, day);
}

int DateToYmd(TDateTime date) {
  int y = 0;
  int m = 0;
  int d = 0;
  DecodeDate(date, y, m, d);
  return y * 10000 + m * 100 + d;
}

TDateTime YmdToDate(int ymd) { return EncodeDate(ymd / 10000, ymd / 100 % 100, ymd % 100); }

std::string EnglishDateToText(TDateTime date) {
  if (date <= 0) return "";
  int y = 0;
  int m = 0;
  int d = 0;
  DecodeDate(date, y, m, d);
  return std::to_string(d) + " " + MonthNames[m - 1] + " " + std::to_string(y);
}

TDateTime EnglishTextToDate(std::string_view text) {
  const std::string_view t = Trim(text);
  if (t.empty()) return 0;
  if (t.size() < 9) BadDate(text);
  const std::string_view dayText = t.substr(0, t.size() - 9);
  const std::string_view monthText = t.substr(t.size() - 8, 3);
  const std::string_view yearText = t.substr(t.size() - 4);
  int month = 0;
  for (int i = 0; i < 12; ++i) {
    bool same = true;
    for (size_t k = 0; k < 3; ++k)
      if (std::tolower(static_cast<unsigned char>(monthText[k])) !=
          std::tolower(static_cast<unsigned char>(MonthNames[i][k])))
        same = false;
    if (same) month = i + 1;
  }
  int32_t day = 0;
  int32_t year = 0;
  if (!TryStrToInt(dayText, day) || !TryStrToInt(yearText, year) || month == 0) BadDate(text);
  try {
    return EncodeDate(year, month, day);
  } catch (const EConvertError&) {
    BadDate(text);
  }
}

}  // namespace vexa
