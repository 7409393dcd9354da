#include "shell/message_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vexa::gui {

QPointer<TMessageWindow> TMessageWindow::Instance_;

QColor TMessageWindow::ColourOf(TMessageLineKind kind) {
  switch (kind) {
    case TMessageLineKind::Header: return Qt::black;
    case TMessageLineKind::Info: return QColor(0, 128, 0);
    case TMessageLineKind::Ok: return QColor(0, 0, 128);
    case TMessageLineKind::Skip: return QColor(128, 128, 128);
    case TMessageLineKind::Warning:
    case TMessageLineKind::Error: return QColor(128, 0, 0);
    case TMessageLineKind::Stop: return QColor(255, 0, 0);
  }
  return Qt::black;
}

TMessageWindow::TMessageWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Сообщения"));
  List_ = new QTextEdit(this);
  List_->setReadOnly(true);
  Status_ = new QLabel(this);
  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  auto* copy = new QPushButton(QStringLiteral("Копировать"), this);
  auto* all = new QPushButton(QStringLiteral("Выделить все"), this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(copy, &QPushButton::clicked, this, [this] {
    const QString selected = List_->textCursor().selectedText();
    QGuiApplication::clipboard()->setText(selected.isEmpty() ? List_->toPlainText() : selected);
  });
  connect(all, &QPushButton::clicked, List_, &QTextEdit::selectAll);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Status_, 1);
  buttons->addWidget(all);
  buttons->addWidget(copy);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List_, 1);
  layout->addLayout(buttons);
  resize(560, 320);
}

TMessageWindow* TMessageWindow::Current() { return Instance_.data(); }

TMessageWindow* TMessageWindow::AddMessage(QWidget* owner, TMessageLineKind kind, const QString& text) {
  if (Instance_.isNull()) Instance_ = new TMessageWindow(owner);
  Instance_->Add(kind, text);
  Instance_->show();
  Instance_->raise();
  Instance_->activateWindow();
  return Instance_.data();
}

void TMessageWindow::Add(TMessageLineKind kind, const QString& text) {
  // A blank line parts a message from the one before it.
  if (!List_->document()->isEmpty()) List_->append(QString());
  List_->setTextColor(ColourOf(kind));
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  List_->append(t);
  ++Count_;
  Status_->setText(QStringLiteral("Всего сообщений: %1").arg(Count_));
}

QString TMessageWindow::Text() const { return List_->toPlainText(); }

}  // namespace vexa::gui
