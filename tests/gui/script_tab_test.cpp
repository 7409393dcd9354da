// The script tab: the line and filter dialogs, the editing commands, and
// forecast and test runs on the worker (same results as the engine, Stop,
// closing during a run).
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include <filesystem>

#include "core/codec.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/script_line_dialog.h"
#include "dialogs/test_count_dialog.h"
#include "gui_fixture.h"
#include "models/script_model.h"
#include "scripts/script_dialogs.h"
#include "shell/worker.h"
#include "stakes/ratings.h"
#include "support/temp_dir.h"
#include "tabs/script_tab.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

constexpr const char* TestLine = "FULL:0#RAND|TSD0#NUMS:20#LNO:#ST:1| | | | | | |a";

TScriptTab* ScriptTab(TGuiFixture& f) { return f.Window->findChild<TScriptTab*>(); }

// The log entries of the folder's execution logs without their time stamps.
std::vector<std::string> LogEntries(const std::filesystem::path& dir) {
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    if (e.path().filename().string().rfind("ScriptLog_", 0) != 0) continue;
    const std::string text = Cp1251ToUtf8(vexa::test::ReadBytes(e.path()));
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      entries.push_back(text.substr(start + 23, end - start - 23));
  }
  return entries;
}

void Overrides(TWorkspace& ws) {
  TRunOverrides o;
  o.ScriptSeed = 1;
  o.ScriptLogEnabled = true;
  ws.SetRunOverrides(o);
}

// Starts ScriptTest from the window with `passes` in the count dialog; does not wait.
void StartTest(TGuiFixture& f, int passes) {
  f.OnDialog<TTestCountDialog>([passes](TTestCountDialog* d) {
    d->CountSpin()->setValue(passes);
    d->accept();
  });
  f.Window->UpdateActions();
  QVERIFY(f.Window->Commands().Trigger(QStringLiteral("ScriptTest")));
}

}  // namespace

class TScriptTabTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { TScriptTab::SetLogOpener([this](const QString& file) { Opened << file; }); }

  void FilterDialogRoundTripsEveryKeyword() {
    TGuiFixture f(30);
    f.Open(false);
    TWorkspace& ws = *f.Ws;
    // The methods the dialog lists (the favourites).
    TFilterDialog probe(TFilterItem{}, ws.Stats(), nullptr, 20);
    QVERIFY(probe.StatBox()->count() >= 2);
    int cases = 0;
    for (int level = 0; level < static_cast<int>(LevelModeCount); ++level)
      for (int stop = 0; stop < static_cast<int>(StopModeCount); ++stop) {
        TFilterItem item;
        item.Used = true;
        item.Stat = &ws.Stats().Items(probe.StatBox()->itemData((level + stop) % 2).toInt());
        item.DrawsLen = level % 2 == 0 ? "10,20" : "5-15;5";
        item.SortOrder = (level + stop) % 20;
        item.BottomUp = level % 2 == 1;
        item.MultiSelect = stop % 2 == 1;
        item.KeepSelected = level % 3 == 0;
        item.LevelMode = static_cast<uint8_t>(level);
        item.LevelValue = level == 0 ? "" : "1,2";
        item.StopMode = static_cast<uint8_t>(stop);
        item.StopValue = stop + 1;
        // The own weights only where the dialog offers them.
        if (FilterDialogEnabling(item.LevelMode, true).CDLOverride) {
          item.CDLOverride = true;
          item.CoefCount = 0.25L;
          item.CoefDeviation = -1;
          item.CoefLevel = 1.5L;
          item.CoefPercents = stop % 2 == 0;
          item.CoefAbs = true;
        }
        const std::string text = FormatFilterItem(item);
        TFilterDialog dialog(ws.ScriptParseFilter(text), ws.Stats(), nullptr, 20);
        QCOMPARE(QString::fromStdString(FormatFilterItem(dialog.Read())), QString::fromStdString(text));
        ++cases;
      }
    QCOMPARE(cases, 32 * 6);
  }

  void FilterDialogEnablingFollowsTheLevelMode() {
    TGuiFixture f(30);
    f.Open(false);
    TFilterDialog d(TFilterItem{}, f.Ws->Stats(), nullptr, 20);
    d.LevelModeBox()->setCurrentIndex(lmLNO);
    QVERIFY(!d.CdlOverrideBox()->isEnabled());
    d.LevelModeBox()->setCurrentIndex(lmWLV);
    QVERIFY(d.CdlOverrideBox()->isEnabled());
    QVERIFY(!d.CoefCountEdit()->isEnabled());
    d.CdlOverrideBox()->click();
    QVERIFY(d.CoefCountEdit()->isEnabled());
    // Only digits, ",", "-" and ";" reach the value boxes.
    d.show();
    d.DrawsLenEdit()->clear();
    QTest::keyClicks(d.DrawsLenEdit(), QStringLiteral("1a0, 2x-5;"));
    QCOMPARE(d.DrawsLenEdit()->text(), QStringLiteral("10,2-5;"));
  }

  void FilterDialogOkChecks_data() {
    QTest::addColumn<QString>("drawsLen");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("zero and five") << "0, 5" << true;
    QTest::newRow("range without step") << "1-10" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("list") << "10,20" << true;
  }

  void FilterDialogOkChecks() {
    QFETCH(QString, drawsLen);
    QFETCH(bool, accepted);
    TGuiFixture f(30);
    f.Open(false);
    TFilterDialog d(TFilterItem{}, f.Ws->Stats(), nullptr, 20);
    d.show();
    d.DrawsLenEdit()->setText(drawsLen);
    d.StopModeBox()->setFocus();
    d.accept();
    QCOMPARE(d.result() == QDialog::Accepted, accepted);
    if (!accepted) {
      QVERIFY(d.isVisible());
      QCOMPARE(f.Boxes.back().Text, QString::fromUtf8(BadValueRangeMessage));
      QCOMPARE(d.focusWidget(), d.DrawsLenEdit());
    }
  }

  void FilterDialogRefusesCountStopWithMultiSelect() {
    TGuiFixture f(30);
    f.Open(false);
    TFilterDialog d(TFilterItem{}, f.Ws->Stats(), nullptr, 20);
    d.show();
    d.MultiSelectBox()->setChecked(true);
    d.StopModeBox()->setCurrentIndex(smSC);
    d.accept();
    QVERIFY(d.result() != QDialog::Accepted);
    QCOMPARE(f.Boxes.back().Text, QString::fromUtf8(MultiSelectCountStopMessage).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QCOMPARE(d.focusWidget(), d.StopModeBox());
  }

  void LineDialogRoundTripsEveryOption() {
    int cases = 0;
    for (int start = 0; start < static_cast<int>(StartCombsTypeCount); ++start)
      for (int result = 0; result < static_cast<int>(ResultCombsModeCount); ++result)
        for (int flags = 0; flags < 4; ++flags) {
          TScriptLineInput in;
          in.Comment = "строка " + std::to_string(cases);
          in.Options.StartCombsType = static_cast<uint8_t>(start);
          in.Options.DrawsExclude = start * 3;
          in.Options.ResultCombsMode = static_cast<uint8_t>(result);
          in.Options.ClearStakes = (flags & 1) != 0;
          in.Options.NewOnly = (flags & 2) != 0;
          in.Filters[static_cast<size_t>(result % ScriptFilterCount)] = "TSD1#NUMS:20#LNO:#SF:1";
          const std::string line = ComposeScriptLine(in);
          TScriptLineDialog dialog(ScriptLineInputOf(line), {});
          QCOMPARE(QString::fromStdString(ComposeScriptLine(dialog.Read())), QString::fromStdString(line));
          ++cases;
        }
    QCOMPARE(cases, 3 * 9 * 4);
  }

  void EditingCommandsThroughTheDialogs() {
    TGuiFixture f(30);
    f.Open();
    TScriptTab* tab = ScriptTab(f);
    QVERIFY(tab != nullptr);
    // "Добавить фильтры": the filter box's "..." opens the filter dialog.
    f.OnDialog<TScriptLineDialog>([&f](TScriptLineDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Создание новой строки"));
      d->CommentEdit()->setText(QStringLiteral("первая"));
      f.OnDialog<TFilterDialog>([](TFilterDialog* fd) {
        fd->DrawsLenEdit()->setText(QStringLiteral("20"));
        fd->accept();
      });
      d->FilterButton(0)->click();
      d->accept();
    });
    QVERIFY(f.Trigger("ScriptAdd"));
    QCOMPARE(f.Ws->ScriptLines().size(), 1u);
    const std::string first = f.Ws->ScriptLines()[0];
    QVERIFY2(ScriptLineFilter(first, 1).find(":20#") != std::string::npos, first.c_str());
    QCOMPARE(tab->LinesPanel()->text(), QStringLiteral("Строк: 1"));
    QCOMPARE(FocusedRowOf(tab), 0);
    QVERIFY(f.Trigger("ScriptEmpty"));
    QCOMPARE(FocusedRowOf(tab), 1);
    QVERIFY2(!f.Window->Commands().IsEnabled(QStringLiteral("ScriptEdit")), "a separator is not edited");
    // Clone the first line with another comment, then move it up.
    SelectRow(tab, 0);
    f.OnDialog<TScriptLineDialog>([](TScriptLineDialog* d) {
      d->CommentEdit()->setText(QStringLiteral("вторая"));
      d->accept();
    });
    QVERIFY(f.Trigger("ScriptClone"));
    QCOMPARE(f.Ws->ScriptLines().size(), 3u);
    QCOMPARE(FocusedRowOf(tab), 2);
    QVERIFY(f.Trigger("ScriptUp"));
    QCOMPARE(FocusedRowOf(tab), 1);
    QCOMPARE(QString::fromStdString(ScriptLineComment(f.Ws->ScriptLines()[1])), QStringLiteral("вторая"));
    // Edit in place keeps the count.
    f.OnDialog<TScriptLineDialog>([](TScriptLineDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Редактирование строки"));
      d->ResultBox()->setCurrentIndex(rcmAll);
      d->accept();
    });
    QVERIFY(f.Trigger("ScriptEdit"));
    QCOMPARE(f.Ws->ScriptLines().size(), 3u);
    QCOMPARE(static_cast<int>(ParseScriptOptions(ScriptLineOptions(f.Ws->ScriptLines()[1])).ResultCombsMode),
             static_cast<int>(rcmAll));
    // Delete asks; No keeps the line.
    f.Answers = {false};
    QVERIFY(f.Trigger("ScriptDel"));
    QCOMPARE(f.Ws->ScriptLines().size(), 3u);
    f.Answers = {true};
    QVERIFY(f.Trigger("ScriptDel"));
    QCOMPARE(f.Ws->ScriptLines().size(), 2u);
    QCOMPARE(tab->Model()->rowCount(), 2);
  }

  void ThreePassTestGivesTheEngineResults() {
    // The engine alone on a copy of the folder.
    vexa::test::TTempDir engineDir;
    {
      TGuiFixture seed(60);
      std::filesystem::copy_file(seed.Dir / "Korvane_6x45.ldr", engineDir / "Korvane_6x45.ldr");
    }
    TSilentUserInterface silent;
    {
      TWorkspace ws(engineDir.Path(), silent);
      ws.Open();
      Overrides(ws);
      ws.ScriptAdd(TestLine);
      const TScriptRunResult r = ws.ScriptTest(3);
      QCOMPARE(r.Passes, 3);
    }
    TGuiFixture f(60);
    f.Open();
    Overrides(*f.Ws);
    f.Ws->ScriptAdd(TestLine);
    ScriptTab(f)->Refresh();
    QStringList panels;
    QObject::connect(f.Ui.get(), &TQtUserInterface::ProgressChanged, f.Window.get(),
                     [&] { panels << ScriptTab(f)->RunPanel()->text(); });
    StartTest(f, 3);
    QVERIFY(ScriptTab(f)->Running());
    QVERIFY2(!ScriptTab(f)->View()->isEnabled(), "the list is locked during a run");
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("ScriptStop")));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("ScriptRun")));
    f.WaitIdle();
    QVERIFY(!ScriptTab(f)->Running());
    QVERIFY(ScriptTab(f)->View()->isEnabled());
    QCOMPARE(vexa::test::ReadBytes(f.Dir / "Korvane_6x45.lsk"), vexa::test::ReadBytes(engineDir / "Korvane_6x45.lsk"));
    QCOMPARE(vexa::test::ReadBytes(f.Dir / "Korvane_6x45.lrt"), vexa::test::ReadBytes(engineDir / "Korvane_6x45.lrt"));
    const auto windowLog = LogEntries(f.Dir.Path());
    QVERIFY(!windowLog.empty());
    QVERIFY(windowLog == LogEntries(engineDir.Path()));
    QCOMPARE(Opened.size(), 1);  // the log is opened for viewing
    // The script bar showed the pass counter and the line, and the end.
    QVERIFY(std::any_of(panels.begin(), panels.end(),
                        [](const QString& p) { return p.startsWith(QStringLiteral("Цикл: 3 | Строка: 1 | ")); }));
    QCOMPARE(ScriptTab(f)->RunPanel()->text(), QStringLiteral("Сценарий завершен!"));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("ScriptStop")));
    // The pass counter went through the run's status text.
    QVERIFY(!f.BoxesOf(TBoxKind::Error).size());
  }

  void KeysOpenTheRuns() {
    TGuiFixture f(60);
    f.Open();
    f.Ws->ScriptAdd(TestLine);
    ScriptTab(f)->Refresh();
    f.Window->UpdateActions();
    QApplication::setActiveWindow(f.Window.get());
    bool asked = false;
    f.OnDialog<TTestCountDialog>([&asked](TTestCountDialog* d) {
      asked = d->CountSpin()->value() == TestCountDefault && d->CountSpin()->maximum() == 59;
      d->reject();
    });
    QTest::keyClick(f.Window.get(), Qt::Key_F10, Qt::ControlModifier);
    QTRY_VERIFY(asked);
    QVERIFY2(!ScriptTab(f)->Running(), "Cancel runs nothing");
  }

  void StopDuringATestKeepsWhatWasWritten() {
    TGuiFixture f(60);
    f.Open();
    Overrides(*f.Ws);
    f.Ws->ScriptAdd(TestLine);
    ScriptTab(f)->Refresh();
    bool asked = false;
    QObject::connect(f.Ui.get(), &TQtUserInterface::ProgressChanged, f.Window.get(), [&](const QString& text) {
      if (asked || !text.startsWith(QStringLiteral("Цикл: 2"))) return;
      asked = true;
      f.Answers = {true};
      f.Window->Commands().Trigger(QStringLiteral("ScriptStop"));
    });
    StartTest(f, 20);
    f.WaitIdle();
    QVERIFY(asked);
    QCOMPARE(f.BoxesOf(TBoxKind::Question).back().Text, QStringLiteral("Остановить выполнение сценария?"));
    int stakes = 0;
    for (const TStakeRec& s : f.Ws->Stakes().ReadStakes(0, f.Ws->Stakes().Count())) stakes += s.Kind == StakeScript;
    QVERIFY2(stakes >= 1 && stakes < 20, "the first pass's stake stays, the run ended early");
    const auto log = LogEntries(f.Dir.Path());
    QVERIFY(std::any_of(log.begin(), log.end(),
                        [](const std::string& e) { return e.rfind("### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО ", 0) == 0; }));
    QVERIFY(!f.Ws->ScriptRunning());
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("ScriptTest")));
  }

  void ClosingDuringARunAsksAndStaysOpenOnNo() {
    TGuiFixture f(60);
    f.Open();
    Overrides(*f.Ws);
    f.Ws->ScriptAdd(TestLine);
    ScriptTab(f)->Refresh();
    StartTest(f, 3);
    f.Answers = {false};
    f.Window->close();
    QVERIFY(f.Window->isVisible());
    QCOMPARE(f.BoxesOf(TBoxKind::Question).back().Text, QStringLiteral("Остановить выполнение сценария?"));
    f.WaitIdle();
    QVERIFY(f.Window->isVisible());
    QVERIFY(!f.Ui->StopRequested() || !ScriptTab(f)->Running());
    // Yes stops the run and the window closes when it has ended.
    StartTest(f, 20);
    f.Answers = {true};
    f.Window->close();
    QVERIFY(f.Window->isVisible());
    f.WaitIdle();
    QCoreApplication::processEvents();
    QVERIFY(!f.Window->isVisible());
  }

 private:
  static int FocusedRowOf(TScriptTab* tab) {
    const QModelIndex i = tab->View()->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
  }
  static void SelectRow(TScriptTab* tab, int row) {
    tab->View()->selectionModel()->setCurrentIndex(tab->Model()->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  QStringList Opened;
};

QTEST_MAIN(TScriptTabTest)
#include "script_tab_test.moc"
