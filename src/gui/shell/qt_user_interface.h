// The engine's user interface in the window.
//
// Threads: the engine calls these from the worker thread while an operation
// runs there, and from the UI thread otherwise. Progress goes to the UI
// thread as a queued signal and returns at once; Message and Ask from the
// worker block it until the UI thread has shown the box (and got the
// answer), so the order of messages and questions is the engine's. The
// stop flag is atomic.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <string_view>

#include "core/user_interface.h"

namespace vexa::gui {

class TQtUserInterface : public QObject, public TUserInterface {
  Q_OBJECT

 public:
  explicit TQtUserInterface(QObject* parent = nullptr) : QObject(parent) {}

  // The window the boxes are modal over.
  void SetBoxParent(QWidget* parent) { BoxParent_ = parent; }
  QWidget* BoxParent() const { return BoxParent_; }

  void Progress(const TProgress& progress) override;
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override;
  bool Ask(std::string_view text, std::string_view title, bool noIsDefault) override;
  bool StopRequested() override { return Stop_.load(std::memory_order_relaxed); }
  void Changed(TChanges what) override;

  void RequestStop() { Stop_.store(true); }
  void ClearStop() { Stop_.store(false); }

 signals:
  // Always delivered on the UI thread.
  void ProgressChanged(const QString& text);
  // The counted part of a progress report (done of total), when it has one.
  void ProgressCounted(qint64 done, qint64 total);
  // What an operation changed (TChange bits); on the UI thread.
  void DataChanged(unsigned what);

 private:
  // Runs `fn` on the UI thread and waits for it.
  template <typename Fn>
  void OnUiThread(Fn fn);

  QPointer<QWidget> BoxParent_;
  std::atomic<bool> Stop_{false};
};

}  // namespace vexa::gui
