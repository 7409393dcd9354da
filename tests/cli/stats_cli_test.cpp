// `vexa stats` and `vexa fullset` as scripts use them.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/draws_archive.h"
#include "stats/stat_list.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;
using test::Lines;

TDraw MakeDraw(int number, TComb nums, const char* date) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = {30, 31};
  SetDrawDateText(d, date);
  return d;
}

class StatsCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

  // Draws 10..14; the newest one drawn out of order.
  void WriteSmallArchive() {
    const TDrawsArray draws = {
        MakeDraw(10, {1, 2, 3, 4, 5, 6}, "1 Mar 2025"),      MakeDraw(11, {1, 7, 8, 9, 10, 11}, "4 Mar 2025"),
        MakeDraw(12, {2, 7, 12, 13, 14, 15}, "8 Mar 2025"),  MakeDraw(13, {3, 16, 17, 18, 19, 20}, "11 Mar 2025"),
        MakeDraw(14, {24, 3, 21, 22, 23, 1}, "15 Mar 2025"),
    };
    WriteBytes(dir / "Korvane_6x45.ldr", EncodeDraws(draws));
  }
};

const char* const Header =
    "Значение\tКоличество\tКол-во в %\tНорма\tОтклонение\tОткл-ие в %\tГлубина\tГлубина в %\tВес\tПосл. тираж\t"
    "Период min\tПериод\tПериод max\tОжд. ПРД\tОжд. СТФ\tОжд. КРН\tФакт\t+/- ПРД\t+/- СТФ\t+/- КРН";

