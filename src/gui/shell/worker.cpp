#include "shell/worker.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <exception>

#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"

namespace vexa::gui {

TWorker::TWorker(TQtUserInterface& ui, QObject* parent) : QObject(parent), Ui_(ui), Context_(new QObject) {
  Thread_.setObjectName(QStringLiteral("vexa-worker"));
  Context_->moveToThread(&Thread_);
  connect(&Thread_, &QThread::finished, Context_, &QObject::deleteLater);
  Thread_.start();
}

TWorker::~TWorker() {
  Thread_.quit();
  Thread_.wait();
}

bool TWorker::Run(std::function<void()> op, std::function<void()> done) {
  if (Running_) return false;
  Running_ = true;
  Ui_.ClearStop();
  emit RunningChanged(true);
  QMetaObject::invokeMethod(
      Context_,
      [this, op = std::move(op), done = std::move(done)] {
        QString error;
        try {
          op();
        } catch (const std::exception& e) {
          error = FromEngine(e.what());
        }
        QMetaObject::invokeMethod(this, [this, error, done] { Finish(error, done); }, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  return true;
}

void TWorker::Finish(const QString& error, const std::function<void()>& done) {
  if (!error.isEmpty()) ShowError(Ui_.BoxParent(), error);
  Running_ = false;
  if (done) done();
  emit RunningChanged(false);
}

void TWorker::WaitIdle() {
  while (Running_) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

}  // namespace vexa::gui
