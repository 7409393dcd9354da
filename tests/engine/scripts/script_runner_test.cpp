// Script runs as the workspace's commands make them: walks, stop modes,
// result modes, tests over several offsets, the log, errors, systems.
//
// Most lines use conditions that do not depend on the archive: LNO on NUMS
// deletes or keeps whole numbers, and sorting by the value column (0)
// walks the numbers 45, 44, ... 1 (bottom up: 1, 2, ... 45), so the counts
// are binomials.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquire/demo_draws.h"
#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

// Calls `hook` with every status text; stops when `stop` says so.
class THookUi : public TScriptedUi {
 public:
  void Progress(const TProgress& progress) override {
    TScriptedUi::Progress(progress);
    if (Hook) Hook(progress.Text);
  }
  bool StopRequested() override { return Stop && Stop(); }

  std::function<void(std::string_view)> Hook;
  std::function<bool()> Stop;
};

int64_t C(int n, int k) { return Binomial(n, k); }

class ScriptRunTest : public ::testing::Test {
 protected:
  TTempDir dir;
  THookUi ui;
  std::unique_ptr<TWorkspace> ws;

  void SetUp() override { Open(dir); }

  void Open(const TTempDir& folder) {
    TScriptedUi quiet;
    TDrawsArchive archive(folder / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(200, 5));
    archive.SaveDraws(quiet);
    ws = std::make_unique<TWorkspace>(folder.Path(), ui);
    ASSERT_EQ(ws->Open(), 0);
    TRunOverrides overrides;
    overrides.ScriptSeed = 1;
    overrides.ScriptLogEnabled = true;
    ws->SetRunOverrides(overrides);
  }

  void Override(const std::function<void(TRunOverrides&)>& change) {
    TRunOverrides o = ws->RunOverrides();
    change(o);
    ws->SetRunOverrides(o);
  }

  void Script(std::initializer_list<const char*> lines) {
    for (const char* line : lines) ws->ScriptAdd(line);
  }

  std::vector<TStakeRec> ScriptStakes() {
    std::vector<TStakeRec> out;
    for (const TStakeRec& s : ws->Stakes().ReadStakes(0, ws->Stakes().Count()))
      if (s.Kind == StakeScript) out.push_back(s);
    return out;
  }

  // The entries of the one log of the folder, without their time stamps.
  std::vector<std::string> LogEntries() {
    std::vector<std::filesystem::path> logs;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().filename().string().rfind("ScriptLog_", 0) == 0) logs.push_back(e.path());
    EXPECT_EQ(logs.size(), 1u);
    if (logs.empty()) return {};
    const std::string name = logs[0].filename().string();
    EXPECT_EQ(name.size(), std::string("ScriptLog_2026-12-02-18-05-59.txt").size()) << name;
    std::vector<std::string> entries;
    const std::string text = Cp1251ToUtf8(ReadBytes(logs[0]));
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      const std::string line = text.substr(start, end - start);
      EXPECT_EQ(line.substr(0, 1), "[");
      EXPECT_EQ(line.substr(20, 3), "]: ") << line;
      entries.push_back(line.substr(23));
    }
    EXPECT_EQ(start, text.size()) << "every entry ends with CR LF";
    return entries;
  }

  static int CountOf(const std::vector<std::string>& entries, const std::string& prefix) {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
  }
};

// ---- Walks and stop modes --------------------------------------------------------------

TEST_F(ScriptRunTest, SingleSelectStopsByTheCountOfCombinations) {
  Script({"FULL:0#NONE|TSD1#NUMS:20#LNO:#SC:5000000| | | | | | |sc"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_FALSE(r.Stopped);
  EXPECT_EQ(r.Stakes, 0);
  // Four numbers gone; before the fifth the list holds no more than 5000000.
  EXPECT_EQ(ws->Combs().Count(), C(41, 6));
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "Шаг "), 4);
  EXPECT_EQ(CountOf(log, "Удаляем выделенные значения..."), 4);
  EXPECT_NE(std::find(log.begin(), log.end(), Format("Количество комбинаций в списке: %d", {C(41, 6)})), log.end());
  EXPECT_EQ(ws->Combs().Log().size(), 4u) << "one row per filter step";
}

