// The one worker thread of the window.
//
// Every long operation runs here as a function; the UI thread goes on
// painting and taking input. Run is called on the UI thread and refuses a
// second operation while one runs (the commands are disabled meanwhile).
// An exception of the operation is shown as an error box on the UI thread,
// then `done` runs there. The data the operation changes belong to it until
// `done`: views show what they showed before.
#pragma once

#include <QObject>
#include <QThread>

#include <functional>

namespace vexa::gui {

class TQtUserInterface;

class TWorker : public QObject {
  Q_OBJECT

 public:
  explicit TWorker(TQtUserInterface& ui, QObject* parent = nullptr);
  ~TWorker() override;

  bool Running() const { return Running_; }
  // False when an operation runs already.
  bool Run(std::function<void()> op, std::function<void()> done = {});
  // Processes events until no operation runs (start-up steps, tests).
  void WaitIdle();

 signals:
  void RunningChanged(bool running);

 private:
  void Finish(const QString& error, const std::function<void()>& done);

  TQtUserInterface& Ui_;
  QThread Thread_;
  QObject* Context_;  // lives in Thread_: queued calls run there
  bool Running_ = false;
};

}  // namespace vexa::gui
