// `vexa views` and the card / layout selections of `vexa combs filter`.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/draws_archive.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;
using test::Lines;

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

TDraw MakeDraw(int number, TComb nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = {30, 31};
  SetDrawDateText(d, "1 Mar 2025");
  return d;
}

class ViewsCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

  std::string File(const char* name) { return (dir / name).string(); }

  void WriteSmallArchive() {
    WriteBytes(dir / "Korvane_6x45.ldr", EncodeDraws({MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {5, 6, 7, 8, 9, 10}),
                                                      MakeDraw(3, {7, 11, 12, 13, 14, 15})}));
  }
};

TEST_F(ViewsCli, CardRowsAndColours) {
  WriteSmallArchive();
  TResult r = Run({"views", "card", "--last", "1", "--colors"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  std::vector<std::string> lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u);
  std::vector<std::string> header = Cells(lines[0]);
  ASSERT_EQ(header.size(), 48u);
  EXPECT_EQ(header[0], "Тираж");
  EXPECT_EQ(header[45], "45");
  EXPECT_EQ(header[46], "E1");
  const std::vector<std::string> row = Cells(lines[1]);
  ASSERT_EQ(row.size(), 48u);
  EXPECT_EQ(row[0], "3");
  EXPECT_EQ(row[7], "7:lime") << "7 came in the draw before";
  EXPECT_EQ(row[11], "11:aqua");
  EXPECT_EQ(row[1], ":channel 1");
  EXPECT_EQ(row[46], "30:default");

  r = Run({"views", "card"});
  lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Cells(lines[3])[0], "1");
  EXPECT_EQ(Cells(lines[3])[6], "6");
  EXPECT_EQ(Cells(lines[3])[7], "");
}

TEST_F(ViewsCli, CardOfAnEmptyArchive) {
  const TResult r = Run({"views", "card"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::vector<std::string> lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], std::string(47, '\t')) << "the empty row";
}

TEST_F(ViewsCli, LayoutAndCompareLists) {
  WriteSmallArchive();
  TResult r = Run({"views", "layout", "--offset", "1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "\t2\t1\n2\t5, 6\t\n1\t[7], 8, 9, 10\t1, 2, 3, 4\n");
  r = Run({"views", "layout", "--window", "1"});
  EXPECT_EQ(r.Out, "\t3\n1\t7, 11, 12, 13, 14, 15\n");

  r = Run({"views", "compare", "--windows", "1,2,3,3,100"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::vector<std::string> lines = Lines(r.Out);
  const std::vector<std::string> expected = {
      "Кол-во\t3 - 3", "1\t7, 11, 12, 13, 14, 15",
      "Кол-во\t2 - 3", "2\t7", "1\t11, 12, 13, 14, 15, 5, 6, 8, 9, 10",
      "Кол-во\t1 - 3", "2\t7, 5, 6", "1\t11, 12, 13, 14, 15, 8, 9, 10, 1, 2, 3, 4",
  };
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), expected);
  EXPECT_EQ(lines.size(), 14u);
}

TEST_F(ViewsCli, RepeatsAndSums) {
  WriteSmallArchive();
  TResult r = Run({"views", "repeats"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Тираж\tСовпадений\tКол-во повторов\tСписок тиражей\n3\t1\t1\t2\n2\t2\t1\t1\n");
  r = Run({"views", "repeats", "--draws", "1", "--deep", "1"});
  EXPECT_EQ(Lines(r.Out).size(), 2u);

  r = Run({"views", "sums"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::vector<std::string> lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 1u + 235u + 1u + 4u);
  EXPECT_EQ(lines[0], "Сумма\tКомбинаций\tТиражей");
  EXPECT_EQ(lines[1], "21\t1\t1") << "draw 1 sums to 21";
  EXPECT_EQ(lines[2], "22\t1\t");
  EXPECT_EQ(lines[118], "138\t105690\t");
  EXPECT_EQ(lines[237], "Диапазон\tУровень\tОт\tДо");
  EXPECT_EQ(lines[238], "1/3\t35231\t93\t183");
  EXPECT_EQ(lines[240], "2/3\t70461\t110\t166");
}

TEST_F(ViewsCli, CardAndLayoutSelectionsAsFilters) {
  WriteSmallArchive();
  ASSERT_EQ(Run({"combs", "generate", "--mode", "2", "--params", "1;2;3;4;5;6;7;8;9;10", "-o", File("ten.lcv")}).Status,
            0);
  TResult r = Run({"combs", "filter", "--in", File("ten.lcv"), "--card", "5;5|6;6|7;", "--keep", "-o", File("k.lcv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Карта\t5; 6; 7\t203\n");
  r = Run({"combs", "filter", "--in", File("ten.lcv"), "--offset", "1", "--layout", "[7], 8, 9, 10", "--delete"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Схема\t7; 8; 9; 10\t1\n");

  r = Run({"combs", "filter", "--in", File("ten.lcv"), "--card", ";|;", "--keep"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("В выделенном диапазоне нет значений для фильтра!"), std::string::npos);
  EXPECT_EQ(Run({"combs", "filter", "--card", "5", "--layout", "5", "--keep"}).Status, 2);
  EXPECT_EQ(Run({"combs", "filter", "--card", "5", "NUMS", "--keep"}).Status, 2);
}

TEST_F(ViewsCli, UsageAndRangeErrors) {
  WriteSmallArchive();
  EXPECT_EQ(Run({"views"}).Status, 2);
  EXPECT_EQ(Run({"views", "map"}).Status, 2);
  EXPECT_EQ(Run({"views", "compare", "--windows", "1,2,3"}).Status, 2);
  EXPECT_EQ(Run({"views", "compare", "--windows", "1,2,3,4,0"}).Status, 2);
  EXPECT_EQ(Run({"views", "layout", "--window", "0"}).Status, 2);
  const TResult r = Run({"views", "layout", "--offset", "3"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Смещение 3 вне архива"), std::string::npos);
  EXPECT_EQ(Run({"views", "repeats", "--deep", "0"}).Status, 2);
}

TEST_F(ViewsCli, RepeatsOfAnEmptyArchiveFail) {
  const TResult r = Run({"views", "repeats"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Архив тиражей пуст!"), std::string::npos);
}

}  // namespace
}  // namespace vexa
