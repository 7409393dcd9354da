// The stakes and ratings tabs: the manual stake dialog's refusal, stakes for
// selected combinations, delete by condition, the grid's cells and colours,
// the ratings list after checks.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include "dialogs/graph_window.h"
#include "dialogs/stake_dialogs.h"
#include "dialogs/table_dialog.h"
#include "gui_fixture.h"
#include "models/combs_model.h"
#include "models/ratings_model.h"
#include "models/stakes_model.h"
#include "stakes/ratings.h"
#include "stakes/stake_graphs.h"

#include <QChart>
#include <QLineSeries>
#include "tabs/ratings_tab.h"
#include "tabs/stakes_tab.h"
#include "tabs/tables_tab.h"

#include <QTabWidget>

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

TStakesTab* StakesTab(TGuiFixture& f) { return f.Window->findChild<TStakesTab*>(); }
TRatingsTab* RatingsTab(TGuiFixture& f) { return f.Window->findChild<TRatingsTab*>(); }

std::vector<TStakeRec> AllStakes(TGuiFixture& f) { return f.Ws->Stakes().ReadStakes(0, f.Ws->Stakes().Count()); }

void SelectCombs(TGuiFixture& f, std::initializer_list<int> rows) {
  QItemSelection sel;
  for (int r : rows) sel.select(f.Window->CombsModel()->index(r, 0), f.Window->CombsModel()->index(r, 0));
  f.Window->CombsView()->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Stakes of the selected rows for draw `draw` through the multi-stake dialog.
void StakeSelected(TGuiFixture& f, std::initializer_list<int> rows, int draw) {
  SelectCombs(f, rows);
  f.OnDialog<TMultiStakeDialog>([draw](TMultiStakeDialog* d) {
    d->DrawNumberEdit()->setValue(draw);
    d->accept();
  });
  QVERIFY(f.Trigger("StakeAddSelected"));
}

}  // namespace

class TStakesTabTest : public QObject {
  Q_OBJECT