TEST_F(StatsCli, MethodsListsTheRegistryWithFavourites) {
  WriteBytes(dir / "Korvane_6x45.flt", "[FILTERS]\r\nFavorites=NUMS,POS3\r\n");
  const TResult r = Run({"stats", "methods"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = Lines(r.Out);
  TDrawsArray none;
  TStatList list(none);
  list.RegisterAll();
  ASSERT_EQ(lines.size(), static_cast<size_t>(list.Count()) + 1);
  EXPECT_EQ(lines[0], "№\tКод\tГруппа\tФлаги\tНазвание\tИзбранный");
  EXPECT_EQ(lines[1], "1\tNUMS\tnum\tN\t{ num } Числа тиража [ N ]\tyes");
  EXPECT_EQ(lines[2], "2\tDIGS\tnum\tN\t{ num } Цифры тиража [ N ]\tno");
  const int pos3 = list.IndexOfCode("POS3");
  EXPECT_EQ(lines[static_cast<size_t>(pos3) + 1],
            std::to_string(pos3 + 1) + "\tPOS3\tnum\tSNG\t{ num } Число в 3 позиции тиража [ SNG ]\tyes");
}

TEST_F(StatsCli, ShowPrintsEveryValueWithTheTwentyColumns) {
  WriteSmallArchive();
  TResult r = Run({"stats", "show", "NUMS", "--window", "3", "--offset", "2"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[0], Header);
  // Draws 10..12 in the window; 1 comes back in the hidden draw 14.
  EXPECT_EQ(lines[1], "1\t2\t11.11111\t-\t-\t-\t2\t66.67\t2.00\t11\t1\t1.5000\t1\t12\t16\t16\t14\t-2\t+2\t+2");
  EXPECT_EQ(lines[45], "45\t0\t0.00000\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-");

  // Defaults: window 1000 (all five draws), offset 0 (nothing after the window).
  r = Run({"stats", "show", "NUMS"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 46u);
  // 1 in draws 10, 11, 14: period 5 / 3; by period 1.67 + 14 -> 16; 4 x 14 / 3 -> 19; 5 x 15 / 4 -> 19.
  EXPECT_EQ(lines[1], "1\t3\t10.00000\t-\t-\t-\t1\t20.00\t1.00\t14\t1\t1.6667\t3\t16\t19\t19\t-\t-\t-\t-");

  // POS1 sees the newest draw's first number as drawn, or its smallest when sorted.
  r = Run({"stats", "show", "POS1", "--window", "1"});
  EXPECT_EQ(Lines(r.Out)[24].substr(0, 5), "24\t1\t") << r.Out;
  r = Run({"stats", "show", "POS1", "--window", "1", "--sorted"});
  EXPECT_EQ(Lines(r.Out)[1].substr(0, 4), "1\t1\t") << r.Out;
}

TEST_F(StatsCli, ShowWithTheFullSetCreatesItsFile) {
  WriteSmallArchive();
  TResult r = Run({"stats", "show", "EVEN", "--prefetch"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadBytes(dir / "Prefetchs/Korvane_6x45_EVEN.dfc").size(), 8u * 12);
  // Evens per draw: 10: 3, 11: 2, 12: 3, 13: 3, 14: 2. Counts 2:4 -> 2, 3:3 -> 3; dmax 3 over
  // fmax 2 727 340 (3:3): 1:5 -> 740278 x 3 / 2727340 = 0.81 -> 1.
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1].substr(0, 30), "1:5\t0\t0.00000\t1\t-1\t-100.00000\t");
  EXPECT_EQ(lines[3].substr(0, 27), "3:3\t3\t60.00000\t3\t0\t0.00000\t");

  // A method without kind N has no file and no norm.
  r = Run({"stats", "show", "POE1", "--prefetch"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Lines(r.Out)[1].substr(0, 21), "30\t5\t100.00000\t-\t-\t-\t") << r.Out;
  EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs/Korvane_6x45_POE1.dfc"));
}

// An error shown is no success: a damaged full-set file fails the command.
TEST_F(StatsCli, ShowWithADamagedFullSetFileFails) {
  WriteSmallArchive();
  std::filesystem::create_directory(dir / "Prefetchs");
  WriteBytes(dir / "Prefetchs/Korvane_6x45_EVEN.dfc", std::string(13, '\x7f'));
  TResult r = Run({"stats", "show", "EVEN", "--prefetch"});
  EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
  EXPECT_NE(r.Err.find("Korvane_6x45_EVEN.dfc"), std::string::npos) << r.Err;
}

TEST_F(StatsCli, GraphGivesOneValuePerDrawOldestFirst) {
  WriteSmallArchive();
  TResult r = Run({"stats", "graph", "EVEN", "--window", "3", "--offset", "1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Тираж\tЗначение\n11\t2\n12\t3\n13\t3\n");
  r = Run({"stats", "graph", "POS1", "--window", "2"});
  EXPECT_EQ(r.Out, "Тираж\tЗначение\n13\t3\n14\t24\n");
  r = Run({"stats", "graph", "POS1", "--window", "2", "--sorted"});
  EXPECT_EQ(r.Out, "Тираж\tЗначение\n13\t3\n14\t1\n");
  r = Run({"stats", "graph", "NUMS"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("нет графика"), std::string::npos) << r.Err;
}

TEST_F(StatsCli, InfoOfADrawAndOfACombination) {
  WriteSmallArchive();
  TResult r = Run({"stats", "info", "--draw", "14"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  TDrawsArray none;
  TStatList list(none);
  list.RegisterAll();
  int graphs = 0;
  for (int i = 0; i < list.Count(); ++i) graphs += list.HasGraph(i) ? 1 : 0;
  ASSERT_EQ(lines.size(), static_cast<size_t>(graphs) + 3);
  EXPECT_EQ(lines[0], "Свойство\tЗначение");
  EXPECT_EQ(lines[1], "Номер тиража:\t14");
  EXPECT_EQ(lines[2], "Дата тиража:\t15 Mar 2025");
  EXPECT_EQ(lines[3], "Количество четных чисел в тираже (Ч:Н)\t2");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Число в 1 позиции тиража\t24"), lines.end());
  r = Run({"stats", "info", "--draw", "14", "--sorted"});
  lines = Lines(r.Out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Число в 1 позиции тиража\t1"), lines.end());

  r = Run({"stats", "info", "--comb", "2 4 6 8 10 45"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), static_cast<size_t>(graphs) + 1);
  EXPECT_EQ(lines[1], "Количество четных чисел в тираже (Ч:Н)\t5");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Число в 6 позиции тиража\t45"), lines.end());

  r = Run({"stats", "info", "--comb", "1 2 3 4 5 5"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Некорректная комбинация: \"01 02 03 04 05 05\"!\n");
  r = Run({"stats", "info", "--draw", "99"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Тираж № 99 в архиве не найден!\n");
}

TEST_F(StatsCli, FailuresExitWith1) {
  TResult r = Run({"stats", "show", "NUMS"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Архив тиражей пуст!\n");
  WriteSmallArchive();
  r = Run({"stats", "show", "NOPE"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Метод расчета статистики \"NOPE\" не найден!\n");
  r = Run({"stats", "show", "NUMS", "--offset", "5"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Смещение 5 вне архива (0 … 4)!\n");
  EXPECT_TRUE(r.Out.empty());
}

TEST_F(StatsCli, UsageErrorsExitWith2) {
  const std::vector<std::vector<std::string>> cases = {
      {"stats"},
      {"stats", "bogus"},
      {"stats", "show"},
      {"stats", "show", "NUMS", "EVEN"},
      {"stats", "show", "NUMS", "--window", "0"},
      {"stats", "show", "NUMS", "--window", "x"},
      {"stats", "graph", "EVEN", "--bogus"},
      {"stats", "info"},
      {"stats", "info", "--draw", "1", "--comb", "1 2 3 4 5 6"},
      {"stats", "methods", "extra"},
      {"fullset"},
      {"fullset", "make"},
  };
  for (const auto& args : cases) {
    const TResult r = Run(args);
    EXPECT_EQ(r.Status, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_NE(r.Err.find("Использование: vexa"), std::string::npos);
  }
}

TEST_F(StatsCli, FullSetBuildCreatesMissingFilesOrForcedOnes) {
  const std::string even = (dir / "Prefetchs/Korvane_6x45_EVEN.dfc").string();
  const std::string smal = (dir / "Prefetchs/Korvane_6x45_SMAL.dfc").string();
  TResult r = Run({"fullset", "build", "EVEN", "smal"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, even + "\t7\n" + smal + "\t7\n");
  EXPECT_EQ(r.Err, "Создано файлов: 2\n");
  EXPECT_EQ(ReadBytes(even).size(), 96u);

  WriteBytes(even, std::string(12, '\0'));
  r = Run({"fullset", "build", "EVEN"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(ReadBytes(even).size(), 12u) << "an existing file is kept";
  r = Run({"fullset", "build", "--force", "EVEN"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, even + "\t7\n");
  EXPECT_EQ(ReadBytes(even).size(), 96u);

  r = Run({"fullset", "build", "POE1"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Метод расчета статистики \"POE1\" не участвует в сравнении с полным набором комбинаций!\n");
  r = Run({"fullset", "build", "EVEN", "NOPE"});
  EXPECT_EQ(r.Status, 1);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// Every command fails after a failed start-up, the statistics ones too.
TEST_F(StatsCli, AFailedStartUpFailsTheCommand) {
  std::filesystem::create_directory(dir / "Korvane_6x45.ini");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"stats", "methods"}, {"stats", "show", "NUMS"}, {"stats", "graph", "NUMS"}}) {
    const TResult r = Run(args);
    EXPECT_EQ(r.Status, 1) << args[1];
    EXPECT_NE(r.Err.find("Ошибка чтения файла конфигурации!"), std::string::npos) << r.Err;
  }
}

}  // namespace
}  // namespace vexa
