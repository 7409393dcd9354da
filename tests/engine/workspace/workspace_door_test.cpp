// The workspace as the one door of every front end: operations on a worker
// thread while another thread plays the window, busy refusal, change
// events, stops that leave the data as they were, and start-up reporting
// each failure once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "acquire/demo_draws.h"
#include "core/error.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/workspace_fixture.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteArchive;
using test::WriteBytes;

// The window's side of the interface: a question from the worker waits for
// the test thread's answer; the stop flag is atomic; progress is counted.
class TThreadUi : public TUserInterface {
 public:
  void Progress(const TProgress&) override { ++Progresses; }
  void ShowMessage(TMessageKind, std::string_view text, std::string_view cause) override {
    std::lock_guard lock(Mutex_);
    Messages.push_back(MessageBoxText(text, cause));
  }
  bool Ask(std::string_view text, std::string_view, bool) override {
    std::unique_lock lock(Mutex_);
    Question = std::string(text);
    AskedFrom = std::this_thread::get_id();
    Changed_.notify_all();
    Changed_.wait(lock, [&] { return Answer.has_value(); });
    const bool a = *Answer;
    Answer.reset();
    return a;
  }
  bool StopRequested() override { return Stop.load(); }
  void Changed(TChanges what) override { All |= what; }

  // Test thread: waits for the worker's question and answers it.
  std::string AnswerNext(bool answer) {
    std::unique_lock lock(Mutex_);
    Changed_.wait(lock, [&] { return !Question.empty(); });
    std::string q = Question;
    Question.clear();
    Answer = answer;
    Changed_.notify_all();
    return q;
  }

  std::atomic<int> Progresses{0};
  std::atomic<bool> Stop{false};
  std::atomic<TChanges> All{0};
  std::vector<std::string> Messages;
  std::thread::id AskedFrom;

 private:
  std::mutex Mutex_;
  std::condition_variable Changed_;
  std::string Question;
  std::optional<bool> Answer;
};

TEST(WorkspaceDoor, AQuestionFromTheWorkerWaitsForTheWindowsAnswer) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(60, 3));
  TThreadUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  TManualStakeInput input;
  input.DrawNumber = 61;
  input.Numbers = "1;2;3;4;5;6";
  input.Comment = "x";
  input.DrawsCount = 3;
  ASSERT_TRUE(ws.StakeAdd(ws.StakePrefill(nullptr), input).Message.empty());
  const int count = ws.Stakes().Count();  // the stakes and their separators
  ASSERT_GE(count, 3);

  bool cleared = false;
  std::thread worker([&] { cleared = ws.StakeClear(); });
  const std::string question = ui.AnswerNext(true);
  EXPECT_NE(question.find(std::to_string(count)), std::string::npos) << question;
  EXPECT_NE(ui.AskedFrom, std::this_thread::get_id()) << "asked on the worker";
  // The rebuild of the ratings asks only when there are ratings; none were checked here.
  worker.join();
  EXPECT_TRUE(cleared);
  EXPECT_EQ(ws.Stakes().Count(), 0);
  EXPECT_NE(ui.All.load() & ChangeStakes, 0u);
}

TEST(WorkspaceDoor, AnOperationOfAnotherThreadIsRefusedWhileOneRunsAndStopEndsIt) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(300, 4));
  TThreadUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ws.ScriptAdd("FULL:0#FIRST|TSD0#NUMS:20#LNO:#ST:1|TSD1#SUMS:50#LNO:#ST:3| | | | | |");

  TScriptRunResult result;
  std::thread worker([&] { result = ws.ScriptTest(250); });
  while (!ws.OperationRunning()) std::this_thread::yield();
  EXPECT_TRUE(ws.IsBusy());
  EXPECT_THROW(ws.CombsGen({GenerateAll, ""}), EBusyError);
  EXPECT_THROW(ws.ScriptAdd("x"), EBusyError);
  EXPECT_THROW(ws.SetDrawsOffset(3), EBusyError);
  ui.Stop = true;
  worker.join();
  EXPECT_TRUE(result.Stopped);
  EXPECT_FALSE(ws.IsBusy());
  EXPECT_FALSE(ws.OperationRunning());
  EXPECT_EQ(ws.ScriptLines().size(), 1u) << "the refused edit did nothing";
  // Idle again: the same operations go through.
  ui.Stop = false;
  EXPECT_NO_THROW(ws.SetDrawsOffset(3));
  EXPECT_EQ(ws.DrawsOffset(), 3);
}

struct TChangeCase {
  const char* Name;
  std::function<void(TWorkspace&)> Run;
  TChanges Expected;
};

