// The window during a 100-pass back-test, offscreen: the longest gap between
// event-loop iterations (a repaint waits at most that long) and the time
// from the Stop command to the end of the run.
#include <QApplication>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "acquire/demo_draws.h"
#include "core/dates.h"
#include "dialogs/test_count_dialog.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "support/temp_dir.h"
#include "tabs/script_tab.h"
#include "workspace/workspace.h"

using namespace vexa;
using namespace vexa::gui;

namespace {

void Report(const char* what, double ms, double limit) {
  std::printf("%-58s %9.1f ms   (limit %.0f ms)%s\n", what, ms, limit, ms <= limit ? "" : "   OVER");
}

// Accepts the next number-of-tests dialog with `passes`.
void AnswerPasses(int passes) {
  QTimer::singleShot(0, [passes] {
    if (auto* d = qobject_cast<TTestCountDialog*>(QApplication::activeModalWidget())) {
      d->CountSpin()->setValue(passes);
      d->accept();
    } else {
      AnswerPasses(passes);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallDrawDateHooks();
  bool startDone = false;
  SetBoxHook([&startDone](const TBoxRequest& r) { return startDone || r.Kind != TBoxKind::Question; });
  TScriptTab::SetLogOpener([](const QString&) {});
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
  TRunOverrides o;
  o.ScriptSeed = 1;
  ws.SetRunOverrides(o);
  ws.ScriptAdd("FULL:0#RAND|TSD0#NUMS:20,30#LNO:#ST:1| | | | | | |a");
  TMainWindow w(ws, ui);
  w.show();
  w.InitialRun();
  w.Worker().WaitIdle();
  startDone = true;
  w.findChild<TScriptTab*>()->Refresh();

  // The longest wait between two turns of the event loop during the run.
  QElapsedTimer clock;
  qint64 last = 0, worst = 0;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (last != 0) worst = std::max(worst, now - last);
    last = now;
  });
  AnswerPasses(100);
  w.UpdateActions();
  clock.start();
  w.Commands().Trigger(QStringLiteral("ScriptTest"));
  tick.start();
  w.Worker().WaitIdle();
  tick.stop();
  const double runMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  Report("100-pass test: longest event-loop gap", static_cast<double>(worst) / 1e6, 50);
  std::printf("%-58s %9.1f ms\n", "100-pass test: whole run", runMs);

  // Stop: from the command (answered Yes) to the end of the run.
  AnswerPasses(100);
  w.UpdateActions();
  w.Commands().Trigger(QStringLiteral("ScriptTest"));
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QElapsedTimer stop;
  stop.start();
  w.Commands().Trigger(QStringLiteral("ScriptStop"));
  w.Worker().WaitIdle();
  Report("Stop during a test: command to the end of the run", static_cast<double>(stop.nsecsElapsed()) / 1e6, 200);
  return 0;
}
