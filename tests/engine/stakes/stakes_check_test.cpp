#include "stakes/stakes_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "core/codec.h"
#include "core/format.h"
#include "stakes/ratings_journal.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

TDraw MakeDraw(int number, std::array<uint8_t, 6> nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = {44, 45};
  return d;
}

TNumList List(std::initializer_list<int> nums) {
  TNumList l;
  for (int n : nums) l.Nums[static_cast<size_t>(l.Count++)] = static_cast<uint8_t>(n);
  return l;
}

class StakesCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFormatSettings({".", ","});
    config.Cost = 20000;             // 2.00
    config.Profits = {{3, 100000}};  // 10.00 for three
    archive.SetDraws({MakeDraw(1230, {1, 2, 3, 4, 5, 6}), MakeDraw(1232, {10, 3, 20, 1, 30, 2})});
    file.OpenStakesFile();
    log.Folder = dir.Path();
  }

  TStakeRec Add(int draw, TNumList numbers, const char* origin = "проба") {
    const TStakeRec s = NewStake(StakeManual, draw, 42, numbers, origin, config);
    file.AppendStake(s, 1, true, ui);
    return s;
  }

  TStakeCheckResult Check() { return CheckStakes(file, archive, config, ratings, log, ui); }

  TTempDir dir;
  TScriptedUi ui;
  TConfigData config;
  TDrawsArchive archive;
  TStakesFile file{dir / "Korvane_6x45.lsk"};
  TRatings ratings;
  TStakeLogOptions log;
};

TEST_F(StakesCheck, ProfitBeforeAndAfterChecking) {
  Add(1232, List({1, 2, 3, 40, 41, 42}));  // three matches: paid
  Add(1232, List({1, 2, 3, 20, 41, 42}));  // four matches: no row
  EXPECT_EQ(file.ReadStake(0).Profit, -20000);

  const TStakeCheckResult r = Check();
  EXPECT_EQ(r.Checked, 2);
  EXPECT_EQ(r.Error, "");
  const TStakeRec a = file.ReadStake(0);
  EXPECT_EQ(a.Checked, 1);
  EXPECT_EQ(a.Profit, 80000);
  EXPECT_EQ(a.DrawNums, (std::array<uint8_t, 6>{10, 3, 20, 1, 30, 2})) << "archive order";
  EXPECT_EQ(a.Matched, List({1, 2, 3}));
  EXPECT_EQ(StakeGridCells(a)[7], "8.00");
  const TStakeRec b = file.ReadStake(1);
  EXPECT_EQ(b.Profit, -20000);
  EXPECT_EQ(b.Matched, List({1, 2, 3, 20}));

  // Checked stakes are never checked again.
  EXPECT_EQ(Check().Checked, 0);
  ASSERT_EQ(ratings.Count(), 1);
  EXPECT_EQ(ratings[0].Checks, 2);
  EXPECT_EQ(ratings[0].Money, 60000);
}

TEST_F(StakesCheck, StakeForAMissingDrawStaysUnchecked) {
  Add(1234, List({1, 2, 3, 4, 5, 6}));
  Add(1232, List({1, 2, 3, 4, 5, 6}));
  file.AppendStake(MakeSeparator(), 1, true, ui);
  const std::string before = ReadBytes(dir / "Korvane_6x45.lsk").substr(0, StakeRecordSize);
  EXPECT_EQ(Check().Checked, 1);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lsk").substr(0, StakeRecordSize), before);
  EXPECT_TRUE(IsSeparator(file.ReadStake(2)));

  TDrawsArray draws = archive.Draws();
  draws.push_back(MakeDraw(1234, {7, 8, 9, 10, 11, 12}));
  archive.SetDraws(draws);
  EXPECT_EQ(Check().Checked, 1);
  EXPECT_EQ(file.ReadStake(0).Checked, 1);
  EXPECT_EQ(file.ReadStake(0).Matched.Count, 0);
}

