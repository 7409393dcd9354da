#include "core/dates.h"

#include <gtest/gtest.h>

#include "core/error.h"

namespace vexa {
namespace {

TEST(Dates, DrawTextForms) {
  EXPECT_EQ(DateToDrawText(EncodeDate(2025, 3, 5)), "5 Mar 2025");
  EXPECT_EQ(DateToDrawText(EncodeDate(2024, 12, 17) + 0.75), "17 Dec 2024");  // time is dropped
  EXPECT_EQ(DateToDrawText(0), "");
  EXPECT_EQ(DateToDrawText(-3), "");
  EXPECT_EQ(DrawTextToDate("17 Dec 2024"), EncodeDate(2024, 12, 17));
  EXPECT_EQ(DrawTextToDate("  1 jan 2000 "), EncodeDate(2000, 1, 1));
  EXPECT_EQ(DrawTextToDate("17-Dec-2024"), EncodeDate(2024, 12, 17));  // read by position, like the stored form
  EXPECT_EQ(DrawTextToDate(""), 0);
  EXPECT_EQ(DrawTextToDate("   "), 0);
}

TEST(Dates, MalformedTextsFail) {
  for (const char* text : {"17 Foo 2024", "Dec 2024", "x7 Dec 2024", "31 Feb 2024", "17 Dec 20x4"})
    EXPECT_THROW(DrawTextToDate(text), EConvertError) << text;
}

TEST(Dates, YmdRoundTrip) {
  EXPECT_EQ(DateToYmd(EncodeDate(2026, 12, 2)), 20261202);
  EXPECT_EQ(DateToYmd(0), 18991230);
  EXPECT_EQ(YmdToDate(20020101), EncodeDate(2002, 1, 1));
  EXPECT_EQ(DateToYmd(YmdToDate(20240229)), 20240229);
  EXPECT_THROW(YmdToDate(20230229), EConvertError);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
}

std::string Fixed(TDateTime) { return "fixed"; }
TDateTime Seven(std::string_view) { return 7; }

TEST(Dates, HooksAreReplaceable) {
  SetDateHooks(&Fixed, &Seven);
  EXPECT_EQ(DateToDrawText(100), "fixed");
  EXPECT_EQ(DrawTextToDate("anything"), 7);
  InstallDrawDateHooks();
  EXPECT_EQ(DateToDrawText(EncodeDate(2025, 3, 5)), "5 Mar 2025");
}

}  // namespace
}  // namespace vexa
