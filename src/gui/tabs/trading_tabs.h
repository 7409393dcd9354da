// The tabs "Ставки", "Рейтинг", "Регуляры" and "Сценарий" on the window's
// right pages, with their commands. Called once by the window after its own
// commands and before its menus, which list the commands that exist.
#pragma once

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;

void AddTradingTabs(TMainWindow& window, TQtUserInterface& ui);

}  // namespace vexa::gui