TEST(WorkspaceDoor, OperationsAnnounceWhatTheyChanged) {
  const std::vector<TChangeCase> cases = {
      {"DrawsAdd",
       [](TWorkspace& ws) {
         TDraw d = ws.Archive().Draws().back();
         d.Number += 1;
         ws.DrawsAdd(d);
       },
       ChangeArchive},
      {"SetDrawsOffset", [](TWorkspace& ws) { ws.SetDrawsOffset(2); }, ChangeOffset},
      {"DrawsSorted", [](TWorkspace& ws) { ws.DrawsSorted(); }, ChangeOffset | ChangeSettings},
      {"CombsGen", [](TWorkspace& ws) { ws.CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7"}); }, ChangeCombs},
      {"ScriptAdd", [](TWorkspace& ws) { ws.ScriptAdd("FULL:0#NONE|TSD0#NUMS:20#LNO:#ST:1| | | | | | |"); }, ChangeScript},
      {"LogStakes", [](TWorkspace& ws) { ws.LogStakes(); }, ChangeSettings},
      {"RatingsRefresh", [](TWorkspace& ws) { ws.RatingsRefresh(); }, ChangeRatings},
  };
  for (const TChangeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    WriteArchive(dir, GenerateDemoDraws(30, 5));
    TScriptedUi ui;
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
    ui.Changes.clear();
    ui.AllChanges = 0;
    c.Run(ws);
    // One announcement for the operation (and ChangeBusy around it).
    TChanges data = 0;
    int announcements = 0;
    for (TChanges ch : ui.Changes) {
      if (ch == ChangeBusy) continue;
      data |= ch;
      ++announcements;
    }
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(data & c.Expected, c.Expected);
    EXPECT_NE(ui.AllChanges & ChangeBusy, 0u) << "busy up and down";
  }
}

TEST(WorkspaceDoor, AStoppedFilterLeavesTheListAsItWas) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(50, 6));
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ws.CombsInit();
  ASSERT_EQ(ws.Combs().Count(), AllCombsCount);
  const int nums = ws.StatMethodIndex("NUMS");
  const TStatRows rows = ws.StatRecalculate(nums, 20, false);
  const TStatDrawArray values = ws.StatSelectValues(nums, rows, {"7"});
  ui.StopAfter = 3;  // the walk asks after every block
  EXPECT_THROW(ws.StatFilter_Include(nums, values), EStopped);
  EXPECT_EQ(ws.Combs().Count(), AllCombsCount);
  EXPECT_TRUE(ws.Combs().Log().empty());
  EXPECT_FALSE(ws.IsBusy());
  ui.StopAfter = -1;
  ws.StatFilter_Include(nums, values);
  EXPECT_EQ(ws.Combs().Count(), Binomial(44, 5));
}

TEST(WorkspaceDoor, AStoppedImportAddsNothing) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(10, 6));
  std::string csv;
  for (int i = 0; i < 10000; ++i) csv += std::to_string(100 + i) + ";\"5 Mar 2025\";1;2;3;4;5;6;7;8\r\n";
  WriteBytes(dir / "in.csv", csv);
  const std::string before = ReadBytes(dir / "Korvane_6x45.ldr");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ui.StopAfter = 1;
  EXPECT_THROW(ws.DrawsImport(dir / "in.csv"), EStopped);
  EXPECT_EQ(ws.Archive().Count(), 10);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr"), before);
  ASSERT_FALSE(ui.Counted.empty()) << "progress with done and total";
  EXPECT_EQ(ui.Counted.back().Total, 10000);
}

TEST(WorkspaceDoor, AnUnreadableSettingsFileIsReportedOnce) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "Korvane_6x45.ini");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  EXPECT_EQ(ws.Open(), 1);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
}

TEST(WorkspaceDoor, RunOverridesAreNeverStored) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(30, 5));
  TScriptedUi ui;
  {
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
    EXPECT_FALSE(ws.SortedDraws());
    ws.SetRunOverrides(TRunOverrides::SortedOnly());
    EXPECT_TRUE(ws.SortedDraws());
    EXPECT_FALSE(ws.Window().SortedDraws);
  }
  TWorkspace again(dir.Path(), ui);
  ASSERT_EQ(again.Open(), 0);
  EXPECT_FALSE(again.SortedDraws());
}

TEST(WorkspaceDoor, AnOffsetOutsideTheArchiveIsRefused) {
  TTempDir dir;
  WriteArchive(dir, GenerateDemoDraws(5, 5));
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  for (int bad : {-1, 5, 100}) EXPECT_THROW(ws.SetDrawsOffset(bad), EVexaError) << bad;
  ws.SetDrawsOffset(4);
  EXPECT_EQ(ws.DrawsOffset(), 4);
}

TEST(WorkspaceDoor, ErrorsCarryTheMessageAndTheCauseApart) {
  const EVexaError e("Ошибка чтения файла тиражей!", "No such file or directory");
  EXPECT_EQ(e.Message(), "Ошибка чтения файла тиражей!");
  EXPECT_EQ(e.Cause(), "No such file or directory");
  EXPECT_STREQ(e.what(), "Ошибка чтения файла тиражей!\r\rNo such file or directory");
  EXPECT_EQ(MessageLine(e.Message(), e.Cause()), "Ошибка чтения файла тиражей! No such file or directory");
  EXPECT_EQ(MessageLine("Вопрос?\r\rДа", ""), "Вопрос?\n\nДа");
}

}  // namespace
}  // namespace vexa
