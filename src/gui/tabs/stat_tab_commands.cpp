// The statistics tab's commands: recalculation and options, the keep and
// delete filters, the favourites, the method help, the information dialog
// of a draw or a combination and the shredding formulas.
#include <QCoreApplication>
#include <QDir>
#include <QTableView>

#include "dialogs/favourites_dialog.h"
#include "dialogs/help_dialog.h"
#include "dialogs/info_dialog.h"
#include "dialogs/shredding_dialog.h"
#include "models/stat_model.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "tabs/stat_tab.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The guide and the method pages: beside the program, then the install
// folder of the data files, then beside the build's program folder.
std::filesystem::path FindHelpFolder() {
  const QString app = QCoreApplication::applicationDirPath();
  const QString candidates[] = {app + QStringLiteral("/help"), app + QStringLiteral("/../share/korvane_6x45/help"),
                                app + QStringLiteral("/../help")};
  for (const QString& c : candidates)
    if (QDir(c).exists(QStringLiteral("index.html"))) return QDir(c).canonicalPath().toStdString();
  return {};
}

void ShowInfo(TMainWindow& w, const TComb& numbers, const std::function<TStatInfo()>& read) {
  TWorkspace& ws = w.Workspace();
  TStatInfo info;
  {
    const TWorkspace::TBusy busy(ws);
    if (!w.RunHere([&] { info = read(); })) return;
  }
  TInfoDialog dialog(numbers, std::move(info), ws.Stats().Config.MatrixCols, ws.Stats().Config.ChannelSize, &w);
  dialog.exec();
}

}  // namespace

