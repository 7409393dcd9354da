// The statistics tab: recalculation, sorting, keep and delete with undo,
// the comparison columns, favourites, method help, shredding formulas.
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>

#include "core/list_compare.h"
#include "dialogs/favourites_dialog.h"
#include "dialogs/help_dialog.h"
#include "dialogs/info_dialog.h"
#include "dialogs/shredding_dialog.h"
#include "gui_fixture.h"
#include "models/filters_model.h"
#include "models/stat_model.h"
#include "tabs/help_pages.h"
#include "tabs/stat_tab.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

TStatTab& Tab(TGuiFixture& f) { return *f.Window->StatTab(); }

void Select(TGuiFixture& f, const std::string& code) {
  QVERIFY(Tab(f).SelectMethod(f.Ws->StatMethodIndex(code)));
  QCoreApplication::processEvents();
}

// The view rows whose value texts are these, selected.
void SelectValues(TGuiFixture& f, const QStringList& values) {
  QTableView* view = Tab(f).View();
  view->clearSelection();
  for (int r = 0; r < view->model()->rowCount(); ++r)
    if (values.contains(view->model()->index(r, scValue).data().toString()))
      view->selectionModel()->select(view->model()->index(r, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class TStatTabTest : public QObject {
  Q_OBJECT

 private slots:
  void RecalculationShowsTheEngineRows_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("window");
    for (const char* c : {"NUMS", "SUMS", "DIFA", "POS3", "CHN1"}) {
      QTest::newRow(c) << QString::fromLatin1(c) << 250;
    }
    QTest::newRow("window over the archive") << QStringLiteral("NUMS") << 1000;
  }

  void RecalculationShowsTheEngineRows() {
    QFETCH(QString, code);
    QFETCH(int, window);
    TGuiFixture f(300);
    f.Open(false);
    const int method = f.Ws->StatMethodIndex(code.toStdString());
    Tab(f).LengthSpin()->setValue(window);
    Select(f, code.toStdString());
    QVERIFY(f.Trigger("DrawsStatCalc"));
    const TStatRows expected = f.Ws->StatRecalculate(method, window, false);
    QCOMPARE(expected.Window, std::min(window, 300));
    TStatModel* model = Tab(f).Model();
    QCOMPARE(model->rowCount(), static_cast<int>(expected.Rows.size()));
    QVERIFY(model->rowCount() > 1);
    // Every engine row once, with its twenty texts.
    std::vector<bool> seen(expected.Rows.size(), false);
    for (int r = 0; r < model->rowCount(); ++r) {
      const int src = model->SourceRow(r);
      QVERIFY(!seen[static_cast<size_t>(src)]);
      seen[static_cast<size_t>(src)] = true;
      for (int c = 0; c < StatColumnCount; ++c)
        QCOMPARE(model->index(r, c).data().toString(),
                 QString::fromStdString(expected.Rows[static_cast<size_t>(src)].Texts[static_cast<size_t>(c)]));
    }
    // The chart holds the window's counts.
    QChart* chart = Tab(f).Chart()->chart();
    QVERIFY(!chart->series().isEmpty());
    QCOMPARE(static_cast<QLineSeries*>(chart->series().front())->count(), static_cast<int>(expected.Chart.Actual.size()));
  }

  void SortedByCountThenByAnyColumn() {
    TGuiFixture f(200);
    f.Open(false);
    Select(f, "SUMS");
    QVERIFY(f.Trigger("DrawsStatCalc"));
    TStatModel* model = Tab(f).Model();
    QCOMPARE(model->SortColumn(), static_cast<int>(scHits));
    auto row = [&](int r) {
      TListRow out;
      for (int c = 0; c < StatColumnCount; ++c) out.push_back(model->index(r, c).data().toString().toStdString());
      return out;
    };
    for (int column : {static_cast<int>(scHits), static_cast<int>(scValue), static_cast<int>(scPeriod),
                       static_cast<int>(scLastDraw)}) {
      for (bool descending : {false, true}) {
        Tab(f).View()->sortByColumn(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        for (int r = 1; r < model->rowCount(); ++r)
          QVERIFY2(CompareListRows(row(r - 1), row(r), column, descending) <= 0, qPrintable(QString::number(r)));
      }
    }
    // A recalculation keeps the order chosen.
    Tab(f).View()->sortByColumn(scAge, Qt::DescendingOrder);
    QVERIFY(f.Trigger("DrawsStatCalc"));
    QCOMPARE(model->SortColumn(), static_cast<int>(scAge));
    QVERIFY(model->SortDescending());
  }

  void LazyRecalculation() {
    TGuiFixture f(120);
    f.Open(false);
    Select(f, "NUMS");
    QVERIFY(f.Trigger("DrawsStatCalc"));
    const QString before = Tab(f).Model()->index(0, scLastDraw).data().toString();
    Tab(f).View()->selectRow(0);
    Tab(f).Refresh();  // nothing changed: the list and its selection stay
    QVERIFY(Tab(f).HasSelection());
    f.Window->OffsetSpin()->setValue(10);  // the offset changes: a new window
    QCoreApplication::processEvents();
    const TStatRows expected = f.Ws->StatRecalculate(f.Ws->StatMethodIndex("NUMS"), 1000, false);
    QCOMPARE(expected.Last, 120 - 1 - 10);
    const int src = Tab(f).Model()->SourceRow(0);
    QCOMPARE(Tab(f).Model()->index(0, scLastDraw).data().toString(),
             QString::fromStdString(expected.Rows[static_cast<size_t>(src)].Texts[scLastDraw]));
    Q_UNUSED(before);
  }

  void KeepAndDeleteTwoValuesThenUndo() {
    TGuiFixture f(100);
    f.Open(true);
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
    Select(f, "NUMS");
    QVERIFY(f.Trigger("DrawsStatCalc"));
    SelectValues(f, {QStringLiteral("7"), QStringLiteral("12")});
    QCOMPARE(static_cast<int>(f.Window->SelectedRows(Tab(f).View()).size()), 2);
    const int logRows = f.Window->FiltersModel()->rowCount();
    QVERIFY(f.Trigger("StatFilter_Include"));
    const int kept = AllCombsCount - static_cast<int>(Binomial(43, 6));
    QCOMPARE(f.Ws->Combs().Count(), kept);
    QVERIFY(f.Window->Panel(3)->text().contains(QString::number(kept)) ||
            f.Window->Panel(3)->text().remove(QLatin1Char(' ')).contains(QString::number(kept)));
    QCOMPARE(f.Window->FiltersModel()->rowCount(), logRows + 1);
    // The description lists the selected values in the list's order.
    const QString description = f.Window->FiltersModel()->index(logRows, 1).data().toString();
    QVERIFY2(description == QStringLiteral("7; 12") || description == QStringLiteral("12; 7"), qPrintable(description));
    QVERIFY(f.Trigger("CombsUndo"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
    QCOMPARE(f.Window->FiltersModel()->rowCount(), logRows);

    SelectValues(f, {QStringLiteral("7"), QStringLiteral("12")});
    QVERIFY(f.Trigger("StatFilter_Exclude"));
    QCOMPARE(f.Ws->Combs().Count(), static_cast<int>(Binomial(43, 6)));
    QVERIFY(f.Trigger("CombsUndo"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
  }

  void FilterNeedsASelection() {
    TGuiFixture f(50);
    f.Open(true);
    Select(f, "NUMS");
    QVERIFY(f.Trigger("DrawsStatCalc"));
    f.Window->UpdateActions();
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("StatFilter_Include")));
    Tab(f).View()->selectRow(0);
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("StatFilter_Include")));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("DrawsStatShowTotalLine")));
  }

  void ComparisonColumnsFollowTheOption() {
    TGuiFixture f(80);
    f.Open(false);
    QTableView* view = Tab(f).View();
    for (int c : {scExpected, scDeviation, scDeviationPercent}) QVERIFY(view->isColumnHidden(c));
    QVERIFY(!view->isColumnHidden(scHits));
    f.Ws->DrawsStatePrefetchsEnabled();
    Tab(f).ApplyComparisonColumns();
    for (int c : {scExpected, scDeviation, scDeviationPercent}) {
      QVERIFY(!view->isColumnHidden(c));
      QVERIFY(view->columnWidth(c) >= 80);
    }
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("DrawsStatShowTotalLine")));
    f.Ws->DrawsStatePrefetchsEnabled();
    Tab(f).ApplyComparisonColumns();
    for (int c : {scExpected, scDeviation, scDeviationPercent}) QVERIFY(view->isColumnHidden(c));
  }

  void FavouritesOkCancelNoneAndDefaultName() {
    TGuiFixture f(30);
    f.Open(false);
    const int nums = f.Ws->StatMethodIndex("NUMS");
    const int suma = f.Ws->StatMethodIndex("SUMS");
    const int all = f.Ws->Stats().Count();
    QCOMPARE(Tab(f).MethodBox()->count(), all);

    // Cancel drops everything.
    f.OnDialog<TFavouritesDialog>([](TFavouritesDialog* d) {
      d->CheckAll(false);
      d->reject();
    });
    QVERIFY(f.Trigger("FiltersManager"));
    QCOMPARE(Tab(f).MethodBox()->count(), all);

    // OK with two methods and a name.
    f.OnDialog<TFavouritesDialog>([nums, suma, all](TFavouritesDialog* d) {
      QCOMPARE(d->CountLabel()->text(), QStringLiteral("всего %1 методов").arg(all));
      d->CheckAll(false);
      d->MethodNode(nums)->setCheckState(0, Qt::Checked);
      d->MethodNode(suma)->setCheckState(0, Qt::Checked);
      d->Tree()->setCurrentItem(d->MethodNode(suma));
      const QString name = QStringLiteral("Моя сумма");
      d->Rename(&name);
      d->accept();
    });
    QVERIFY(f.Trigger("FiltersManager"));
    QCOMPARE(Tab(f).MethodBox()->count(), 2);
    QVERIFY(Tab(f).MethodBox()->itemText(1).contains(QStringLiteral("Моя сумма")));
    QCOMPARE(f.Ws->Stats().Items(suma).CustomName, std::string("Моя сумма"));

    // A group node's box checks the whole group.
    f.OnDialog<TFavouritesDialog>([nums](TFavouritesDialog* d) {
      d->Tree()->setCurrentItem(d->MethodNode(nums));
      d->CheckGroup(true);
      QTreeWidgetItem* group = d->MethodNode(nums)->parent();
      for (int k = 0; k < group->childCount(); ++k) QCOMPARE(group->child(k)->checkState(0), Qt::Checked);
      QCOMPARE(group->checkState(0), Qt::Checked);
      d->reject();
    });
    QVERIFY(f.Trigger("FiltersManager"));

    // Renaming to the default caption in other case stores no custom name; none checked means all.
    f.OnDialog<TFavouritesDialog>([suma, &f](TFavouritesDialog* d) {
      d->Tree()->setCurrentItem(d->MethodNode(suma));
      const QString upper = QString::fromStdString(f.Ws->Stats().Items(suma).DefaultName()).toUpper();
      d->Rename(&upper);
      d->CheckAll(false);
      d->accept();
    });
    QVERIFY(f.Trigger("FiltersManager"));
    QCOMPARE(f.Ws->Stats().Items(suma).CustomName, std::string());
    QCOMPARE(Tab(f).MethodBox()->count(), all);
  }

  void FiltersResetKeepsCustomNames() {
    TGuiFixture f(30);
    f.Open(false);
    const int suma = f.Ws->StatMethodIndex("SUMS");
    TWorkspace::TFavouritesEdit edit;
    edit.Checked = {suma};
    edit.Names = {{suma, "Своя сумма"}};
    f.Ws->FavouritesApply(edit);
    Tab(f).FillMethods(false);
    QCOMPARE(Tab(f).MethodBox()->count(), 1);
    f.Answers.push_back(false);
    QVERIFY(f.Trigger("FiltersReset"));
    QCOMPARE(Tab(f).MethodBox()->count(), 1);  // No keeps the favourites
    QCOMPARE(f.BoxesOf(TBoxKind::CarefulQuestion).back().Text,
             QStringLiteral("Вы действительно хотите сбросить список избранных фильтров?"));
    f.Answers.push_back(true);
    QVERIFY(f.Trigger("FiltersReset"));
    QCOMPARE(Tab(f).MethodBox()->count(), f.Ws->Stats().Count());
    QCOMPARE(f.Ws->Stats().Items(suma).CustomName, std::string("Своя сумма"));
  }

  void F8ShowsTheMethodPage() {
    TGuiFixture f(30);
    f.Open(false);
    const std::filesystem::path help = f.Dir / "help";
    std::filesystem::create_directories(help);
    std::ofstream(help / "index.html") << "<html><body>guide</body></html>";
    std::ofstream(help / "Filters_1049_SUMS.htm") << "<html><body><h1>SUMS</h1></body></html>";
    f.Ws->SetHelpFolder(help);
    Select(f, "SUMS");
    QString shown;
    f.OnDialog<THelpDialog>([&shown](THelpDialog* d) {
      shown = d->Browser()->toPlainText();
      d->reject();
    });
    QVERIFY(f.Trigger("FiltersInfo"));
    QVERIFY2(shown.contains(QStringLiteral("SUMS")), qPrintable(shown));
  }

  // The help folder built beside the program: a page for every method,
  // naming its code, with the example values of the engine's own rows.
  void EveryMethodHasItsHelpPage() {
    TGuiFixture f(HelpExampleDraws);
    f.Open(false);
    const std::filesystem::path help = std::filesystem::path(KORVANE_PATH).parent_path() / "help";
    f.Ws->SetHelpFolder(help);
    QVERIFY(!f.Ws->Stats().HelpFile.empty());
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("GetHelp")));
    auto escape = [](std::string t) {
      std::string out;
      for (char c : t) out += c == '<' ? std::string("&lt;") : c == '>' ? std::string("&gt;") : c == '&' ? std::string("&amp;") : c == '"' ? std::string("&quot;") : std::string(1, c);
      return out;
    };
    for (int i = 0; i < f.Ws->Stats().Count(); ++i) {
      const std::string code = f.Ws->Stats().Items(i).Code();
      const std::string page = f.Ws->StatHelpPage(i);
      QVERIFY2(!page.empty(), code.c_str());
      std::ifstream in(page, std::ios::binary);
      const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string row = "<tr><td>" + escape(code) + "</td>";
      const size_t at = html.find(row);
      QVERIFY2(at != std::string::npos, code.c_str());
      const size_t cell = html.find("<td class=\"values\">", at);
      const size_t end = html.find("</td>", cell);
      QVERIFY(cell != std::string::npos && end != std::string::npos);
      const std::string shown = html.substr(cell, end - cell);
      const TStatRows rows = f.Ws->StatRecalculate(i, 1, false);
      std::string expected;
      for (const TStatRow& r : rows.Rows)
        if (r.Rec.Hits > 0) expected += (expected.empty() ? "" : "; ") + r.Texts[scValue];
      QCOMPARE(QString::fromStdString(shown.substr(std::string("<td class=\"values\">").size())),
               QString::fromStdString(escape(expected)));
    }
    // F8 on a method shows its page.
    Select(f, "POS3");
    QString shown;
    f.OnDialog<THelpDialog>([&shown](THelpDialog* d) {
      shown = d->Browser()->toPlainText();
      d->reject();
    });
    QVERIFY(f.Trigger("FiltersInfo"));
    QVERIFY2(shown.contains(QStringLiteral("POS3")), qPrintable(shown.left(200)));
  }

  void ShreddingDialogRefusesABadFormula() {
    TGuiFixture f(30);
    f.Open(false);
    f.OnDialog<TShreddingDialog>([&f](TShreddingDialog* d) {
      d->FormulaEdit(1)->setText(QStringLiteral("(n1+n2"));
      d->accept();  // refused: the box, the dialog stays
      QVERIFY(d->isVisible());
      QVERIFY(f.BoxesOf(TBoxKind::Error).back().Text.startsWith(QStringLiteral("Формула 2: ")));
      d->FormulaEdit(1)->setText(QStringLiteral("n1*n2"));
      d->DigitsSpin(1)->setValue(3);
      d->accept();
    });
    QVERIFY(f.Trigger("EditShredding"));
    QCOMPARE(f.Ws->Stats().Shredding.Formulas[1], std::string("n1*n2"));
    QCOMPARE(static_cast<int>(f.Ws->Stats().Shredding.Digits[1]), 3);
  }

  void InformationDialogOfADraw() {
    TGuiFixture f(40);
    f.Open(false);
    f.Window->DrawsView()->selectRow(0);
    const TDraw draw = f.Ws->Archive().RowDraw(0, f.Ws->SortedDraws());
    const TStatInfo expected = f.Ws->DrawsInfo(draw.Number);
    f.OnDialog<TInfoDialog>([&](TInfoDialog* d) {
      QCOMPARE(d->Properties()->rowCount(), static_cast<int>(expected.size()));
      QCOMPARE(d->Properties()->item(0, 1)->text(), QString::fromStdString(expected[0].Value));
      d->ColumnsSpin()->setValue(9);
      QCOMPARE(d->Grid()->columnCount(), 9);
      QCOMPARE(d->Grid()->rowCount(), 5);
      const int n = draw.Nums[0];
      QCOMPARE(d->Grid()->item((n - 1) / 9, (n - 1) % 9)->text(), QString::number(n));
      d->reject();
    });
    QVERIFY(f.Trigger("DrawsInfo"));
  }
};

QTEST_MAIN(TStatTabTest)
#include "stat_tab_test.moc"
