#include "shell/progress_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/error.h"

namespace vexa::gui {
namespace {

QPointer<TProgressWindow>& Instance() {
  static QPointer<TProgressWindow> instance;
  return instance;
}

}  // namespace

TProgressWindow::TProgressWindow(const QString& text, int steps, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("TFormProgress"));
  Text_ = new QLabel(text.isEmpty() ? QStringLiteral("Подождите пожалуйста...") : text, this);
  Gauge_ = new QProgressBar(this);
  Gauge_->setRange(0, std::max(1, steps));
  Gauge_->setValue(0);
  Gauge_->setTextVisible(true);
  Gauge_->setFormat(QStringLiteral("%p%"));
  Cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
  Cancel_->setToolTip(QStringLiteral("Прервать операцию"));
  Cancel_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Text_);
  layout->addWidget(Gauge_);
  layout->addWidget(Cancel_, 0, Qt::AlignHCenter);
  setFixedSize(416, 74);
  if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

TProgressWindow* TProgressWindow::OpenProgress(const QString& text, int steps, QWidget* parent) {
  if (!Instance().isNull()) throw EVexaError("Окно индикатора уже создано!");
  Instance() = new TProgressWindow(text, steps, parent);
  Instance()->Repaint();
  return Instance().data();
}

TProgressWindow* TProgressWindow::Current() { return Instance().data(); }

void TProgressWindow::CloseProgress() {
  if (Instance().isNull()) return;
  delete Instance().data();
  Instance() = nullptr;
}

void TProgressWindow::SetProgressText(const QString& text) {
  Text_->setText(text);
  Repaint();
}

void TProgressWindow::StepProgress(int n) {
  Gauge_->setValue(std::min(Gauge_->maximum(), Gauge_->value() + n));
  Repaint();
}

int TProgressWindow::Position() const { return Gauge_->value(); }
int TProgressWindow::Maximum() const { return Gauge_->maximum(); }
QString TProgressWindow::Text() const { return Text_->text(); }

void TProgressWindow::Repaint() {
  show();
  raise();
  repaint();
}

}  // namespace vexa::gui
