#include <gtest/gtest.h>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

TEST(Codec, EveryCp1251ByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Codec, CyrillicAndUnmappable) {
  EXPECT_EQ(Utf8ToCp1251("Тираж"), "\xD2\xE8\xF0\xE0\xE6");
  EXPECT_EQ(Cp1251ToUtf8("\xD2\xE8\xF0\xE0\xE6 \xB9"), "Тираж №");
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xAC\xE4\xB8\xAD"), "a\x88?");  // euro sign exists, a CJK sign does not
}

class FormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings();
    SetFormatSettings({",", " "});
  }
  void TearDown() override { SetFormatSettings(saved_); }
  TFormatSettings saved_;
};

TEST_F(FormatTest, Forms) {
  EXPECT_EQ(Format("Архив тиражей: %d", {12}), "Архив тиражей: 12");
  EXPECT_EQ(Format("%.3d|%.3d|%.2d", {12, -12, 1234}), "012|-012|1234");
  EXPECT_EQ(Format("%.2f|%.5f|%.0f", {3.14159, 3.14159, 3.14159}), "3,14|3,14159|3");
  EXPECT_EQ(Format("%.2f", {15}), "15,00");
  EXPECT_EQ(Format("%1:d-%0:s", {"abc", 12}), "12-abc");
  EXPECT_EQ(Format("%1:d %d %0:s", {"abc", 12, 7}), "12 7 abc");  // unindexed items go on after an index
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%.3n|%.3n", {1234567.891, 12}), "1 234 567,891|12,000");
  EXPECT_EQ(Format("[%5d][%-5d][%3s]", {12, 12, "ж"}), "[   12][12   ][  ж]");
  EXPECT_EQ(FloatToStrF(1.5, 1), "1,5");
}

TEST_F(FormatTest, MismatchAndMissingArgumentsThrow) {
  EXPECT_THROW(Format("%d", {"text"}), EVexaError);
  EXPECT_THROW(Format("%s %s", {"one"}), EVexaError);
  EXPECT_THROW(Format("%", {1}), EVexaError);
}

}  // namespace
}  // namespace vexa
