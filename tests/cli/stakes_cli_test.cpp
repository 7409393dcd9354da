// vexa stakes / ratings / tables as scripts use them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/codec.h"
#include "core/draws_archive.h"
#include "stakes/stakes_file.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;

using TResult = test::TCliResult;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (size_t end; (end = line.find('\t', start)) != std::string::npos; start = end + 1)
    cells.push_back(line.substr(start, end - start));
  cells.push_back(line.substr(start));
  return cells;
}

size_t Tabs(const std::string& line) { return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')); }

class StakesCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

  // Twelve demo draws numbered 1..12; the main numbers of draw `number`.
  std::string Demo() {
    EXPECT_EQ(Run({"draws", "demo", "--count", "12", "--seed", "4"}).Status, 0);
    return "";
  }
  std::string NumbersOf(int number) {
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    TSilentUserInterface ui;
    archive.LoadDraws(ui);
    return CombToListText(archive.Draws()[static_cast<size_t>(number - 1)].Nums);
  }
};

TEST_F(StakesCli, AddListCheckAndTheSevenNumberCost) {
  Demo();
  ASSERT_EQ(Run({"config", "set", "STAKES", "Cost", "2"}).Status, 0);
  TResult r = Run({"stakes", "add", "--draw", "11", "--nums", NumbersOf(11), "--comment", "точно", "--draws", "2"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Добавлено ставок: 2\n");
  r = Run({"stakes", "add", "--draw", "20", "--nums", "7;1;2;3;4;5;6", "--comment", "семь"});
  ASSERT_EQ(r.Status, 0) << r.Err;

  r = Run({"stakes", "list"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 5u) << "11, separator, 12, then 20 without one";
  EXPECT_EQ(
      lines[0],
      "№ тиража\tВид ставки\tМоя ставка\tВыборка\tРезультаты тиража\tСовпадений\tСовпадения\tПрофит\tКомментарий");
  EXPECT_EQ(lines[1].rfind("11\tВручную\t", 0), 0u);
  EXPECT_NE(lines[1].find("\t6\t"), std::string::npos) << lines[1];
  const std::string paid = "\t-2.00\tточно";
  EXPECT_EQ(lines[1].substr(lines[1].size() - paid.size()), paid);
  EXPECT_EQ(lines[2], "\t\t\t\t\t\t\t\t") << "a separator is an empty row";
  EXPECT_EQ(lines[3].rfind("12\tВручную\t", 0), 0u);
  // The sample size column depends on the combinations list.
  EXPECT_EQ(lines[4].rfind("20\tВручную\t1;2;3;4;5;6;7\t", 0), 0u) << lines[4];
  const std::string tail = "\t\t\t\t-14.00\tсемь";
  EXPECT_EQ(lines[4].substr(lines[4].size() - tail.size()), tail);
  EXPECT_EQ(r.Err, "Ставок: 4\n");

  r = Run({"stakes", "check"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Проверено ставок: 0\n") << "checked when added";

  r = Run({"stakes", "add", "--draw", "11", "--nums", "1;2;3;4;5", "--comment", "x"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Введена некорректная комбинация!\n");
  r = Run({"stakes", "add", "--draw", "11", "--nums", "1;2;3;4;5;6", "--comment", ""});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Необходимо ввести комментарий!\n");
}

TEST_F(StakesCli, DeleteByConditionClearAndUsage) {
  Demo();
  ASSERT_EQ(Run({"stakes", "add", "--draw", "5", "--nums", NumbersOf(5), "--comment", "a"}).Status, 0);
  ASSERT_EQ(Run({"stakes", "add", "--draw", "40", "--nums", "1;2;3;4;5;6", "--comment", "b"}).Status, 0);
  for (const char* where : {"", "6", "== 1", "> 7", ">= x", "~ 1"})
    EXPECT_EQ(Run({"stakes", "delete", "--where", where}).Status, 2) << where;
  TResult r = Run({"stakes", "delete", "--where", "< 6"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Удалено ставок: 0\n");
  r = Run({"stakes", "delete", "--where", ">=6"});
  EXPECT_EQ(r.Out, "Удалено ставок: 1\n");
  EXPECT_EQ(Lines(Run({"stakes", "list"}).Out).size(), 2u) << "the unchecked stake stays";

  r = Run({"ratings", "list"});
  EXPECT_EQ(Lines(r.Out).size(), 2u) << "the rating outlives its stake";
  r = Run({"stakes", "clear"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Удалено ставок: 1\n");
  EXPECT_EQ(std::filesystem::file_size(dir / "Korvane_6x45.lsk"), 0u);
  EXPECT_EQ(Lines(Run({"ratings", "list"}).Out).size(), 1u) << "rebuilt from no stakes";
  EXPECT_EQ(Run({"stakes"}).Status, 2);
  EXPECT_EQ(Run({"stakes", "add", "--draw", "5"}).Status, 2);
}

TEST_F(StakesCli, RatingsListExportAndRefresh) {
  Demo();
  for (int d = 3; d <= 12; ++d)
    ASSERT_EQ(Run({"stakes", "add", "--draw", std::to_string(d), "--nums", "1;2;3;4;5;6", "--comment", "r"}).Status, 0);
  TResult r = Run({"ratings", "list", "--mode", "0"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(
      lines[0],
      "Комментарий\tСтавок\tУгадано\tСреднее\tПрофит\tСр. профит\t0\t1\t2\t3\t4\t5\t6\tE0\tE1\tE2\tE3\tE4\tE5\tE6\tp");
  EXPECT_EQ(Tabs(lines[1]), 20u);
  EXPECT_EQ(lines[1].rfind("r\t10\t", 0), 0u);
  // Mode 0: round(10 × P(k)) = 4, 4, 2, 0, 0, 0, 0.
  const auto cells = Split(lines[1]);
  EXPECT_EQ(std::vector<std::string>(cells.begin() + 13, cells.begin() + 20),
            (std::vector<std::string>{"4", "4", "2", "0", "0", "0", "0"}));
  EXPECT_EQ(r.Err, "Рейтинг: 1\n");
  EXPECT_EQ(Run({"ratings", "list", "--mode", "3"}).Status, 2);

  r = Run({"ratings", "export", (dir / "r.csv").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto csv = Lines(Cp1251ToUtf8(ReadBytes(dir / "r.csv")));
  ASSERT_EQ(csv.size(), 2u);
  EXPECT_EQ(std::count(csv[0].begin(), csv[0].end(), ';'), 19);
  EXPECT_EQ(std::count(csv[1].begin(), csv[1].end(), ';'), 12);
  EXPECT_EQ(csv[1].back(), '\r');

  std::filesystem::remove(dir / "Korvane_6x45.lrt");
  r = Run({"ratings", "refresh"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Рейтинг: 1\n");
}

TEST_F(StakesCli, RegularTables) {
  Demo();
  TResult r = Run({"tables", "add", "--start", "1;2;3;4;5;6", "--step", "-2", "--comment", "минус"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "минус\t1;2;3;4;5;6\t-2\t1;2;3;4;5;6\t0\n");
  ASSERT_EQ(Run({"tables", "add", "--last-draw", "--step", "0", "--comment", "последний"}).Status, 0);
  r = Run({"tables", "add", "--last-draw", "--comment", "МИНУС"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.\n");

  r = Run({"tables", "stake", "минус"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Тираж № 14: 1;2;3;4;44;45\n");
  r = Run({"tables", "test", "--draws", "5", "минус", "последний"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Создано ставок: 10\n");
  r = Run({"tables", "list"});
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Комментарий\tСтартовая комбинация\tШаг\tТекущая комбинация\tСтавок");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 2), "\t6");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 2), "\t5");
  EXPECT_EQ(Lines(Run({"stakes", "list"}).Out).size(), 12u);
  EXPECT_EQ(Run({"tables", "stake", "нет такой"}).Status, 1);
  EXPECT_EQ(Run({"tables", "add", "--step", "1"}).Status, 2);
}

TEST_F(StakesCli, SecondCopyInTheSameFolderIsRefused) {
  Demo();
  TStakesFile held(dir / "Korvane_6x45.lsk");
  held.OpenStakesFile();
  const TResult r = Run({"stakes", "list"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err.rfind("Ошибка чтения файла ставок!\n\n", 0), 0u) << r.Err;
  EXPECT_NE(r.Err.find("Невозможно получить монопольный доступ к файлам данных!"), std::string::npos);
  EXPECT_EQ(r.Out, "");
}

}  // namespace
}  // namespace vexa
