// The number-of-tests dialog TFormTestCnt: one spin, 1 .. draws - 1.
#pragma once

#include <QDialog>

class QSpinBox;

namespace vexa::gui {

class TTestCountDialog : public QDialog {
  Q_OBJECT

 public:
  TTestCountDialog(int most, QWidget* parent = nullptr);
  QSpinBox* CountSpin() const { return Count_; }
  // The chosen count; 0 when cancelled.
  static int Ask(int most, QWidget* parent);

 private:
  QSpinBox* Count_;
};

}  // namespace vexa::gui
