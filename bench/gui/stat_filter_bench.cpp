// A keep and a delete filter started from the statistics tab on the full
// combinations list (1500-draw archive, offscreen): the engine's own filter
// time for the same selection, and how much later the window shows the new
// count in the status bar. Each run is repeated and undone; medians printed.
//
//   QT_QPA_PLATFORM=offscreen build/bench/gui/stat_filter_bench [runs]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "acquire/demo_draws.h"
#include "combs/combs_list.h"
#include "core/dates.h"
#include "models/stat_model.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "support/temp_dir.h"
#include "tabs/stat_tab.h"
#include "workspace/workspace.h"

using namespace vexa;
using namespace vexa::gui;

namespace {

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  InstallDrawDateHooks();
  SetBoxHook([](const TBoxRequest& r) { return r.Kind != TBoxKind::Question; });  // no download at start
  vexa::test::TTempDir dir;
  {
    TSilentUserInterface silent;
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(1500, 7));
    archive.SaveDraws(silent);
  }
  TQtUserInterface ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TMainWindow window(ws, ui);
  window.show();
  window.InitialRun();
  window.Worker().WaitIdle();
  QCoreApplication::processEvents();

  TStatTab& tab = *window.StatTab();
  struct TCase {
    const char* Code;
    const char* Command;
    bool Delete;
  };
  const TCase cases[] = {{"NUMS", "StatFilter_Include", false},
                         {"NUMS", "StatFilter_Exclude", true},
                         {"SUMS", "StatFilter_Include", false}};
  std::printf("%-6s %-20s %12s %12s %12s %10s\n", "method", "command", "engine ms", "window ms", "extra ms", "count");
  for (const TCase& c : cases) {
    const int method = ws.StatMethodIndex(c.Code);
    if (!tab.SelectMethod(method)) {
      std::printf("%s is not among the favourites\n", c.Code);
      continue;
    }
    window.Commands().Trigger(QStringLiteral("DrawsStatCalc"));
    window.Worker().WaitIdle();
    QCoreApplication::processEvents();
    // The two most frequent values (the list is sorted by "Количество").
    QTableView* view = tab.View();
    const int rows = view->model()->rowCount();
    std::vector<double> engine;
    std::vector<double> shown;
    int count = 0;
    for (int run = 0; run < runs; ++run) {
      // The engine alone, on the same selection.
      TStatDrawArray values;
      for (int r : {rows - 1, rows - 2}) values.push_back(tab.Model()->RowAt(r).Rec);
      QElapsedTimer e;
      e.start();
      if (c.Delete)
        ws.StatFilter_Exclude(method, values);
      else
        ws.StatFilter_Include(method, values);
      engine.push_back(Ms(e));
      ws.CombsUndo();
      window.RefreshAll();
      QCoreApplication::processEvents();

      // From the tab: select, trigger, until the status bar shows the new count.
      view->clearSelection();
      view->selectionModel()->select(view->model()->index(rows - 1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
      view->selectionModel()->select(view->model()->index(rows - 2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
      window.UpdateActions();
      const QString before = window.Panel(3)->text();
      QElapsedTimer w;
      w.start();
      window.Commands().Trigger(QString::fromLatin1(c.Command));
      while (window.Panel(3)->text() == before && w.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
      shown.push_back(Ms(w));
      count = ws.Combs().Count();
      window.Worker().WaitIdle();
      ws.CombsUndo();
      window.RefreshAll();
      QCoreApplication::processEvents();
    }
    const double eng = Median(engine);
    const double win = Median(shown);
    std::printf("%-6s %-20s %12.1f %12.1f %12.1f %10d%s\n", c.Code, c.Command, eng, win, win - eng, count,
                win - eng <= 50 ? "" : "   OVER 50 ms");
  }
  SetBoxHook({});
  return 0;
}
