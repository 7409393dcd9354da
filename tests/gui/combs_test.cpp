// The combinations list, its log and its commands.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include "dialogs/generate_dialog.h"
#include "gui_fixture.h"
#include "models/combs_model.h"
#include "models/filters_model.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

void Generate(TGuiFixture& f, int mode, const QString& parameters, bool makeDefault = false) {
  f.OnDialog<TGenerateDialog>([=](TGenerateDialog* d) {
    d->ModeBox()->setCurrentIndex(mode);
    d->ParametersEdit()->setText(parameters);
    d->DefaultBox()->setChecked(makeDefault);
    d->accept();
  });
  QVERIFY(f.Trigger("CombsGen"));
}

QString CombText(TMainWindow& w, int row) {
  QStringList parts;
  for (int c = 1; c <= 6; ++c) parts << w.CombsModel()->index(row, c).data().toString();
  return parts.join(QLatin1Char(' '));
}

}  // namespace

class TCombsTest : public QObject {
  Q_OBJECT

 private slots:
  void GenerateEachMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<int>("count");
    QTest::newRow("0 full") << 0 << QString() << AllCombsCount;
    QTest::newRow("1 any of 1") << 1 << QStringLiteral("1") << AllCombsCount - 7059052;
    QTest::newRow("2 only of seven") << 2 << QStringLiteral("1;2;3;4;5;6;7") << 7;
    QTest::newRow("3 none of 1") << 3 << QStringLiteral("1") << 7059052;
    QTest::newRow("4 from a file") << 4 << QStringLiteral("FILE") << 3;
  }

  void GenerateEachMode() {
    QFETCH(int, mode);
    QFETCH(QString, parameters);
    QFETCH(int, count);
    TGuiFixture f;
    vexa::test::WriteBytes(f.Dir / "three.lcv", "1;2;3;4;5;6\r\n6,5,4,3,2,1\r\n1;2;3;4;5\r\n7;8;9;10;11;12\r\n");
    if (parameters == QLatin1String("FILE")) parameters = QString::fromStdString((f.Dir / "three.lcv").string());
    WriteWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "DownloadDrawsOnStart", 2);
    f.Open();
    Generate(f, mode, parameters);
    QCOMPARE(f.Ws->Combs().Count(), count);
    QCOMPARE(f.Window->CombsModel()->rowCount(), count);
    QCOMPARE(f.Window->Panel(3)->text(), QStringLiteral("Комбинаций: %1").arg(count));
    QCOMPARE(f.Window->FiltersModel()->rowCount(), 0);
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CombsUndo")));
    if (mode == 4) QCOMPARE(CombText(*f.Window, 1), QStringLiteral("6 5 4 3 2 1"));
    if (mode == 0) {
      QCOMPARE(CombText(*f.Window, 0), QStringLiteral("1 2 3 4 5 6"));
      QCOMPARE(CombText(*f.Window, count - 1), QStringLiteral("40 41 42 43 44 45"));
      QCOMPARE(f.Window->CombsModel()->index(count - 1, 0).data().toInt(), count);
    }
  }

  void DefaultParametersAreStoredWhenAsked() {
    TGuiFixture f;
    f.Open();
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7;8"), true);
    QCOMPARE(f.Ws->Combs().Count(), 28);
    const std::string ini = vexa::test::ReadBytes(f.Dir / "Korvane_6x45.ini");
    QVERIFY(ini.find("CombsGenerateMode=2") != std::string::npos);
    QVERIFY(ini.find("CombsGenerateParameters=1;2;3;4;5;6;7;8") != std::string::npos);
    // The dialog opens with the defaults, the box unticked.
    f.OnDialog<TGenerateDialog>([](TGenerateDialog* d) {
      QCOMPARE(d->ModeBox()->currentIndex(), 2);
      QVERIFY(!d->DefaultBox()->isChecked());
      QVERIFY(d->ParametersEdit()->isEnabled());
      d->ModeBox()->setCurrentIndex(0);
      QVERIFY(!d->ParametersEdit()->isEnabled());
      d->reject();
    });
    QVERIFY(f.Trigger("CombsGen"));
    QCOMPARE(f.Ws->Combs().Count(), 28);
  }

  void DeleteSelectedThenUndo() {
    TGuiFixture f(5);
    f.Open();
    TMainWindow& w = *f.Window;
    QItemSelection sel(w.CombsModel()->index(2, 0), w.CombsModel()->index(11, 7));
    w.CombsView()->selectionModel()->select(sel, QItemSelectionModel::Select);
    QVERIFY(f.Trigger("CombsDelSelected"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount - 10);
    QCOMPARE(CombText(w, 2), QStringLiteral("1 2 3 4 5 18"));
    QCOMPARE(w.FiltersModel()->rowCount(), 1);
    QCOMPARE(w.FiltersModel()->index(0, 0).data().toString(), QStringLiteral("Выделенные комбинации"));
    QCOMPARE(w.FiltersModel()->index(0, 1).data().toString(), QStringLiteral("10"));
    QCOMPARE(w.FiltersModel()->index(0, 2).data().toInt(), AllCombsCount - 10);
    QVERIFY(w.FiltersModel()->index(0, 0).data(Qt::DecorationRole).isValid());
    QVERIFY(!w.HasSelection(w.CombsView()));
    QVERIFY(f.Trigger("CombsUndo"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
    QCOMPARE(w.FiltersModel()->rowCount(), 0);
    QVERIFY(!w.Commands().IsEnabled(QStringLiteral("CombsUndo")));
  }

  void SelectAllAndDeleteEverything() {
    TGuiFixture f;
    f.Open();
    QVERIFY(f.Trigger("CombsSelectAll"));
    QCOMPARE(f.Window->SelectedRows(f.Window->CombsView()).size(), size_t(AllCombsCount));
    QVERIFY(f.Trigger("CombsDelSelected"));
    QCOMPARE(f.Ws->Combs().Count(), 0);
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CombsSave")));
    QVERIFY(f.Trigger("CombsUndo"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
  }

  void PasteWithABadLineChangesNothing() {
    TGuiFixture f;
    f.Open();
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7"));
    QGuiApplication::clipboard()->setText(QStringLiteral("1 2 3 4 5 6\r\n1 2 3 4 5 6 7\r\n"));
    QVERIFY(f.Trigger("CombsPaste"));
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(errors[0].Text, QStringLiteral("Некорректная комбинация: \"1 2 3 4 5 6 7\"!"));
    QCOMPARE(f.Ws->Combs().Count(), 7);
    QCOMPARE(CombText(*f.Window, 0), QStringLiteral("1 2 3 4 5 6"));

    QGuiApplication::clipboard()->setText(QStringLiteral("09 08 07 06 05 04\n1-2-3-4-5-45\n"));
    QVERIFY(f.Trigger("CombsPaste"));
    QCOMPARE(f.Ws->Combs().Count(), 2);
    QCOMPARE(CombText(*f.Window, 0), QStringLiteral("9 8 7 6 5 4"));
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CombsUndo")));
  }

  void CopyPutsTheSelectedRowsOnTheClipboard() {
    TGuiFixture f;
    f.Open();
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7"));
    f.Window->CombsView()->selectRow(0);
    f.Window->CombsView()->selectionModel()->select(f.Window->CombsModel()->index(6, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(f.Trigger("CombsCopy"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("01 02 03 04 05 06\r\n02 03 04 05 06 07\r\n"));
  }

  void DelExistsDropsTheNewestDraws() {
    TGuiFixture f(30);
    f.Open();
    TMainWindow& w = *f.Window;
    QVERIFY(!w.Commands().IsEnabled(QStringLiteral("CombsDelExists")));  // N = 0
    w.ExcludeSpin()->setValue(4);
    QVERIFY(f.Trigger("CombsDelExists"));
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount - 4);
    QCOMPARE(w.FiltersModel()->index(0, 0).data().toString(), QStringLiteral("Последние тиражи"));
    QCOMPARE(w.FiltersModel()->index(0, 1).data().toString(), QStringLiteral("4"));
    TComb newest = DrawToComb(f.Ws->Archive().Draws().back());
    SortComb(newest);
    QVERIFY(!f.Ws->Combs().ContainsComb(newest));
    // Enter in the spin runs the command too.
    f.Window->ExcludeSpin()->setValue(10);
    QTest::keyClick(w.ExcludeSpin(), Qt::Key_Return);
    f.WaitIdle();
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount - 4 - 6);
    f.Close();
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "DrawsExclude", 0), 10);
  }

  void FindInDrawsAndCheckNums() {
    TGuiFixture f(30);
    f.Open();
    TComb drawn = DrawToComb(f.Ws->Archive().Draws()[10]);
    SortComb(drawn);
    const std::string text = CombToListText(drawn);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    QVERIFY(f.Trigger("CombsPaste"));
    f.Window->CombsView()->selectRow(0);
    f.Window->CombsView()->setCurrentIndex(f.Window->CombsModel()->index(0, 1));
    QVERIFY(f.Trigger("CombsFindInDraws"));
    auto infos = f.BoxesOf(TBoxKind::Information);
    QCOMPARE(infos.size(), size_t(1));
    QVERIFY(infos[0].Text.startsWith(QStringLiteral("Выделенная комбинация найдена в следующих тиражах:")));
    QVERIFY(f.Trigger("CombsCheckNums"));
    infos = f.BoxesOf(TBoxKind::Information);
    QCOMPARE(infos.back().Text, QStringLiteral("В текущем списке комбинаций содержится 6 уникальных номеров"));
  }

  void OpenAndSaveFiles() {
    TGuiFixture f;
    f.Open();
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7"));
    const std::string file = (f.Dir / "seven.lcv").string();
    f.NextFile = QString::fromStdString(file);
    QVERIFY(f.Trigger("CombsSave"));
    QCOMPARE(vexa::test::ReadBytes(file).substr(0, 13), std::string("1;2;3;4;5;6\r\n"));
    Generate(f, 0, {});
    f.NextFile = QString::fromStdString(file);
    QVERIFY(f.Trigger("CombsOpen"));
    QCOMPARE(f.Ws->Combs().Count(), 7);
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("CombsUndo")));
  }

  void ModelsPassTheTester() {
    TGuiFixture f(10);
    f.Open();
    // The tester walks every row on each reset: a short list keeps it quick.
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7;8"));
    QAbstractItemModelTester combs(f.Window->CombsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester filters(f.Window->FiltersModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Window->CombsView()->selectRow(3);
    QVERIFY(f.Trigger("CombsDelSelected"));
    QCOMPARE(f.Window->FiltersModel()->rowCount(), 1);
    QCOMPARE(f.Window->CombsModel()->rowCount(), 27);
    QVERIFY(f.Trigger("ViewColorCombs"));
    QVERIFY(!f.Window->CombsModel()->index(0, 1).data(Qt::BackgroundRole).isValid());
    Generate(f, 2, QStringLiteral("1;2;3;4;5;6;7"));
    QCOMPARE(f.Window->CombsModel()->rowCount(), 7);
  }
};

QTEST_MAIN(TCombsTest)
#include "combs_test.moc"
