// The results download from the window and the "loadonly" switch, against
// a results site on 127.0.0.1.
#include <QLabel>
#include <QProcess>
#include <QtTest>

#include "gui_fixture.h"
#include "models/draws_model.h"
#include "support/results_pages.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

// The month page of the newest demo draw (2 Dec 2026) with one new draw.
void ServeOneNewDraw(vexa::test::TResultsSite& site, int number) {
  vexa::test::TPageDraw d;
  d.Number = std::to_string(number);
  d.Date = "2026-12-05";
  d.Nums = {3, 9, 17, 22, 31, 44};
  d.Supp = {5, 12};
  site.SetPage("december-2026", vexa::test::MonthPage({d}));
}

void PointAt(const std::filesystem::path& dir, const std::string& url) {
  vexa::test::WriteBytes(dir / "Korvane_6x45.ini", "[HTTP]\r\nResultsBaseUrl=" + url + "\r\n");
}

}  // namespace

class TDownloadTest : public QObject {
  Q_OBJECT

 private slots:
  void DownloadCommandRunsOnTheWorker() {
    vexa::test::TResultsSite site;
    TGuiFixture f(5);
    PointAt(f.Dir.Path(), site.Url());
    f.Open(false);
    const int newest = f.Ws->Archive().Draws().back().Number;
    ServeOneNewDraw(site, newest + 1);
    QVERIFY(f.Trigger("DrawsDownload"));
    QCOMPARE(f.Ws->Archive().Count(), 6);
    QCOMPARE(f.Window->DrawsModel()->rowCount(), 6);
    QCOMPARE(f.Window->Panel(0)->text(), QStringLiteral("Архив тиражей: 6"));
    QCOMPARE(std::filesystem::file_size(f.Dir / "Korvane_6x45.ldr"), uintmax_t(6 * 24));
    QVERIFY(f.BoxesOf(TBoxKind::Error).empty());
  }

  void RetryQuestionComesUpAsABox() {
    vexa::test::TResultsSite site;
    TGuiFixture f(5);
    PointAt(f.Dir.Path(), site.Url());
    f.Open(false);
    site.SetFailing("december-2026", -1);
    f.Answers = {true, false};  // retry once, then give up
    QVERIFY(f.Trigger("DrawsDownload"));
    const auto questions = f.BoxesOf(TBoxKind::Question);
    QCOMPARE(questions.size(), size_t(2));
    QVERIFY(questions[0].Text.startsWith(QStringLiteral("Ошибка загрузки архива тиражей с сайта:")));
    QVERIFY(questions[0].Text.endsWith(QStringLiteral("Повторить попытку?")));
    QCOMPARE(f.Ws->Archive().Count(), 5);
    QVERIFY(!f.Window->Busy());
  }

  void LoadOnlyDownloadsAndQuitsWithoutAWindow() {
    vexa::test::TResultsSite site;
    TGuiFixture f(5);
    PointAt(f.Dir.Path(), site.Url());
    {
      TSilentUserInterface silent;
      TDrawsArchive a(f.Dir / "Korvane_6x45.ldr");
      a.LoadDraws(silent);
      ServeOneNewDraw(site, a.Draws().back().Number + 1);
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVANE_PATH),
            {QStringLiteral("/LOADONLY"), QStringLiteral("--data-dir"), QString::fromStdString(f.Dir.Path().string())});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(std::filesystem::file_size(f.Dir / "Korvane_6x45.ldr"), uintmax_t(6 * 24));
  }
};

QTEST_MAIN(TDownloadTest)
#include "download_test.moc"
