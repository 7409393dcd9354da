// The draws list and its commands.
#include <QAbstractItemModelTester>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include "dialogs/draw_dialog.h"
#include "gui_fixture.h"
#include "models/draws_model.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

QString Cell(TMainWindow& w, int row, int col, int role = Qt::DisplayRole) {
  return w.DrawsModel()->index(row, col).data(role).toString();
}

uintmax_t ArchiveSize(const TGuiFixture& f) { return std::filesystem::file_size(f.Dir / "Korvane_6x45.ldr"); }

}  // namespace

class TDrawsTest : public QObject {
  Q_OBJECT

 private slots:
  void NewestFirstAndTheOffsetRow() {
    TGuiFixture f(10);
    f.Open(false);
    TMainWindow& w = *f.Window;
    const TDrawsArray& draws = f.Ws->Archive().Draws();
    QCOMPARE(w.DrawsModel()->rowCount(), 10);
    QCOMPARE(Cell(w, 0, 0), QString::number(draws[9].Number));
    QCOMPARE(Cell(w, 9, 0), QString::number(draws[0].Number));
    QCOMPARE(Cell(w, 0, 1), QString::number(draws[9].Nums[0]));
    QCOMPARE(Cell(w, 0, 10), QString::fromUtf8(DrawDateText(draws[9]).c_str()));
    int sum = 0;
    for (uint8_t n : draws[9].Nums) sum += n;
    QCOMPARE(Cell(w, 0, 9), QString::number(sum));
    QStringList headers;
    for (int c = 0; c < TDrawsModel::ColumnCount; ++c)
      headers << w.DrawsModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers.join(QLatin1Char(',')), QStringLiteral("Тираж,1,2,3,4,5,6,E1,E2,S,Дата тиража"));
    QCOMPARE(w.OffsetSpin()->maximum(), 9);

