// The spreadsheet export from the window: the parameters dialog answered
// by the test, the workbook written on the worker and read back, the
// field order after toggles, moves and the field dialog.
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

#include <map>

#include "support/xlsx_sheet.h"
#include "dialogs/export_dialog.h"
#include "dialogs/export_field_dialog.h"
#include "gui_fixture.h"
#include "models/stat_model.h"
#include "shell/export_commands.h"
#include "tabs/stat_tab.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

// The cells of the first sheet by reference ("A5"), through Debian's unzip.
std::map<std::string, std::string> SheetCells(const QString& xlsx, const char* sheet = "sheet1") {
  QProcess unzip;
  unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/%1.xml").arg(QLatin1String(sheet))});
  unzip.waitForFinished(60000);
  const std::string xml = unzip.readAllStandardOutput().toStdString();
  std::map<std::string, std::string> cells;
  for (const auto& [ref, cell] : vexa::test::ReadSheetCells(xml)) cells[ref] = cell.Text;
  return cells;
}

std::string Ref(int column, int row) {
  std::string letters;
  for (int c = column + 1; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

QStringList Workbooks(TGuiFixture& f) {
  QDir dir(QString::fromStdString((f.Dir / "Excel").string()));
  QStringList out;
  for (const QString& name : dir.entryList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Name))
    out << dir.filePath(name);
  return out;
}

bool CheckedFirst(const std::vector<TExportField>& fields) {
  bool unchecked = false;
  for (const TExportField& f : fields) {
    if (f.Checked && unchecked) return false;
    unchecked = unchecked || !f.Checked;
  }
  return true;
}

// Closes a dialog the test left open (a failed check returns early).
struct TCloseLeftOpen {
  QDialog* Dialog;
  ~TCloseLeftOpen() {
    if (Dialog->isVisible()) Dialog->reject();
  }
};

}  // namespace

class TExportTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    Opened.clear();
    SetWorkbookOpener([this](const QString& file) {
      Opened << file;
      return OpenerWorks;
    });
  }
  void cleanup() { SetWorkbookOpener({}); }

  void StatisticsListThroughTheDialog() {
    TGuiFixture f(150);
    f.Open(false);
    TStatTab& tab = *f.Window->StatTab();
    QVERIFY(tab.SelectMethod(f.Ws->StatMethodIndex("NUMS")));
    QVERIFY(f.Trigger("DrawsStatCalc"));
    tab.View()->sortByColumn(scValue, Qt::DescendingOrder);  // the workbook follows the view's order
    const QAbstractItemModel* model = tab.View()->model();
    QVERIFY(model->rowCount() > 10);
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("DrawsStatExportToExcel")));
    int shownRows = -1;
    f.OnDialog<TExportDialog>([&](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      QCOMPARE(d->TitleEdit()->text(), QStringLiteral("Статистика"));
      QCOMPARE(d->SheetNameEdit()->text(), QStringLiteral("Статистика"));
      shownRows = d->RowCountEdit()->text().toInt();
      QCOMPARE(d->FieldList()->topLevelItemCount(), model->columnCount());
      d->accept();
    });
    OpenerWorks = true;
    QVERIFY(f.Trigger("DrawsStatExportToExcel"));
    QCOMPARE(shownRows, model->rowCount());
    const QStringList books = Workbooks(f);
    QCOMPARE(books.size(), 1);
    QCOMPARE(Opened, books);
    QVERIFY(f.BoxesOf(TBoxKind::Error).empty());
    QVERIFY(f.BoxesOf(TBoxKind::Information).empty());

    const auto cells = SheetCells(books.front());
    // Title in row 1, the creation time in row 2, captions in row 4, data from row 5.
    QCOMPARE(QString::fromStdString(cells.at("A1")), QStringLiteral("Статистика"));
    QVERIFY(QString::fromStdString(cells.at("A2")).startsWith(QStringLiteral("Отчет построен: ")));
    for (int c = 0; c < model->columnCount(); ++c)
      QCOMPARE(QString::fromStdString(cells.at(Ref(c, 4))), model->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < model->rowCount(); ++r) {
      for (int c = 0; c < model->columnCount(); ++c) {
        const auto at = cells.find(Ref(c, r + 5));
        QVERIFY2(at != cells.end(), Ref(c, r + 5).c_str());
        QCOMPARE(QString::fromStdString(at->second), model->index(r, c).data().toString());
      }
    }
    QVERIFY(cells.find(Ref(0, model->rowCount() + 5)) == cells.end());
  }

  void WithoutASpreadsheetApplicationTheWindowSaysWhere() {
    TGuiFixture f(30);
    f.Open(false);
    f.OnDialog<TExportDialog>([](TExportDialog* d) { d->accept(); });
    OpenerWorks = false;
    QVERIFY(f.Trigger("DrawsXlsExport"));
    const QStringList books = Workbooks(f);
    QCOMPARE(books.size(), 1);
    const auto infos = f.BoxesOf(TBoxKind::Information);
    QCOMPARE(infos.size(), size_t(1));
    QVERIFY(infos[0].Text.contains(books.front()));
    // Thirty draws, the newest first as the list shows them.
    const auto cells = SheetCells(books.front());
    QCOMPARE(QString::fromStdString(cells.at("A5")), f.Window->DrawsView()->model()->index(0, 0).data().toString());
    QVERIFY(cells.count("A34") == 1 && cells.count("A35") == 0);
  }

  void SelectedRowsOfTheDrawsList() {
    TGuiFixture f(30);
    f.Open(false);
    QTableView* view = f.Window->DrawsView();
    view->selectionModel()->select(view->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(view->model()->index(7, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.OnDialog<TExportDialog>([](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      // Two selected items preselect the selected mode.
      QCOMPARE(d->SendModeBox()->currentIndex(), 1);
      QCOMPARE(d->RowCountEdit()->text(), QStringLiteral("2"));
      d->SendModeBox()->setCurrentIndex(0);
      QCOMPARE(d->RowCountEdit()->text(), QStringLiteral("30"));
      d->SendModeBox()->setCurrentIndex(1);
      d->accept();
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
    const auto cells = SheetCells(Workbooks(f).front());
    QCOMPARE(QString::fromStdString(cells.at("A5")), view->model()->index(3, 0).data().toString());
    QCOMPARE(QString::fromStdString(cells.at("A6")), view->model()->index(7, 0).data().toString());
    QCOMPARE(cells.count("A7"), size_t(0));
  }

  void MovesTogglesAndRenameKeepCheckedFirst() {
    TGuiFixture f(30);
    f.Open(false);
    f.OnDialog<TExportDialog>([&f](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      QVERIFY(d->Action(QStringLiteral("MoveUp")) != nullptr);
      QCOMPARE(d->Fields().size(), size_t(11));
      QCOMPARE(d->CurrentField(), 0);
      QVERIFY(!d->Action(QStringLiteral("MoveUp"))->isEnabled());
      QVERIFY(d->Action(QStringLiteral("MoveDown"))->isEnabled());
      // Unchecking "1", then "2": both go behind the checked fields, in list order.
      d->ToggleField(1);
      d->ToggleField(1);
      QVERIFY(CheckedFirst(d->Fields()));
      QCOMPARE(QString::fromStdString(d->Fields()[9].PhysicalField), QStringLiteral("2"));
      QCOMPARE(QString::fromStdString(d->Fields()[10].PhysicalField), QStringLiteral("1"));
      QCOMPARE(d->CurrentField(), 9);  // the last toggled field stays selected
      // The last checked field moved down into the unchecked ones comes back.
      d->SelectField(8);
      d->Action(QStringLiteral("MoveDown"))->trigger();
      QVERIFY(CheckedFirst(d->Fields()));
      QCOMPARE(d->CurrentField(), 8);
      QCOMPARE(QString::fromStdString(d->Fields()[8].PhysicalField), QStringLiteral("Дата тиража"));
      // "S" (position 7) moved to the top.
      d->SelectField(7);
      for (int i = 0; i < 7; ++i) d->Action(QStringLiteral("MoveUp"))->trigger();
      QCOMPARE(d->CurrentField(), 0);
      QCOMPARE(QString::fromStdString(d->Fields()[0].PhysicalField), QStringLiteral("S"));
      QVERIFY(!d->Action(QStringLiteral("MoveUp"))->isEnabled());
      // Rename through the field dialog.
      f.OnDialog<TExportFieldDialog>([](TExportFieldDialog* fd) {
        const TCloseLeftOpen guard{fd};
        QCOMPARE(fd->CaptionEdit()->text(), QStringLiteral("S"));
        fd->CaptionEdit()->setText(QStringLiteral("Сумма"));
        fd->AlignmentBox()->setCurrentIndex(ExportAlignRight);
        fd->WidthEdit()->setValue(12.5);
        fd->accept();
      });
      d->Action(QStringLiteral("Rename"))->trigger();
      QCOMPARE(QString::fromStdString(d->Fields()[0].Caption), QStringLiteral("Сумма"));
      QCOMPARE(d->Fields()[0].Alignment, ExportAlignRight);
      QCOMPARE(d->Fields()[0].Width, ExportWidthText(12.5));
      QCOMPARE(d->FieldList()->topLevelItem(0)->text(0), QStringLiteral("Сумма"));
      QVERIFY(CheckedFirst(d->Fields()));
      d->accept();
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
    // Nine checked columns, "Сумма" first; the unchecked "1" and "2" are not written.
    const auto cells = SheetCells(Workbooks(f).front());
    QCOMPARE(QString::fromStdString(cells.at("A4")), QStringLiteral("Сумма"));
    QCOMPARE(QString::fromStdString(cells.at("B4")), QStringLiteral("Тираж"));
    QCOMPARE(QString::fromStdString(cells.at("C4")), QStringLiteral("3"));
    QCOMPARE(QString::fromStdString(cells.at("I4")), QStringLiteral("Дата тиража"));
    QCOMPARE(cells.count("J4"), size_t(0));
    // Stored in the settings file: the next dialog starts from them.
    const TExportParams again = f.Ws->ExportParamsFor(f.Ws->ExportDrawsTable());
    QCOMPARE(QString::fromStdString(again.Fields[0].Caption), QStringLiteral("Сумма"));
    QVERIFY(!again.Fields[10].Checked);
  }

  void ExpFileRoundTripThroughTheDialog() {
    TGuiFixture f(30);
    f.Open(false);
    const QString exp = QString::fromStdString((f.Dir / "draws.exp").string());
    f.OnDialog<TExportDialog>([&](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      d->NotesEdit()->setText(QStringLiteral("заметка"));
      d->ToggleField(0);
      f.NextFile = exp;
      d->Action(QStringLiteral("SaveFile"))->trigger();
      d->reject();
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
    QVERIFY(QFileInfo::exists(exp));
    QVERIFY(Workbooks(f).isEmpty());
    f.OnDialog<TExportDialog>([&](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      QVERIFY(d->Fields()[0].Checked);  // nothing was stored by the closed dialog
      f.NextFile = exp;
      d->Action(QStringLiteral("OpenFile"))->trigger();
      QCOMPARE(d->NotesEdit()->text(), QStringLiteral("заметка"));
      QVERIFY(!d->Fields()[10].Checked);
      QCOMPARE(QString::fromStdString(d->Fields()[10].PhysicalField), QStringLiteral("Тираж"));
      d->reject();
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
  }

  void FieldListWidthsAreKeptAcrossDialogs() {
    TGuiFixture f(30);
    f.Open(false);
    f.OnDialog<TExportDialog>([&](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      auto* list = d->findChild<QTreeWidget*>(QString::fromLatin1(TExportDialog::FieldListName));
      QCOMPARE(list->columnWidth(0), 250);
      list->setColumnWidth(0, 311);
      d->reject();  // kept however the dialog closes
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
    const TIniFile frm = LoadWindowSettings(f.Dir / "Korvane_6x45.frm");
    QCOMPARE(frm.ReadString(TExportDialog::WindowSection, "lvFields.Column0", ""), std::string("311"));
    f.OnDialog<TExportDialog>([&](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      auto* list = d->findChild<QTreeWidget*>(QString::fromLatin1(TExportDialog::FieldListName));
      QCOMPARE(list->columnWidth(0), 311);
      QCOMPARE(list->columnWidth(1), 134);
      d->reject();
    });
    QVERIFY(f.Trigger("DrawsXlsExport"));
  }

  void EnablingOfTheSevenCommands() {
    TGuiFixture f(0);
    f.Open(false);
    TCommandTable& t = f.Window->Commands();
    for (const char* id : {"DrawsXlsExport", "DrawsStatExportToExcel", "RatingsXlsExport", "StakesXlsExport",
                           "CombsXlsExport"})
      QVERIFY2(!t.IsEnabled(QString::fromLatin1(id)), id);
    // The card and the layout need only their tab shown and a grid wider than 2 columns.
    QVERIFY(t.IsEnabled(QStringLiteral("CardXlsExport")));
    t.Trigger(QStringLiteral("TabCard"));
    f.Window->UpdateActions();
    QVERIFY(!t.IsEnabled(QStringLiteral("CardXlsExport")));
  }

  void CardGridOfItsTabThroughTheEngine() {
    TGuiFixture f(40);
    f.Open(false);
    // The card tab's grid: the captions and the draw numbers are its headers.
    auto* grid = f.Window->findChild<QTableView*>(QStringLiteral("sgCard"));
    QVERIFY(grid != nullptr);
    for (int i = 0; i < f.Window->RightPages()->count(); ++i)
      if (f.Window->RightPages()->widget(i)->isAncestorOf(grid)) f.Window->RightPages()->setCurrentIndex(i);
    QTRY_VERIFY(grid->model()->rowCount() > 6);
    grid->selectionModel()->select(QItemSelection(grid->model()->index(2, 0), grid->model()->index(6, 2)),
                                   QItemSelectionModel::ClearAndSelect);
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("CardXlsExport")));
    TExportTable table;
    QVERIFY(ExportTableOf(*f.Window, QStringLiteral("CardXlsExport"), table));
    const TExportTable engine = f.Ws->ExportCardTable();
    QCOMPARE(QString::fromStdString(table.ControlName), QStringLiteral("sgCard"));
    QCOMPARE(table.RowCount, engine.RowCount);
    QCOMPARE(table.Columns.size(), engine.Columns.size());
    QCOMPARE(table.Columns[0].WidthPixels, grid->verticalHeader()->width());
    QCOMPARE(table.Columns[1].WidthPixels, grid->columnWidth(0));
    // View rows 2 .. 6 are grid rows 3 .. 7: the selected mode with 5 rows.
    QCOMPARE(table.SelectionTop, int64_t(3));
    QCOMPARE(table.SelectionBottom, int64_t(7));
    const TExportRowCounts counts = ExportRowCounts(table);
    QCOMPARE(counts.Preselected, ExportSendSelected);
    QCOMPARE(counts.Selected, int64_t(5));
    f.OnDialog<TExportDialog>([](TExportDialog* d) {
      const TCloseLeftOpen guard{d};
      QCOMPARE(d->TitleEdit()->text(), QStringLiteral("Карта"));
      QCOMPARE(d->RowCountEdit()->text(), QStringLiteral("5"));
      d->accept();
    });
    QVERIFY(f.Trigger("CardXlsExport"));
    const auto cells = SheetCells(Workbooks(f).front());
    for (int c = 0; c < 48; c += 7) {
      QCOMPARE(QString::fromStdString(cells.at(Ref(c, 4))), QString::fromStdString(engine.Cell(0, c)));
      QCOMPARE(cells.count(Ref(c, 5)) ? QString::fromStdString(cells.at(Ref(c, 5))) : QString(),
               QString::fromStdString(engine.Cell(3, c)));
    }
    QCOMPARE(cells.count("A10"), size_t(0));
  }

 private:
  QStringList Opened;
  bool OpenerWorks = true;
};

QTEST_MAIN(TExportTest)
#include "export_test.moc"
