// The program's message boxes: a fixed title, icon and default button by role.
//
// Every box is modal over the main window. Tests install a hook that sees
// each box instead of a window and gives the answer.
#pragma once

#include <QString>

#include <functional>
#include <string_view>

#include "core/user_interface.h"

class QWidget;

namespace vexa::gui {

enum class TBoxKind { Error, Information, Attention, Warning, Question, CarefulQuestion };

struct TBoxRequest {
  TBoxKind Kind = TBoxKind::Error;
  QString Title;
  QString Text;
};

// Returns the answer (true for Yes; ignored for the boxes without a choice).
using TBoxHook = std::function<bool(const TBoxRequest&)>;
void SetBoxHook(TBoxHook hook);

QString BoxTitle(TBoxKind kind);
TBoxKind BoxKindOf(TMessageKind kind);
// UTF-8 with the engine's "\r" line breaks to a Qt text.
QString FromEngine(std::string_view text);
std::string ToEngine(const QString& text);

// title empty: the role's title.
bool ShowBox(QWidget* parent, TBoxKind kind, const QString& text, const QString& title = {});
inline void ShowError(QWidget* parent, const QString& text) { ShowBox(parent, TBoxKind::Error, text); }
inline void ShowInfo(QWidget* parent, const QString& text) { ShowBox(parent, TBoxKind::Information, text); }
inline bool Ask(QWidget* parent, const QString& text, const QString& title = {}) {
  return ShowBox(parent, TBoxKind::Question, text, title);
}
inline bool AskCareful(QWidget* parent, const QString& text, const QString& title = {}) {
  return ShowBox(parent, TBoxKind::CarefulQuestion, text, title);
}
// "Удалить выделенную запись?" / "Удалить все выделенные записи (...)?" under "Предупреждение".
bool AskDelete(QWidget* parent, int count);

}  // namespace vexa::gui