    const QColor light(0xFF, 0xAA, 0xAA);
    QCOMPARE(w.DrawsModel()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), light);
    w.OffsetSpin()->setValue(3);
    QCOMPARE(f.Ws->DrawsOffset(), 3);
    QCOMPARE(w.DrawsModel()->index(3, 0).data(Qt::BackgroundRole).value<QColor>(), light);
    QCOMPARE(w.DrawsModel()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
    // Number cells take the channel colour, on the highlighted row too.
    QCOMPARE(w.DrawsModel()->index(3, 1).data(Qt::BackgroundRole).value<QColor>(),
             FromBgr(NumColor(draws[6].Nums[0], 5)));
    QCOMPARE(w.Panel(1)->text(), QStringLiteral("Следующий тираж: %1").arg(draws[6].Number + 2));
    QCOMPARE(w.Panel(2)->text(), QString::fromUtf8(f.Ws->Archive().NextDrawText(3).c_str()));
    QVERIFY(w.Panel(2)->text().count(QLatin1Char(';')) == 5);

    // Without the colours only the highlighted row is tinted.
    QVERIFY(f.Trigger("ViewColorDraws"));
    QVERIFY(!w.DrawsModel()->index(0, 1).data(Qt::BackgroundRole).isValid());
    QCOMPARE(w.DrawsModel()->index(3, 1).data(Qt::BackgroundRole).value<QColor>(), light);
  }

  void SortedDisplayIsTheEnginesSwitch() {
    TGuiFixture f(3);
    f.Open(false);
    QVERIFY(f.Trigger("DrawsSorted"));
    TDraw sorted = f.Ws->Archive().Draws().back();
    SortDrawNums(sorted);
    for (int i = 0; i < MainCount; ++i) QCOMPARE(Cell(*f.Window, 0, 1 + i), QString::number(sorted.Nums[size_t(i)]));
    QVERIFY(ReadWindowBool(f.Dir / "Korvane_6x45.frm", MainWindowSection, "SortedDraws", false));
  }

  void AddEditDeleteThroughTheDialog() {
    TGuiFixture f(4);
    f.Open(false);
    TMainWindow& w = *f.Window;
    const int newest = f.Ws->Archive().Draws().back().Number;
    // Add: the dialog proposes the newest number + 2.
    int proposed = 0;
    f.OnDialog<TDrawDialog>([&](TDrawDialog* d) {
      proposed = d->NumberEdit()->value();
      QCOMPARE(d->windowTitle(), QStringLiteral("Введите данные следующего тиража"));
      d->NumbersEdit()->setText(QStringLiteral("1;2;3;4;5;6;7;8"));
      d->DateEdit()->setDate(QDate(2025, 3, 5));
      d->accept();
    });
    QVERIFY(f.Trigger("DrawsAdd"));
    QCOMPARE(proposed, newest + 2);
    QCOMPARE(f.Ws->Archive().Count(), 5);
    QCOMPARE(ArchiveSize(f), uintmax_t(5 * 24));
    QCOMPARE(Cell(w, 0, 0), QString::number(newest + 2));
    QCOMPARE(Cell(w, 0, 10), QStringLiteral("5 Mar 2025"));

    // Edit the new draw: the dialog shows its numbers and date.
    w.DrawsView()->selectRow(0);
    QString shown;
    f.OnDialog<TDrawDialog>([&](TDrawDialog* d) {
      shown = d->NumbersEdit()->text();
      QCOMPARE(d->DateEdit()->date(), QDate(2025, 3, 5));
      d->NumbersEdit()->setText(QStringLiteral("45,44,43,42,41,40,1,2"));
      d->accept();
    });
    QVERIFY(f.Trigger("DrawsEdit"));
    QCOMPARE(shown, QStringLiteral("1;2;3;4;5;6;7;8"));
    TDrawsArchive reread(f.Dir / "Korvane_6x45.ldr");
    TSilentUserInterface silent;
    reread.LoadDraws(silent);
    QCOMPARE(int(reread.Draws().back().Nums[0]), 45);
    QCOMPARE(int(reread.Draws().back().Supp[1]), 2);

    // Delete two rows after the careful question.
    w.DrawsView()->selectRow(0);
    w.DrawsView()->selectionModel()->select(w.DrawsModel()->index(2, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int third = f.Ws->Archive().RowDraw(1, false).Number;
    f.Answers.push_back(true);
    QVERIFY(f.Trigger("DrawsDel"));
    const auto asked = f.BoxesOf(TBoxKind::CarefulQuestion);
    QCOMPARE(asked.size(), size_t(1));
    QCOMPARE(asked[0].Title, QStringLiteral("Предупреждение"));
    QVERIFY(asked[0].Text.contains(QStringLiteral("всего будет удалено 2 записи(ей)")));
    QCOMPARE(f.Ws->Archive().Count(), 3);
    QCOMPARE(ArchiveSize(f), uintmax_t(3 * 24));
    QCOMPARE(Cell(w, 0, 0), QString::number(third));
    QVERIFY(!w.HasSelection(w.DrawsView()));

    // No: nothing goes.
    w.DrawsView()->selectRow(0);
    f.Answers.push_back(false);
    QVERIFY(f.Trigger("DrawsDel"));
    QCOMPARE(f.Ws->Archive().Count(), 3);
  }

  void BadNumbersKeepTheDialogOpen_data() {
    QTest::addColumn<QString>("numbers");
    QTest::newRow("repeated main number") << QStringLiteral("1;2;3;4;5;5;7;8");
    QTest::newRow("supplementary above 45") << QStringLiteral("1,2,3,4,5,6,46,8");
    QTest::newRow("seven numbers") << QStringLiteral("1;2;3;4;5;6;7");
  }

  void BadNumbersKeepTheDialogOpen() {
    QFETCH(QString, numbers);
    TGuiFixture f(2);
    f.Open(false);
    bool stayedOpen = false;
    bool focused = false;
    f.OnDialog<TDrawDialog>([&](TDrawDialog* d) {
      d->NumbersEdit()->setText(numbers);
      d->NumberEdit()->setFocus();
      d->accept();
      stayedOpen = d->isVisible() && d->result() != QDialog::Accepted;
      focused = d->focusWidget() == d->NumbersEdit();
      d->reject();
    });
    QVERIFY(f.Trigger("DrawsAdd"));
    QVERIFY(stayedOpen);
    QVERIFY(focused);
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(errors[0].Text, QStringLiteral("Введена некорректная комбинация!"));
    QCOMPARE(errors[0].Title, QStringLiteral("Ошибка"));
    QCOMPARE(f.Ws->Archive().Count(), 2);
  }

  void ExportThenImportIntoAnEmptyArchive() {
    TGuiFixture f(12);
    f.Open(false);
    const std::string csv = (f.Dir / "draws.csv").string();
    f.NextFile = QString::fromStdString(csv);
    QVERIFY(f.Trigger("DrawsExport"));
    QVERIFY(std::filesystem::file_size(csv) > 0);
    const TDrawsArray before = f.Ws->Archive().Draws();
    f.Close();

    TGuiFixture g;
    g.Open(false);
    g.NextFile = QString::fromStdString(csv);
    QVERIFY(g.Trigger("DrawsImport"));
    QCOMPARE(g.Ws->Archive().Count(), 12);
    QVERIFY(g.Ws->Archive().Draws() == before);
    QCOMPARE(g.Window->DrawsModel()->rowCount(), 12);
    QCOMPARE(g.Window->Panel(0)->text(), QStringLiteral("Архив тиражей: 12"));
  }

  void DownloadWithoutASiteSaysSo() {
    TGuiFixture f(2);
    f.Open(false);
    QVERIFY(f.Trigger("DrawsDownload"));
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(errors[0].Text.contains(QStringLiteral("ResultsBaseUrl")));
    QVERIFY(!f.Window->Busy());
  }

  void ModelPassesTheTester() {
    TGuiFixture f(40);
    f.Open(false);
    QAbstractItemModelTester tester(f.Window->DrawsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Window->OffsetSpin()->setValue(5);
    f.OnDialog<TDrawDialog>([](TDrawDialog* d) {
      d->NumbersEdit()->setText(QStringLiteral("1;2;3;4;5;6;7;8"));
      d->accept();
    });
    QVERIFY(f.Trigger("DrawsAdd"));
    QCOMPARE(f.Window->DrawsModel()->rowCount(), 41);
  }
};

QTEST_MAIN(TDrawsTest)
#include "draws_test.moc"
