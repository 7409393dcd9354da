#include "shell/qt_user_interface.h"

#include <QCoreApplication>
#include <QThread>

#include "shell/message_boxes.h"

namespace vexa::gui {

template <typename Fn>
void TQtUserInterface::OnUiThread(Fn fn) {
  if (QThread::currentThread() == thread()) {
    fn();
  } else {
    QMetaObject::invokeMethod(this, fn, Qt::BlockingQueuedConnection);
  }
}

void TQtUserInterface::Progress(const TProgress& progress) {
  // A signal emitted on the worker reaches the UI thread queued.
  emit ProgressChanged(FromEngine(progress.Text));
  if (progress.Total > 0) emit ProgressCounted(progress.Done, progress.Total);
}

void TQtUserInterface::Changed(TChanges what) { emit DataChanged(what); }

void TQtUserInterface::ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) {
  const QString t = FromEngine(MessageBoxText(text, cause));
  OnUiThread([this, kind, &t] { ShowBox(BoxParent_, BoxKindOf(kind), t); });
}

bool TQtUserInterface::Ask(std::string_view text, std::string_view title, bool noIsDefault) {
  const QString t = FromEngine(text);
  const QString caption = FromEngine(title);
  bool answer = false;
  OnUiThread([&] {
    answer = ShowBox(BoxParent_, noIsDefault ? TBoxKind::CarefulQuestion : TBoxKind::Question, t, caption);
  });
  return answer;
}

}  // namespace vexa::gui