TEST_F(ScriptRunTest, EmptiedListIsRolledBackAndSzEndsTheWalk) {
  Script({"FULL:0#NONE|TSF0#NUMS:20#LNO:#SZ:1| | | | | | |sz"});
  ws->ScriptRun();
  ASSERT_EQ(ws->Combs().Count(), 1);
  EXPECT_EQ(ws->Combs()[0], (TComb{40, 41, 42, 43, 44, 45}));
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "{UNDO} Откат изменений..."), 1);
  EXPECT_EQ(CountOf(log, "Шаг "), 7) << "six numbers kept, the seventh rolled back";
}

TEST_F(ScriptRunTest, SfGoesOnAfterARollback) {
  Script({"FULL:0#NONE|TSF0#NUMS:20#LNO:#SF:1| | | | | | |sf"});
  ws->ScriptRun();
  ASSERT_EQ(ws->Combs().Count(), 1);
  EXPECT_EQ(ws->Combs()[0], (TComb{40, 41, 42, 43, 44, 45}));
  EXPECT_EQ(CountOf(LogEntries(), "{UNDO} Откат изменений..."), 39);
}

TEST_F(ScriptRunTest, MultiSelectExaminesStRowsAndAppliesThemTogether) {
  // Rows 45, 44, 43 are examined; 45 and 43 meet the condition, 1 is never reached.
  Script({"FULL:0#NONE|TMD0#NUMS:20#LVA:45,43,1#ST:3| | | | | | |st"});
  ws->ScriptRun();
  EXPECT_EQ(ws->Combs().Count(), C(43, 6));
  const auto log = LogEntries();
  ASSERT_EQ(CountOf(log, "Шаг "), 2);
  EXPECT_EQ(CountOf(log, "Шаг 001. Выделение строки: < [45] кол-во: "), 1);
  EXPECT_EQ(CountOf(log, "Шаг 003. Выделение строки: < [43] кол-во: "), 1);
  ASSERT_EQ(ws->Combs().Log().size(), 1u);
  EXPECT_EQ(ws->Combs().Log()[0].Values, "45; 43");
}

TEST_F(ScriptRunTest, NothingSelectedKeepsNothingAndDeletesNothing) {
  Script({"FULL:0#NONE|TMF0#NUMS:20#LVA:99#SF:1| | | | | | |keep", "FULL:0#NONE|TMD0#NUMS:20#LVA:99#SF:1| | | | | | |del"});
  ws->ScriptRun();
  EXPECT_EQ(ws->Combs().Count(), AllCombsCount);
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "{UNDO} Откат изменений..."), 1) << "only the keep empties the list";
}

// ---- Result modes ------------------------------------------------------------------------

TEST_F(ScriptRunTest, OneCombinationLeftIsStakedWhateverTheMode) {
  Script({"FULL:0#SKIP|TSF0#NUMS:20#LNO:#ST:6|TMD0#NUMS:20#LNO:#SF:1| | | | | |one",
          "FULL:0#STOP|TSF0#NUMS:20#LNO:#ST:6| | | | | | |",
          "FULL:0#SKIP|TSF0#NUMS:20#LNO:#ST:5| | | | | | |skip",
          "FULL:0#STOP|TSF0#NUMS:20#LNO:#ST:5| | | | | | |stop",
          "FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |never"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(r.Stakes, 2);
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 2u);
  const int next = ws->Archive().NextDrawNumber(0);
  for (const TStakeRec& s : stakes) {
    EXPECT_EQ(NumListToText(s.Numbers, ";"), "40;41;42;43;44;45");
    EXPECT_EQ(s.DrawNumber, next);
    EXPECT_EQ(s.CombsCount, 1);
    EXPECT_EQ(s.Kind, StakeScript);
  }
  EXPECT_EQ(StakeOrigin(stakes[0]), "01.001: one @ FULL#SKIP + TSF#NUMS:20#LNO:#ST:6 + TMD#NUMS:20#LNO:#SF:1");
  EXPECT_EQ(StakeOrigin(stakes[1]), "02.001: @ FULL#STOP + TSF#NUMS:20#LNO:#ST:6");

  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "Анализ тиражей и расчет статистики"), 4) << "the filter after the last combination is skipped";
  EXPECT_EQ(CountOf(log, "{-} Ставка игнорирована!"), 1);
  EXPECT_EQ(CountOf(log, "{!} Сценарий остановлен!"), 1);
  EXPECT_EQ(CountOf(log, "Выполнение строки 005"), 0);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Attention);
  EXPECT_EQ(ui.Messages[0].Text,
            "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их осталось "
            "более одной: 40!\r\rФильтры: 04.001: stop @ FULL#STOP + TSF#NUMS:20#LNO:#ST:5");
  EXPECT_FALSE(ws->ScriptRunning());
  EXPECT_FALSE(ws->ScriptState().ScriptStopped) << "the flags are cleared for the next run";
}

