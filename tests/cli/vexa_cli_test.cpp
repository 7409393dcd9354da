// The `vexa` command as scripts use it: arguments in, text and exit status out.
#include <sys/wait.h>

#include <gtest/gtest.h>

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
using test::WriteBytes;

using TResult = test::TCliResult;

class VexaCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args, bool withDataDir = true) {
    test::TCliOptions options;
    options.WithDataDir = withDataDir;
    options.CLocale = false;
    return test::RunCli(dir.Path(), args, options);
  }
};

TEST_F(VexaCli, DemoThenListNewestFirst) {
  TResult r = Run({"draws", "demo", "--count", "12", "--seed", "3"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  r = Run({"draws", "list", "--last", "2", "--offset", "3"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string header = "Тираж\t1\t2\t3\t4\t5\t6\tE1\tE2\tS\tДата тиража\n";
  ASSERT_EQ(r.Out.substr(0, header.size()), header);
  const std::string rows = r.Out.substr(header.size());
  EXPECT_EQ(rows.substr(0, 3), "12\t");
  EXPECT_NE(rows.find("\t2 Dec 2026\n"), std::string::npos);
  EXPECT_NE(rows.find("\n11\t"), std::string::npos);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);

  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  TSilentUserInterface ui;
  archive.LoadDraws(ui);
  const std::string next = archive.NextDrawText(3);
  EXPECT_EQ(r.Err, "Архив тиражей: 12\nСледующий тираж: 11\n" + next + "\n");

  // The sum column and sorted numbers.
  r = Run({"draws", "list", "--last", "1", "--sorted"});
  const TDraw newest = archive.GetDraw(11, true);
  std::string expected = "12";
  int sum = 0;
  for (uint8_t n : newest.Nums) {
    expected += "\t" + std::to_string(n);
    sum += n;
  }
  expected += "\t" + std::to_string(newest.Supp[0]) + "\t" + std::to_string(newest.Supp[1]) + "\t" +
              std::to_string(sum) + "\t2 Dec 2026\n";
  EXPECT_EQ(r.Out.substr(header.size()), expected);
}

TEST_F(VexaCli, DemoRefusesToOverwriteAnArchive) {
  ASSERT_EQ(Run({"draws", "demo", "--count", "5"}).Status, 0);
  const std::string before = ReadBytes(dir / "Korvane_6x45.ldr");
  TResult r = Run({"draws", "demo", "--count", "7"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr"), before);
  EXPECT_EQ(Run({"draws", "demo", "--count", "7", "--force"}).Status, 0);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr").size(), 7u * 24);
}

TEST_F(VexaCli, AddDeleteExportImport) {
  TResult r = Run({"draws", "add", "5", "5 Mar 2025", "3;17;22;30;41;8;12;40"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Тираж № 5 от 5 Mar 2025, значения: 3;17;22;30;41;8 e:12;40\n");
  ASSERT_EQ(Run({"draws", "add", "7", "8 Mar 2025", "1;2;3;4;5;6;7;8"}).Status, 0);

  r = Run({"draws", "add", "9", "9 Mar 2025", "1;2;3;4;5;5;7;8"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Введена некорректная комбинация!\n");
  r = Run({"draws", "add", "9", "9 Foo 2025", "1;2;3;4;5;6;7;8"});
  EXPECT_EQ(r.Status, 1);

  r = Run({"draws", "export", (dir / "d.csv").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Записано тиражей: 2\n");
  EXPECT_EQ(ReadBytes(dir / "d.csv"),
            "5;\"5 Mar 2025\";3;17;22;30;41;8;12;40\r\n7;\"8 Mar 2025\";1;2;3;4;5;6;7;8\r\n");

  r = Run({"draws", "delete", "5", "6"});
  EXPECT_EQ(r.Status, 1) << "6 does not exist: nothing is deleted";
  r = Run({"draws", "delete", "5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr").size(), 24u);

  r = Run({"draws", "import", (dir / "d.csv").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Добавлено тиражей: 1\n");
}

TEST_F(VexaCli, UsageErrorsExitWith2) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"nonsense"},
      {"draws"},
      {"draws", "list", "--last"},
      {"draws", "list", "--bogus"},
      {"draws", "list", "--last", "x"},
      {"draws", "demo"},
      {"draws", "import"},
  };
  for (const auto& args : cases) {
    TResult r = Run(args);
    EXPECT_EQ(r.Status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(r.Err.find("Использование: vexa"), std::string::npos);
  }
}

TEST_F(VexaCli, DataFolderFromTheEnvironment) {
  const std::string cmd = "VEXA_DATA_DIR=" + test::ShellQuote(dir.Path().string()) + " " + test::ShellQuote(VEXA_CLI_PATH) +
                          " draws demo --count 3 >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr").size(), 72u);
}

TEST_F(VexaCli, UnreadableArchiveIsAFailure) {
  std::filesystem::create_directory(dir / "Korvane_6x45.ldr");
  TResult r = Run({"draws", "list"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err.rfind("Ошибка чтения файла тиражей!\n\n", 0), 0u) << r.Err;
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

TEST_F(VexaCli, ConfigShowAndSet) {
  WriteBytes(dir / "Korvane_6x45.ini",
             "[global]\r\nmatrixcols=7\r\n[Mine]\r\nk=\xC4\xE0\r\n[PROXY]\r\nProxyPassword=secret\r\n");
  TResult r = Run({"config", "show"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("Раздел\tКлюч\tЗначение\n", 0), 0u);
  EXPECT_NE(r.Out.find("GLOBAL\tMatrixCols\t7\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("GLOBAL\tChannelSize\t5\n"), std::string::npos);
  EXPECT_NE(r.Out.find("CDL\tDeviation\t-1\n"), std::string::npos);
  EXPECT_NE(r.Out.find("SHREDDING\tFormula3Digits\t2\n"), std::string::npos);
  EXPECT_NE(r.Out.find("Mine\tk\tДа\n"), std::string::npos);
  EXPECT_NE(r.Out.find("PROXY\tProxyPassword\t***\n"), std::string::npos);
  EXPECT_EQ(r.Out.find("secret"), std::string::npos);

  r = Run({"config", "set", "STAKES", "MaxStake", "8"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  r = Run({"config", "show"});
  EXPECT_NE(r.Out.find("STAKES\tMaxStake\t8\n"), std::string::npos);
  const std::string file = ReadBytes(dir / "Korvane_6x45.ini");
  EXPECT_NE(file.find("[Mine]\r\nk=\xC4\xE0\r\n"), std::string::npos) << "the rest of the file stays";

  EXPECT_EQ(Run({"config", "set", "A", "B"}).Status, 2);
}

// A second copy is refused the folder, settings included.
TEST_F(VexaCli, ConfigSetIsRefusedWhileAnotherCopyWorksInTheFolder) {
  WriteBytes(dir / "Korvane_6x45.ini", "[STAKES]\r\nMaxStake=6\r\n");
  {
    TStakesFile other(dir / "Korvane_6x45.lsk");
    other.OpenStakesFile();
    TResult r = Run({"config", "set", "STAKES", "MaxStake", "8"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Невозможно получить монопольный доступ к файлам данных!"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ini"), "[STAKES]\r\nMaxStake=6\r\n");
  }
  EXPECT_EQ(Run({"config", "set", "STAKES", "MaxStake", "8"}).Status, 0);
}

TEST_F(VexaCli, EmptyDataFolderIsAUsageError) {
  TResult r = Run({"--data-dir", "", "draws", "list"}, false);
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("--data-dir"), std::string::npos) << r.Err;
}

TEST_F(VexaCli, AMissingDataFolderIsOneMessageAndNothingCreated) {
  const auto missing = dir.Path() / "no-such";
  TResult r = Run({"--data-dir", missing.string(), "draws", "demo", "--count", "5"}, false);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Папка данных не найдена: " + missing.string() + "\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vexa
