// The configuration and proxy dialogs, About, and the window state across a restart.
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include "dialogs/about_dialog.h"
#include "dialogs/config_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "gui_fixture.h"
#include "shell/message_window.h"
#include "shell/progress_window.h"
#include "update/update.h"
#include "core/error.h"
#include "core/file_report.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

class TDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void ConfigSegmentCheckAndOkWritesTheFile() {
    TGuiFixture f(5);
    f.Open(false);
    bool gridFollowsColumns = false;
    QString segmentAfterBadValue;
    f.OnDialog<TConfigDialog>([&](TConfigDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Параметры системы"));
      QTableWidget* grid = d->SegmentsGrid();
      QCOMPARE(grid->columnCount(), 5);
      QCOMPARE(grid->rowCount(), 9);
      d->MatrixColsEdit()->setValue(7);
      // 7 columns: 7 rows, and the cells past 45 cannot be selected.
      gridFollowsColumns = grid->columnCount() == 7 && grid->rowCount() == 7 &&
                           grid->item(6, 3)->flags() == Qt::NoItemFlags && grid->item(6, 2)->flags() != Qt::NoItemFlags;
      grid->item(0, 1)->setText(QStringLiteral("12"));  // number 2: refused
      segmentAfterBadValue = grid->item(0, 1)->text();
      grid->item(0, 2)->setText(QStringLiteral("4"));  // number 3
      d->ChannelEdit()->setValue(9);
      d->CostEdit()->setValue(1.5);
      d->ProfitsGrid()->item(6, 1)->setText(QStringLiteral("1000000"));
      d->accept();
    });
    QVERIFY(f.Trigger("EditConfig"));
    QVERIFY(gridFollowsColumns);
    QCOMPARE(segmentAfterBadValue, QStringLiteral("1"));
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(errors[0].Text, QStringLiteral("Некорректное значение: 12!\n\nУкажите любое число от 1 до 9"));
    TConfigData read;
    ReadConfig(f.Dir / "Korvane_6x45.ini", read);
    QCOMPARE(read.MatrixCols, 7);
    QCOMPARE(read.ChannelSize, 9);
    QCOMPARE(read.Cost, int64_t(15000));
    QCOMPARE(read.Profits.size(), size_t(7));
    QCOMPARE(read.Profits[6].Profit, int64_t(10000000000));
    QCOMPARE(int(read.MatrixSegments[1]), 1);
    QCOMPARE(int(read.MatrixSegments[2]), 4);
    QCOMPARE(f.Ws->Stats().Config.ChannelSize, 9);
  }

  void ConfigCancelChangesNothing() {
    TGuiFixture f;
    f.Open(false);
    f.OnDialog<TConfigDialog>([](TConfigDialog* d) {
      d->ChannelEdit()->setValue(9);
      d->reject();
    });
    QVERIFY(f.Trigger("EditConfig"));
    QVERIFY(!std::filesystem::exists(f.Dir / "Korvane_6x45.ini"));
    QCOMPARE(f.Ws->Stats().Config.ChannelSize, 5);
  }

  void ProxyDialog_data() {
    QTest::addColumn<int>("choice");  // 0 off, 1 auto, 2 manual
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("server");
    QTest::newRow("manual") << 2 << QStringLiteral("ProxyMode=2") << QStringLiteral("ProxyServer=proxy.local");
    QTest::newRow("automatic") << 1 << QStringLiteral("ProxyMode=1") << QStringLiteral("ProxyServer=\r\n");
    QTest::newRow("off") << 0 << QStringLiteral("ProxyMode=0") << QStringLiteral("ProxyServer=proxy.local");
  }

  void ProxyDialog() {
    QFETCH(int, choice);
    QFETCH(QString, mode);
    QFETCH(QString, server);
    TGuiFixture f;
    f.Open(false);
    bool fieldsFollow = false;
    f.OnDialog<TProxyDialog>([&](TProxyDialog* d) {
      QVERIFY(d->OffButton()->isChecked());
      QVERIFY(!d->ServerEdit()->isEnabled());
      d->ManualButton()->setChecked(true);
      fieldsFollow = d->ServerEdit()->isEnabled();
      d->ServerEdit()->setText(QStringLiteral("proxy.local"));
      d->PortEdit()->setValue(3128);
      (choice == 0 ? d->OffButton() : choice == 1 ? d->AutoButton() : d->ManualButton())->setChecked(true);
      d->accept();
    });
    QVERIFY(f.Trigger("EditProxy"));
    QVERIFY(fieldsFollow);
    const QString ini = QString::fromStdString(vexa::test::ReadBytes(f.Dir / "Korvane_6x45.ini"));
    QVERIFY2(ini.contains(mode), qPrintable(ini));
    QVERIFY2(ini.contains(server), qPrintable(ini));
  }

  void AboutShowsTheVersion() {
    TGuiFixture f;
    f.Open(false);
    QString text;
    f.OnDialog<TAboutDialog>([&](TAboutDialog* d) {
      for (QLabel* l : d->findChildren<QLabel*>()) text += l->text() + QLatin1Char('|');
      d->accept();
    });
    QVERIFY(f.Trigger("About"));
    QVERIFY(text.contains(QStringLiteral("Версия программы: ") + QString::fromLatin1(ProgramVersion())));
  }

  void PlacementSplittersAndColumnsSurviveARestart() {
    TGuiFixture f(10);
    f.Open(false);
    f.Window->setGeometry(120, 90, 900, 640);
    f.Window->DrawsView()->setColumnWidth(0, 77);
    f.Window->CombsView()->setColumnWidth(7, 55);
    f.Window->FiltersView()->setColumnWidth(0, 200);
    f.Window->MainSplitter()->setSizes({420, 480});
    f.Window->ExcludeSpin()->setValue(3);
    QCoreApplication::processEvents();
    const QRect before = f.Window->geometry();
    const int left = f.Window->MainSplitter()->sizes().front();
    f.Close();
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "LeftPanelWidth", 0), left);
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "lvDraws.Column0", 0), 77);

    f.Open(false);
    QCoreApplication::processEvents();
    QCOMPARE(f.Window->geometry(), before);
    QCOMPARE(f.Window->DrawsView()->columnWidth(0), 77);
    QCOMPARE(f.Window->CombsView()->columnWidth(7), 55);
    QCOMPARE(f.Window->FiltersView()->columnWidth(0), 200);
    QCOMPARE(f.Window->MainSplitter()->sizes().front(), left);
    QCOMPARE(f.Window->ExcludeSpin()->value(), 3);
  }

  void MessageWindowCollectsFailureLines() {
    TGuiFixture f;
    f.Open(false);
    const QString first = QString::fromStdString(FileOpFailureLine(false, "10.12.2026 12:00:00", "Удаление", "нет доступа"));
    TMessageWindow* w = TMessageWindow::AddMessage(f.Window.get(), TMessageLineKind::Error, first);
    QVERIFY(w->isVisible());
    QCOMPARE(TMessageWindow::AddMessage(f.Window.get(), TMessageLineKind::Warning, QStringLiteral("второе")), w);
    QCOMPARE(w->Count(), 2);
    QCOMPARE(w->StatusLine()->text(), QStringLiteral("Всего сообщений: 2"));
    QVERIFY(w->Text().contains(QStringLiteral("Ошибка при выполнении операции \"Удаление\"")));
    QVERIFY(w->Text().contains(QStringLiteral("\n\nвторое")));
    QCOMPARE(TMessageWindow::ColourOf(TMessageLineKind::Stop), QColor(255, 0, 0));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(TMessageWindow::Current() == nullptr);
    TMessageWindow* again = TMessageWindow::AddMessage(f.Window.get(), TMessageLineKind::Info, QStringLiteral("снова"));
    QCOMPARE(again->Count(), 1);
    again->close();
  }

  void ProgressWindowIsSingleAndClamps() {
    TProgressWindow* p = TProgressWindow::OpenProgress(QString(), 10);
    QCOMPARE(p->size(), QSize(416, 74));
    QCOMPARE(p->Text(), QStringLiteral("Подождите пожалуйста..."));
    QVERIFY_THROWS_EXCEPTION(EVexaError, TProgressWindow::OpenProgress(QStringLiteral("x"), 5));
    p->StepProgress(4);
    QCOMPARE(p->Position(), 4);
    p->StepProgress(100);
    QCOMPARE(p->Position(), 10);
    p->SetProgressText(QStringLiteral("Сохранение..."));
    QCOMPARE(p->Text(), QStringLiteral("Сохранение..."));
    TProgressWindow::CloseProgress();
    QVERIFY(TProgressWindow::Current() == nullptr);
    QVERIFY(TProgressWindow::OpenProgress(QStringLiteral("снова"), 3) != nullptr);
    TProgressWindow::CloseProgress();
  }

  void FileDeletionReportIsABox() {
    TGuiFixture f;
    f.Open(false);
    vexa::test::WriteBytes(f.Dir / "ScriptLog_1.txt", "x");
    vexa::test::WriteBytes(f.Dir / "ScriptLog_2.txt", "y");
    QVERIFY(f.Ws->ScriptState().ScriptRunning == false);
    f.Ws->LogsDelete();
    const auto infos = f.BoxesOf(TBoxKind::Information);
    QCOMPARE(infos.size(), size_t(1));
    QVERIFY(infos[0].Text.startsWith(QStringLiteral("Удаление \"")));
    QVERIFY(infos[0].Text.contains(QStringLiteral("Всего - 2, обработано - 2, пропущено - 0, предупреждений - 0, ошибок - 0.")));
  }

  void PlacementOffEveryScreenIsCentred() {
    TGuiFixture f;
    WriteWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "ShowCmd", 1);
    vexa::test::WriteBytes(f.Dir / "Korvane_6x45.frm",
                           "[TFormMain]\r\nShowCmd=1\r\nPixelsPerInch=96\r\nNormPos=9000,9000,9800,9600\r\n");
    f.Open(false);
    QCOMPARE(f.Window->size(), QSize(1077, 782));
  }
};

QTEST_MAIN(TDialogsTest)
#include "dialogs_test.moc"
