// One-shot latencies of the window with a 1500-draw archive and the full
// combinations list, offscreen: start to the first painted window, select
// all + delete selected, undo, scrolling to the last row, and the longest
// gap between event-loop iterations while the worker generates the list.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "acquire/demo_draws.h"
#include "core/dates.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

using namespace vexa;
using namespace vexa::gui;

namespace {

// Counts paints of one widget.
class TPaintProbe : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Paints;
    return false;
  }
  int Paints = 0;
};

void Report(const char* what, double ms, double limit) {
  std::printf("%-58s %9.1f ms   (limit %.0f ms)%s\n", what, ms, limit, ms <= limit ? "" : "   OVER");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallDrawDateHooks();
  SetBoxHook([](const TBoxRequest& r) { return r.Kind != TBoxKind::Question; });  // no download at start
  vexa::test::TTempDir dir;
  {
    TSilentUserInterface silent;
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(1500, 7));
    archive.SaveDraws(silent);
  }

  QElapsedTimer t;
  t.start();
  TQtUserInterface ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TMainWindow window(ws, ui);
  TPaintProbe probe;
  window.CombsView()->viewport()->installEventFilter(&probe);
  window.show();
  window.InitialRun();
  window.Worker().WaitIdle();
  window.LeftPages()->setCurrentIndex(1);
  while (probe.Paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  Report("start to the first painted window, full list", t.elapsed(), 500);

  auto timed = [&](const char* id) {
    QElapsedTimer c;
    c.start();
    window.Commands().Trigger(QString::fromLatin1(id));
    window.Worker().WaitIdle();
    QCoreApplication::processEvents();
    return static_cast<double>(c.nsecsElapsed()) / 1e6;
  };
  double selectAll = timed("CombsSelectAll");
  double del = timed("CombsDelSelected");
  std::printf("  (select all %.1f ms, delete %.1f ms)\n", selectAll, del);
  Report("select all + \"Удалить выделенные\" on 8 145 060 rows", selectAll + del, 300);
  Report("undo after it", timed("CombsUndo"), 100);

  {
    QElapsedTimer c;
    c.start();
    QScrollBar* bar = window.CombsView()->verticalScrollBar();
    const int before = probe.Paints;
    bar->setValue(bar->maximum());
    while (probe.Paints == before) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    Report("scroll to the last row (to its paint)", static_cast<double>(c.nsecsElapsed()) / 1e6, 17);
  }

  // The event loop's longest pause while the worker generates the full list.
  {
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
      longest = std::max(longest, gap.nsecsElapsed());
      gap.restart();
    });
    gap.start();
    tick.start();
    window.RunLong([&ws] { ws.CombsGen(TGenerateParams{0, ""}, false); });
    window.Worker().WaitIdle();
    tick.stop();
    Report("longest UI-thread gap during a generation", static_cast<double>(longest) / 1e6, 50);
  }
  SetBoxHook({});
  return 0;
}
