// "Сообщения": one tool window collecting the failure lines of file
// operations, each in the colour of its kind, with a count of the messages
// added since it was opened. Closing it destroys it.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTextEdit;

namespace vexa::gui {

enum class TMessageLineKind { Header, Info, Ok, Skip, Warning, Error, Stop };

class TMessageWindow : public QWidget {
  Q_OBJECT

 public:
  // Creates the window when none is open, adds the line, brings it to the front.
  static TMessageWindow* AddMessage(QWidget* owner, TMessageLineKind kind, const QString& text);
  static TMessageWindow* Current();

  int Count() const { return Count_; }
  QString Text() const;
  QLabel* StatusLine() const { return Status_; }
  static QColor ColourOf(TMessageLineKind kind);

 private:
  explicit TMessageWindow(QWidget* owner);
  void Add(TMessageLineKind kind, const QString& text);

  static QPointer<TMessageWindow> Instance_;
  QTextEdit* List_;
  QLabel* Status_;
  int Count_ = 0;
};

}  // namespace vexa::gui
