#include "tabs/view_tabs.h"

#include <QKeyEvent>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>

#include <limits>

#include "dialogs/repeats_dialog.h"
#include "dialogs/sums_dialog.h"
#include "shell/main_window.h"
#include "tabs/card_tab.h"
#include "tabs/graphs_tab.h"
#include "tabs/layout_tab.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {

QSpinBox* ViewLengthSpin(const char* name, const char* hint, int value, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(1, std::numeric_limits<int>::max());
  spin->setValue(std::max(1, value));
  spin->setStatusTip(U8(hint));
  spin->setToolTip(U8(hint));
  spin->setMinimumWidth(70);
  return spin;
}

TEnterKey::TEnterKey(QObject* edit, std::function<void()> enter) : QObject(edit), Enter_(std::move(enter)) {
  edit->installEventFilter(this);
}

bool TEnterKey::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Only a value within the edit's limits counts.
      auto* spin = qobject_cast<QSpinBox*>(watched);
      if (spin == nullptr || spin->hasAcceptableInput()) {
        if (spin != nullptr) spin->interpretText();
        Enter_();
      }
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void ShowRightTab(TMainWindow& window, QWidget* tab, bool shown) {
  QTabWidget* pages = window.RightPages();
  const int index = pages->indexOf(tab);
  if (index >= 0) pages->setTabVisible(index, shown);
}

bool RightTabShown(TMainWindow& window, QWidget* tab) {
  QTabWidget* pages = window.RightPages();
  const int index = pages->indexOf(tab);
  return index >= 0 && pages->isTabVisible(index);
}

void AddViewTabs(TMainWindow& w) {
  QTabWidget* pages = w.RightPages();
  TWorkspace& ws = w.Workspace();
  auto* graphs = new TGraphsTab(w, pages);
  pages->addTab(graphs, QStringLiteral("Графики"));
  auto* card = new TCardTab(w, pages);
  pages->addTab(card, QStringLiteral("Карта"));
  auto* layout = new TLayoutTab(w, pages);
  pages->addTab(layout, QStringLiteral("Схема"));
  pages->setTabToolTip(pages->indexOf(layout), QStringLiteral("Схема выпадения номеров"));
  graphs->RegisterCommands();
  card->RegisterCommands();
  layout->RegisterCommands();

  TCommandTable& t = w.Commands();
  const char* more = "Расширенная статистика";
  AddCommand(t, "AnalyzeRepeats", more, "Количество повторов в зависимости от тиража", "",
             "Количество повторов в зависимости от тиража",
             [&w] {
               TRepeatsDialog dialog(w, &w);
               dialog.exec();
             },
             [&ws] { return !ws.Archive().Empty(); });
  AddCommand(t, "TotalSumCombs", more, "Распределение сумм тиражей и всех возможных комбинаций", "",
             "Распределение сумм тиражей и всех возможных комбинаций", [&w, &ws] {
               auto result = std::make_shared<TSumsDistribution>();
               auto failed = std::make_shared<bool>(true);
               w.RunLong(
                   [&ws, result, failed] {
                     *result = ws.TotalSumCombs();
                     *failed = false;
                   },
                   [&w, result, failed] {
                     if (*failed) return;
                     TSumsDialog dialog(w.Workspace(), U8(SumsCaption), result->Graph, &w);
                     dialog.exec();
                   });
             });

  // Hidden tabs stay as stored; the shown ones get their first build.
  graphs->ApplyVisibility();
  card->ApplyVisibility();
  layout->ApplyVisibility();
  QPointer<TGraphsTab> g(graphs);
  QPointer<TCardTab> c(card);
  QPointer<TLayoutTab> l(layout);
  w.SetViewsRefresh([g, c, l](bool force) {
    if (g) g->Refresh(force);
    if (c) c->Refresh(force);
    if (l) l->Refresh(force);
  });
  QObject::connect(pages, &QTabWidget::currentChanged, &w, [&w] { w.RefreshViews(false); });
}

}  // namespace vexa::gui
