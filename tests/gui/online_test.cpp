// The systems tab and the script library panel against the real service
// vexa-server, started by the test on a loopback port with a seeded store.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialogs/identity_dialog.h"
#include "dialogs/script_public_dialog.h"
#include "dialogs/script_rates_dialog.h"
#include "dialogs/stake_dialogs.h"
#include "dialogs/system_dialog.h"
#include "gui_fixture.h"
#include "models/library_model.h"
#include "models/systems_model.h"
#include "shell/worker.h"
#include "support/temp_dir.h"
#include "tabs/library_panel.h"
#include "tabs/script_tab.h"
#include "tabs/systems_tab.h"
#include "tabs/tab_tools.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

constexpr const char* TestLine = "FULL:0#RAND|TSD0#NUMS:20#LNO:#ST:1| | | | | | |a";
constexpr int StatusColumn = 6;
constexpr int TitleColumn = 1;
constexpr int YourRatingColumn = 9;

void WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

// The lines of every 6 of n positions, at most `limit`.
std::string Wheel(int n, int limit) {
  std::string text;
  int count = 0;
  for (int mask = 0; mask < (1 << n) && count < limit; ++mask) {
    if (__builtin_popcount(static_cast<unsigned>(mask)) != 6) continue;
    std::string line;
    for (int i = 0; i < n; ++i)
      if ((mask & (1 << i)) != 0) line += (line.empty() ? "" : " ") + std::to_string(i + 1);
    text += line + "\r\n";
    ++count;
  }
  return text;
}

// vexa-server on 127.0.0.1 with two systems (7 numbers: all 7 lines; 10
// numbers: 20 lines, neither with an author mail) and one universal script.
class TService {
 public:
  TService() {
    const auto seed = Dir / "seed";
    std::filesystem::create_directories(seed);
    WriteText(seed / "6-07-5_0007.dat", Wheel(7, 7));
    WriteText(seed / "6-10-3_0010.dat", Wheel(10, 20));
    WriteText(Dir / "shared.lsc", std::string(TestLine) + "\r\n");
    const QString data = QString::fromStdString((Dir / "db").string());
    Run({QStringLiteral("import-systems"), QStringLiteral("--data"), data, QString::fromStdString(seed.string())});
    Run({QStringLiteral("import-scripts"), QStringLiteral("--data"), data, QStringLiteral("--author"),
         QStringLiteral("Кто-то"), QStringLiteral("--title"), QStringLiteral("Общий сценарий"),
         QString::fromStdString((Dir / "shared.lsc").string())});
    Process.start(QStringLiteral(VEXA_SERVER_PATH),
                  {QStringLiteral("--data"), data, QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                   QStringLiteral("--write-rate"), QStringLiteral("0")});
    Process.waitForStarted();
    QString line;
    for (int i = 0; i < 100 && !line.contains(QStringLiteral("listening on")); ++i) {
      Process.waitForReadyRead(100);
      line += QString::fromUtf8(Process.readAllStandardOutput());
    }
    const int colon = line.lastIndexOf(QLatin1Char(':'));
    Url = QStringLiteral("http://127.0.0.1:") + line.mid(colon + 1).trimmed();
  }
  ~TService() {
    Process.kill();
    Process.waitForFinished();
  }
  static void Run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VEXA_SERVER_PATH), args);
    p.waitForFinished(30000);
  }

  vexa::test::TTempDir Dir;
  QProcess Process;
  QString Url;
};

// The settings point both services at it, with this user's identity.
void PointAt(TGuiFixture& f, const TService& s, const char* mail = "me@example.org") {
  const std::string url = s.Url.toStdString();
  WriteText(f.Dir / "Korvane_6x45.ini", "[Online]\r\nCatalogueUrl=" + url + "\r\nLibraryUrl=" + url +
                                            "\r\nUserName=Tester\r\nUserMail=" + mail + "\r\n");
}

TSystemsTab* Systems(TGuiFixture& f) { return f.Window->findChild<TSystemsTab*>(); }
TLibraryPanel* Library(TGuiFixture& f) { return f.Window->findChild<TLibraryPanel*>(); }

QString Cell(QTableView* view, int row, int column) {
  return view->model()->index(row, column).data().toString();
}

int RowOfSystem(TSystemsTab* tab, int32_t id) { return tab->Model()->ViewRowOf(id); }

int RowOfTitle(QTableView* view, const QString& title) {
  for (int r = 0; r < view->model()->rowCount(); ++r)
    if (Cell(view, r, TitleColumn) == title) return r;
  return -1;
}

bool SawBox(const TGuiFixture& f, const QString& text) {
  for (const TBoxRequest& b : f.Boxes)
    if (b.Text.contains(text)) return true;
  return false;
}

}  // namespace