TEST_F(StakesCheck, FewerThanSixNumbersOrNoDrawIsNotCheckable) {
  Add(1232, List({1, 2, 3, 4, 5}));
  Add(0, List({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Check().Checked, 0);
  EXPECT_TRUE(ratings.Empty());
}

// A record whose number count is 2^31-1 once made the check loop for
// seconds: it is reported and skipped, the good ones are checked.
TEST_F(StakesCheck, DamagedRecordsAreReportedNotComputed) {
  Add(1230, List({1, 2, 3, 7, 8, 9}));
  TStakeRec bad = NewStake(StakeManual, 1232, 0, List({1, 2, 3, 4, 5, 6}), "плохая", config);
  bad.Numbers.Count = INT32_MAX;
  file.AppendStake(bad, 1, true, ui);
  bad.Numbers.Count = 6;
  bad.Matched.Count = 100;
  file.AppendStake(bad, 1, true, ui);
  Add(1232, List({1, 2, 3, 7, 8, 9}));
  const TStakeCheckResult r = Check();
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(r.Checked, 2);
  EXPECT_EQ(file.ReadStake(1).Checked, 0);
  EXPECT_EQ(file.ReadStake(3).Checked, 1);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Warning);
  EXPECT_EQ(ui.Messages[0].Text, "В файле ставок повреждённые записи (2) пропущены при проверке; первая: № 2.");
  ASSERT_EQ(ratings.Count(), 1);
  EXPECT_EQ(ratings[0].Checks, 2);
  // A rebuild of the ratings skips them as well.
  TRatings rebuilt;
  for (const TStakeRec& s : file.ReadStakes(0, file.Count())) rebuilt.MergeRating(s);
  EXPECT_EQ(rebuilt.Count(), 1);
}

// The journal of a check names the stakes its ratings lack; a ratings file
// saved after the journal began already holds them, and a stake the check
// never wrote (killed between the two) is not merged.
TEST_F(StakesCheck, RatingsJournalMergesOnlyWhatTheRatingsFileLacks) {
  const auto ratingsFile = dir / "Korvane_6x45.lrt";
  Add(1230, List({1, 2, 3, 7, 8, 9}));
  Add(1232, List({1, 2, 3, 7, 8, 9}));
  Add(1232, List({10, 20, 30, 7, 8, 9}));
  SaveRatings(ratingsFile, ratings, ui);
  ASSERT_EQ(Check().Checked, 3);
  ASSERT_TRUE(std::filesystem::exists(dir / "Korvane_6x45.lrt.pending"));
  // Killed before the ratings were saved: all three are merged.
  {
    TRatings loaded;
    LoadRatings(ratingsFile, loaded, ui);
    EXPECT_EQ(MendRatings(ratingsFile, file, loaded, ui), 3);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded[0].Checks, 3);
    EXPECT_EQ(loaded[0], ratings[0]);
  }
  // A stake whose record differs from the journaled one was never written.
  TStakeRec changed = file.ReadStake(2);
  changed.Checked = 0;
  changed.Matched.Count = -1;
  file.WriteStake(2, changed);
  {
    TRatings loaded;
    EXPECT_EQ(MendRatings(ratingsFile, file, loaded, ui), 2);
  }
  // Saved after the check, journal left behind: nothing is merged twice.
  SaveRatings(ratingsFile, ratings, ui);
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.lrt.pending"));
  TRatingsJournal journal(ratingsFile);
  journal.Add(0, file.ReadStake(0));
  WriteBytes(dir / "other.lrt", "");
  std::filesystem::rename(dir / "other.lrt", ratingsFile);  // a new file, as a save makes
  TRatings loaded;
  EXPECT_EQ(MendRatings(ratingsFile, file, loaded, ui), 0);
}

