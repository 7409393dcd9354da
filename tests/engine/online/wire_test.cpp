#include "wire/wire.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa::wire {
namespace {

TEST(WireEscape, EveryRuleAndItsInverse) {
  struct TCase {
    std::string Text, Escaped;
  };
  const TCase cases[] = {
      {std::string("\0\1\2\3\4\5\6", 7), "\\0\\1\\2\\3\\4\\5\\6"},
      {"\a\b\t\n\v\f\r\x1b", "\\a\\b\\t\\n\\v\\f\\r\\e"},
      {"say \"hi\" isn't it? C:\\x", "say \\\"hi\\\" isn\\'t it\\? C:\\\\x"},
      {"\x0e\x1f\x7f", "\x0e\x1f\x7f"},  // other control bytes stay
      {"Привет", "Привет"},              // UTF-8 passes byte by byte
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(CEscape(c.Text), c.Escaped);
    EXPECT_EQ(CUnescape(c.Escaped), c.Text);
  }
  EXPECT_EQ(CUnescape("\\q\\"), "q\\");  // unknown escape, lone trailing backslash
}

TEST(WireBase64, Rfc4648Vectors) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xff\xfe", "//4="},
  };
  for (const auto& [plain, coded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), coded);
    EXPECT_EQ(Base64Decode(coded), plain);
  }
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  for (const char* bad : {"Zm9", "Zm=v", "Zm9v!A==", "=AAA", "Zg==Zg=="}) EXPECT_FALSE(Base64Decode(bad)) << bad;
}

TEST(WireReply, RowsTagsAndErrors) {
  const std::string body =
      "junk<RESULT>\n<row><ID> 12 </id><title>VGl0bGU=</title></row>"
      "<row><id>13</id><error></error></row><Row><error> нет доступа </error></Row></Result>trailer<row>x</row>";
  TReply reply = ReadReply(body);
  ASSERT_TRUE(reply.HasResult);
  ASSERT_EQ(reply.Rows.size(), 3u);
  EXPECT_EQ(reply.Rows[0].Value("id"), "12");
  EXPECT_EQ(reply.Rows[0].Value("missing"), "");
  EXPECT_EQ(reply.Rows[1].Value("id"), "13");
  EXPECT_EQ(reply.Error(), "нет доступа");

  EXPECT_FALSE(ReadReply("<row><id>1</id></row>").HasResult);
  TReply empty = ReadReply("<result></result>");
  EXPECT_TRUE(empty.HasResult);
  EXPECT_TRUE(empty.Rows.empty());
  EXPECT_EQ(ReadReply("<result><row><id>5").Rows.size(), 0u);  // a row cut off is no row
}

TEST(WireReply, WriterTextReadsBack) {
  TReplyWriter w;
  w.Field("id", 7);
  w.Field("author", "Иван");
  w.Row();
  w.Field("id", -1);
  const std::string text = w.Text();
  TReply reply = ReadReply(text);
  ASSERT_EQ(reply.Rows.size(), 2u);
  EXPECT_EQ(reply.Rows[0].Value("author"), "Иван");
  EXPECT_EQ(reply.Rows[1].Value("id"), "-1");
  EXPECT_EQ(reply.Error(), "");

  TReplyWriter e;
  e.Error("Слишком длинное название");
  EXPECT_EQ(e.Text(), "<result><row><error>Слишком длинное название</error></row></result>");
  EXPECT_TRUE(IsSafeTagText("Иван Петров\tmail@x.ru"));
  for (const char* bad : {"a<b", "a>b", "line\nbreak", "\x7f"}) EXPECT_FALSE(IsSafeTagText(bad)) << bad;
}

TEST(WireTime, FixedPositions) {
  auto t = ParseServiceTime("2026-03-05 07:08:09");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Year, 2026);
  EXPECT_EQ(t->Second, 9);
  EXPECT_EQ(FormatServiceTime(*t), "2026-03-05 07:08:09");
  EXPECT_EQ(ParseServiceTime("2026/03/05T07.08.09")->Minute, 8);  // separators are not read
  EXPECT_TRUE(ParseServiceTime("")->IsZero());
  EXPECT_TRUE(ParseServiceTime("0000-00-00 00:00:00")->IsZero());
  EXPECT_EQ(FormatServiceTime({}), "");
  for (const char* bad : {"2026-03-05", "2026-13-05 00:00:00", "2026-03-05 24:00:00", "20x6-03-05 00:00:00"})
    EXPECT_FALSE(ParseServiceTime(bad)) << bad;
}

}  // namespace
}  // namespace vexa::wire
