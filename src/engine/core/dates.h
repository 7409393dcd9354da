// Dates as the program stores them: "5 Mar 2025" in TDraw.Date.
//
// A date is a day count from 30 Dec 1899 (fractions are a time of day).
// The two conversions go through replaceable hooks; the English-month
// forms are installed from the start.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

using TDateTime = double;

using TDateToTextHook = std::string (*)(TDateTime date);
using TTextToDateHook = TDateTime (*)(std::string_view text);

void SetDateHooks(TDateToTextHook toText, TTextToDateHook toDate);
void InstallDrawDateHooks();  // the English-month forms

std::string DateToDrawText(TDateTime date);      // "" for date <= 0
TDateTime DrawTextToDate(std::string_view text);  // throws EConvertError

std::string EnglishDateToText(TDateTime date);
TDateTime EnglishTextToDate(std::string_view text);

int DateToYmd(TDateTime date);  // year*10000 + month*100 + day
TDateTime YmdToDate(int ymd);   // throws EConvertError for no such day
// Throws EConvertError for no such day.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);

}  // namespace vexa