TEST_F(ScriptRunTest, NoneStakesNothingAndCurrGoesOnFromThere) {
  Script({"FULL:0#NONE|TSD0#NUMS:20#LNO:#ST:2| | | | | | |", "", "CURR:0#FIRST|TSD0#NUMS:20#LVA:43#SF:1| | | | | | |"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_EQ(r.Stakes, 1);
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 1u);
  EXPECT_EQ(NumListToText(stakes[0].Numbers, ";"), "1;2;3;4;5;6");
  EXPECT_EQ(stakes[0].CombsCount, C(42, 6)) << "45 and 44 went in line 1, 43 in line 3";
  EXPECT_EQ(CountOf(LogEntries(), "Выполнение строки 002"), 0) << "a separator is no command";
}

TEST_F(ScriptRunTest, RandomChoicesRepeatWithTheSeed) {
  Script({"FULL:0#RAND|TSD0#NUMS:20#LNO:#ST:3| | | | | | |a", "FULL:0#RAND|TSD0#NUMS:20#LNO:#ST:3| | | | | | |b"});
  ws->ScriptRun();
  Override([](TRunOverrides& o) { o.ScriptSeed = 1; });
  ws->ScriptRun();
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 4u);
  EXPECT_NE(stakes[0].Numbers, stakes[1].Numbers);
  EXPECT_EQ(stakes[0].Numbers, stakes[2].Numbers);
  EXPECT_EQ(stakes[1].Numbers, stakes[3].Numbers);
  for (const TStakeRec& s : stakes)
    for (int i = 0; i < s.Numbers.Count; ++i) EXPECT_LE(s.Numbers.Nums[static_cast<size_t>(i)], 42);
}

TEST_F(ScriptRunTest, NewOnlyDoesNotRepeatAStake) {
  Script({"FULL:0#FIRST#NEX|TSD0#NUMS:20#LNO:#ST:1| | | | | | |", "FULL:0#FIRST#NEX|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_EQ(r.Stakes, 1);
  EXPECT_EQ(ScriptStakes().size(), 1u);
  const int next = ws->Archive().NextDrawNumber(0);
  EXPECT_EQ(CountOf(LogEntries(), Format("{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: "
                                         "[1;2;3;4;5;6]",
                                         {next})),
            1);
}

TEST_F(ScriptRunTest, ClearStakesEmptiesTheFileBeforeTheLine) {
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |a", "FULL:0#LAST#CLR|TSD0#NUMS:20#LNO:#ST:1| | | | | | |b"});
  EXPECT_EQ(ws->ScriptRun().Stakes, 2);
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 1u);
  EXPECT_EQ(StakeOrigin(stakes[0]), "02.001: b @ FULL#LAST + TSD#NUMS:20#LNO:#ST:1") << "CLR never shows in an origin";
  EXPECT_EQ(NumListToText(stakes[0].Numbers, ";"), "39;40;41;42;43;44");
}

TEST_F(ScriptRunTest, AllStakesEveryCombination) {
  Script({"FULL:0#ALL|TSF0#NUMS:20#LNO:#ST:5| | | | | | |all"});
  EXPECT_EQ(ws->ScriptRun().Stakes, 40);
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 40u);
  EXPECT_EQ(NumListToText(stakes[0].Numbers, ";"), "1;41;42;43;44;45");
  EXPECT_EQ(NumListToText(stakes[39].Numbers, ";"), "40;41;42;43;44;45");
}

