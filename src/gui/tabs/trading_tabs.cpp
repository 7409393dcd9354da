#include "tabs/trading_tabs.h"

#include <QTabWidget>

#include "shell/main_window.h"
#include "tabs/ratings_tab.h"
#include "tabs/script_tab.h"
#include "tabs/stakes_tab.h"
#include "tabs/systems_tab.h"
#include "tabs/tables_tab.h"

namespace vexa::gui {

void AddTradingTabs(TMainWindow& window, TQtUserInterface& ui) {
  QTabWidget* pages = window.RightPages();
  auto* stakes = new TStakesTab(window, ui, pages);
  stakes->RegisterCommands();
  pages->addTab(stakes, QStringLiteral("Ставки"));
  auto* ratings = new TRatingsTab(window, ui, pages);
  ratings->RegisterCommands();
  pages->addTab(ratings, QStringLiteral("Рейтинг"));
  auto* tables = new TTablesTab(window, ui, pages);
  tables->RegisterCommands();
  pages->addTab(tables, QStringLiteral("Регуляры"));
  tables->ApplyVisibility();
  auto* systems = new TSystemsTab(window, ui, pages);
  systems->RegisterCommands();
  pages->addTab(systems, QStringLiteral("Системы"));
  systems->ApplyVisibility();
  auto* script = new TScriptTab(window, ui, pages);
  script->RegisterCommands();
  pages->addTab(script, QStringLiteral("Сценарий"));
}

}  // namespace vexa::gui
