// vexa combs: lists chained through ".lcv" files.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/draws_archive.h"
#include "core/game.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;

class CombsCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }
  std::string File(const char* name) const { return (dir / name).string(); }
  void Demo() { ASSERT_EQ(Run({"draws", "demo", "--count", "30", "--seed", "4"}).Status, 0); }
};

constexpr const char* NumsCaption = "{ num } Числа тиража [ N ]";

TEST_F(CombsCli, GenerateCountsAndWritesTheFile) {
  TResult r = Run({"combs", "generate", "--mode", "2", "--params", "1;2;3;4;5;6;7", "-o", File("seven.lcv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "7\n");
  EXPECT_EQ(ReadBytes(dir / "seven.lcv"),
            "1;2;3;4;5;6\r\n1;2;3;4;5;7\r\n1;2;3;4;6;7\r\n1;2;3;5;6;7\r\n1;2;4;5;6;7\r\n1;3;4;5;6;7\r\n2;3;4;5;6;7\r\n");

  // Defaults from the settings; an option overrides only its part.
  WriteBytes(dir / "Korvane_6x45.ini", "[GLOBAL]\r\nCombsGenerateMode=3\r\nCombsGenerateParameters=1\r\n");
  r = Run({"combs", "generate"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "7059052\n");
  r = Run({"combs", "generate", "--params", "1;2"});
  EXPECT_EQ(r.Out, "6096454\n");
}

TEST_F(CombsCli, FilterChainsThroughFiles) {
  Demo();
  ASSERT_EQ(Run({"combs", "generate", "--mode", "2", "--params", "1;2;3;4;5;6;7;8", "-o", File("a.lcv")}).Status, 0);
  TResult r = Run({"combs", "filter", "--in", File("a.lcv"), "NUMS", "--keep", "7", "-o", File("b.lcv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, std::string(NumsCaption) + "\t7\t21\n") << "C(7,5) of 28 hold 7";
  r = Run({"combs", "filter", "--in", File("b.lcv"), "nums", "--window", "10", "--delete", "8", "1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, std::string(NumsCaption) + "\t1; 8\t1\n") << "values in the statistics' order; 2 3 4 5 6 7 is left";
}

TEST_F(CombsCli, FilterOverTheDefaultFullSet) {
  Demo();
  const TResult r = Run({"combs", "filter", "NUMS", "--keep", "12", "7"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, std::string(NumsCaption) + "\t7; 12\t2048606\n");
}

TEST_F(CombsCli, FilterSelectsByTextOrTypedValue) {
  Demo();
  ASSERT_EQ(Run({"combs", "generate", "--mode", "2", "--params", "1;2;3;4;5;6;7;8", "-o", File("a.lcv")}).Status, 0);
  // EVEN shows "k:6-k"; a plain integer reads as k.
  TResult r = Run({"combs", "filter", "--in", File("a.lcv"), "EVEN", "--keep", "3:3"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\t3:3\t16\n"), std::string::npos) << r.Out << " C(4,3)*C(4,3)";
  r = Run({"combs", "filter", "--in", File("a.lcv"), "EVEN", "--keep", "3"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\t3:3\t16\n"), std::string::npos) << r.Out;
  // A word that reads as nothing does not pick value 0.
  r = Run({"combs", "filter", "--in", File("a.lcv"), "EVEN", "--keep", "abc"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Значение \"abc\" не найдено"), std::string::npos) << r.Err;
}

TEST_F(CombsCli, FilterErrors) {
  Demo();
  struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{"combs", "filter", "NUMS", "--keep", "--delete", "7"}, 2, "ровно один"},
      {{"combs", "filter", "NUMS", "7"}, 2, "ровно один"},
      {{"combs", "filter", "NUMS", "--keep"}, 2, "хотя бы одно"},
      {{"combs", "filter", "NUMS", "--window", "0", "--keep", "7"}, 2, "--window"},
      {{"combs", "filter", "NOPE", "--keep", "7"}, 1, "Метод расчета статистики \"NOPE\" не найден!"},
      {{"combs", "filter", "NUMS", "--offset", "30", "--keep", "7"}, 1, "Смещение 30 вне архива"},
      {{"combs", "filter", "--in", "/nonexistent/x.lcv", "NUMS", "--keep", "7"}, 1, "Ошибка чтения файла"},
      {{"combs", "generate", "--mode", "5"}, 2, "--mode"},
      {{"combs", "frobnicate"}, 2, "неизвестная подкоманда frobnicate"},
  };
  for (const auto& c : cases) {
    const TResult r = Run(c.args);
    EXPECT_EQ(r.Status, c.status) << c.args[2] << "\n" << r.Err;
    EXPECT_NE(r.Err.find(c.err), std::string::npos) << r.Err;
  }
}

TEST_F(CombsCli, FindListsTheDrawsNewestFirst) {
  Demo();
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  TSilentUserInterface ui;
  archive.LoadDraws(ui);
  TDrawsArray draws = archive.Draws();
  draws[3].Nums = {41, 30, 22, 17, 9, 3};
  draws[20].Nums = {3, 9, 17, 22, 30, 41};
  archive.SetDraws(draws);
  archive.SaveDraws(ui);

  TResult r = Run({"combs", "find", "03 09 17 22 30 41"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, DrawToText(draws[20]) + "\n" + DrawToText(draws[3]) + "\n");

  r = Run({"combs", "find", "1 2 3 4 5 44"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "Выделенная комбинация не найдена архиве тиражей!\n");

  r = Run({"combs", "find", "1 2 3"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Некорректная комбинация: \"1 2 3\"!\n");
}

}  // namespace
}  // namespace vexa