class TOnlineTest : public QObject {
  Q_OBJECT

 private slots:
  void RefreshDownloadAndPlay() {
    TService service;
    TGuiFixture f(30);
    PointAt(f, service);
    f.Open();
    TSystemsTab* tab = Systems(f);
    QTableView* view = tab->View();
    // The start-up loaded the list, sorted by "Числа".
    QCOMPARE(view->model()->rowCount(), 2);
    QCOMPARE(Cell(view, 0, TSystemsModel::NumsColumn), QStringLiteral("07"));
    QCOMPARE(Cell(view, 1, TSystemsModel::NumsColumn), QStringLiteral("10"));
    QVERIFY(Cell(view, 0, StatusColumn).isEmpty());
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("SystemsDownload")));

    FocusRow(view, RowOfSystem(tab, 7));
    QVERIFY(f.Trigger("SystemsDownload"));
    QCOMPARE(Cell(view, RowOfSystem(tab, 7), StatusColumn), QStringLiteral("Загружена"));
    QVERIFY(std::filesystem::exists(f.Dir / "Systems" / "6-07-5_0007.dat"));
    QVERIFY(!view->model()->index(RowOfSystem(tab, 7), 0).data(Qt::DecorationRole).isNull());

    // Seven distinct numbers in the list: the 7-number system gives its 7 stakes.
    QVERIFY(f.Ws->CombsPaste("1 2 3 4 5 6\r\n2 3 4 5 6 7\r\n"));
    f.WaitIdle();
    QVERIFY(f.Window->Commands().Action(QStringLiteral("SystemStakeAll"))->isVisible());
    const int before = f.Ws->Stakes().Count();
    QString comment;
    f.OnDialog<TMultiStakeDialog>([&comment](TMultiStakeDialog* d) {
      comment = d->CommentEdit()->text();
      d->accept();
    });
    QVERIFY(f.Trigger("SystemStakeAll"));
    f.WaitIdle();
    QVERIFY2(comment.startsWith(QStringLiteral("Системная игра для 7 чисел [вся система]: 6-07-5_0007")),
             qPrintable(comment));
    QCOMPARE(f.Ws->Stakes().Count(), before + 7);

    // The refresh keeps the mark and the selection.
    QVERIFY(f.Trigger("SystemsRefresh"));
    QCOMPARE(Cell(view, RowOfSystem(tab, 7), StatusColumn), QStringLiteral("Загружена"));
    QCOMPARE(tab->SelectedIds(), (std::vector<int32_t>{7}));

    // Hiding the tab hides the play commands and empties the list.
    QVERIFY(f.Trigger("SystemsOn"));
    QVERIFY(!f.Window->Commands().Action(QStringLiteral("SystemStakeAll"))->isVisible());
    QVERIFY(!f.Window->RightPages()->isTabVisible(f.Window->RightPages()->indexOf(tab)));
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(f.Trigger("SystemsOn"));
    QCOMPARE(view->model()->rowCount(), 2);
    QCOMPARE(f.Window->RightPages()->currentWidget(), tab);
  }

  void SomeoneElsesSystemIsReadOnlyAndNotDeleted() {
    TService service;
    TGuiFixture f(30);
    PointAt(f, service);
    f.Open();
    TSystemsTab* tab = Systems(f);
    FocusRow(tab->View(), RowOfSystem(tab, 10));
    bool readOnly = false;
    int lines = 0;
    f.OnDialog<TSystemDialog>([&](TSystemDialog* d) {
      readOnly = !d->Editable() && d->OkButton()->isHidden() && d->TitleEdit()->isReadOnly() &&
                 d->NumsEdit()->isReadOnly() && d->CombsEdit()->isReadOnly() && d->focusWidget() == d->CancelButton();
      lines = d->CombsEdit()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
      d->reject();
    });
    QVERIFY(f.Trigger("SystemsProp"));
    QVERIFY(readOnly);
    QCOMPARE(lines, 20);

    QVERIFY(f.Trigger("SystemsDel"));
    QVERIFY(SawBox(f, QStringLiteral("Вы можете удалять только свои системы!")));
    QCOMPARE(tab->View()->model()->rowCount(), 2);
  }

  void AddOwnSystemThroughTheDialog() {
    TService service;
    TGuiFixture f(30);
    PointAt(f, service);
    f.Open();
    TSystemsTab* tab = Systems(f);
    QString nums, csize, combs, firstRefusal;
    f.OnDialog<TSystemDialog>([&](TSystemDialog* d) {
      // OK with nothing typed: the first check, the title.
      d->OkButton()->click();
      firstRefusal = f.Boxes.empty() ? QString() : f.Boxes.back().Text;
      d->TitleEdit()->setText(QStringLiteral("Моя система"));
      d->DescrEdit()->setPlainText(QStringLiteral("Проверка"));
      d->OlapEdit()->setText(QStringLiteral("3"));
      // Separators mixed, a 5-word and a 7-word line: both deleted.
      d->CombsEdit()->setPlainText(QStringLiteral("1,2,3;4 5-6\n1 2 3 4 5\n1 2 3 4 5 6 7\n2 3 4 5 6 7\n"));
      d->NormaliseCombs();
      combs = d->CombsEdit()->toPlainText();
      nums = d->NumsEdit()->text();
      csize = d->CSizeEdit()->text();
      d->OkButton()->click();
      // Seven numbers: "Числа" from the lines is accepted.
      if (d->isVisible()) d->reject();
    });
    QVERIFY(f.Trigger("SystemsAdd"));
    QCOMPARE(firstRefusal, QStringLiteral("Название системы должно быть указано обязательно!"));
    QCOMPARE(combs, QStringLiteral("01 02 03 04 05 06\n02 03 04 05 06 07"));
    QCOMPARE(nums, QStringLiteral("7"));
    QCOMPARE(csize, QStringLiteral("2"));
    QCOMPARE(tab->View()->model()->rowCount(), 3);
    const std::vector<int32_t> selected = tab->SelectedIds();
    QCOMPARE(selected.size(), size_t(1));
    const int row = RowOfSystem(tab, selected[0]);
    QCOMPARE(Cell(tab->View(), row, 0), QStringLiteral("Моя система"));
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("SystemsDel")));
  }

  void DigitEditsDropOtherKeys() {
    TSystemDialog d(TSystemForm{}, true, {});
    d.show();
    QTest::keyClicks(d.NumsEdit(), QStringLiteral("1a2-"));
    QCOMPARE(d.NumsEdit()->text(), QStringLiteral("12"));
  }

  void PublishRateAndDownload() {
    TService service;
    TGuiFixture f(30);
    PointAt(f, service);
    f.Open();
    TLibraryPanel* panel = Library(f);
    QTableView* view = panel->View();
    QVERIFY(panel->FilterBox()->isEnabled());
    QCOMPARE(panel->FilterBox()->currentIndex(), 2);
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(Cell(view, 0, 0), QStringLiteral("Общий"));

    // Publish the current script from the editor.
    f.Ws->ScriptAdd(TestLine);
    f.WaitIdle();
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("ScriptLibraryUpload")));
    f.OnDialog<TScriptPublicDialog>([](TScriptPublicDialog* d) {
      d->TitleEdit()->setText(QStringLiteral("  Мой сценарий  "));
      d->DescrEdit()->setPlainText(QStringLiteral("Описание"));
      d->OkButton()->click();
    });
    QVERIFY(f.Trigger("ScriptLibraryUpload"));
    const int mine = RowOfTitle(view, QStringLiteral("Мой сценарий"));
    QVERIFY(mine >= 0);
    QCOMPARE(Cell(view, mine, 0), QStringLiteral("Мой"));
    QCOMPARE(panel->SelectedId(), panel->Model()->IdAt(mine));
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("ScriptLibraryDelete")));

    // A taken title keeps the dialog open with the title focused.
    bool stayed = false, titleFocused = false;
    f.OnDialog<TScriptPublicDialog>([&](TScriptPublicDialog* d) {
      d->TitleEdit()->setText(QStringLiteral("Общий сценарий"));
      d->OkButton()->click();
      stayed = d->isVisible();
      titleFocused = d->TitleEdit()->hasFocus();
      d->reject();
    });
    QVERIFY(f.Trigger("ScriptLibraryUpload"));
    QVERIFY(stayed);
    QVERIFY(titleFocused);
    QVERIFY(SawBox(f, QStringLiteral("Сценарий с таким названием уже существует!")));
    QCOMPARE(view->model()->rowCount(), 2);

    // Rate someone else's script 4 with a comment, then remove the rating.
    const int shared = RowOfTitle(view, QStringLiteral("Общий сценарий"));
    FocusRow(view, shared);
    TLibraryPanel::SetCommentAsker([](QWidget*, QString& c) {
      c = QStringLiteral("полезно");
      return true;
    });
    QVERIFY(f.Trigger("ScriptLibraryRate4"));
    int row = RowOfTitle(view, QStringLiteral("Общий сценарий"));
    QCOMPARE(Cell(view, row, YourRatingColumn), QStringLiteral("4"));
    FocusRow(view, row);
    f.Window->UpdateActions();
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("ScriptLibraryRate4")));
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("ScriptLibraryRate0")));
    QVERIFY(f.Trigger("ScriptLibraryRate0"));
    row = RowOfTitle(view, QStringLiteral("Общий сценарий"));
    QVERIFY(Cell(view, row, YourRatingColumn).isEmpty());

    // A cancelled comment sends nothing.
    TLibraryPanel::SetCommentAsker([](QWidget*, QString&) { return false; });
    FocusRow(view, row);
    QVERIFY(f.Trigger("ScriptLibraryRate5"));
    QVERIFY(Cell(view, RowOfTitle(view, QStringLiteral("Общий сценарий")), YourRatingColumn).isEmpty());

    // The ratings window opens with the one rating left (none) and closes.
    bool ratesShown = false;
    f.OnDialog<TScriptRatesDialog>([&](TScriptRatesDialog* d) {
      ratesShown = d->windowTitle() == QStringLiteral("Оценки пользователей");
      d->accept();
    });
    FocusRow(view, RowOfTitle(view, QStringLiteral("Общий сценарий")));
    QVERIFY(f.Trigger("ScriptLibraryRates"));
    QVERIFY(ratesShown);

    // Download the shared script into the editor.
    f.Ws->ScriptClr();
    f.WaitIdle();
    FocusRow(view, RowOfTitle(view, QStringLiteral("Общий сценарий")));
    QVERIFY(f.Trigger("ScriptLibraryDownload"));
    QCOMPARE(f.Ws->ScriptLines().size(), size_t(1));
    QCOMPARE(f.Window->findChild<TScriptTab*>()->View()->model()->rowCount(), 1);
    TLibraryPanel::SetCommentAsker({});
  }

  void FilterIsKeptAndHiddenScriptsLeave() {
    TService service;
    TGuiFixture f(30);
    PointAt(f, service);
    f.Open();
    TLibraryPanel* panel = Library(f);
    QTableView* view = panel->View();
    FocusRow(view, 0);
    QVERIFY(f.Trigger("ScriptLibraryHide"));
    // The default filter leaves hidden scripts out; "Скрытые" shows them.
    QCOMPARE(view->model()->rowCount(), 0);
    panel->FilterBox()->setCurrentIndex(0);
    f.WaitIdle();
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(Cell(view, 0, YourRatingColumn), QStringLiteral("Скрытый"));
    f.Close();
    f.Open();
    QCOMPARE(Library(f)->FilterBox()->currentIndex(), 0);
    QCOMPARE(Library(f)->View()->model()->rowCount(), 1);
  }

  void RatesWindowKeepsItsColumnsAndSort() {
    TGuiFixture f(30);
    f.Open(false);
    auto rows = [] {
      return std::vector<TTextRow>{{{"Борис", "5", "2026-01-02 10:00:00", "Korvane_6x45", "1.0", "да"}, {}},
                                   {{"Анна", "10", "2026-01-01 10:00:00", "Korvane_6x45", "1.0", ""}, {}},
                                   {{"Вера", "9", "2026-01-03 10:00:00", "Korvane_6x45", "1.0", ""}, {}}};
    };
    {
      TScriptRatesDialog d(*f.Ws, rows());
      QCOMPARE(d.View()->model()->index(0, 0).data().toString(), QStringLiteral("Борис"));
      // "Оценка" twice: descending, as numbers (10 before 9).
      emit d.View()->horizontalHeader()->sectionClicked(1);
      emit d.View()->horizontalHeader()->sectionClicked(1);
      QCOMPARE(d.View()->model()->index(0, 1).data().toString(), QStringLiteral("10"));
      QCOMPARE(d.View()->model()->index(2, 1).data().toString(), QStringLiteral("5"));
      d.View()->setColumnWidth(0, 222);
      d.accept();
    }
    TScriptRatesDialog again(*f.Ws, rows());
    QCOMPARE(again.View()->columnWidth(0), 222);
    QCOMPARE(again.Model()->SortColumn(), 1);
    QVERIFY(again.Model()->SortDescending());
    QCOMPARE(again.View()->model()->index(0, 0).data().toString(), QStringLiteral("Анна"));
  }

  void PanelHidesAndKeepsItsHeight() {
    TGuiFixture f(30);
    f.Open();
    TLibraryPanel* panel = Library(f);
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("ScriptLibrary")));
    QVERIFY(f.Trigger("ScriptLibrary"));
    QVERIFY(panel->isHidden());
    QVERIFY(!f.Window->Commands().IsEnabled(QStringLiteral("ScriptLibraryRefresh")));
    QVERIFY(f.Trigger("ScriptLibrary"));
    QVERIFY(!panel->isHidden());
    f.Close();
    f.Open();
    QVERIFY(f.Ws->Window().ScriptLibraryOn);
  }
};

QTEST_MAIN(TOnlineTest)
#include "online_test.moc"