// ---- Systems -------------------------------------------------------------------------------

TEST_F(ScriptRunTest, SystemPlayWholeAndWithinTheList) {
  // After the filters: the six combinations of 39..45 other than 40..45.
  std::filesystem::create_directory(dir / "Systems");
  WriteBytes(dir / "Systems" / "6-07-5_0001.dat", "1 2 3 4 5 6\r\n2 3 4 5 6 7\r\n1 3 4 5 6 7\r\n");
  Script({"FULL:0#SYSA|BSD0#NUMS:20#LNO:#ST:38|TSD0#SUMS:20#LVA:255#SF:1| | | | | |a",
          "FULL:0#SYSC|BSD0#NUMS:20#LNO:#ST:38|TSD0#SUMS:20#LVA:255#SF:1| | | | | |c",
          "FULL:0#SYSA|BSD0#NUMS:20#LNO:#ST:37| | | | | | |none"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_FALSE(r.Stopped) << "a missing system does not stop the run";
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 5u);
  EXPECT_EQ(NumListToText(stakes[0].Numbers, ";"), "39;40;41;42;43;44");
  EXPECT_EQ(NumListToText(stakes[1].Numbers, ";"), "40;41;42;43;44;45");
  EXPECT_EQ(NumListToText(stakes[2].Numbers, ";"), "39;41;42;43;44;45");
  EXPECT_EQ(NumListToText(stakes[3].Numbers, ";"), "39;40;41;42;43;44");
  EXPECT_EQ(NumListToText(stakes[4].Numbers, ";"), "39;41;42;43;44;45");
  EXPECT_EQ(stakes[0].CombsCount, 6);
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "{#} Системная игра для 7 чисел [все система]: загружен файл \"6-07-5_0001\""), 1);
  EXPECT_EQ(CountOf(log, "{#} Системная игра для 7 чисел [система * комбинации]: загружен файл \"6-07-5_0001\""), 1);
  EXPECT_EQ(CountOf(log, "{#} Системная игра для 8 чисел [ОШИБКА]: \"Система для 8 чисел не найдена или не "
                         "загружена на компьютер!\""),
            1);
  ASSERT_EQ(ui.Messages.size(), 1u) << "the store's own box";
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
}

// ---- Tests over offsets --------------------------------------------------------------------

TEST_F(ScriptRunTest, TestRunsOffsetsDownToOneAndComesBack) {
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
  ws->SetDrawsOffset(7);
  const TScriptRunResult r = ws->ScriptTest(3);
  EXPECT_EQ(r.Passes, 3);
  EXPECT_EQ(r.Stakes, 3);
  EXPECT_EQ(ws->DrawsOffset(), 7);
  const auto all = ws->Stakes().ReadStakes(0, ws->Stakes().Count());
  ASSERT_EQ(all.size(), 5u) << "stake, separator, stake, separator, stake";
  EXPECT_TRUE(IsSeparator(all[1]));
  EXPECT_TRUE(IsSeparator(all[3]));
  // Stakes are checked after each variant; the demo numbers its draws one
  // apart, so the stake of offset 1 is for a draw the archive lacks.
  const auto& draws = ws->Archive().Draws();
  int checked = 0;
  for (int pass = 0; pass < 3; ++pass) {
    const TStakeRec& s = all[static_cast<size_t>(pass) * 2];
    EXPECT_EQ(s.DrawNumber, ws->Archive().NextDrawNumber(3 - pass));
    const int at = ws->Archive().IndexOfDrawNumber(s.DrawNumber);
    EXPECT_EQ(s.Checked, at >= 0 ? 1 : 0);
    if (at >= 0) {
      EXPECT_EQ(s.DrawNums, draws[static_cast<size_t>(at)].Nums);
    }
    checked += s.Checked;
  }
  EXPECT_EQ(checked, 2);
  EXPECT_FALSE(ws->Ratings().Empty());
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "=== Выполнение сценария для смещения 000003 "), 1);
  EXPECT_EQ(CountOf(log, "=== Выполнение сценария для смещения 000001 "), 1);
  EXPECT_EQ(ui.Statuses.back(), "") << "the status text is cleared at the end";
  EXPECT_NE(std::find_if(ui.Statuses.begin(), ui.Statuses.end(),
                         [](const std::string& s) { return s.rfind("Цикл: 3 | Строка: 1 | Ставок: 3 | ", 0) == 0; }),
            ui.Statuses.end());
  EXPECT_THROW(ws->ScriptTest(200), EVexaError) << "at most archive size - 1";
  EXPECT_EQ(ws->ScriptTest(0).Passes, 0);
}

