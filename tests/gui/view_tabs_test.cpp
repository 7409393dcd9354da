// The analysis tabs "Графики", "Карта", "Схема" and the repeats and sums
// dialogs in the real window: the card and layout selections as filters,
// the lazy rebuilds and the tab switches, the view switches.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineSeries>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "dialogs/repeats_dialog.h"
#include "dialogs/sums_dialog.h"
#include "gui_fixture.h"
#include "models/repeats_model.h"
#include "models/view_grid_models.h"
#include "tabs/card_tab.h"
#include "tabs/graphs_tab.h"
#include "tabs/layout_tab.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

template <typename T>
T& TabOf(TGuiFixture& f) {
  T* tab = f.Window->findChild<T*>();
  Q_ASSERT(tab != nullptr);
  return *tab;
}

// Opens the window without the full list and gives it every combination
// of 1..12 (924), so that filters stay quick.
void OpenSmall(TGuiFixture& f) {
  f.Open(false);
  QVERIFY(f.Ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7;8;9;10;11;12"}));
  f.Window->RefreshAll();
  QCOMPARE(f.Ws->Combs().Count(), 924);
}

// Selects grid cells (left, top) .. (right, bottom), grid indexes.
void SelectGrid(QTableView* view, const TGridRect& r) {
  view->clearSelection();
  const QModelIndex from = view->model()->index(r.Top - 1, r.Left - 1);
  const QModelIndex to = view->model()->index(r.Bottom - 1, r.Right - 1);
  view->selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
}

bool Stored(TGuiFixture& f, bool TMainWindowSettings::*field) {
  return ReadMainWindowSettings(f.Ws->DataFile(WindowSettingsFileExt)).*field;
}

// Counts the paints of a widget.
class TPaints : public QObject {
 public:
  explicit TPaints(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Count;
    return false;
  }
  int Count = 0;
};

}  // namespace

class TViewTabsTest : public QObject {
  Q_OBJECT

 private slots:
  void TabsFollowTheStatisticsTabInOrder() {
    TGuiFixture f(20);
    f.Open(false);
    QTabWidget* pages = f.Window->RightPages();
    QCOMPARE(pages->tabText(1), QStringLiteral("Графики"));
    QCOMPARE(pages->tabText(2), QStringLiteral("Карта"));
    QCOMPARE(pages->tabText(3), QStringLiteral("Схема"));
    // The card over the whole archive, newest first, whatever the offset.
    f.Window->OffsetSpin()->setValue(5);
    QCoreApplication::processEvents();
    const TCardModel* card = TabOf<TCardTab>(f).Model();
    QCOMPARE(card->rowCount(), 20);
    QCOMPARE(card->columnCount(), 47);
    QCOMPARE(card->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(),
             QString::number(f.Ws->Archive().Draws().back().Number));
    QCOMPARE(card->headerData(45, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("E1"));
  }

  void EmptyArchiveShowsHeadersOnly() {
    TGuiFixture f(0);
    f.Open(false);
    const TCardModel* card = TabOf<TCardTab>(f).Model();
    QCOMPARE(card->rowCount(), 1);  // the header and one empty row
    for (int c = 0; c < card->columnCount(); ++c) QVERIFY(card->index(0, c).data().toString().isEmpty());
    TLayoutTab& layout = TabOf<TLayoutTab>(f);
    QCOMPARE(layout.Model()->rowCount(), 0);
    QCOMPARE(layout.Model()->columnCount(), 0);
    for (int k = 0; k < CompareListCount; ++k) QCOMPARE(layout.CompareModel(k)->rowCount(), 0);
    TGraphsTab& graphs = TabOf<TGraphsTab>(f);
    QVERIFY(graphs.Chart()->chart()->series().isEmpty());
    struct TCase {
      const char* Id;
      bool Enabled;
    };
    const TCase cases[] = {{"LayoutCalc", false},    {"LayoutCmpCalc", false}, {"DrawsGraphDraw", false},
                           {"AnalyzeRepeats", false}, {"TotalSumCombs", true},  {"TabCard", true},
                           {"ViewColorCard", true},   {"ViewShemaGradient", true}};
    f.Window->UpdateActions();
    for (const TCase& c : cases)
      QVERIFY2(f.Window->Commands().IsEnabled(QString::fromLatin1(c.Id)) == c.Enabled, c.Id);
  }

  void CardSelectionKeptAsFilterCountsAsTheEngineSays() {
    TGuiFixture f(30);
    OpenSmall(f);
    TCardTab& tab = TabOf<TCardTab>(f);
    f.Window->RightPages()->setCurrentWidget(&tab);
    const TGridRect rect{3, 1, 9, 6};
    SelectGrid(tab.View(), rect);
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("CardFilter_Include")));
    QVERIFY(f.Trigger("CardFilter_Include"));
    const int byWindow = f.Ws->Combs().Count();
    QCOMPARE(QString::fromStdString(f.Ws->Combs().Log().back().Name), QStringLiteral("Карта"));
    f.Ws->CombsUndo();
    f.Ws->CardFilter_Include(f.Ws->BuildCard(), rect);
    QCOMPARE(byWindow, f.Ws->Combs().Count());
    QVERIFY(byWindow < 924);
    f.Ws->CombsUndo();
    f.Window->RefreshAll();