void RegisterStatCommands(TMainWindow& w, TStatTab& tab) {
  TWorkspace& ws = w.Workspace();
  TCommandTable& t = w.Commands();
  if (ws.Stats().HelpFile.empty()) ws.SetHelpFolder(FindHelpFolder());
  auto add = [&t](const char* id, const char* category, const char* caption, const char* key, const char* hint,
                  std::function<void()> handler, std::function<bool()> enabled = {},
                  std::function<bool()> checked = {}) {
    t.Add(TCommand{Q(id), Q(category), Q(caption), Q(key), Q(hint), std::move(enabled), std::move(checked),
                   std::move(handler), QString()});
  };
  auto rebuilt = [&w, &tab] {
    tab.FillMethods(false);
    w.RefreshAll();
    tab.Recalculate(true);
  };
  const char* stat = "Статистика";
  add("DrawsStatCalc", stat, "Обновить", "", "Пересчитать статистику по выбранным параметрам",
      [&tab] { tab.Recalculate(true); }, [&tab] { return tab.CanCalculate(); });
  add("DrawsStatePrefetchsEnabled", stat, "Использовать сравнение с полным набором комбинаций", "",
      "Использовать режим сравнения статистики с распределением по полному набору комбинаций",
      [&w, &ws, &tab] {
        if (!w.RunHere([&ws] { ws.DrawsStatePrefetchsEnabled(); })) return;
        tab.ApplyComparisonColumns();
        if (!ws.Window().PrefetchsEnabled) {
          tab.Recalculate(true);
          return;
        }
        // The missing full-set files first, on the worker with progress.
        w.RunLong([&ws] { ws.RefreshFullSetFiles(false, 0); }, [&tab] { tab.Recalculate(true); });
      },
      {}, [&ws] { return ws.Window().PrefetchsEnabled; });
  add("DrawsStatShowTotalLine", stat, "График идеального распределения", "",
      "Пропорциональный график распределения значений по всем возможным комбинациям лотереи",
      [&w, &ws, &tab] {
        if (!w.RunHere([&ws] { ws.DrawsStatShowTotalLine(); })) return;
        tab.Recalculate(true);
      },
      [&ws] { return ws.Window().PrefetchsEnabled; }, [&ws] { return ws.Window().ShowTotalLine; });
  add("StatFilter_Include", stat, "Оставить выделенные", "F7",
      "Оставить в списке комбинации, имеющие выделенные значения статистики", [&tab] { tab.Filter(false); },
      [&ws, &tab] { return ws.Combs().Count() > 0 && tab.HasSelection() && tab.MethodIndex() >= 0; });
  add("StatFilter_Exclude", stat, "Удалить выделенные", "Ctrl+F7",
      "Удалить из списка комбинации, имеющие выделенные значения статистики", [&tab] { tab.Filter(true); },
      [&ws, &tab] { return ws.Combs().Count() > 0 && tab.HasSelection() && tab.MethodIndex() >= 0; });
  add("FiltersManager", stat, "Избранные статистики", "F7", "Настройка списка избранных видов статистики (фильтров)",
      [&w, &ws, rebuilt] {
        TFavouritesDialog dialog(ws, &w);
        if (dialog.exec() != QDialog::Accepted) return;
        w.RunHere([&] { ws.FavouritesApply(dialog.Result()); });
        rebuilt();
      });
  add("FiltersReset", stat, "Все доступные статистики", "Ctrl+F7", "Отображать все доступные виды статистики (фильтры)",
      [&w, &ws, rebuilt] {
        if (!AskCareful(&w, Q("Вы действительно хотите сбросить список избранных фильтров?"), Q("Подтверждение")))
          return;
        w.RunHere([&ws] { ws.FiltersReset(); });
        rebuilt();
      });
  add("FiltersInfo", stat, "Описание статистики", "F8", "Сведения о выбранном методе расчета статистики",
      [&w, &ws, &tab] {
        THelpDialog dialog(QString::fromStdString(ws.StatHelpPage(tab.MethodIndex())), &w);
        dialog.exec();
      },
      [&tab] { return tab.MethodIndex() >= 0; });
  add("DrawsInfo", "Архив тиражей", "Сведения о тираже", "", "Подробная информация о выделенном тираже",
      [&w, &ws] {
        const std::vector<int> rows = w.SelectedRows(w.DrawsView());
        if (rows.empty()) return;
        const TDraw draw = ws.Archive().RowDraw(rows.front(), ws.SortedDraws());
        ShowInfo(w, draw.Nums, [&ws, number = draw.Number] { return ws.DrawsInfo(number); });
      },
      [&w] { return w.HasSelection(w.DrawsView()); });
  add("CombsInfo", "Комбинации", "Сведения о комбинации", "", "Подробная информация о выделенной комбинации",
      [&w, &ws] {
        const std::vector<int> rows = w.SelectedRows(w.CombsView());
        if (rows.empty() || rows.front() >= ws.Combs().Count()) return;
        const TComb comb = ws.Combs()[rows.front()];
        ShowInfo(w, comb, [&ws, comb] { return ws.CombsInfo(comb); });
      },
      [&w, &ws] { return ws.Combs().Count() > 0 && w.HasSelection(w.CombsView()); });
  add("EditShredding", "Файл", "Формулы шинковки", "", "Редактирование формул для методов шинковки",
      [&w, &ws, rebuilt] {
        TShreddingDialog dialog(ws.Stats().Shredding, &w);
        if (dialog.exec() != QDialog::Accepted) return;
        // Group 12's full-set files may be counted again: on the worker.
        w.RunLong([&ws, s = dialog.Result()] { ws.EditShredding(s); }, rebuilt);
      });

  t.SetPopup(tab.View(), QStringList{QStringLiteral("StatFilter_Include"), QStringLiteral("StatFilter_Exclude"),
                                     QStringLiteral("|"), QStringLiteral("DrawsStatCalc"),
                                     QStringLiteral("DrawsStatExportToExcel"), QStringLiteral("|"),
                                     QStringLiteral("DrawsStatePrefetchsEnabled"),
                                     QStringLiteral("DrawsStatShowTotalLine")});
}

}  // namespace vexa::gui
