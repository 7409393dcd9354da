// The command table: ids, captions, keys, menus, enabled states, shared keys.
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <future>
#include <set>

#include "gui_fixture.h"
#include "shell/command_table.h"
#include "shell/worker.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;

namespace {

void CollectActions(const QMenu* menu, std::set<QString>& ids) {
  for (QAction* a : menu->actions()) {
    if (a->menu() != nullptr) CollectActions(a->menu(), ids);
    if (!a->objectName().isEmpty()) ids.insert(a->objectName());
  }
}

}  // namespace

class TCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void TableRowsAsDesigned_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    struct TRow {
      const char *Id, *Category, *Caption, *Key;
    };
    const TRow rows[] = {
        {"DrawsDownload", "Архив тиражей", "Загрузка", "F3"},
        {"DrawsGraphDraw", "Статистика", "Обновить", ""},
        {"CardFilter_Include", "Фильтры", "Оставить выделенные", ""},
        {"CardFilter_Exclude", "Фильтры", "Удалить выделенные", ""},
        {"LayoutFilter_Include", "Фильтры", "Оставить выделенные", ""},
        {"LayoutFilter_Exclude", "Фильтры", "Удалить выделенные", ""},
        {"ViewColorCard", "Вид", "Выделять каналы в карте тиражей", ""},
        {"ViewColorCardSequences", "Вид", "Выделять последовательности в карте тиражей", ""},
        {"ViewShemaGradient", "Вид", "Градиентная раскраска схемы", ""},
        {"TabGraps", "Вид", "Вкладка \"Графики\"", ""},
        {"TabCard", "Вид", "Вкладка \"Карта\"", ""},
        {"TabLayout", "Вид", "Вкладка \"Схема\"", ""},
        {"AnalyzeRepeats", "Расширенная статистика", "Количество повторов в зависимости от тиража", ""},
        {"TotalSumCombs", "Расширенная статистика", "Распределение сумм тиражей и всех возможных комбинаций", ""},
        {"LayoutCalc", "Схема", "Обновить", ""},
        {"LayoutCmpCalc", "Схема", "Обновить", ""},
        {"DrawsAdd", "Архив тиражей", "Добавить", ""},
        {"DrawsEdit", "Архив тиражей", "Изменить", ""},
        {"DrawsDel", "Архив тиражей", "Удалить", ""},
        {"DrawsImport", "Архив тиражей", "Импорт из CSV-файла", ""},
        {"DrawsExport", "Архив тиражей", "Экспорт в CSV-файл", ""},
        {"DrawsSorted", "Архив тиражей", "Упорядочить MIN->MAX", ""},
        {"AutoDownload0", "Архив тиражей", "По запросу (по умолчанию)", ""},
        {"AutoDownload1", "Архив тиражей", "Автоматически", ""},
        {"AutoDownload2", "Архив тиражей", "Отключено", ""},
        {"ExitProgram", "Файл", "Выход", "Alt+F4"},
        {"EditConfig", "Файл", "Параметры", ""},
        {"EditProxy", "Файл", "Параметры proxy-сервера", ""},
        {"CombsGen", "Комбинации", "Генерировать", "F2"},
        {"CombsOpen", "Комбинации", "Открыть", "Ctrl+O"},
        {"CombsSave", "Комбинации", "Сохранить", "Ctrl+S"},
        {"CombsUndo", "Комбинации", "Отменить", "Ctrl+Z"},
        {"CombsDelExists", "Комбинации", "Исключить тиражи", "Ctrl+E"},
        {"CombsDelSelected", "Комбинации", "Удалить выделенные", "Ctrl+Del"},
        {"CombsCheckNums", "Комбинации", "Количество уникальных номеров", ""},
        {"CombsFindInDraws", "Комбинации", "Проверить по архиву тиражей", "Ctrl+F"},
        {"CombsCopy", "Комбинации", "Копировать в буфер", "Ctrl+C"},
        {"CombsPaste", "Комбинации", "Вставить из буфера", "Ctrl+V"},
        {"CombsSelectAll", "Комбинации", "Выделить все", "Ctrl+A"},
        {"OpenLotoSite", "Справка", "Сайт лотереи", ""},
        {"GetHelp", "Справка", "Справка", "F1"},
        {"About", "Справка", "О программе", ""},
        {"urlMainSite", "Справка", "Официальный сайт проекта", ""},
        {"urlAuthSite", "Справка", "Страница автора", ""},
        {"urlBlog", "Справка", "Наш блог", ""},
        {"urlYT", "Справка", "Наш видеоблог", ""},
        {"urlVK", "Справка", "Страница в соцсети \"В контакте\"", ""},
        {"urlOK", "Справка", "Страница в соцсети \"Однокласники\"", ""},
        {"urlAuthText", "Справка", "Статьи для начинающих", ""},
        {"urlTG", "Справка", "Канал в Telegram", ""},
        {"ViewColorDraws", "Вид", "Выделять каналы в списке тиражей", ""},
        {"ViewColorCombs", "Вид", "Выделять каналы в списке комбинаций", ""},
        {"TabWeek", "Вид", "Вкладка \"Неделя\"", ""},
    };
    for (const TRow& r : rows)
      QTest::newRow(r.Id) << QString::fromUtf8(r.Category) << QString::fromUtf8(r.Caption) << QString::fromUtf8(r.Key);
  }

  void TableRowsAsDesigned() {
    QFETCH(QString, category);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    TGuiFixture f;
    f.Open(false);
    const TCommand* c = f.Window->Commands().Find(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(c != nullptr);
    QCOMPARE(c->Category, category);
    QCOMPARE(c->Caption, caption);
    QCOMPARE(c->Key, key);
    QAction* a = f.Window->Commands().Action(c->Id);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), QKeySequence(key));
    QVERIFY(!a->statusTip().isEmpty());
  }

  void IdsUniqueAndEveryCommandInAMenu() {
    TGuiFixture f;
    f.Open(false);
    std::set<QString> ids;
    for (const TCommand& c : f.Window->Commands().Commands()) QVERIFY2(ids.insert(c.Id).second, qPrintable(c.Id));
    // the window's own, the statistics tab's, the trading tabs', export and update, the systems tab's,
    // the library panel's, the views'
    QCOMPARE(ids.size(), size_t(38 + 11 + 43 + 9 + 8 + 15 + 15));
    std::set<QString> inMenus;
    for (QAction* a : f.Window->menuBar()->actions())
      if (a->menu() != nullptr) CollectActions(a->menu(), inMenus);
    // The statistics list's own commands live in its pop-up menu and on its buttons.
    const std::set<QString> popupOnly{QStringLiteral("DrawsStatCalc"), QStringLiteral("DrawsStatePrefetchsEnabled"),
                                      QStringLiteral("DrawsStatShowTotalLine"), QStringLiteral("StatFilter_Include"),
                                      QStringLiteral("StatFilter_Exclude"),
                                      // the grid exports sit in the card's and the layout's pop-up menus,
                                      QStringLiteral("CardXlsExport"), QStringLiteral("LayoutXlsExport"),
                                      // and those of the graphs, card and layout in theirs.
                                      QStringLiteral("DrawsGraphDraw"), QStringLiteral("CardFilter_Include"),
                                      QStringLiteral("CardFilter_Exclude"), QStringLiteral("LayoutCalc"),
                                      QStringLiteral("LayoutCmpCalc"), QStringLiteral("LayoutFilter_Include"),
                                      QStringLiteral("LayoutFilter_Exclude")};
    for (const QString& id : ids) QVERIFY2(inMenus.count(id) == (popupOnly.count(id) ? 0u : 1u), qPrintable(id));
    // Menus in the designed order; the later tabs' menus are not there yet.
    QStringList titles;
    for (QAction* a : f.Window->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{QStringLiteral("Файл"), QStringLiteral("Архив тиражей"), QStringLiteral("Комбинации"),
                                  QStringLiteral("Статистика"), QStringLiteral("Ставки"), QStringLiteral("Рейтинг"),
                                  QStringLiteral("Регуляры"), QStringLiteral("Системы"), QStringLiteral("Сценарий"), QStringLiteral("Вид"), QStringLiteral("Справка")}));
    QCOMPARE(f.Window->Commands().Find(QStringLiteral("DrawsSorted"))->Hint,
             QStringLiteral("Упорядочить числа внутри тиража от меньшего к большему"));
    QCOMPARE(f.Window->Commands().Find(QStringLiteral("CombsDelExists"))->Hint,
             QStringLiteral("Удалить N последних тиражей из списка комбинаций"));
    QCOMPARE(f.Window->Commands().Find(QStringLiteral("AutoDownload0"))->Hint, QStringLiteral("Спросить пользователя"));
  }

  void EnabledStatesIdleBusyEmptyFull() {
    // Expected: empty data / full data with a selection.
    struct TRow {
      const char* Id;
      bool Empty, Full;
    };
    const TRow rows[] = {
        {"DrawsDownload", true, true},    {"DrawsAdd", true, true},         {"DrawsEdit", false, true},
        {"DrawsDel", false, true},        {"DrawsImport", true, true},      {"DrawsExport", false, true},
        {"CombsGen", true, true},         {"CombsOpen", true, true},        {"CombsSave", false, true},
        {"CombsUndo", false, true},       {"CombsDelExists", false, true},  {"CombsDelSelected", false, true},
        {"CombsFindInDraws", false, true}, {"CombsCopy", false, true},      {"CombsSelectAll", false, true},
        {"CombsCheckNums", true, true},   {"ExitProgram", true, true},      {"EditConfig", true, true},
        {"GetHelp", false, false},        {"OpenLotoSite", false, false},   {"urlBlog", false, false},
        {"About", true, true},            {"TabWeek", true, true},
    };
    {
      TGuiFixture empty;
      WriteWindowInt(empty.Dir / "Korvane_6x45.frm", MainWindowSection, "DownloadDrawsOnStart", 2);
      vexa::test::WriteBytes(empty.Dir / "Korvane_6x45.ini",
                             "[GLOBAL]\r\nCombsGenerateMode=2\r\nCombsGenerateParameters=1;2;3\r\n");
      empty.Open();
      QCOMPARE(empty.Ws->Combs().Count(), 0);
      for (const TRow& r : rows) QVERIFY2(empty.Window->Commands().IsEnabled(QString::fromUtf8(r.Id)) == r.Empty, r.Id);
    }
    TGuiFixture full(20);
    full.Open();
    full.Window->ExcludeSpin()->setValue(3);
    full.Window->DrawsView()->selectRow(0);
    full.Window->CombsView()->selectRow(1);
    QVERIFY(full.Trigger("CombsDelSelected"));
    full.Window->CombsView()->selectRow(1);
    full.Window->UpdateActions();
    for (const TRow& r : rows) QVERIFY2(full.Window->Commands().IsEnabled(QString::fromUtf8(r.Id)) == r.Full, r.Id);

    // Busy: every command, "Выход" included, is off until the operation ends.
    std::promise<void> release;
    std::shared_future<void> go = release.get_future().share();
    QVERIFY(full.Window->Worker().Run([go] { go.wait(); }));
    QVERIFY(full.Window->Busy());
    full.Window->UpdateActions();
    for (const TCommand& c : full.Window->Commands().Commands()) {
      QVERIFY2(!full.Window->Commands().IsEnabled(c.Id), qPrintable(c.Id));
      QVERIFY2(!full.Window->Commands().Action(c.Id)->isEnabled(), qPrintable(c.Id));
    }
    QVERIFY(!full.Window->Commands().Trigger(QStringLiteral("ExitProgram")));
    release.set_value();
    full.WaitIdle();
    QVERIFY(full.Window->Commands().IsEnabled(QStringLiteral("ExitProgram")));
  }

  void CheckedStatesFollowTheSettings() {
    TGuiFixture f(5);
    f.Open(false);
    TCommandTable& t = f.Window->Commands();
    QVERIFY(t.IsChecked(QStringLiteral("AutoDownload0")));
    QVERIFY(f.Trigger("AutoDownload2"));
    QVERIFY(t.IsChecked(QStringLiteral("AutoDownload2")));
    QVERIFY(!t.IsChecked(QStringLiteral("AutoDownload0")));
    QCOMPARE(ReadWindowInt(f.Dir / "Korvane_6x45.frm", MainWindowSection, "DownloadDrawsOnStart", 0), 2);
    QVERIFY(t.IsChecked(QStringLiteral("ViewColorDraws")));
    QVERIFY(f.Trigger("ViewColorDraws"));
    QVERIFY(!t.Action(QStringLiteral("ViewColorDraws"))->isChecked());
    QVERIFY(f.Trigger("TabWeek"));
    QVERIFY(!t.IsChecked(QStringLiteral("TabWeek")));
    QVERIFY(!ReadWindowBool(f.Dir / "Korvane_6x45.frm", MainWindowSection, "TabWeek", true));
  }

  // The dispatch rule over a table holding every command of the shared keys.
  void SharedKeyDispatch_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("focus");    // "stat", "combs", "stakes", "script", "other"
    QTest::addColumn<QStringList>("off");  // disabled commands
    QTest::addColumn<QString>("runs");     // "" = nothing
    auto row = [](const char* name, const char* key, const char* focus, QStringList off, const char* runs) {
      QTest::newRow(name) << QString::fromLatin1(key) << QString::fromLatin1(focus) << off << QString::fromLatin1(runs);
    };
    row("F7 in the statistics list", "F7", "stat", {}, "StatFilter_Include");
    row("F7 with keep disabled", "F7", "stat", {QStringLiteral("StatFilter_Include")}, "FiltersManager");
    row("F7 elsewhere", "F7", "other", {QStringLiteral("StatFilter_Include")}, "FiltersManager");
    row("Ctrl+F7 in the statistics list", "Ctrl+F7", "stat", {}, "StatFilter_Exclude");
    row("Ctrl+F7 elsewhere, delete off", "Ctrl+F7", "other", {QStringLiteral("StatFilter_Exclude")}, "FiltersReset");
    row("Ctrl+Del in the stakes grid", "Ctrl+Del", "stakes", {}, "StakeDel");
    row("Ctrl+Del in the script list", "Ctrl+Del", "script", {}, "ScriptDel");
    row("Ctrl+Del in the script list, off", "Ctrl+Del", "script", {QStringLiteral("ScriptDel")}, "CombsDelSelected");
    row("Ctrl+Del elsewhere", "Ctrl+Del", "other", {}, "CombsDelSelected");
    row("Ctrl+Del, combs off", "Ctrl+Del", "other", {QStringLiteral("CombsDelSelected")}, "StakeDel");
    row("Ctrl+Del, both off", "Ctrl+Del", "other",
        {QStringLiteral("CombsDelSelected"), QStringLiteral("StakeDel")}, "");
    row("Ctrl+J in the script list", "Ctrl+J", "script", {}, "ScriptOpen");
    row("Ctrl+J elsewhere", "Ctrl+J", "other", {}, "SystemsOn");
    row("Alt+F4 in the combinations list", "Alt+F4", "combs", {}, "StakeAddSelected");
    row("Alt+F4 in the stakes grid, off", "Alt+F4", "stakes", {QStringLiteral("StakeAddSelected")}, "ExitProgram");
    row("Alt+F4 elsewhere", "Alt+F4", "other", {}, "ExitProgram");
  }

  void SharedKeyDispatch() {
    QFETCH(QString, key);
    QFETCH(QString, focus);
    QFETCH(QStringList, off);
    QFETCH(QString, runs);
    QWidget window;
    QWidget stat(&window), combs(&window), stakes(&window), script(&window), other(&window);
    QWidget inner(&stat);  // focus inside the list: its pop-up menu still counts
    TCommandTable t([] { return false; }, &window);
    struct TSpec {
      const char *Id, *Key;
    };
    const TSpec specs[] = {{"ExitProgram", "Alt+F4"},      {"StatFilter_Include", "F7"}, {"StatFilter_Exclude", "Ctrl+F7"},
                           {"StakeAddSelected", "Alt+F4"}, {"StakeDel", "Ctrl+Del"},    {"CombsDelSelected", "Ctrl+Del"},
                           {"ScriptOpen", "Ctrl+J"},       {"ScriptDel", "Ctrl+Del"},    {"SystemsOn", "Ctrl+J"},
                           {"FiltersManager", "F7"},       {"FiltersReset", "Ctrl+F7"}};
    for (const TSpec& s : specs) {
      const QString id = QString::fromLatin1(s.Id);
      t.Add(TCommand{id, {}, id, QString::fromLatin1(s.Key), {}, [off, id] { return !off.contains(id); }, {}, [] {}, {}});
    }
    QMenuBar bar;
    auto ids = [](std::initializer_list<const char*> l) {
      QStringList out;
      for (const char* i : l) out << QString::fromLatin1(i);
      return out;
    };
    t.AddMainMenu(&bar, QStringLiteral("Файл"), ids({"ExitProgram"}));
    t.AddMainMenu(&bar, QStringLiteral("Комбинации"), ids({"CombsDelSelected"}));
    t.AddMainMenu(&bar, QStringLiteral("Статистика"), ids({"FiltersManager", "FiltersReset"}));
    t.AddMainMenu(&bar, QStringLiteral("Ставки"), ids({"StakeAddSelected", "StakeDel"}));
    t.AddMainMenu(&bar, QStringLiteral("Системы"), ids({"SystemsOn"}));
    t.AddMainMenu(&bar, QStringLiteral("Сценарий"), ids({"ScriptOpen", "ScriptDel"}));
    t.SetPopup(&stat, ids({"StatFilter_Include", "StatFilter_Exclude"}));
    t.SetPopup(&combs, ids({"CombsDelSelected", "StakeAddSelected"}));
    t.SetPopup(&stakes, ids({"StakeAddSelected", "StakeDel"}));
    t.SetPopup(&script, ids({"ScriptOpen", "ScriptDel"}));
    QWidget* target = focus == QLatin1String("stat")     ? &inner
                      : focus == QLatin1String("combs")  ? &combs
                      : focus == QLatin1String("stakes") ? &stakes
                      : focus == QLatin1String("script") ? &script
                                                         : &other;
    QVERIFY(TCommandTable::IsSharedKey(QKeySequence(key)));
    const TKeyResolution r = t.ResolveKey(QKeySequence(key), target);
    QVERIFY(r.Consumed);
    QCOMPARE(r.Id, runs);
  }

  void SharedKeysInTheWindow() {
    TGuiFixture f(5);
    f.Open();
    QTableView* combs = f.Window->CombsView();
    f.Window->LeftPages()->setCurrentIndex(1);
    combs->setFocus();
    combs->selectRow(0);
    QTest::keyClick(combs, Qt::Key_Delete, Qt::ControlModifier);
    f.WaitIdle();
    QCOMPARE(f.Ws->Combs().Count(), AllCombsCount - 1);
    // Alt+F4 in the combinations list: no stake command yet, so "Выход".
    QVERIFY(f.Window->isVisible());
    QTest::keyClick(combs, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(!f.Window->isVisible());
  }
};

QTEST_MAIN(TCommandsTest)
#include "commands_test.moc"