TEST_F(ScriptRunTest, StopCommandInTheSecondPassKeepsItsOffset) {
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
  bool refused = false;
  ui.Answers = {true};
  ui.Hook = [&](std::string_view text) {
    if (text.find("Цикл: 2") == std::string_view::npos || text.find("Создание всех вариантов") == std::string_view::npos)
      return;
    try {
      ws->LogToggle();
    } catch (const EVexaError&) {
      refused = true;
    }
    ws->ScriptStop();
  };
  const TScriptRunResult r = ws->ScriptTest(3);
  EXPECT_TRUE(refused) << "the log switch is locked while a run goes";
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(r.Stakes, 1);
  EXPECT_EQ(ws->DrawsOffset(), 2);
  ASSERT_EQ(ui.Questions.size(), 1u);
  EXPECT_EQ(ui.Questions[0], "Остановить выполнение сценария?");
  EXPECT_FALSE(ws->ScriptStop()) << "nothing to stop any more";
  const auto log = LogEntries();
  EXPECT_EQ(CountOf(log, "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО "), 1);
  EXPECT_EQ(log.back(), PadLogText("### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ", '#'));
  EXPECT_TRUE(std::any_of(ui.Statuses.begin(), ui.Statuses.end(),
                          [](const std::string& s) { return s.find("Сценарий завершен!") != std::string::npos; }))
      << "a test says it is done also after a stop";
}

TEST_F(ScriptRunTest, StopRequestedByTheFrontEnd) {
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
  ui.Stop = [&] { return ws->ScriptState().ScriptCycle >= 2; };
  const TScriptRunResult r = ws->ScriptTest(3);
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(r.Passes, 1);
  EXPECT_EQ(ws->DrawsOffset(), 3) << "stopped before the second pass moved the offset";
  EXPECT_TRUE(ui.Questions.empty()) << "the front end's request is the answer already";
  EXPECT_EQ(CountOf(LogEntries(), "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО "), 1);
}

// ---- The log ---------------------------------------------------------------------------------