    // Exclude: what the engine drops from the same list.
    QVERIFY(f.Trigger("CardFilter_Exclude"));
    const int excluded = f.Ws->Combs().Count();
    f.Ws->CombsUndo();
    f.Ws->CardFilter_Exclude(f.Ws->BuildCard(), rect);
    QCOMPARE(excluded, f.Ws->Combs().Count());
    f.Ws->CombsUndo();
    f.Window->RefreshAll();

    // A selection that reaches E1 disables both.
    SelectGrid(tab.View(), {40, 1, 46, 2});
    f.Window->UpdateActions();
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CardFilter_Include")));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CardFilter_Exclude")));
  }

  void CardSelectionOfEmptyCellsChangesNothing() {
    TGuiFixture f(30);
    OpenSmall(f);
    TCardTab& tab = TabOf<TCardTab>(f);
    const TDrawsCard& card = tab.Model()->Card();
    int column = 1;
    while (card.HasNumber(1, column)) ++column;
    SelectGrid(tab.View(), {column, 1, column, 1});
    const size_t logRows = f.Ws->Combs().Log().size();
    QVERIFY(f.Trigger("CardFilter_Include"));
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(errors[0].Text.contains(QStringLiteral("В выделенном диапазоне нет значений для фильтра!")));
    QCOMPARE(f.Ws->Combs().Count(), 924);
    QCOMPARE(f.Ws->Combs().Log().size(), logRows);
  }

  void LayoutSelectionKeptAsFilterCountsAsTheEngineSays() {
    TGuiFixture f(30);
    OpenSmall(f);
    TLayoutTab& tab = TabOf<TLayoutTab>(f);
    const TLayoutGrid& grid = tab.Model()->Grid();
    QVERIFY(grid.RowCount() > 2 && grid.ColumnCount() > 2);
    const TGridRect rect{1, 1, 2, grid.RowCount() - 1};
    SelectGrid(tab.View(), rect);
    QVERIFY(f.Trigger("LayoutFilter_Exclude"));
    const int byWindow = f.Ws->Combs().Count();
    QCOMPARE(QString::fromStdString(f.Ws->Combs().Log().back().Name), QStringLiteral("Схема"));
    f.Ws->CombsUndo();
    f.Ws->LayoutFilter_Exclude(f.Ws->BuildLayout(tab.LengthSpin()->value()), rect);
    QCOMPARE(byWindow, f.Ws->Combs().Count());
    QVERIFY(byWindow < 924);
  }

  void LayoutRebuildsByItsKeysAndListsFollowTheirEdits() {
    TGuiFixture f(40);
    f.Open(false);
    TLayoutTab& tab = TabOf<TLayoutTab>(f);
    const TLayoutGrid before = tab.Model()->Grid();
    // A new window length rebuilds on Enter, lazily.
    tab.LengthSpin()->setValue(10);
    QTest::keyClick(tab.LengthSpin(), Qt::Key_Return);
    int total = 0;
    for (int32_t c : tab.Model()->Grid().Counts()) total += c;
    QVERIFY(total > 0);
    QCOMPARE(tab.Model()->Grid().CellText(1, 1), f.Ws->BuildLayout(10).CellText(1, 1));
    QVERIFY(tab.Model()->Grid().RowCount() <= before.RowCount());
    // Enter in a list's edit rebuilds the lists forcibly.
    tab.CompareSpin(0)->setValue(5);
    QTest::keyClick(tab.CompareSpin(0), Qt::Key_Return);
    const TCompareList expected = BuildCompareList(f.Ws->Archive(), 5);
    QCOMPARE(tab.CompareModel(0)->List().Rows, expected.Rows);
    QCOMPARE(tab.CompareModel(0)->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString::fromStdString(expected.Caption));
    QCOMPARE(tab.CompareModel(0)->Text(0, 0), QString::number(expected.Rows.front().Count));
    // Sorted by the count, ascending on request.
    tab.CompareView(0)->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(tab.CompareModel(0)->Text(0, 0), QString::number(expected.Rows.back().Count));
    // The lengths go to the file at exit, the lists' columns and sort too.
    tab.CompareView(2)->setColumnWidth(0, 77);
    f.Close();
    const TMainWindowSettings s = ReadMainWindowSettings(f.Dir / "Korvane_6x45.frm");
    QCOMPARE(s.LayoutLen, 10);
    QCOMPARE(s.LayoutCompareLen1, 5);
    f.Open(false);
    TLayoutTab& again = TabOf<TLayoutTab>(f);
    QCOMPARE(again.LengthSpin()->value(), 10);
    QCOMPARE(again.CompareSpin(0)->value(), 5);
    QCOMPARE(again.CompareView(2)->columnWidth(0), 77);
    QCOMPARE(again.CompareView(0)->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(again.CompareView(1)->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(again.CompareModel(0)->Text(0, 0), QString::number(expected.Rows.back().Count));
  }

  void HidingAndShowingGraphsRebuildsIt() {
    TGuiFixture f(60);
    f.Open(false);
    TGraphsTab& tab = TabOf<TGraphsTab>(f);
    QTabWidget* pages = f.Window->RightPages();
    QVERIFY(tab.MethodIndex() >= 0);
    QVERIFY(!tab.Graph().Series.empty());
    QCOMPARE(tab.Chart()->chart()->series().size(), qsizetype(3));
    const int builds = tab.Builds();
    // Lazy: nothing changed, nothing built.
    f.Window->RefreshAll();
    pages->setCurrentWidget(&tab);
    QCOMPARE(tab.Builds(), builds);

    QVERIFY(f.Trigger("TabGraps"));
    QVERIFY(!pages->isTabVisible(pages->indexOf(&tab)));
    QVERIFY(!f.Window->Commands().IsChecked(QStringLiteral("TabGraps")));
    QVERIFY(!Stored(f, &TMainWindowSettings::TabGraphs));
    // Hidden: a new offset does not rebuild it.
    f.Window->OffsetSpin()->setValue(3);
    QCoreApplication::processEvents();
    f.Window->RefreshAll();
    QCOMPARE(tab.Builds(), builds);

    QVERIFY(f.Trigger("TabGraps"));
    QVERIFY(pages->isTabVisible(pages->indexOf(&tab)));
    QCOMPARE(pages->currentWidget(), &tab);
    QVERIFY(Stored(f, &TMainWindowSettings::TabGraphs));
    QCOMPARE(tab.Builds(), builds + 1);
    const TDrawsGraph expected = f.Ws->DrawsGraph(tab.MethodIndex(), tab.LengthSpin()->value(), false);
    QCOMPARE(tab.Graph().Last, expected.Last);
    QCOMPARE(tab.Graph().Series[0].Points, expected.Series[0].Points);
    // The offset moved the window's end.
    QCOMPARE(tab.Graph().Last, f.Ws->Archive().Count() - 1 - 3);
    // DrawsGraphDraw forces.
    QVERIFY(f.Trigger("DrawsGraphDraw"));
    QCOMPARE(tab.Builds(), builds + 2);
  }

  void CardAndLayoutTabSwitchesAreStoredAndRebuildOnShowing() {
    TGuiFixture f(20);
    f.Open(false);
    QTabWidget* pages = f.Window->RightPages();
    TCardTab& card = TabOf<TCardTab>(f);
    TLayoutTab& layout = TabOf<TLayoutTab>(f);
    QVERIFY(f.Trigger("TabCard"));
    QVERIFY(f.Trigger("TabLayout"));
    QVERIFY(!pages->isTabVisible(pages->indexOf(&card)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(&layout)));
    QVERIFY(!Stored(f, &TMainWindowSettings::TabCard));
    QVERIFY(!Stored(f, &TMainWindowSettings::TabLayout));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("LayoutCalc")));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("ViewColorCard")));
    // A new draw while hidden: the card stays as it was until shown.
    QCOMPARE(f.Ws->Archive().Count(), 20);
    f.Ws->DrawsDemo(25, 3, true);
    f.Window->RefreshAll();
    QCOMPARE(card.Model()->rowCount(), 20);
    QVERIFY(f.Trigger("TabCard"));
    QCOMPARE(card.Model()->rowCount(), 25);
    QCOMPARE(pages->currentWidget(), &card);
    QVERIFY(f.Trigger("TabLayout"));
    QCOMPARE(pages->currentWidget(), &layout);
    QCOMPARE(layout.Model()->Grid().CellText(1, 1), f.Ws->BuildLayout(layout.LengthSpin()->value()).CellText(1, 1));
    // Read back at the next start.
    f.Close();
    f.Open(false);
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("TabCard")));
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("TabLayout")));
  }

  void ViewSwitchesRepaintAndAreStored() {
    TGuiFixture f(40);
    f.Open(false);
    TCardTab& card = TabOf<TCardTab>(f);
    TLayoutTab& layout = TabOf<TLayoutTab>(f);
    QTabWidget* pages = f.Window->RightPages();
    pages->setCurrentWidget(&card);
    QVERIFY(QTest::qWaitForWindowExposed(f.Window.get()));
    // A cell with a number in the row below: lime or yellow while sequences are on.
    const TDrawsCard& data = card.Model()->Card();
    int row = -1, column = -1;
    for (int r = 1; r + 1 < data.RowCount() && row < 0; ++r)
      for (int c = 1; c <= 45 && row < 0; ++c)
        if (data.HasNumber(r, c) && data.HasNumber(r + 1, c)) row = r, column = c;
    QVERIFY(row > 0);
    const QColor on = card.Model()->CellFill(row - 1, column - 1);
    QVERIFY(on == QColor(0, 255, 0) || on == QColor(255, 255, 0));
    struct TCase {
      const char* Id;
      bool TMainWindowSettings::*Field;
      QWidget* Viewport;
    };
    const TCase cases[] = {{"ViewColorCardSequences", &TMainWindowSettings::ColorCardSequences, card.View()->viewport()},
                           {"ViewColorCard", &TMainWindowSettings::ColorCard, card.View()->viewport()},
                           {"ViewShemaGradient", &TMainWindowSettings::LayoutGradient, layout.View()->viewport()}};
    for (const TCase& c : cases) {
      if (c.Viewport == layout.View()->viewport()) {
        pages->setCurrentWidget(&layout);
        QCoreApplication::processEvents();
      }
      TPaints paints(c.Viewport);
      QVERIFY(f.Window->Commands().IsChecked(QString::fromLatin1(c.Id)));
      QVERIFY(f.Trigger(c.Id));
      QVERIFY(!f.Window->Commands().IsChecked(QString::fromLatin1(c.Id)));
      QVERIFY(!Stored(f, c.Field));
      QTRY_VERIFY(paints.Count > 0);
    }
    // Sequences and channels off: the default background.
    QVERIFY(!card.Model()->CellFill(row - 1, column - 1).isValid());
    // The checkerboard: (1, 1) has both indexes low, so light green.
    QCOMPARE(layout.Model()->CellFill(0, 0), QColor(234, 255, 234));
    QVERIFY(f.Trigger("ViewColorCardSequences"));
    QCOMPARE(card.Model()->CellFill(row - 1, column - 1), on);
    f.Close();
    f.Open(false);
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("ViewColorCardSequences")));
    QVERIFY(!f.Window->Commands().IsChecked(QStringLiteral("ViewColorCard")));
    QVERIFY(!f.Window->Commands().IsChecked(QStringLiteral("ViewShemaGradient")));
  }

  void RepeatsDialogShowsTheEngineAnalysisAndKeepsItsLengths() {
    TGuiFixture f(50);
    f.Open(false);
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("AnalyzeRepeats")));
    bool checked = false;
    f.OnDialog<TRepeatsDialog>([&](TRepeatsDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Количество повторов в зависимости от тиража"));
      QTRY_VERIFY(!d->Running() && !d->Analysis().Rows.empty());
      d->LengthSpin()->setValue(10);
      d->DeepSpin()->setValue(1);
      QTest::keyClick(d->DeepSpin(), Qt::Key_Return);
      QTRY_VERIFY(!d->Running());
      const TRepeatsAnalysis expected = f.Ws->AnalyzeRepeats(10, 1);
      QCOMPARE(d->Model()->Rows(), expected.Rows);
      QCOMPARE(d->Model()->rowCount(), static_cast<int>(expected.Rows.size()));
      QCOMPARE(d->Chart()->chart()->series().size(), static_cast<qsizetype>(expected.MaxMatches));
      if (!expected.Rows.empty())
        QCOMPARE(d->Model()->index(0, 3).data().toString(), QString::fromStdString(expected.Rows[0].Draws));
      checked = true;
      d->reject();
    });
    QVERIFY(f.Trigger("AnalyzeRepeats"));
    QVERIFY(checked);
    const TRepeatsWindowSettings s = f.Ws->RepeatsWindow();
    QCOMPARE(s.DrawsLength, 10);
    QCOMPARE(s.DrawsDeep, 1);
  }

  void SumsDialogShowsTheDistributionWithItsLevels() {
    TGuiFixture f(50);
    f.Open(false);
    bool checked = false;
    f.OnDialog<TSumsDialog>([&](TSumsDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Распределение сумм тиражей и всех возможных комбинаций"));
      const QList<QAbstractSeries*> series = d->Chart()->chart()->series();
      QCOMPARE(series.size(), qsizetype(5));
      QCOMPARE(series[0]->name(), QStringLiteral("Фактическое распределение сумм (по тиражам)"));
      QCOMPARE(series[1]->name(), QStringLiteral("Теоретическое распределение сумм (по комбинациям)"));
      QVERIFY(series[2]->name().startsWith(QStringLiteral("Диапазон 1 (от 1/3 и выше по оси Y) - суммы ")));
      auto* actual = qobject_cast<QLineSeries*>(series[0]);
      QVERIFY(actual->pointLabelsVisible());
      d->MarksBox()->setChecked(false);
      QVERIFY(!actual->pointLabelsVisible());
      QCOMPARE(actual->count(), static_cast<int>(d->Series()[0].Points.size()));
      checked = true;
      d->setGeometry(QRect(50, 60, 700, 500));
      d->accept();
    });
    QVERIFY(f.Trigger("TotalSumCombs"));
    QVERIFY(checked);
    // The next one opens where this one was.
    QRect again;
    f.OnDialog<TSumsDialog>([&](TSumsDialog* d) {
      again = d->geometry();
      d->reject();
    });
    QVERIFY(f.Trigger("TotalSumCombs"));
    QCOMPARE(again, QRect(50, 60, 700, 500));
  }
};

QTEST_MAIN(TViewTabsTest)
#include "view_tabs_test.moc"