 private slots:
  void ManualStakeWithABadNumberStaysOpen() {
    TGuiFixture f(30);
    f.Open();
    bool stayed = false, focused = false, closedAfterFix = false;
    f.OnDialog<TStakeDialog>([&](TStakeDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Добавление ставки"));
      d->NumbersEdit()->setText(QStringLiteral("1;2;3;4;5;46"));
      QCOMPARE(d->SumEdit()->text(), QStringLiteral("61"));
      d->CommentEdit()->setFocus();
      d->accept();
      stayed = d->isVisible() && d->result() != QDialog::Accepted;
      focused = d->focusWidget() == d->NumbersEdit();
      d->NumbersEdit()->setText(QStringLiteral("7,3;45,1,2,9"));
      d->accept();
      closedAfterFix = d->result() == QDialog::Accepted;
    });
    QVERIFY(f.Trigger("StakeAdd"));
    QVERIFY(stayed);
    QVERIFY(focused);
    QVERIFY(closedAfterFix);
    const auto boxes = f.BoxesOf(TBoxKind::Warning);
    QVERIFY(!boxes.empty());
    QCOMPARE(boxes.front().Text, QString::fromUtf8(BadCombinationMessage));
    const auto stakes = AllStakes(f);
    QCOMPARE(stakes.size(), size_t(1));
    QCOMPARE(QString::fromStdString(NumListToText(stakes[0].Numbers, ";")), QStringLiteral("1;2;3;7;9;45"));
    QCOMPARE(stakes[0].DrawNumber, f.Ws->Archive().NextDrawNumber(f.Ws->DrawsOffset()));
    // The grid shows it with the manual stake's colour.
    TStakesModel* m = StakesTab(f)->Model();
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("1;2;3;7;9;45"));
    QCOMPARE(m->index(0, 8).data().toString(), QString::fromUtf8(ManualStakeOrigin));
    QCOMPARE(m->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xEA, 0xFF, 0xEA));
  }

  void ManualStakeNeedsAComment() {
    TGuiFixture f(30);
    f.Open();
    bool focused = false;
    f.OnDialog<TStakeDialog>([&](TStakeDialog* d) {
      d->NumbersEdit()->setText(QStringLiteral("1;2;3;4;5;6"));
      d->CommentEdit()->clear();
      d->accept();
      focused = d->isVisible() && d->focusWidget() == d->CommentEdit();
      d->reject();
    });
    QVERIFY(f.Trigger("StakeAdd"));
    QVERIFY(focused);
    QCOMPARE(f.BoxesOf(TBoxKind::Warning).back().Text, QString::fromUtf8(NoCommentMessage));
    QCOMPARE(f.Ws->Stakes().Count(), 0);
  }

  void StakesForTheSelectedCombinations() {
    TGuiFixture f(30);
    f.Open();
    const int next = f.Ws->Archive().NextDrawNumber(f.Ws->DrawsOffset());
    StakeSelected(f, {0, 5, 9}, next);
    const auto stakes = AllStakes(f);
    QCOMPARE(stakes.size(), size_t(3));
    const int rows[] = {0, 5, 9};
    for (size_t i = 0; i < 3; ++i) {
      QCOMPARE(stakes[i].Kind, uint8_t(StakeManual));
      QCOMPARE(stakes[i].DrawNumber, next);
      QVERIFY(stakes[i].Numbers == CombToNumList((f.Ws->Combs())[rows[i]]));
    }
    QVERIFY(!f.Window->HasSelection(f.Window->CombsView()));
    QCOMPARE(StakesTab(f)->Model()->rowCount(), 3);
  }

  void DeleteByCondition() {
    TGuiFixture f(30);
    f.Open();
    // Stakes for a draw in the archive are checked at once.
    const int draw = f.Ws->Archive().Draws()[5].Number;
    StakeSelected(f, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, draw);
    auto stakes = AllStakes(f);
    QCOMPARE(stakes.size(), size_t(12));
    int zero = 0;
    for (const TStakeRec& s : stakes) {
      QCOMPARE(s.Checked, uint8_t(1));
      zero += Overlap(s) == 0;
    }
    QVERIFY(zero > 0 && zero < 12);
    // "Более [ > ]" 0: every stake with a match goes.
    f.OnDialog<TStakeFilterDialog>([](TStakeFilterDialog* d) {
      QCOMPARE(d->ConditionBox()->currentIndex(), 0);
      QCOMPARE(d->ValueEdit()->value(), 0);
      d->ConditionBox()->setCurrentIndex(1);
      d->accept();
    });
    QVERIFY(f.Trigger("StakeFilter"));
    stakes = AllStakes(f);
    QCOMPARE(static_cast<int>(stakes.size()), zero);
    for (const TStakeRec& s : stakes) QCOMPARE(Overlap(s), 0);
    QCOMPARE(StakesTab(f)->Model()->rowCount(), zero);
    // Delete the first grid row after the question.
    StakesTab(f)->View()->selectRow(0);
    f.Answers = {true};
    QVERIFY(f.Trigger("StakeDel"));
    QCOMPARE(f.Ws->Stakes().Count(), zero - 1);
  }

  void RatingsShowTheCheckedStakes() {
    TGuiFixture f(30);
    f.Open();
    StakeSelected(f, {0, 1, 2}, f.Ws->Archive().Draws()[3].Number);
    TRatingsModel* m = RatingsTab(f)->Model();
    QCOMPARE(m->rowCount(), f.Ws->Ratings().Count());
    QVERIFY(m->rowCount() >= 1);
    QCOMPARE(m->columnCount(), 21);
    QCOMPARE(m->headerData(20, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("p"));
    const TListRow row = RatingRow(f.Ws->Ratings()[0], f.Ws->Window().RatingsEffMode);
    for (int c = 0; c < 20; ++c) QCOMPARE(m->index(0, c).data().toString(), QString::fromStdString(row[static_cast<size_t>(c)]));
    QCOMPARE(m->index(0, 20).data().toString(), QString::fromStdString(RatingPValueText(f.Ws->Ratings()[0])));
    // Another mode changes the "E" columns and is stored.
    QVERIFY(f.Trigger("RatingsEffMode0"));
    QCOMPARE(f.Ws->Window().RatingsEffMode, 0);
    QCOMPARE(m->index(0, 13).data().toString(),
             QString::fromStdString(RatingRow(f.Ws->Ratings()[0], 0)[13]));
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("RatingsEffMode0")));
    // A header click sorts through the engine.
    RatingsTab(f)->SortBy(1);
    QCOMPARE(f.Ws->RatingsSortColumn(), 1);
  }

  void GraphsShowTheEngineSeries() {
    TGuiFixture f(30);
    f.Open();
    StakeSelected(f, {0, 1}, f.Ws->Archive().Draws()[3].Number);
    StakeSelected(f, {2}, f.Ws->Archive().Draws()[2].Number);
    QVERIFY(f.Trigger("StakesGraphDraws"));
    auto windows = f.Window->findChildren<vexa::gui::TStakesGraphWindow*>();
    QCOMPARE(windows.size(), 1);
    vexa::gui::TStakesGraphWindow* g = windows[0];
    QCOMPARE(g->windowTitle(), QString::fromUtf8(StakesGraphDrawsCaption));
    const auto expected = StakesGraphDraws(f.Ws->Stakes());
    QCOMPARE(g->Series().size(), expected.size());
    const auto chartSeries = g->Chart()->series();
    QCOMPARE(chartSeries.size(), 3);
    for (size_t i = 0; i < expected.size(); ++i) {
      auto* line = qobject_cast<QLineSeries*>(chartSeries[static_cast<int>(i)]);
      QCOMPARE(line->name(), QString::fromStdString(expected[i].Title));
      QCOMPARE(line->count(), static_cast<int>(expected[i].Points.size()));
      for (int p = 0; p < line->count(); ++p) {
        QCOMPARE(line->at(p).x(), expected[i].Points[static_cast<size_t>(p)].X);
        QCOMPARE(line->at(p).y(), expected[i].Points[static_cast<size_t>(p)].Y);
      }
    }
    g->close();
    QCoreApplication::processEvents();
    // The overlap graph of the selected ratings.
    RatingsTab(f)->View()->selectAll();
    QVERIFY(f.Trigger("StakesGraphOverlap"));
    windows = f.Window->findChildren<vexa::gui::TStakesGraphWindow*>();
    QVERIFY(!windows.isEmpty());
    std::vector<std::string> names;
    for (const TRating& r : f.Ws->Ratings().Items()) names.push_back(r.Name);
    QCOMPARE(windows.back()->Series().size(), StakesGraphByOrigin(f.Ws->Stakes(), names, false).size());
  }

  void RegularTablesAddStakeAndTabToggle() {
    TGuiFixture f(30);
    f.Open();
    TTablesTab* tab = f.Window->findChild<TTablesTab*>();
    QVERIFY(tab != nullptr);
    QTabWidget* pages = f.Window->RightPages();
    QVERIFY(pages->isTabVisible(pages->indexOf(tab)));
    // One selected combination: one rule starting from it; a duplicate comment is refused.
    SelectCombs(f, {4});
    f.Window->CombsView()->selectionModel()->setCurrentIndex(f.Window->CombsModel()->index(4, 0),
                                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.OnDialog<TTableDialog>([](TTableDialog* d) {
      QVERIFY(d->StartEdit()->isEnabled());
      d->StepEdit()->setValue(2);
      d->accept();
    });
    QVERIFY(f.Trigger("TablesAdd"));
    QCOMPARE(f.Ws->Tables().size(), size_t(1));
    QCOMPARE(tab->Model()->rowCount(), 1);
    bool refused = false;
    f.OnDialog<TTableDialog>([&refused](TTableDialog* d) {
      d->accept();
      refused = d->isVisible() && d->focusWidget() == d->CommentEdit();
      d->reject();
    });
    QVERIFY(f.Trigger("TablesAdd"));
    QVERIFY(refused);
    QCOMPARE(f.Ws->Tables().size(), size_t(1));
    // A stake from the rule through the stake dialog.
    tab->View()->selectionModel()->setCurrentIndex(tab->Model()->index(0, 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    f.OnDialog<TStakeDialog>([](TStakeDialog* d) { d->accept(); });
    QVERIFY(f.Trigger("TablesStakeAdd"));
    const auto stakes = AllStakes(f);
    QCOMPARE(stakes.size(), size_t(1));
    QCOMPARE(stakes[0].Kind, uint8_t(StakeTable));
    QCOMPARE(tab->Model()->index(0, 4).data().toString(), QStringLiteral("1"));
    // TabTables hides the tab and empties the rules; showing loads them again.
    QVERIFY(f.Trigger("TabTables"));
    QVERIFY(!pages->isTabVisible(pages->indexOf(tab)));
    QVERIFY(f.Ws->Tables().empty());
    QCOMPARE(tab->Model()->rowCount(), 0);
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("TablesAdd")));
    QVERIFY(!f.Window->Commands().IsChecked(QStringLiteral("TabTables")));
    QVERIFY(f.Trigger("TabTables"));
    QVERIFY(pages->isTabVisible(pages->indexOf(tab)));
    QCOMPARE(pages->currentWidget(), tab);
    QCOMPARE(tab->Model()->rowCount(), 1);
  }
};

QTEST_MAIN(TStakesTabTest)
#include "stakes_tab_test.moc"