TEST_F(StakesCheck, SevenNumberStake) {
  Add(1232, List({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(file.ReadStake(0).Profit, -7 * 20000);
  Check();
  // 1, 2 and 3 drawn: 7 combinations paid for, one prize for three.
  EXPECT_EQ(file.ReadStake(0).Matched, List({1, 2, 3}));
  EXPECT_EQ(file.ReadStake(0).Profit, -7 * 20000 + 100000);
}

TEST_F(StakesCheck, LogsGoToTheFileOfTheirOverlap) {
  log.Enabled = true;
  Add(1232, List({1, 2, 40, 41, 42, 43}), "двойка");
  Add(1232, List({1, 2, 3, 41, 42, 43}));
  Add(1230, List({1, 2, 40, 41, 42, 43}), "ещё");
  EXPECT_EQ(Check().Checked, 3);
  const std::string two = Cp1251ToUtf8(ReadBytes(dir / "Korvane_6x45-2.log"));
  const std::regex line(
      "\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}: Тираж № 1232\\. Ставка: \"двойка\" \\[1;2;40;41;42;43\\] "
      "\\{42\\}\\. "
      "Результаты тиража: \\[10;3;20;1;30;2\\]\\. Совпадений: 2\\. Профит: -2\\.00\\.\r\n"
      "\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}: Тираж № 1230\\. Ставка: \"ещё\" .*Совпадений: 2\\. Профит: "
      "-2\\.00\\.\r\n");
  EXPECT_TRUE(std::regex_match(two, line)) << two;
  EXPECT_NE(Cp1251ToUtf8(ReadBytes(dir / "Korvane_6x45-3.log")).find("Профит: 8.00."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45-0.log"));
}

TEST_F(StakesCheck, LogOver256MiBIsStartedAnew) {
  log.Enabled = true;
  const auto big = dir / "Korvane_6x45-0.log";
  const auto limit = dir / "Korvane_6x45-1.log";
  WriteBytes(big, "old\r\n");
  std::filesystem::resize_file(big, StakeLogMaxSize + 1);
  WriteBytes(limit, "old\r\n");
  std::filesystem::resize_file(limit, StakeLogMaxSize);  // not above: kept
  Add(1232, List({40, 41, 42, 43, 44, 45}));
  Add(1232, List({1, 40, 41, 42, 43, 44}));
  Check();
  EXPECT_LT(std::filesystem::file_size(big), 1000u);
  EXPECT_EQ(ReadBytes(big).substr(0, 2), "20") << "only the new line";
  EXPECT_GT(std::filesystem::file_size(limit), static_cast<uintmax_t>(StakeLogMaxSize));
}

TEST_F(StakesCheck, LogFailureStopsTheCheckButKeepsWhatWasWritten) {
  log.Enabled = true;
  std::filesystem::create_directory(dir / "Korvane_6x45-0.log");  // cannot be opened for writing
  Add(1232, List({1, 2, 3, 41, 42, 43}));
  Add(1232, List({40, 41, 42, 43, 44, 45}));
  Add(1232, List({1, 2, 3, 41, 42, 44}));
  const TStakeCheckResult r = Check();
  EXPECT_EQ(r.Checked, 2);
  EXPECT_EQ(r.Error.rfind("Ошибка проверки ставок!\r\rОшибка записи в файл \"", 0), 0u) << r.Error;
  EXPECT_EQ(file.ReadStake(1).Checked, 1);
  EXPECT_EQ(file.ReadStake(2).Checked, 0);
  EXPECT_EQ(ratings[0].Checks, 2);
}

TEST_F(StakesCheck, ProgressFromTheFirstCheckableStake) {
  for (int i = 0; i < 3; ++i) file.AppendStake(MakeSeparator(), 1, true, ui);
  for (int i = 0; i < 4; ++i) Add(1232, List({1, 2, 3, 4, 5, 6}));
  ui.Statuses.clear();
  Check();
  const std::vector<std::string> expected = {
      "Проверка результатов ставок...", "Проверка результатов ставок ( завершено 0 % )...",
      "Проверка результатов ставок ( завершено 25 % )...", "Проверка результатов ставок ( завершено 50 % )...",
      "Проверка результатов ставок ( завершено 75 % )..."};
  EXPECT_EQ(ui.Statuses, expected);
}

}  // namespace
}  // namespace vexa
