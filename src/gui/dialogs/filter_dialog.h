// The filter dialog "Фильтр" (TFormFilter): one filter of a script line.
// The values, the enabling and the OK check come from the engine
// (scripts/script_dialogs.h); the dialog only moves them to and from its
// controls and focuses the control a refusal names.
#pragma once

#include <QDialog>

#include "scripts/script_text.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace vexa {
class TStatList;
}

namespace vexa::gui {

class TFilterDialog : public QDialog {
  Q_OBJECT

 public:
  // currentStat/currentDrawsLen: the statistics tab's method and window length.
  TFilterDialog(const TFilterItem& item, const TStatList& stats, const TStatMethod* currentStat,
                int32_t currentDrawsLen, QWidget* parent = nullptr);

  // The record of the controls, Used set (valid after OK).
  const TFilterItem& Result() const { return Result_; }
  TFilterItem Read() const;

  QComboBox* StatBox() const { return Stat_; }
  QLineEdit* DrawsLenEdit() const { return DrawsLen_; }
  QComboBox* SortBox() const { return Sort_; }
  QComboBox* LevelModeBox() const { return LevelMode_; }
  QLineEdit* LevelValueEdit() const { return LevelValue_; }
  QComboBox* StopModeBox() const { return StopMode_; }
  QCheckBox* MultiSelectBox() const { return MultiSelect_; }
  QCheckBox* CdlOverrideBox() const { return CdlOverride_; }
  QLineEdit* CoefCountEdit() const { return CoefCount_; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Fill(const TFilterItem& item);
  void UpdateEnabling();

  const TStatList& Stats_;
  TCdl GlobalCdl_;
  QComboBox* Stat_;
  QLineEdit* DrawsLen_;
  QComboBox* Sort_;
  QComboBox* Direction_;
  QComboBox* FilterMode_;
  QCheckBox* MultiSelect_;
  QComboBox* LevelMode_;
  QLineEdit* LevelValue_;
  QCheckBox* CdlOverride_;
  QLineEdit* CoefCount_;
  QLineEdit* CoefDeviation_;
  QLineEdit* CoefLevel_;
  QCheckBox* CoefPercents_;
  QCheckBox* CoefAbs_;
  QComboBox* StopMode_;
  QSpinBox* StopValue_;
  TFilterItem Result_;
};

}  // namespace vexa::gui
