#include "acquire/draws_csv.h"

#include <gtest/gtest.h>

#include "acquire/demo_draws.h"
#include "core/dates.h"
#include "core/error.h"
#include "support/fault.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TEST(DrawsCsv, FieldSplitter) {
  using V = std::vector<std::string>;
  struct Case {
    std::string line;
    V fields;
  } cases[] = {
      {R"(1;"5 Mar 2025";3;17)", {"1", "5 Mar 2025", "3", "17"}},
      {"1;;2", {"1", "", "2"}},
      {"1;2;", {"1", "2", ""}},
      {"  1 ;  2", {"1", "2"}},
      {"5 Mar 2025;1", {"5", "Mar", "2025", "1"}},  // unquoted blanks end fields
      {R"("say ""hi""";x)", {R"(say "hi")", "x"}},
      {"a\tb", {"a", "b"}},
      {R"("open;end)", {"open;end"}},
      {R"("ab"cd;e)", {"ab", "cd", "e"}},
      {"", {}},
      // A NUL ends the text of the line; it once stopped the splitter dead.
      {std::string("1\0", 2), {"1"}},
      {std::string("1;2\0;3;4", 8), {"1", "2"}},
      {std::string("\0\0x", 3), {}},
      {std::string("\"a\0b\";c", 7), {"a"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCsvFields(c.line), c.fields) << c.line;
}

class DrawsCsvTest : public ::testing::Test {
 protected:
  TTempDir dir;
  TSilentUserInterface ui;
  TDrawsArchive archive{dir / "Korvane_6x45.ldr"};
};

TEST_F(DrawsCsvTest, RoundTripIsExact) {
  TDrawsArray draws = GenerateDemoDraws(50, 9);
  SetDrawDateText(draws[7], "1 \"Q\" 2");
  TDrawsArchive source(dir / "src.ldr");
  source.SetDraws(draws);
  DrawsExport(source, dir / "d.csv", ui);
  EXPECT_EQ(DrawsImport(archive, dir / "d.csv", ui), 50);
  EXPECT_EQ(archive.Draws(), draws);
  // And it was saved.
  TDrawsArchive reloaded(dir / "Korvane_6x45.ldr");
  reloaded.LoadDraws(ui);
  EXPECT_EQ(reloaded.Draws(), draws);
  // A second import adds nothing.
  EXPECT_EQ(DrawsImport(archive, dir / "d.csv", ui), 0);
  EXPECT_EQ(archive.Count(), 50);
}

TEST_F(DrawsCsvTest, ImportSkipRules) {
  for (int n = 1; n <= 120; ++n) {
    TDraw d;
    d.Number = n;
    archive.Append(d);
  }
  WriteBytes(dir / "in.csv",
             "\"1 Jan 2026\";1;2;3;4;5;6;7;8\r\n"      // 9 fields: number 121
             "\"2 Jan 2026\";1;2;3;4;5;6;7;8\r\n"      // 9 fields again: 122
             "   \r\n"
             "125;5 Jan 2026;1;2;3;4;5;6;7;8\r\n"      // unquoted date: 12 fields
             "0;\"x\";1;2;3;4;5;6;7;8\r\n"             // number 0
             "abc;\"x\";1;2;3;4;5;6;7;8\r\n"           // unreadable number
             "50;\"x\";1;2;3;4;5;6;7;8\r\n"            // exists
             "130;\"a very long date text\";x;2;3;4;5;6;7;8\n"
             "131;\"x\";1;2;3;4;5;6;7\r\n");           // 9 fields, numbered 124 instead
  EXPECT_EQ(DrawsImport(archive, dir / "in.csv", ui), 4);
  ASSERT_EQ(archive.Count(), 124);
  EXPECT_EQ(archive.Draws()[120].Number, 121);
  EXPECT_EQ(archive.Draws()[121].Number, 122);
  const TDraw& longDate = archive.Draws()[122];
  EXPECT_EQ(longDate.Number, 130);
  EXPECT_EQ(DrawDateText(longDate), "a very long");
  EXPECT_EQ(longDate.Nums[0], 0);
  EXPECT_EQ(archive.Draws()[123].Number, 124);
  EXPECT_EQ(DrawDateText(archive.Draws()[123]), "131");

  // A 9-field line is skipped when its number already exists.
  TDrawsArchive other(dir / "o.ldr");
  for (int n : {1, 2, 4}) {
    TDraw d;
    d.Number = n;
    other.Append(d);
  }
  WriteBytes(dir / "nine.csv", "\"1 Jan 2026\";1;2;3;4;5;6;7;8\r\n");
  EXPECT_EQ(DrawsImport(other, dir / "nine.csv", ui), 0);
}

TEST_F(DrawsCsvTest, UnquotedDatesSkipEveryLine) {
  WriteBytes(dir / "in.csv", "1;5 Mar 2025;1;2;3;4;5;6;7;8\r\n2;6 Mar 2025;1;2;3;4;5;6;7;8\r\n");
  EXPECT_EQ(DrawsImport(archive, dir / "in.csv", ui), 0);
  EXPECT_TRUE(archive.Empty());
}

TEST_F(DrawsCsvTest, FailedImportChangesNothing) {
  archive.SetDraws(GenerateDemoDraws(5, 1));
  archive.SaveDraws(ui);
  const std::string before = ReadBytes(dir / "Korvane_6x45.ldr");
  EXPECT_THROW(DrawsImport(archive, dir / "missing.csv", ui), EVexaError);
  EXPECT_EQ(archive.Count(), 5);

  TDrawsArchive big(dir / "big.ldr");
  big.SetDraws(GenerateDemoDraws(100, 2));
  DrawsExport(big, dir / "big.csv", ui);
  {
    test::TFileSizeLimit full(24 * 50);
    // Numbers 1..5 exist; 6..100 are new, and the save cannot hold them.
    EXPECT_THROW(DrawsImport(archive, dir / "big.csv", ui), EVexaError);
  }
  EXPECT_EQ(archive.Count(), 5) << "memory goes back when the save fails";
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr"), before);
}

TEST_F(DrawsCsvTest, NulInALineIsImportedWithoutHanging) {
  WriteBytes(dir / "nul.csv", std::string("1\0\r\n", 4));
  EXPECT_EQ(DrawsImport(archive, dir / "nul.csv", ui), 0);
  WriteBytes(dir / "nul.csv", std::string("7;\"5 Mar 2025\";1;2;3;4;5;6;7;8\0junk\r\n", 37));
  EXPECT_EQ(DrawsImport(archive, dir / "nul.csv", ui), 1);
  EXPECT_EQ(archive.Draws().back().Number, 7);
}

TEST_F(DrawsCsvTest, EndlessOrHugeInputIsRefused) {
  // A device never ends; a sparse file is large without taking disk.
  const std::filesystem::path huge = dir / "huge.csv";
  WriteBytes(huge, "");
  std::filesystem::resize_file(huge, DrawsCsvMaxSize + 1);
  for (const std::filesystem::path& file : {std::filesystem::path("/dev/zero"), huge}) {
    try {
      DrawsImport(archive, file, ui);
      ADD_FAILURE() << file << " was read";
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()), "Файл слишком велик: больше 67108864 байт") << file;
    }
  }
  EXPECT_EQ(archive.Count(), 0);
}

TEST(DrawEntry, NumberLeavesRoomForTheNextDraw) {
  TDraw d;
  EXPECT_EQ(MakeEnteredDraw(2147483645, "1;2;3;4;5;6;7;8", 45000, d), "");
  EXPECT_EQ(d.Number, 2147483645);
  for (int number : {2147483646, INT32_MAX})
    EXPECT_EQ(MakeEnteredDraw(number, "1;2;3;4;5;6;7;8", 45000, d), "Номер тиража не может быть больше 2147483645!");
}

TEST(DrawEntry, Validation) {
  struct Case {
    const char* text;
    bool ok;
  } cases[] = {
      {"1;2;3;4;5;6;7;8", true},    {"1,2,3,4,5,6,7,8", true},  {" 45 ;1;2;3;4;5; 45;45", true},
      {"1;2;3;4;5;5;7;8", false},   {"1,2,3,4,5,6,46,8", false}, {"1;2;3;4;5;6;7", false},
      {"1;2;3;4;5;6;7;8;", false},  {"0;2;3;4;5;6;7;8", false},  {"1 2 3 4 5 6 7 8", false},
      {"1;2;3;4;5;x;7;8", false},   {"", false},
  };
  for (const auto& c : cases) {
    TDraw d;
    const std::string message = ValidateDrawNumbers(c.text, d);
    EXPECT_EQ(message.empty(), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(message, "Введена некорректная комбинация!");
    }
  }
  TDraw d;
  ASSERT_EQ(ValidateDrawNumbers("9;8;7;6;5;4;3;2", d), "");
  EXPECT_EQ(d.Nums, (TComb{9, 8, 7, 6, 5, 4}));  // the order typed
  EXPECT_EQ(d.Supp, (std::array<uint8_t, 2>{3, 2}));
}

TEST(DrawEntry, MakeEnteredDrawDropsTheTime) {
  TDraw d;
  ASSERT_EQ(MakeEnteredDraw(77, "1;2;3;4;5;6;7;8", EncodeDate(2025, 3, 5) + 0.9, d), "");
  EXPECT_EQ(d.Number, 77);
  EXPECT_EQ(DrawDateText(d), "5 Mar 2025");
  EXPECT_NE(MakeEnteredDraw(0, "1;2;3;4;5;6;7;8", 1, d), "");
}

TEST_F(DrawsCsvTest, AddEditDelete) {
  for (int n : {10, 11, 12, 13}) {
    TDraw d;
    d.Number = n;
    archive.Append(d);
  }
  TDraw added;
  added.Number = 14;
  DrawsAdd(archive, added, ui);
  TDraw edited;
  edited.Number = 99;
  DrawsEdit(archive, 1, edited, ui);  // row 1 is the second newest: draw 13
  EXPECT_EQ(archive.Draws()[3].Number, 99);
  DrawsDel(archive, {12, 10}, ui);
  std::vector<int> left;
  for (const auto& d : archive.Draws()) left.push_back(d.Number);
  EXPECT_EQ(left, (std::vector<int>{11, 99, 14}));
  TDrawsArchive reloaded(dir / "Korvane_6x45.ldr");
  reloaded.LoadDraws(ui);
  EXPECT_EQ(reloaded.Draws(), archive.Draws());

  // A number not found fails the whole command.
  try {
    DrawsDel(archive, {11, 500}, ui);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Запись со индексом -1 в файле данных не найдена!");
  }
  EXPECT_EQ(archive.Count(), 3);
  EXPECT_EQ(DrawsDelQuestion(1), "Удалить выделенную запись?");
  EXPECT_EQ(DrawsDelQuestion(3), "Удалить все выделенные записи (всего будет удалено 3 записи(ей))?");
}

TEST(DemoDraws, ShapeAndDates) {
  const TDrawsArray a = GenerateDemoDraws(200, 42);
  EXPECT_EQ(a, GenerateDemoDraws(200, 42));
  EXPECT_NE(a, GenerateDemoDraws(200, 43));
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].Number, static_cast<int>(i + 1));
    TByteArray all(a[i].Nums.begin(), a[i].Nums.end());
    all.insert(all.end(), a[i].Supp.begin(), a[i].Supp.end());
    for (size_t k = 0; k < all.size(); ++k) {
      EXPECT_GE(all[k], 1);
      EXPECT_LE(all[k], 45);
      for (size_t j = 0; j < k; ++j) EXPECT_NE(all[j], all[k]);
    }
  }
  EXPECT_EQ(DrawDateText(a.back()), "2 Dec 2026");
  EXPECT_EQ(DrawDateText(a[a.size() - 2]), "28 Nov 2026");
  EXPECT_EQ(DrawDateText(a[a.size() - 3]), "25 Nov 2026");
}

}  // namespace
}  // namespace vexa
