#include "core/draws_archive.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/dates.h"
#include "core/error.h"
#include "support/fault.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TDraw MakeDraw(int number, TComb nums, const char* date = "") {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = {static_cast<uint8_t>(number % 45 + 1), 1};
  SetDrawDateText(d, date);
  return d;
}

TDrawsArchive ArchiveOf(std::initializer_list<int> numbers) {
  TDrawsArchive a;
  for (int n : numbers) a.Append(MakeDraw(n, {1, 2, 3, 4, 5, static_cast<uint8_t>(n % 39 + 6)}));
  return a;
}

TEST(DrawsArchive, RecordLayoutIsByteExact) {
  TDraw d = MakeDraw(0x01020304, {45, 1, 30, 2, 17, 3}, "5 Mar 2025");
  d.Supp = {12, 40};
  unsigned char bytes[24];
  EncodeDraw(d, bytes);
  const unsigned char expected[24] = {0x04, 0x03, 0x02, 0x01, 45,  1,   30,  2,   17, 3, 12, 40,
                                      10,   '5',  ' ',  'M',  'a', 'r', ' ', '2', '0', '2', '5', 0};
  EXPECT_EQ(0, std::memcmp(bytes, expected, 24));
  EXPECT_EQ(DecodeDraw(bytes), d);
}

TEST(DrawsArchive, SaveAndLoadKeepEveryByte) {
  TTempDir dir;
  // Every byte value somewhere, including the date tail beyond its length byte
  // and a length byte larger than the field.
  std::string bytes;
  for (int r = 0; r < 40; ++r)
    for (int b = 0; b < 24; ++b) bytes.push_back(static_cast<char>((r * 24 + b) * 7 % 256));
  WriteBytes(dir / "Korvane_6x45.ldr", bytes);

  TSilentUserInterface ui;
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  archive.LoadDraws(ui);
  ASSERT_EQ(archive.Count(), 40);
  archive.SetFile(dir / "copy.ldr");
  archive.SaveDraws(ui);
  EXPECT_EQ(ReadBytes(dir / "copy.ldr"), bytes);
}

TEST(DrawsArchive, RecordCountIsSizeDividedBy24) {
  TTempDir dir;
  TSilentUserInterface ui;
  struct Case {
    size_t size;
    int count;
  } cases[] = {{0, 0}, {23, 0}, {24, 1}, {49, 2}, {72, 3}};
  for (const auto& c : cases) {
    WriteBytes(dir / "a.ldr", std::string(c.size, '\x05'));
    TDrawsArchive archive(dir / "a.ldr");
    archive.LoadDraws(ui);
    EXPECT_EQ(archive.Count(), c.count) << c.size;
  }
  TDrawsArchive missing(dir / "none.ldr");
  missing.LoadDraws(ui);
  EXPECT_TRUE(missing.Empty());
}

TEST(DrawsArchive, FailedSaveLeavesTheOldFileAndMemory) {
  TTempDir dir;
  TSilentUserInterface ui;
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  for (int n = 1; n <= 10; ++n) archive.Append(MakeDraw(n, {1, 2, 3, 4, 5, 6}, "1 Jan 2020"));
  archive.SaveDraws(ui);
  const std::string before = ReadBytes(dir / "Korvane_6x45.ldr");

  for (int n = 11; n <= 30; ++n) archive.Append(MakeDraw(n, {7, 8, 9, 10, 11, 12}));
  {
    test::TFileSizeLimit full(300);  // room for 12 records, not 30
    try {
      archive.SaveDraws(ui);
      FAIL() << "the save should fail";
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка записи в файл тиражей!\r\r", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr"), before);
  EXPECT_EQ(archive.Count(), 30);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST(DrawsArchive, UnreadableFileReportsTheReadError) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "Korvane_6x45.ldr");  // a folder cannot be read as a file
  TSilentUserInterface ui;
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  try {
    archive.LoadDraws(ui);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Ошибка чтения файла тиражей!\r\r", 0), 0u) << e.what();
  }
}

TEST(DrawsArchive, DeleteDrawAt) {
  TDrawsArchive a = ArchiveOf({1, 2, 3});
  a.DeleteDrawAt(1);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a.Draws()[1].Number, 3);
  try {
    a.DeleteDrawAt(2);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Запись со индексом 2 в файле данных не найдена!");
  }
  EXPECT_THROW(a.DeleteDrawAt(-1), EVexaError);
}