TEST_F(ScriptRunTest, LogOfAForecast) {
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |первая"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_EQ(r.LogFile.parent_path(), dir.Path());
  const auto log = LogEntries();
  ASSERT_GT(log.size(), 20u);
  EXPECT_EQ(log[0], "### ЗАПУСК СЦЕНАРИЯ " + std::string(74, '#'));
  EXPECT_EQ(log[1], std::string(94, '='));
  EXPECT_EQ(log[2], "=== Выполнение сценария для смещения 000000 " + std::string(50, '='));
  EXPECT_EQ(log[3], std::string(94, '='));
  EXPECT_EQ(log[4], std::string(94, '-'));
  EXPECT_EQ(log[5], "Выполнение строки 001: \"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |первая\"");
  EXPECT_EQ(log[7], "Создание всех вариантов фильтров...");
  EXPECT_EQ(log[8], "Создано 1 вариантов фильтров.");
  EXPECT_EQ(log[9], "");
  EXPECT_EQ(log[11], "Применение набора фильтров 001: \"TSD#NUMS:20#LNO:#ST:1\"");
  EXPECT_EQ(log[13], "Создание начального списка комбинаций...");
  EXPECT_EQ(log[14], "Количество комбинаций в списке: 8145060");
  EXPECT_EQ(log[15].rfind("Анализ тиражей и расчет статистики \"{ num } Числа тиража [ N ]\" для выборки в 20 тиражей...", 0), 0u);
  EXPECT_EQ(log[16].rfind("< [45] кол-во: ", 0), 0u) << "then the 45 rows";
  EXPECT_EQ(log[60].rfind("< [1] кол-во: ", 0), 0u);
  EXPECT_EQ(log[61].rfind("Шаг 001. Выделение строки: < [45] ", 0), 0u);
  EXPECT_EQ(log[62], "Удаляем выделенные значения...");
  EXPECT_EQ(log[63], Format("Количество комбинаций в списке: %d", {C(44, 6)}));
  EXPECT_EQ(log[64], "{*} Добавление ставки, режим: \"Выбрать первую комбинацию в списке\"");
  EXPECT_EQ(log[65], Format("{+} Ставка на тираж %d добавлена в список ставок: [1;2;3;4;5;6]",
                            {ws->Archive().NextDrawNumber(0)}));
  EXPECT_EQ(log[66], std::string(94, '-'));
  EXPECT_EQ(log.back(), "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ " + std::string(70, '#'));
  const std::string raw = ReadBytes(r.LogFile);
  EXPECT_NE(raw.find("\xC7\xC0\xCF\xD3\xD1\xCA"), std::string::npos) << "code page 1251";

  // Without the switch no log is written.
  std::filesystem::remove(r.LogFile);
  Override([](TRunOverrides& o) { o.ScriptLogEnabled = false; });
  EXPECT_TRUE(ws->ScriptRun().LogFile.empty());
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_NE(e.path().filename().string().rfind("ScriptLog_", 0), 0u);
}

