// vexa script run / script test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/codec.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;

class ScriptRunCli : public ::testing::Test {
 protected:
  TTempDir dir;

  std::string Command(const std::vector<std::string>& args) { return test::CliCommand(dir.Path(), args); }

  TResult Run(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

  void Prepare(const std::string& line) {
    ASSERT_EQ(Run({"draws", "demo", "--count", "120", "--seed", "7"}).Status, 0);
    ASSERT_EQ(Run({"script", "add", line}).Status, 0);
  }

  std::string StakesList() { return Run({"stakes", "list"}).Out; }
};

TEST_F(ScriptRunCli, ForecastAtAnOffsetWithTheLog) {
  Prepare("FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |cli");
  TResult r = Run({"script", "run", "--offset", "4", "--log"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("Ставок: 1\nВремя: ", 0), 0u) << r.Out;
  const size_t log = r.Out.find("Журнал: ");
  ASSERT_NE(log, std::string::npos);
  const size_t from = log + std::string("Журнал: ").size();
  const std::string file = r.Out.substr(from, r.Out.find('\n', log) - from);
  EXPECT_TRUE(std::filesystem::exists(file)) << file;
  EXPECT_EQ(std::filesystem::path(file).parent_path(), dir.Path());
  EXPECT_NE(r.Err.find("Цикл: 1"), std::string::npos) << "progress on stderr";
  const std::string stakes = StakesList();
  EXPECT_NE(stakes.find("01.001: cli @ FULL#FIRST + TSD#NUMS:20#LNO:#ST:1"), std::string::npos) << stakes;
  EXPECT_NE(stakes.find("\n118\t"), std::string::npos) << "the number after the visible 116";

  r = Run({"script", "run", "--offset", "200"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Смещение 200 вне архива"), std::string::npos) << r.Err;
}

TEST_F(ScriptRunCli, TestWithTheSameSeedRepeats) {
  Prepare("FULL:0#RAND|TSD0#NUMS:20#LNO:#ST:2| | | | | | |r");
  TResult r = Run({"script", "test", "--tests", "3", "--seed", "5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("Ставок: 3\n", 0), 0u) << r.Out;
  const std::string first = StakesList();
  ASSERT_EQ(Run({"stakes", "clear"}).Status, 0);
  r = Run({"script", "test", "--tests", "3", "--seed", "5", "--no-speedups"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(StakesList(), first);
  EXPECT_EQ(Run({"ratings", "list"}).Status, 0);
}

TEST_F(ScriptRunCli, UsageAndFailures) {
  Prepare("FULL:0#FIRST| | | | | | | |no filter");
  EXPECT_EQ(Run({"script", "test"}).Status, 2);
  EXPECT_EQ(Run({"script", "test", "--tests", "0"}).Status, 2);
  EXPECT_EQ(Run({"script", "run", "--seed", "x"}).Status, 2);
  EXPECT_EQ(Run({"script", "run", "extra"}).Status, 2);
  TResult r = Run({"script", "test", "--tests", "500"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Количество тестов должно быть от 1 до 119!"), std::string::npos) << r.Err;
  r = Run({"script", "run"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Некорректное описание фильтра: !"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("Выполнение сценария прервано!"), std::string::npos);
  EXPECT_EQ(r.Out.rfind("Ставок: 0\n", 0), 0u);
}

TEST_F(ScriptRunCli, CtrlCStopsTheTest) {
  Prepare("FULL:0#FIRST|TSD1#NUMS:20#LNO:#SC:10| | | | | | |slow");
  const std::string out = (dir / "out.txt").string();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const std::string cmd = Command({"script", "test", "--tests", "100"}) + " >" + test::ShellQuote(out) + " 2>/dev/null";
    ::execl("/bin/sh", "sh", "-c", ("exec " + cmd).c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Wait for the first stakes, then interrupt.
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
    if (std::filesystem::exists(dir / "Korvane_6x45.lsk") && std::filesystem::file_size(dir / "Korvane_6x45.lsk") > 0)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid, SIGINT);
  int raw = 0;
  ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
  ASSERT_TRUE(WIFEXITED(raw)) << "the run winds down instead of dying";
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  const std::string text = ReadBytes(out);
  EXPECT_EQ(text.rfind("Ставок: ", 0), 0u) << text;
  const TResult list = Run({"draws", "list", "--last", "1"});
  EXPECT_EQ(list.Status, 0);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// A line CURR continues from the list the program has after start-up: the
// default generation of the settings file, as in the window.
TEST_F(ScriptRunCli, CurrStartsFromTheStartUpList) {
  WriteBytes(dir / "Korvane_6x45.ini", "[GLOBAL]\r\nCombsGenerateMode=2\r\nCombsGenerateParameters=1,2,3,4,5,6,7\r\n");
  Prepare("CURR:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |curr");
  const TResult r = Run({"script", "run", "--log"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("Ставок: 1\n", 0), 0u) << r.Out;
  const size_t from = r.Out.find("Журнал: ") + std::string("Журнал: ").size();
  const std::string log = Cp1251ToUtf8(ReadBytes(r.Out.substr(from, r.Out.find('\n', from) - from)));
  EXPECT_NE(log.find("Количество комбинаций в списке: 7"), std::string::npos) << log;
}

}  // namespace
}  // namespace vexa
