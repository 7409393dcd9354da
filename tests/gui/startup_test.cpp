// Start-up and shutdown of the window.
#include <QLabel>
#include <QProcess>
#include <QTabWidget>
#include <QtTest>

#include "gui_fixture.h"
#include "shell/program.h"
#include "support/temp_dir.h"
#include "update/update.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

class TStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void CreatesAndReadsTheDataFolder() {
    TGuiFixture f(30);
    f.Open();
    TMainWindow& w = *f.Window;
    // The initial run: the full list, the draws-on-start question (answered No).
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount);
    const auto questions = f.BoxesOf(TBoxKind::Question);
    QCOMPARE(questions.size(), size_t(1));
    QVERIFY(questions[0].Text.startsWith(QStringLiteral("Обновить список тиражей?\n\n")));
    QCOMPARE(questions[0].Title, QStringLiteral("Подтверждение"));
    QVERIFY(std::filesystem::exists(f.Dir / "Korvane_6x45.lsk"));
    QVERIFY(std::filesystem::exists(f.Dir / "Korvane_6x45.frm"));
    QVERIFY(ReadWindowBool(f.Dir / "Korvane_6x45.frm", MainWindowSection, "PrefetchsInit", false));

    QCOMPARE(w.windowTitle(), QStringLiteral("Анализ статистики лотереи \"Korvane 6 из 45\" версия ") +
                                  QString::fromLatin1(ProgramVersion()));
    QCOMPARE(w.size(), QSize(1077, 782));
    QCOMPARE(w.LeftPages()->count(), 2);
    QCOMPARE(w.LeftPages()->tabText(0), QStringLiteral("Архив тиражей"));
    QCOMPARE(w.LeftPages()->tabText(1), QStringLiteral("Комбинации"));
    QCOMPARE(w.RightPages()->count(), 9);  // "Статистика", "Графики", "Карта", "Схема", "Ставки", "Рейтинг", "Регуляры", "Системы", "Сценарий"
    QCOMPARE(w.RightPages()->tabText(0), QStringLiteral("Статистика"));
    QCOMPARE(w.Panel(0)->text(), QStringLiteral("Архив тиражей: 30"));
    QCOMPARE(w.Panel(1)->text(), QStringLiteral("Следующий тираж: %1").arg(f.Ws->Archive().Draws().back().Number + 2));
    QCOMPARE(w.Panel(2)->text(), QString());
    QCOMPARE(w.Panel(3)->text(), QStringLiteral("Комбинаций: 8145060"));
    QCOMPARE(w.Panel(4)->text(), QStringLiteral("Ставок: 0"));
    QCOMPARE(w.Panel(5)->text(), QStringLiteral("Рейтинг: 0"));
    const int widths[] = {150, 180, 130, 150, 120, 125};
    for (int i = 0; i < 6; ++i) QCOMPARE(w.Panel(i)->width(), widths[i]);
    QVERIFY(!w.Busy());
  }

  void DownloadOnStartTwoAsksNothing() {
    TGuiFixture f;
    WriteWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "DownloadDrawsOnStart", 2);
    f.Open();
    QVERIFY(f.BoxesOf(TBoxKind::Question).empty());
    QVERIFY(f.BoxesOf(TBoxKind::Error).empty());
  }

  void SecondInstanceIsRefusedWithBothMessages() {
    TGuiFixture first;
    first.Open(false);
    TGuiFixture second;
    std::vector<TBoxRequest> boxes;
    SetBoxHook([&](const TBoxRequest& r) {
      boxes.push_back(r);
      return true;
    });
    TQtUserInterface ui;
    TWorkspace ws(first.Dir.Path(), ui);
    ws.Open();
    QVERIFY(ws.MustQuit());
    QCOMPARE(boxes.size(), size_t(2));
    QCOMPARE(boxes[0].Title, QStringLiteral("Ошибка"));
    QVERIFY(boxes[0].Text.startsWith(QStringLiteral("Ошибка чтения файла ставок!\n\n")));
    QVERIFY(boxes[1].Text.startsWith(QStringLiteral("Невозможно получить монопольный доступ к файлам данных!")));
    QVERIFY(boxes[1].Text.endsWith(QStringLiteral("Программа будет закрыта!")));
  }

  void CommandLineSwitchesInEveryForm() {
    const TCommandLine a = ParseCommandLine({"/LOADONLY", "--data-dir", "/tmp/x", "--fullrefresh"});
    QCOMPARE(QString::fromStdString(a.DataDir), QStringLiteral("/tmp/x"));
    QVERIFY(a.Switches.LoadOnly);
    QVERIFY(a.Switches.FullRefresh);
    QVERIFY(!a.Switches.Restart);
    const TCommandLine b = ParseCommandLine({"\\restart", "-no-language", "--data-dir=/d", "fullrecreate"});
    QCOMPARE(QString::fromStdString(b.DataDir), QStringLiteral("/d"));
    QVERIFY(b.Switches.Restart);
    QVERIFY(b.Switches.NoLanguage);
    QVERIFY(b.Switches.FullRecreate);
    QVERIFY(b.Switches.QuitsAfterStart());
  }

  void WithoutDisplayItSaysSoAndFails() {
    vexa::test::TTempDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVANE_PATH), {QStringLiteral("--data-dir"), QString::fromStdString(dir.Path().string())});
    QVERIFY(p.waitForFinished(20000));
    QVERIFY(p.exitCode() != 0);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    QVERIFY(err.contains(QStringLiteral("xvfb-run")));
    QVERIFY(!err.contains(QLatin1Char('\n')));
    QVERIFY(!std::filesystem::exists(dir / "Korvane_6x45.lsk"));
  }
};

QTEST_MAIN(TStartupTest)
#include "startup_test.moc"
