// The command table of the main window and its menus.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

#include "dialogs/about_dialog.h"
#include "dialogs/config_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "shell/command_table.h"
#include "shell/export_commands.h"
#include "shell/update_commands.h"
#include "shell/language_menu.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "tabs/stat_tab.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

void TMainWindow::BuildCommands() {
  TCommandTable& t = *Commands_;
  auto add = [&t](const char* id, const char* category, const char* caption, const char* key, const char* hint,
                  std::function<void()> handler, std::function<bool()> enabled = {},
                  std::function<bool()> checked = {}, const char* group = "") {
    t.Add(TCommand{Q(id), Q(category), Q(caption), Q(key), Q(hint), std::move(enabled), std::move(checked),
                   std::move(handler), Q(group)});
  };
  auto archiveFull = [this] { return !Ws_.Archive().Empty(); };
  auto combsFull = [this] { return Ws_.Combs().Count() > 0; };
  auto drawSelected = [this] { return HasSelection(DrawsView_); };
  auto combSelected = [this] { return Ws_.Combs().Count() > 0 && HasSelection(CombsView_); };
  auto url = [this](std::string TWorkspace::TWebPages::*field) {
    return std::pair{[this, field] { OpenUrl(Ws_.WebPages().*field); },
                     [this, field] { return !(Ws_.WebPages().*field).empty(); }};
  };

  // "Архив тиражей"
  const char* draws = "Архив тиражей";
  add("DrawsDownload", draws, "Загрузка", "F3", "Загрузить новые тиражи с сайта лотереи", [this] { DrawsDownload(); });
  add("DrawsAdd", draws, "Добавить", "", "Добавить тираж", [this] { DrawsAdd(); });
  add("DrawsEdit", draws, "Изменить", "", "Изменить выделенный тираж", [this] { DrawsEdit(); }, drawSelected);
  add("DrawsDel", draws, "Удалить", "", "Удалить выделенные тиражи", [this] { DrawsDel(); }, drawSelected);
  add("DrawsImport", draws, "Импорт из CSV-файла", "", "Импорт тиражей из CSV-файла", [this] { DrawsImport(); });
  add("DrawsExport", draws, "Экспорт в CSV-файл", "", "Экспорт тиражей в CSV-файл", [this] { DrawsExport(); },
      archiveFull);
  add("DrawsSorted", draws, "Упорядочить MIN->MAX", "", "Упорядочить числа внутри тиража от меньшего к большему",
      [this] { RunHere([this] { Ws_.DrawsSorted(); }); RefreshAll(); RefreshViews(true); }, {},
      [this] { return Ws_.SortedDraws(); });
  const char* autoHints[3] = {"Спросить пользователя", "Загружать новые тиражи без вопроса",
                              "Не загружать тиражи при запуске"};
  const char* autoCaptions[3] = {"По запросу (по умолчанию)", "Автоматически", "Отключено"};
  for (int mode = 0; mode < 3; ++mode) {
    const QByteArray id = "AutoDownload" + QByteArray::number(mode);
    add(id.constData(), draws, autoCaptions[mode], "", autoHints[mode],
        [this, mode] { RunHere([this, mode] { Ws_.AutoDownload(mode); }); },
        {},
        [this, mode] {
          const int v = Ws_.Window().DownloadDrawsOnStart;
          return mode == 2 ? v != 0 && v != 1 : v == mode;
        },
        "AutoDownload");
  }

  // "Файл"
  const char* file = "Файл";
  add("ExitProgram", file, "Выход", "Alt+F4", "Выход из программы", [this] { close(); });
  add("EditConfig", file, "Параметры", "", "Параметры системы", [this] { EditConfig(); });
  add("EditProxy", file, "Параметры proxy-сервера", "", "Параметры proxy-сервера", [this] { EditProxy(); });

  // "Комбинации"
  const char* combs = "Комбинации";
  add("CombsGen", combs, "Генерировать", "F2", "Создать новый список комбинаций", [this] { CombsGen(); });
  add("CombsOpen", combs, "Открыть", "Ctrl+O", "Загрузить список комбинаций из файла", [this] { CombsOpen(); });
  add("CombsSave", combs, "Сохранить", "Ctrl+S", "Сохранить список комбинаций в файл", [this] { CombsSave(); },
      combsFull);
  add("CombsUndo", combs, "Отменить", "Ctrl+Z", "Отменить последнее изменение списка комбинаций",
      [this] { CombsUndo(); }, [this] { return Ws_.Combs().UndoCount() > 0; });
  add("CombsDelExists", combs, "Исключить тиражи", "Ctrl+E", "Удалить N последних тиражей из списка комбинаций",
      [this] { CombsDelExists(); },
      [this] { return Ws_.Combs().Count() > 0 && !Ws_.Archive().Empty() && Ws_.Window().DrawsExclude > 0; });
  add("CombsDelSelected", combs, "Удалить выделенные", "Ctrl+Del", "Удалить выделенные комбинации из списка",
      [this] { CombsDelSelected(); }, combSelected);
  add("CombsCheckNums", combs, "Количество уникальных номеров", "",
      "Количество уникальных номеров в списке комбинаций", [this] { CombsCheckNums(); });
  add("CombsFindInDraws", combs, "Проверить по архиву тиражей", "Ctrl+F",
      "Найти выделенную комбинацию в архиве тиражей", [this] { CombsFindInDraws(); }, combSelected);
  add("CombsCopy", combs, "Копировать в буфер", "Ctrl+C", "Копировать выделенные комбинации в буфер обмена",
      [this] { CombsCopy(); }, combsFull);
  add("CombsPaste", combs, "Вставить из буфера", "Ctrl+V", "Вставить список комбинаций из буфера обмена",
      [this] { CombsPaste(); },
      [] {
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        return m != nullptr && m->hasText();
      });
  add("CombsSelectAll", combs, "Выделить все", "Ctrl+A", "Выделить все комбинации списка",
      [this] { CombsView_->selectAll(); }, combsFull);

  // "Справка"
  const char* help = "Справка";
  add("GetHelp", help, "Справка", "F1", "Открыть справочную систему",
      [this] { OpenUrl(Ws_.Stats().HelpFile); }, [this] { return !Ws_.Stats().HelpFile.empty(); });
  add("About", help, "О программе", "", "О программе", [this] {
    TAboutDialog dialog(Ws_.WebPages(), this);
    dialog.exec();
  });
  {
    auto [run, on] = url(&TWorkspace::TWebPages::LotoSite);
    add("OpenLotoSite", help, "Сайт лотереи", "", "Открыть страницу результатов тиражей", run, on);
  }
  struct TPage {
    const char* Id;
    const char* Caption;
    std::string TWorkspace::TWebPages::*Field;
  };
  const TPage pages[] = {{"urlMainSite", "Официальный сайт проекта", &TWorkspace::TWebPages::MainSite},
                         {"urlAuthSite", "Страница автора", &TWorkspace::TWebPages::AuthorSite},
                         {"urlBlog", "Наш блог", &TWorkspace::TWebPages::Blog},
                         {"urlYT", "Наш видеоблог", &TWorkspace::TWebPages::VideoBlog},
                         {"urlVK", "Страница в соцсети \"В контакте\"", &TWorkspace::TWebPages::Vk},
                         {"urlOK", "Страница в соцсети \"Однокласники\"", &TWorkspace::TWebPages::Ok},
                         {"urlAuthText", "Статьи для начинающих", &TWorkspace::TWebPages::Articles},
                         {"urlTG", "Канал в Telegram", &TWorkspace::TWebPages::Telegram}};
  for (const TPage& p : pages) {
    auto [run, on] = url(p.Field);
    add(p.Id, help, p.Caption, "", p.Caption, run, on);
  }

  // "Вид"
  const char* view = "Вид";
  add("ViewColorDraws", view, "Выделять каналы в списке тиражей", "", "Выделять каналы в списке тиражей",
      [this] { RunHere([this] { Ws_.ViewColorDraws(); }); RefreshAll(); }, {},
      [this] { return Ws_.Window().ColorDraws; });
  add("ViewColorCombs", view, "Выделять каналы в списке комбинаций", "", "Выделять каналы в списке комбинаций",
      [this] { RunHere([this] { Ws_.ViewColorCombs(); }); RefreshAll(); }, {},
      [this] { return Ws_.Window().ColorCombs; });
  // "Неделя" is never shown; the command only keeps it hidden.
  add("TabWeek", view, "Вкладка \"Неделя\"", "", "Вкладка \"Неделя\"", [this] { RunHere([this] { Ws_.TabWeek(); }); },
      {}, [] { return false; });

  RegisterStatCommands(*this, *StatTab_);
  RegisterExportCommands(*this, Ui_);
  RegisterUpdateCommands(*this);
}

