// vexa script as scripts use it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

const char* Header = "Комментарии\tОпции\tФильтр 1\tФильтр 2\tФильтр 3\tФильтр 4\tФильтр 5\tФильтр 6\tФильтр 7";

class ScriptCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }
};

TEST_F(ScriptCli, AddAndShowTheWorkingScript) {
  TResult r = Run({"script", "show"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, std::string(Header) + "\n");
  EXPECT_EQ(r.Err, "Строк: 0\n");

  r = Run({"script", "add", "EXCL:2#FIRST#NEX|tsd1#nums:20#cmv:3#sf:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |тест"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string row =
      "тест\tИсключить 2 тиражей; Первая; Только новые ставки\tTSD1#NUMS:20#CMV:3#SF:1\t"
      "BSF1#SUMS:10-30;10#LNO:#SC:50\t\t\t\t\t";
  EXPECT_EQ(r.Out, row + "\n");
  ASSERT_EQ(Run({"script", "add", ""}).Status, 0);
  ASSERT_EQ(Run({"script", "add", "FULL:0#RAND|TSD1#NOSUCH:5"}).Status, 0);

  r = Run({"script", "show"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], Header);
  EXPECT_EQ(lines[1], row);
  EXPECT_EQ(lines[2], "\t\t\t\t\t\t\t\t") << "a separator is an empty row";
  EXPECT_EQ(lines[3], "\tИсходный список; Случайно; Все создаваемые ставки\tTSD1#NOSUCH:5#LNO:#SF:0\t\t\t\t\t\t");
  EXPECT_EQ(r.Err, "Строк: 3\n");

  // The working file holds the lines as typed, in code page 1251.
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lss"),
            "EXCL:2#FIRST#NEX|tsd1#nums:20#cmv:3#sf:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |\xF2\xE5\xF1\xF2\r\n"
            "\r\nFULL:0#RAND|TSD1#NOSUCH:5\r\n");
}

TEST_F(ScriptCli, FilesOpenLoadSaveAndShow) {
  WriteBytes(dir / "a.lsc", "a|TSD1#NUMS:20| | | | | | |one\r\n");
  WriteBytes(dir / "b.lsc", "b|TSD1#NUMS:30| | | | | | |two\r\n");

  TResult r = Run({"script", "open", (dir / "a.lsc").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Строк: 1\n");
  r = Run({"script", "load", (dir / "b.lsc").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Добавлено строк: 2\n") << "a separator and the line";
  r = Run({"script", "save", (dir / "all.lsc").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Записано строк: 3\n");
  const std::string all = "a|TSD1#NUMS:20| | | | | | |one\r\n\r\nb|TSD1#NUMS:30| | | | | | |two\r\n";
  EXPECT_EQ(ReadBytes(dir / "all.lsc"), all);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lss"), all);

  r = Run({"script", "show", (dir / "b.lsc").string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Lines(r.Out).size(), 2u);
  EXPECT_EQ(Lines(r.Out)[1].substr(0, 4), "two\t");
  EXPECT_EQ(r.Err, "Строк: 1\n");
}

TEST_F(ScriptCli, Failures) {
  const std::string missing = (dir / "missing.lsc").string();
  TResult r = Run({"script", "open", missing});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Ошибка чтения файла \"" + missing + "\"!\n\nNo such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.lss"));
  r = Run({"script", "show", missing});
  EXPECT_EQ(r.Status, 1);

  EXPECT_EQ(Run({"script"}).Status, 2);
  EXPECT_EQ(Run({"script", "bogus"}).Status, 2);
  EXPECT_EQ(Run({"script", "add"}).Status, 2);
  EXPECT_EQ(Run({"script", "load", "a", "b"}).Status, 2);
  EXPECT_EQ(Run({"script", "show", "a", "b"}).Status, 2);
}

}  // namespace
}  // namespace vexa
