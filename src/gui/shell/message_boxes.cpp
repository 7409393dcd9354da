#include "shell/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "acquire/draws_csv.h"

namespace vexa::gui {
namespace {

TBoxHook& Hook() {
  static TBoxHook hook;
  return hook;
}

}  // namespace

void SetBoxHook(TBoxHook hook) { Hook() = std::move(hook); }

QString BoxTitle(TBoxKind kind) {
  switch (kind) {
    case TBoxKind::Error: return QStringLiteral("Ошибка");
    case TBoxKind::Information: return QStringLiteral("Информация");
    case TBoxKind::Attention: return QStringLiteral("Внимание!");
    case TBoxKind::Warning: return QStringLiteral("Предупреждение");
    case TBoxKind::Question:
    case TBoxKind::CarefulQuestion: return QStringLiteral("Подтверждение");
  }
  return {};
}

TBoxKind BoxKindOf(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::Error: return TBoxKind::Error;
    case TMessageKind::Information: return TBoxKind::Information;
    case TMessageKind::Attention: return TBoxKind::Attention;
    case TMessageKind::Warning: return TBoxKind::Warning;
  }
  return TBoxKind::Error;
}

QString FromEngine(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

std::string ToEngine(const QString& text) { return text.toUtf8().toStdString(); }

bool ShowBox(QWidget* parent, TBoxKind kind, const QString& text, const QString& title) {
  const TBoxRequest request{kind, title.isEmpty() ? BoxTitle(kind) : title, text};
  if (Hook()) return Hook()(request);
  QMessageBox box(parent);
  box.setWindowTitle(request.Title);
  box.setText(text);
  const bool question = kind == TBoxKind::Question || kind == TBoxKind::CarefulQuestion;
  switch (kind) {
    case TBoxKind::Error: box.setIcon(QMessageBox::Critical); break;
    case TBoxKind::Information: box.setIcon(QMessageBox::Information); break;
    case TBoxKind::Attention:
    case TBoxKind::Warning: box.setIcon(QMessageBox::Warning); break;
    default: box.setIcon(QMessageBox::Question); break;
  }
  if (!question) {
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return true;
  }
  QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
  box.setDefaultButton(kind == TBoxKind::CarefulQuestion ? no : yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

bool AskDelete(QWidget* parent, int count) {
  return AskCareful(parent, FromEngine(DrawsDelQuestion(count)), BoxTitle(TBoxKind::Warning));
}

}  // namespace vexa::gui
