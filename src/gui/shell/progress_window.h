// TFormProgress: a borderless window (416 x 74) centred on the screen with a
// text line above a gauge that shows the percentage. At most one exists.
// Every call repaints it at once; the caller's loop must not run on the UI
// thread for long (long work goes to the worker), so nothing is pumped here.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vexa::gui {

class TProgressWindow : public QWidget {
  Q_OBJECT

 public:
  // Throws EVexaError "Окно индикатора уже создано!" while one is open.
  static TProgressWindow* OpenProgress(const QString& text, int steps, QWidget* parent = nullptr);
  static TProgressWindow* Current();
  static void CloseProgress();

  void SetProgressText(const QString& text);
  // Advances by n, never past the maximum.
  void StepProgress(int n);
  int Position() const;
  int Maximum() const;
  QString Text() const;

 private:
  TProgressWindow(const QString& text, int steps, QWidget* parent);
  void Repaint();

  QLabel* Text_;
  QProgressBar* Gauge_;
  QPushButton* Cancel_;  // "Отмена": no caller shows it
};

}  // namespace vexa::gui