void TMainWindow::BuildMenus() {
  TCommandTable& t = *Commands_;
  QMenuBar* bar = menuBar();
  auto list = [](std::initializer_list<const char*> items) {
    TMenuList out;
    for (const char* i : items) out.push_back(QString::fromUtf8(i));
    return out;
  };
  QMenu* fileMenu = t.AddMainMenu(bar, Q("Файл"), list({"|", "EditConfig", "EditShredding", "EditProxy", "|",
                                                          "ExitProgram"}));
  // "Язык интерфейса": the built-in language and those whose module lies beside the program.
  QMenu* languages = new QMenu(Q("Язык интерфейса"), fileMenu);
  languages->setObjectName(QStringLiteral("mnLanguage"));
  FillLanguageMenu(languages, *this);
  fileMenu->insertMenu(fileMenu->actions().constFirst(), languages);

  t.AddMainMenu(bar, Q("Архив тиражей"),
                list({"DrawsInfo", "|", "DrawsDownload", "[Автозагрузка при запуске программы", "AutoDownload0",
                      "AutoDownload1", "AutoDownload2", "]", "|", "DrawsImport", "DrawsExport", "DrawsXlsExport",
                      "|", "DrawsAdd", "DrawsEdit", "DrawsDel", "|", "DrawsSorted"}));
  t.AddMainMenu(bar, Q("Комбинации"),
                list({"CombsInfo", "CombsCheckNums", "CombsFindInDraws", "|", "CombsGen", "CombsDelExists",
                      "CombsDelSelected", "|", "CombsCopy", "CombsPaste", "CombsSelectAll", "|", "CombsOpen",
                      "CombsSave", "|", "CombsUndo", "|", "CombsXlsExport"}));
  // Menus of the later tabs appear once their commands exist.
  const std::pair<const char*, TMenuList> later[] = {
      {"Статистика", list({"FiltersManager", "FiltersReset", "FiltersInfo", "|", "DrawsStatExportToExcel", "|",
                           "AnalyzeRepeats", "TotalSumCombs"})},
      {"Ставки", list({"StakeAdd", "StakeAddRandom", "StakeAddSelected", "StakeAddAll", "SystemStakeFilter",
                       "SystemStakeAll", "|", "StakeDel", "StakeFilter", "StakeClear", "|", "StakesGraphDraws", "|",
                       "StakesXlsExport", "|", "StakesCheckManual", "|", "LogStakes", "LogStakesDelete",
                       "StakesScroll", "StakesCheckLine"})},
      {"Рейтинг", list({"StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap",
                        "[Эффективность (столбцы E0..n)", "RatingsEffMode0", "RatingsEffMode1", "RatingsEffMode2",
                        "]", "|", "RatingsRefresh", "|", "RatingsToScript", "|", "RatingsExport",
                        "RatingsXlsExport"})},
      {"Регуляры", list({"TablesAdd", "TablesDel", "|", "TablesStakeAdd", "TablesStakeTest"})},
      {"Системы", list({"SystemsOn", "|", "SystemsDownload", "|", "SystemsRefresh", "|", "SystemsAdd", "SystemsProp",
                        "SystemsDel"})},
      {"Сценарий", list({"ScriptOpen", "ScriptSave", "|", "[Online-каталог сценариев", "ScriptLibrary", "|",
                         "ScriptLibraryDownload", "ScriptLibraryView", "|", "ScriptLibraryUpload",
                         "ScriptLibraryReplace", "ScriptLibraryDelete", "|", "[Оценить", "ScriptLibraryRate1",
                         "ScriptLibraryRate2", "ScriptLibraryRate3", "ScriptLibraryRate4", "ScriptLibraryRate5", "|",
                         "ScriptLibraryHide", "|", "ScriptLibraryRate0", "]", "ScriptLibraryRates", "|",
                         "ScriptLibraryRefresh", "]", "|", "ScriptAdd", "ScriptEmpty", "ScriptLoad", "ScriptClone",
                         "ScriptEdit", "ScriptDel", "ScriptClr", "|", "ScriptUp", "ScriptDown", "|", "ScriptRun",
                         "ScriptTest", "ScriptStop", "|", "LogToggle", "LogsDelete", "StakesCheckLine"})}};
  for (const auto& [title, items] : later) {
    bool any = false;
    for (const QString& id : items) any = any || t.Find(id) != nullptr;
    if (any) t.AddMainMenu(bar, Q(title), items);
  }
  t.AddMainMenu(bar, Q("Вид"),
                list({"TabGraps", "TabCard", "TabLayout", "TabWeek", "TabTables", "SystemsOn", "|", "ViewColorDraws",
                      "ViewColorCombs", "ViewColorCard", "ViewColorCardSequences", "ViewShemaGradient"}));
  t.AddMainMenu(bar, Q("Справка"),
                list({"GetHelp", "About", "|", "AutoSelfUpdate", "CheckUpdate", "|", "OpenLotoSite", "|",
                      "urlMainSite", "urlBlog", "urlYT", "urlAuthText", "urlVK", "urlOK", "urlAuthSite", "urlTG"}));

  // The tabs' buttons show the hints of their commands.
  for (QToolButton* b : findChildren<QToolButton*>()) {
    if (QAction* a = t.Action(b->property("command").toString())) {
      b->setStatusTip(a->statusTip());
      b->setToolTip(a->toolTip());
    }
  }

  t.SetPopup(DrawsView_, list({"DrawsInfo", "|", "DrawsDownload", "|", "DrawsAdd", "DrawsEdit", "DrawsDel", "|",
                               "DrawsImport", "DrawsExport", "|", "DrawsSorted", "ViewColorDraws"}));
  t.SetPopup(CombsView_, list({"CombsDelSelected", "StakeAddSelected", "|", "CombsInfo", "CombsFindInDraws", "|",
                               "CombsCopy", "CombsPaste", "CombsSelectAll", "|", "CombsUndo", "|", "ViewColorCombs"}));
}

void TMainWindow::OpenUrl(const std::string& url) {
  const QString text = QString::fromUtf8(url.c_str());
  const QUrl target = QUrl::fromUserInput(text);
  if (!QDesktopServices::openUrl(target)) ShowError(this, Q("Не удалось открыть адрес \"%1\"!").arg(text));
}

void TMainWindow::EditConfig() {
  TConfigDialog dialog(Ws_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  RefreshAll();
  RefreshViews(true);
}

void TMainWindow::EditProxy() {
  TProxyDialog dialog(Ws_.Proxy(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  RunHere([&] { Ws_.EditProxy(dialog.Result()); });
}

}  // namespace vexa::gui