TEST_F(ScriptRunTest, LogSwitchesAndDeletingLogs) {
  ASSERT_FALSE(ws->Window().ScriptLogEnabled) << "the fixture's log is this run's override";
  ws->LogToggle();
  EXPECT_TRUE(ws->Window().ScriptLogEnabled);
  EXPECT_TRUE(ReadWindowBool(dir / "Korvane_6x45.frm", "TFormMain", "ScriptLogEnabled", false));
  ws->StakesCheckLine();
  EXPECT_FALSE(ws->Window().StakesCheckOnLine);
  EXPECT_FALSE(ReadWindowBool(dir / "Korvane_6x45.frm", "TFormMain", "StakesCheckOnLine", true));

  ws->LogsDelete();
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Файлы журналов не найдены!");
  WriteBytes(dir / "ScriptLog_2026-01-01-00-00-00.txt", "x");
  WriteBytes(dir / "ScriptLog_2026-01-02-00-00-00.txt", "y");
  WriteBytes(dir / "Korvane_6x45-3.log", "stake log stays");
  ws->LogsDelete();
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[1].Kind, TMessageKind::Information);
  EXPECT_NE(ui.Messages[1].Text.find("Всего - 2, обработано - 2"), std::string::npos) << ui.Messages[1].Text;
  EXPECT_FALSE(std::filesystem::exists(dir / "ScriptLog_2026-01-01-00-00-00.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir / "Korvane_6x45-3.log"));
}

TEST_F(ScriptRunTest, StakesCheckedOncePerPassWhenNotPerLine) {
  ws->StakesCheckLine();
  ASSERT_FALSE(ws->Window().StakesCheckOnLine);
  Script({"FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |", "FULL:0#LAST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
  ws->ScriptTest(2);
  const auto stakes = ScriptStakes();
  ASSERT_EQ(stakes.size(), 4u);
  for (const TStakeRec& s : stakes) EXPECT_EQ(s.Checked, ws->Archive().IndexOfDrawNumber(s.DrawNumber) >= 0 ? 1 : 0);
  EXPECT_EQ(stakes[0].Checked + stakes[1].Checked, 2) << "the first pass's draw is known";
}

// ---- Errors ------------------------------------------------------------------------------------

TEST_F(ScriptRunTest, ErrorsStopTheRunWithTheirMessage) {
  struct TCase {
    const char* Line;
    const char* Message;
  };
  const TCase cases[] = {
      {"FULL:0#FIRST| | | | | | | |empty", "Некорректное описание фильтра: !"},
      {"FULL:0#FIRST|TSD1#NOSUCH:20#LNO:#SF:1| | | | | | |",
       "Метод расчета статистики \"NOSUCH\" не зарегистрирован в программе!\rФильтр: TSD1#NOSUCH:20#LNO:#SF:1\r\r"
       "Возможно, сценарий создан другой модификацией программы."},
      {"FULL:0#FIRST|TSD1#NUMS:2#LDV:1,2#SF:1| | | | | | |", "Значение \"-\" не является целым числом!"},
      {"FULL:0#FIRST|TSD25#NUMS:20#LNO:#SF:1| | | | | | |", "Некорректное занчение номера столбца сортировки (25)"},
  };
  for (const TCase& c : cases) {
    ws->ScriptClr();
    ui.Answers = {true};
    ui.Messages.clear();
    Script({c.Line, "FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"});
    const TCdl before = ws->Stats().Config.Cdl;
    const TScriptRunResult r = ws->ScriptRun();
    EXPECT_TRUE(r.Stopped) << c.Line;
    EXPECT_EQ(r.Stakes, 0) << "the next line does not run: " << c.Line;
    ASSERT_EQ(ui.Messages.size(), 1u) << c.Line;
    EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
    EXPECT_EQ(ui.Messages[0].Text, c.Message);
    EXPECT_EQ(ws->Stats().Config.Cdl.Count, before.Count);
    EXPECT_EQ(ws->BusyCount(), 0);
  }
  ws->ScriptClr();
  ui.Answers = {true};
  EXPECT_THROW(ws->ScriptRun(), EVexaError) << "an empty script cannot run";
}

TEST_F(ScriptRunTest, OwnWeightCoefficientsAreUndoneAfterTheRun) {
  ws.reset();
  WriteBytes(dir / "Korvane_6x45.ini", "[CDL]\r\nCount=0.25\r\nLevel=1\r\n");
  Open(dir);
  ASSERT_EQ(ws->Stats().Config.Cdl.Count, 0.25L);
  // The weight column with counts only: WMV:3 keeps the numbers drawn 3 times or more.
  Script({"FULL:0#NONE|TMF1#NUMS:20#WMV:3#SF:1#1:0:0:0:0| | | | | | |",
          "FULL:0#NONE|TMF1#NUMS:2#LDV:1#SF:1| | | | | | |"});
  const TScriptRunResult r = ws->ScriptRun();
  EXPECT_TRUE(r.Stopped) << "the second line fails";
  EXPECT_EQ(ws->Stats().Config.Cdl.Count, 0.25L);
  EXPECT_EQ(ws->Stats().Config.Cdl.Level, 1.0L);
  const auto log = LogEntries();
  // The weight shown is the count: the line's own coefficients were used.
  const auto row = std::find_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("< [", 0) == 0; });
  ASSERT_NE(row, log.end());
  const size_t count = row->find("кол-во: ") + std::string("кол-во: ").size();
  const std::string hits = row->substr(count, row->find(' ', count) - count);
  EXPECT_NE(row->find("вес: " + hits + ".00 >"), std::string::npos) << *row;
}

// ---- Speed-ups ---------------------------------------------------------------------------------

// The same test with and without the bit lists: the same stakes, ratings,
// log, combinations list and operations log.
TEST(ScriptSpeedUps, SameResultsWithAndWithout) {
  const std::vector<const char*> script = {
      "FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |hot",
      "EXCL:5#FIRST#NEX|TSD1#SUMS:50,100#LNO:#ST:3|TMD2#EVEN:100#CLV:20#SF:1| | | | | |sums",
      "",
      "EXCL:5#ALL|BSD1#NUMS:10#LLV:2#ST:4|TSF0#NUMS:20#LNO:#ST:6| | | | | |all one",
      "FULL:0#SYSC|BSD0#NUMS:20#LNO:#ST:38|TSD0#SUMS:20#LVA:255#SF:1| | | | | |sys",
      "FULL:0#NONE|TSD1#NUMS:20#LNO:#SC:5000000|TMF0#NUMS:20#LVA:99#SF:1|TMF1#POS1:100#CMP:2#SF:1|TMD1#SMAL:200#"
      "CMV:50#SV:5| | | |mix",
      "CURR:0#RAND|BMD1#DIFA:30#LMP:10#SP:1|TMD1#RPV2:30#CMV:1#SF:1| | | | | |",
      "FULL:0#ALL|TSF0#NUMS:20#LNO:#ST:5|BSF1#SUMS:20#LNO:#SC:10| | | | | |all",
  };
  struct TRun {
    std::string Stakes;
    std::string Ratings;
    std::vector<std::string> Log;
    std::vector<TComb> Combs;
    std::vector<TLogRow> CombsLog;
  };
  auto run = [&](bool speedUps) {
    TTempDir dir;
    TScriptedUi quiet;
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(300, 9));
    archive.SaveDraws(quiet);
    std::filesystem::create_directory(dir / "Systems");
    WriteBytes(dir / "Systems" / "6-07-5_0001.dat", "1 2 3 4 5 6\r\n2 3 4 5 6 7\r\n1 3 4 5 6 7\r\n");
    TRun out;
    {
      TScriptedUi ui;
      TWorkspace ws(dir.Path(), ui);
      EXPECT_EQ(ws.Open(), 0);
      for (const char* line : script) ws.ScriptAdd(line);
      TRunOverrides overrides;
      overrides.ScriptLogEnabled = true;
      overrides.ScriptSeed = 77;
      overrides.ScriptSpeedUps = speedUps;
      ws.SetRunOverrides(overrides);
      const TScriptRunResult r = ws.ScriptTest(2);
      EXPECT_FALSE(r.Stopped);
      EXPECT_GT(r.Stakes, 10);
      const auto list = ws.Combs().Combs();
      out.Combs.assign(list.begin(), list.end());
      out.CombsLog = ws.Combs().Log();
      const std::string text = Cp1251ToUtf8(ReadBytes(r.LogFile));
      size_t start = 0;
      for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.Log.push_back(text.substr(start + 23, end - start - 23));
    }
    out.Stakes = ReadBytes(dir / "Korvane_6x45.lsk");
    out.Ratings = ReadBytes(dir / "Korvane_6x45.lrt");
    return out;
  };
  const TRun plain = run(false);
  const TRun fast = run(true);
  EXPECT_EQ(fast.Stakes, plain.Stakes);
  EXPECT_EQ(fast.Ratings, plain.Ratings);
  ASSERT_EQ(fast.Log.size(), plain.Log.size());
  for (size_t i = 0; i < plain.Log.size(); ++i) ASSERT_EQ(fast.Log[i], plain.Log[i]) << "entry " << i;
  EXPECT_EQ(fast.Combs, plain.Combs);
  EXPECT_EQ(fast.CombsLog, plain.CombsLog);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// The ratings of a back-test name their stake origins; each becomes a script
// line with the same filters, the comment keeping the line and variant.
TEST_F(ScriptRunTest, RatingsBecomeScriptLines) {
  Script({"FULL:0#FIRST|TSD1#NUMS:20#LNO:#ST:2| | | | | | |mine"});
  ws->ScriptTest(3);
  ASSERT_FALSE(ws->Ratings().Empty());
  std::vector<int> rows;
  for (int i = 0; i < ws->Ratings().Count(); ++i) rows.push_back(i);
  const int lines = static_cast<int>(ws->ScriptLines().size());
  EXPECT_EQ(ws->RatingsToScript(rows), ws->Ratings().Count());
  ASSERT_EQ(static_cast<int>(ws->ScriptLines().size()), lines + ws->Ratings().Count());
  const std::string& added = ws->ScriptLines().back();
  EXPECT_EQ(ScriptLineFilter(added, 1), "TSD#NUMS:20#LNO:#ST:2") << added;
  EXPECT_EQ(ScriptLineComment(added).substr(0, 7), "01.001:") << added;
}

}  // namespace
}  // namespace vexa
