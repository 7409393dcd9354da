// The tabs' settings and layout: the stakes scroll switch, the column widths
// of the tabs' lists and the statistics window length across a restart, the
// ratings list's sort arrow, header texts and button rows that show whole,
// and the interface language menu.
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "core/format.h"
#include "core/settings.h"
#include "models/stat_model.h"
#include "gui_fixture.h"
#include "shell/language_menu.h"
#include "stakes/ratings.h"
#include "tabs/ratings_tab.h"
#include "tabs/script_tab.h"
#include "tabs/stakes_tab.h"
#include "tabs/stat_tab.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

QTableView* List(TGuiFixture& f, const char* name) { return f.Window->findChild<QTableView*>(QString::fromLatin1(name)); }

void ClickHeader(QTableView* view, int column) {
  QHeaderView* h = view->horizontalHeader();
  const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
  QCoreApplication::processEvents();
}

// Every button of the tab lies whole inside the tab and is not covered.
void CheckButtonsWhole(TGuiFixture& f, QWidget* tab) {
  f.Window->RightPages()->setCurrentWidget(tab);
  QCoreApplication::processEvents();
  const QList<QToolButton*> buttons = tab->findChildren<QToolButton*>();
  QVERIFY(!buttons.isEmpty());
  for (QToolButton* b : buttons) {
    if (b->property("command").toString().isEmpty()) continue;
    const QRect inTab(b->mapTo(tab, QPoint(0, 0)), b->size());
    QVERIFY2(tab->rect().contains(inTab), qPrintable(b->text()));
    QVERIFY2(b->visibleRegion().boundingRect().size() == b->size(), qPrintable(b->text()));
  }
}

}  // namespace

class TTabSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void StakesScrollTogglesAndIsStoredAtOnce() {
    TGuiFixture f(30);
    f.Open(false);
    QAction* a = f.Window->Commands().Action(QStringLiteral("StakesScroll"));
    QVERIFY(a != nullptr);
    QCOMPARE(a->text(), QStringLiteral("Прокручивать список при добавлении"));
    f.Window->UpdateActions();
    QVERIFY(a->isChecked());
    QVERIFY(f.Trigger("StakesScroll"));
    QVERIFY(!f.Ws->Window().StakesScrollEnabled);
    QVERIFY(!a->isChecked());
    QVERIFY(!ReadWindowBool(f.Dir / "Korvane_6x45.frm", MainWindowSection, "StakesScrollEnabled", true));
    QVERIFY(f.Trigger("StakesScroll"));
    QVERIFY(f.Ws->Window().StakesScrollEnabled);
  }

  void TabListsAndTheStatWindowLengthSurviveARestart() {
    TGuiFixture f(30);
    f.Open(false);
    const std::pair<const char*, int> widths[] = {{"sgStakes", 77}, {"lvRatings", 66}, {"lvTables", 55},
                                                  {"lvScript", 150}};
    for (const auto& [name, width] : widths) {
      QVERIFY2(List(f, name) != nullptr, name);
      List(f, name)->setColumnWidth(1, width);
    }
    auto* length = f.Window->findChild<QSpinBox*>(QStringLiteral("edStatLen"));
    QVERIFY(length != nullptr);
    length->setValue(333);
    QCOMPARE(f.Ws->Window().DrawsStatLen, 333);
    f.Close();
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "DrawsStatLen", 0), 333);

    f.Open(false);
    for (const auto& [name, width] : widths) QCOMPARE(List(f, name)->columnWidth(1), width);
    length = f.Window->findChild<QSpinBox*>(QStringLiteral("edStatLen"));
    QCOMPARE(length->value(), 333);
    QCOMPARE(f.Ws->Window().DrawsStatLen, 333);
  }

  void StatListColumnsAndSortSurviveARestart() {
    TGuiFixture f(30);
    f.Open(false);
    QTableView* view = List(f, TStatTab::ListName);
    QVERIFY(view != nullptr);
    QVERIFY(!f.Ws->Window().PrefetchsEnabled);
    QVERIFY(view->isColumnHidden(scExpected));
    view->setColumnWidth(scValue, 171);
    view->setColumnWidth(scAge, 91);
    view->sortByColumn(scAge, Qt::DescendingOrder);
    f.Close();
    const auto frm = f.Dir / "Korvane_6x45.frm";
    QCOMPARE(ReadWindowInt(frm, MainWindowSection, "lvDrawsStat.Column0", 0), 171);
    QCOMPARE(LoadWindowSettings(frm).ReadString(MainWindowSection, "lvDrawsStat.SortType", ""),
             Format("%d,1", {int(scAge)}));
    // A hidden comparison column is stored as width 0, as the window always did.
    QCOMPARE(ReadWindowInt(frm, MainWindowSection, "lvDrawsStat.Column" + std::to_string(scExpected), -1), 0);

    f.Open(false);
    view = List(f, TStatTab::ListName);
    QCOMPARE(view->columnWidth(scValue), 171);
    QCOMPARE(view->columnWidth(scAge), 91);
    QVERIFY(view->isColumnHidden(scExpected));
    const auto* model = qobject_cast<const TStatModel*>(view->model());
    QCOMPARE(model->SortColumn(), int(scAge));
    QVERIFY(model->SortDescending());
    QCOMPARE(view->horizontalHeader()->sortIndicatorSection(), int(scAge));
    QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  }

  void RatingsArrowFollowsTheEngineOrder() {
    TGuiFixture f(30);
    f.Open(false);
    QTableView* view = List(f, "lvRatings");
    QHeaderView* h = view->horizontalHeader();
    QCOMPARE(h->sortIndicatorSection(), RatingDefaultSortColumn);
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
    struct {
      int Column;
      bool Descending;
    } clicks[] = {{1, true}, {1, false}, {1, true}, {4, true}, {4, false}};
    for (const auto& c : clicks) {
      ClickHeader(view, c.Column);
      QCOMPARE(f.Ws->RatingsSortColumn(), c.Column);
      QCOMPARE(f.Ws->RatingsSortDescending(), c.Descending);
      QCOMPARE(h->sortIndicatorSection(), c.Column);
      QCOMPARE(h->sortIndicatorOrder(), c.Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
  }

  void SortableHeadersKeepRoomForTheArrow() {
    TGuiFixture f(30);
    f.Open(false);
    QTableView* view = List(f, "lvRatings");
    QHeaderView* h = view->horizontalHeader();
    const int arrow = h->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, h) +
                      2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    for (int c = 0; c < view->model()->columnCount(); ++c) {
      const QString text = view->model()->headerData(c, Qt::Horizontal).toString();
      QVERIFY2(view->columnWidth(c) >= h->fontMetrics().horizontalAdvance(text) + arrow, qPrintable(text));
    }
  }

  void ButtonRowsShowEveryButtonAtTheDefaultSize() {
    TGuiFixture f(30);
    f.Open(false);
    QCoreApplication::processEvents();
    CheckButtonsWhole(f, f.Window->findChild<TScriptTab*>());
    CheckButtonsWhole(f, f.Window->findChild<TStakesTab*>());
    CheckButtonsWhole(f, f.Window->findChild<TRatingsTab*>());
    // Narrower still, the rows wrap instead of cutting.
    f.Window->resize(700, f.Window->height());
    CheckButtonsWhole(f, f.Window->findChild<TScriptTab*>());
  }

  void LanguageMenuOffersTheModulesAndRestartsOnAChange() {
    TGuiFixture f(30);
    const auto bin = f.Dir / "bin";
    std::filesystem::create_directory(bin);
    vexa::test::WriteBytes(bin / "Korvane_6x45_UKR.lng", "x");
    vexa::test::WriteBytes(bin / "Korvane_6x45_ENU.lng", "x");
    TLanguageMenuEnv saved = LanguageMenuEnv();
    QStringList args;
    bool refuse = false;
    LanguageMenuEnv().Program = bin / "Korvane_6x45";
    LanguageMenuEnv().Restart = [&](const QString&, const QStringList& a, const QString&, QString& error) {
      args = a;
      if (refuse) error = QStringLiteral("нет такой программы");
      return !refuse;
    };
    f.Open(false);
    auto* menu = f.Window->findChild<QMenu*>(QStringLiteral("mnLanguage"));
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().size(), 3);  // 1033, 1049, 1058 in this order
    QCOMPARE(menu->actions()[1]->objectName(), QStringLiteral("Language1049"));
    QVERIFY2(menu->actions()[0]->isChecked(), "the default 1033 has its module");

    // The module vanished since: the message, nothing stored, no restart.
    std::filesystem::remove(bin / "Korvane_6x45_UKR.lng");
    menu->actions()[2]->trigger();
    QVERIFY(args.isEmpty());
    QCOMPARE(f.Ws->Window().Language, 1033);
    QVERIFY(menu->actions()[0]->isChecked());
    QVERIFY(!f.BoxesOf(TBoxKind::Error).empty());
    QVERIFY(f.BoxesOf(TBoxKind::Error).back().Text.contains(QStringLiteral("Korvane_6x45_UKR.lng")));

    // A failed start keeps this copy running.
    refuse = true;
    menu->actions()[1]->trigger();
    QCOMPARE(args.first(), QStringLiteral("restart"));
    QVERIFY(f.Window->isVisible());

    refuse = false;
    args.clear();
    f.Ws->ChooseLanguage(1033, LanguageMenuEnv().Program);
    menu->actions()[1]->trigger();
    QCOMPARE(args, (QStringList{QStringLiteral("restart"), QStringLiteral("--data-dir"),
                                QString::fromStdString(f.Dir.Path().string())}));
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "Language", 0), 1049);
    QVERIFY2(!f.Window->isVisible(), "closed for the new copy");
    LanguageMenuEnv() = saved;
  }
};

QTEST_MAIN(TTabSettingsTest)
#include "tab_settings_test.moc"