TEST(DrawsArchive, IndexOfDrawNumberWithGapsAndDuplicates) {
  const TDrawsArchive a = ArchiveOf({3, 5, 9, 9, 10, 20, 21, 40, 41, 100});
  struct Case {
    int number, index;
  } cases[] = {{3, 0}, {100, 9}, {5, 1}, {10, 4}, {20, 5}, {40, 7}, {41, 8}, {4, -1}, {0, -1}, {500, -1}, {-7, -1}};
  for (const auto& c : cases) EXPECT_EQ(a.IndexOfDrawNumber(c.number), c.index) << c.number;
  const int nine = a.IndexOfDrawNumber(9);
  EXPECT_TRUE(nine == 2 || nine == 3);
  EXPECT_EQ(a.Draws()[static_cast<size_t>(nine)].Number, 9);

  // Not in order at all (draws are kept in order of arrival).
  const TDrawsArchive mixed = ArchiveOf({50, 10, 70, 10, 30, 5});
  EXPECT_EQ(mixed.IndexOfDrawNumber(70), 2);
  EXPECT_EQ(mixed.IndexOfDrawNumber(30), 4);
  EXPECT_EQ(mixed.IndexOfDrawNumber(10) % 2, 1);
  EXPECT_EQ(ArchiveOf({}).IndexOfDrawNumber(1), -1);
  EXPECT_EQ(ArchiveOf({7, 7, 7}).IndexOfDrawNumber(7), 0);
}

TEST(DrawsArchive, NextDrawAndStatus) {
  TDrawsArchive a;
  for (int i = 0; i < 10; ++i)
    a.Append(MakeDraw(100 + i, {static_cast<uint8_t>(i + 1), 11, 12, 13, 14, 15}));
  EXPECT_EQ(a.NextDrawNumber(0), 111);
  EXPECT_EQ(a.NextDrawNumber(3), 108);  // element 6 plus 2
  EXPECT_EQ(a.NextDrawNumber(10), -1);
  EXPECT_EQ(a.NextDrawNumber(-1), -1);
  EXPECT_EQ(a.NextDrawText(0), "");
  EXPECT_EQ(a.NextDrawText(3), "8;11;12;13;14;15");  // element 7
  EXPECT_EQ(a.NextDrawText(10), "");
  EXPECT_EQ(a.DrawCombAt(0), (TComb{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(a.DrawCombAt(10), TComb{});

  a.SetDrawsOffset(3);
  const TDrawsStatus s = a.Status();
  EXPECT_EQ(s.Archive, "Архив тиражей: 10");
  EXPECT_EQ(s.NextDraw, "Следующий тираж: 108");
  EXPECT_EQ(s.NextNums, "8;11;12;13;14;15");
  EXPECT_EQ(a.RowDraw(3, false).Number, 106);  // the highlighted row is element 6
  const auto set = a.NextDrawSet();
  EXPECT_EQ(set.count(), 6u);
  EXPECT_TRUE(set.test(8));
  a.SetDrawsOffset(0);
  EXPECT_TRUE(a.NextDrawSet().none());
  a.SetDrawsOffset(99);
  EXPECT_EQ(a.DrawsOffset(), 9);

  TDrawsArchive empty;
  EXPECT_EQ(empty.NextDrawNumber(0), 1);
  EXPECT_EQ(empty.Status().NextDraw, "Следующий тираж: 1");
}

// A number at the int32 limit (from a file) once showed the next draw as
// -2147483647; the next number stops at the limit.
TEST(DrawsArchive, NextDrawNumberNeverWraps) {
  TDrawsArchive a;
  a.Append(MakeDraw(INT32_MAX, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(a.NextDrawNumber(0), INT32_MAX);
  EXPECT_EQ(a.Status().NextDraw, "Следующий тираж: 2147483647");
}

TEST(DrawsArchive, DrawYmdPlusDays) {
  TDrawsArchive a;
  EXPECT_EQ(a.DrawYmdPlusDays(0, 1), 20020101);
  a.Append(MakeDraw(1, {1, 2, 3, 4, 5, 6}, "28 Feb 2024"));
  a.Append(MakeDraw(2, {1, 2, 3, 4, 5, 6}, "31 Dec 2025"));
  EXPECT_EQ(a.DrawYmdPlusDays(0, 1), 20260101);
  EXPECT_EQ(a.DrawYmdPlusDays(1, 1), 20240229);
  EXPECT_EQ(a.DrawYmdPlusDays(1, 0), 20240228);
  EXPECT_EQ(a.DrawYmdPlusDays(2, 1), 20020101);
  EXPECT_EQ(a.DrawYmdPlusDays(-1, 1), 20020101);
  a.Append(MakeDraw(3, {1, 2, 3, 4, 5, 6}, "bad"));
  EXPECT_THROW(a.DrawYmdPlusDays(0, 1), EConvertError);
}

TEST(DrawsArchive, SortedCopiesLeaveTheArchiveAlone) {
  TDrawsArchive a;
  a.Append(MakeDraw(1, {9, 3, 7, 1, 5, 2}));
  EXPECT_EQ(a.GetDraw(0, true).Nums, (TComb{1, 2, 3, 5, 7, 9}));
  EXPECT_EQ(a.GetDraw(0, false).Nums, (TComb{9, 3, 7, 1, 5, 2}));
  EXPECT_EQ(a.Draws()[0].Nums, (TComb{9, 3, 7, 1, 5, 2}));
  EXPECT_EQ(a.GetDraw(1, true), TDraw{});
}

}  // namespace
}  // namespace vexa
