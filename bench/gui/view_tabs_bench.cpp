// The analysis tabs in the window with a 5000-draw archive, offscreen:
// painting a screenful of the card (all colours on), of the layout, and
// the card's rebuild with its model reset. One-shot figures, each the
// median of several passes.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "acquire/demo_draws.h"
#include "core/dates.h"
#include "models/view_grid_models.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "support/temp_dir.h"
#include "tabs/card_tab.h"
#include "tabs/layout_tab.h"
#include "workspace/workspace.h"

using namespace vexa;
using namespace vexa::gui;

namespace {

void Report(const char* what, double ms, double limit) {
  std::printf("%-58s %9.2f ms   (limit %.0f ms)%s\n", what, ms, limit, ms <= limit ? "" : "   OVER");
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A synchronous repaint of the view's viewport, scrolled to `fraction` of its range.
double Repaint(QTableView* view, double fraction) {
  QScrollBar* bar = view->verticalScrollBar();
  bar->setValue(static_cast<int>(bar->maximum() * fraction));
  QCoreApplication::processEvents();
  QElapsedTimer t;
  t.start();
  view->viewport()->repaint();
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallDrawDateHooks();
  SetBoxHook([](const TBoxRequest& r) { return r.Kind != TBoxKind::Question; });
  vexa::test::TTempDir dir;
  {
    TSilentUserInterface silent;
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(5000, 7));
    archive.SaveDraws(silent);
  }
  TQtUserInterface ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TMainWindow window(ws, ui);
  window.resize(1280, 1024);
  window.show();
  QCoreApplication::processEvents();

  auto* card = window.findChild<TCardTab*>();
  window.RightPages()->setCurrentWidget(card);
  QCoreApplication::processEvents();
  const int rows = card->View()->viewport()->height() / CardCellSize + 1;
  std::printf("card screenful: %d rows x %d columns\n", rows, CardColumnCount - 1);
  std::vector<double> paints;
  for (int i = 0; i < 21; ++i) paints.push_back(Repaint(card->View(), (i % 7) / 6.0));
  Report("card tab: painting a screenful (median of 21)", Median(paints), 16);

  std::vector<double> builds;
  for (int i = 0; i < 7; ++i) {
    QElapsedTimer t;
    t.start();
    card->Refresh(true);
    card->View()->viewport()->repaint();
    builds.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  Report("card tab: rebuild of 5000 draws and its paint (median of 7)", Median(builds), 20 + 16);

  auto* layout = window.findChild<TLayoutTab*>();
  window.RightPages()->setCurrentWidget(layout);
  QCoreApplication::processEvents();
  std::vector<double> layoutBuilds;
  for (int i = 0; i < 7; ++i) {
    QElapsedTimer t;
    t.start();
    layout->Refresh(true);
    layout->View()->viewport()->repaint();
    layoutBuilds.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  Report("layout tab: layout + five lists rebuilt and painted (median)", Median(layoutBuilds), 10 + 16);
  SetBoxHook({});
  return 0;
}
