#include "dialogs/filter_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

#include "scripts/script_dialogs.h"
#include "shell/message_boxes.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"

namespace vexa::gui {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& utf8) { return QString::fromUtf8(utf8.c_str()); }

QString CoefText(long double v) { return QString::number(static_cast<double>(v), 'f', 3); }

}  // namespace

TFilterDialog::TFilterDialog(const TFilterItem& item, const TStatList& stats, const TStatMethod* currentStat,
                             int32_t currentDrawsLen, QWidget* parent)
    : QDialog(parent), Stats_(stats), GlobalCdl_(stats.Config.Cdl) {
  setObjectName(QStringLiteral("TFormFilter"));
  setWindowTitle(U(FilterDialogCaption));
  Stat_ = new QComboBox(this);
  Stat_->setObjectName(QString::fromLatin1(FilterStatListName));
  // The favourite methods, as the statistics tab lists them; the data is the registry index.
  for (int i = 0; i < stats.Count(); ++i)
    if (stats.IsAvailable(i) && stats.IsFavourite(i)) Stat_->addItem(U(stats.ListCaption(i, false)), i);
  DrawsLen_ = new QLineEdit(this);
  DrawsLen_->setObjectName(QStringLiteral("edDrawsLen"));
  Sort_ = new QComboBox(this);
  Sort_->setObjectName(QStringLiteral("cbDrawsSortOrder"));
  for (const char* caption : StatColumnCaptions) Sort_->addItem(U(caption));
  Direction_ = new QComboBox(this);
  Direction_->setObjectName(QStringLiteral("cbDirection"));
  for (const char* t : FilterDirectionTexts) Direction_->addItem(U(t));
  FilterMode_ = new QComboBox(this);
  FilterMode_->setObjectName(QStringLiteral("cbFilterMode"));
  for (const char* t : FilterModeTexts) FilterMode_->addItem(U(t));
  MultiSelect_ = new QCheckBox(QStringLiteral("Мультивыделение"), this);
  MultiSelect_->setObjectName(QStringLiteral("cbMultiSelect"));
  LevelMode_ = new QComboBox(this);
  LevelMode_->setObjectName(QStringLiteral("cbLevelMode"));
  for (const TScriptKeyword& k : LevelModes) LevelMode_->addItem(U(k.Text));
  LevelValue_ = new QLineEdit(this);
  LevelValue_->setObjectName(QStringLiteral("edLevelValue"));
  CdlOverride_ = new QCheckBox(QStringLiteral("Собственные коэффициенты веса"), this);
  CdlOverride_->setObjectName(QStringLiteral("cbCDLOverride"));
  CoefCount_ = new QLineEdit(this);
  CoefCount_->setObjectName(QStringLiteral("edCoefCount"));
  CoefDeviation_ = new QLineEdit(this);
  CoefDeviation_->setObjectName(QStringLiteral("edCoefDeviation"));
  CoefLevel_ = new QLineEdit(this);
  CoefLevel_->setObjectName(QStringLiteral("edCoefLevel"));
  CoefPercents_ = new QCheckBox(QStringLiteral("В процентах"), this);
  CoefPercents_->setObjectName(QStringLiteral("cbCoefPercents"));
  CoefAbs_ = new QCheckBox(QStringLiteral("Абсолютные значения"), this);
  CoefAbs_->setObjectName(QStringLiteral("cbCoefAbs"));
  StopMode_ = new QComboBox(this);
  StopMode_->setObjectName(QStringLiteral("cbStopMode"));
  for (const TScriptKeyword& k : StopModes) StopMode_->addItem(U(k.Text));
  StopValue_ = new QSpinBox(this);
  StopValue_->setObjectName(QStringLiteral("edStopValue"));
  StopValue_->setRange(1, std::numeric_limits<int>::max());
  for (QLineEdit* e : {DrawsLen_, LevelValue_}) e->installEventFilter(this);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Тип фильтра"), Stat_);
  form->addRow(QStringLiteral("Количество тиражей"), DrawsLen_);
  form->addRow(QStringLiteral("Сортировать по столбцу:"), Sort_);
  auto* order = new QHBoxLayout;
  order->addWidget(Direction_);
  order->addWidget(FilterMode_);
  order->addWidget(MultiSelect_);
  form->addRow(QString(), order);
  form->addRow(QStringLiteral("Выделение:"), LevelMode_);
  form->addRow(QStringLiteral("Значения:"), LevelValue_);
  auto* cdl = new QGroupBox(this);
  auto* cdlGrid = new QGridLayout(cdl);
  cdlGrid->addWidget(CdlOverride_, 0, 0, 1, 3);
  cdlGrid->addWidget(new QLabel(QStringLiteral("Количество"), cdl), 1, 0);
  cdlGrid->addWidget(new QLabel(QStringLiteral("Отклонение"), cdl), 1, 1);
  cdlGrid->addWidget(new QLabel(QStringLiteral("Глубина"), cdl), 1, 2);
  cdlGrid->addWidget(CoefCount_, 2, 0);
  cdlGrid->addWidget(CoefDeviation_, 2, 1);
  cdlGrid->addWidget(CoefLevel_, 2, 2);
  cdlGrid->addWidget(CoefPercents_, 3, 0, 1, 2);
  cdlGrid->addWidget(CoefAbs_, 3, 2);
  form->addRow(cdl);
  auto* stop = new QHBoxLayout;
  stop->addWidget(StopMode_, 1);
  stop->addWidget(StopValue_);
  form->addRow(QStringLiteral("Остановка по:"), stop);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TFilterDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  const int index = StatIndexOf(stats, currentStat);
  Fill(FilterDialogValues(item, index >= 0 ? currentStat : nullptr, currentDrawsLen, GlobalCdl_));
  connect(LevelMode_, &QComboBox::currentIndexChanged, this, &TFilterDialog::UpdateEnabling);
  connect(CdlOverride_, &QCheckBox::clicked, this, &TFilterDialog::UpdateEnabling);
  UpdateEnabling();
}

void TFilterDialog::Fill(const TFilterItem& v) {
  // The method by identity; the first entry stays when it is not listed.
  Stat_->setCurrentIndex(Stat_->count() > 0 ? 0 : -1);
  const int index = StatIndexOf(Stats_, v.Stat);
  if (index >= 0) {
    const int row = Stat_->findData(index);
    if (row >= 0) Stat_->setCurrentIndex(row);
  }
  DrawsLen_->setText(U(v.DrawsLen));
  Sort_->setCurrentIndex(v.SortOrder >= 0 && v.SortOrder < Sort_->count() ? v.SortOrder : 1);
  Direction_->setCurrentIndex(v.BottomUp ? 1 : 0);
  FilterMode_->setCurrentIndex(v.KeepSelected ? 1 : 0);
  MultiSelect_->setChecked(v.MultiSelect);
  LevelMode_->setCurrentIndex(v.LevelMode < LevelMode_->count() ? v.LevelMode : 0);
  LevelValue_->setText(U(v.LevelValue));
  CdlOverride_->setChecked(v.CDLOverride);
  CoefCount_->setText(CoefText(v.CoefCount));
  CoefDeviation_->setText(CoefText(v.CoefDeviation));
  CoefLevel_->setText(CoefText(v.CoefLevel));
  CoefPercents_->setChecked(v.CoefPercents);
  CoefAbs_->setChecked(v.CoefAbs);
  StopMode_->setCurrentIndex(v.StopMode < StopMode_->count() ? v.StopMode : 0);
  StopValue_->setValue(v.StopValue);
}

TFilterItem TFilterDialog::Read() const {
  TFilterItem r;
  r.Used = true;
  const QVariant stat = Stat_->currentData();
  if (stat.isValid()) {
    r.Stat = &Stats_.Items(stat.toInt());
  }
  r.DrawsLen = ToEngine(DrawsLen_->text().trimmed());
  if (r.Stat != nullptr) r.StatText = r.Stat->Code() + ":" + r.DrawsLen;
  r.SortOrder = Sort_->currentIndex();
  r.BottomUp = Direction_->currentIndex() == 1;
  r.KeepSelected = FilterMode_->currentIndex() == 1;
  r.MultiSelect = MultiSelect_->isChecked();
  r.LevelMode = static_cast<uint8_t>(std::max(0, LevelMode_->currentIndex()));
  r.LevelValue = ToEngine(LevelValue_->text().trimmed());
  r.CDLOverride = CdlOverride_->isEnabled() && CdlOverride_->isChecked();
  r.CoefCount = ReadCoefficient(ToEngine(CoefCount_->text()));
  r.CoefDeviation = ReadCoefficient(ToEngine(CoefDeviation_->text()));
  r.CoefLevel = ReadCoefficient(ToEngine(CoefLevel_->text()));
  r.CoefPercents = CoefPercents_->isChecked();
  r.CoefAbs = CoefAbs_->isChecked();
  r.StopMode = static_cast<uint8_t>(std::max(0, StopMode_->currentIndex()));
  r.StopValue = StopValue_->value();
  return r;
}

void TFilterDialog::UpdateEnabling() {
  const TFilterDialogEnabling e =
      FilterDialogEnabling(static_cast<uint8_t>(std::max(0, LevelMode_->currentIndex())), CdlOverride_->isChecked());
  CdlOverride_->setEnabled(e.CDLOverride);
  for (QWidget* w : std::initializer_list<QWidget*>{CoefCount_, CoefDeviation_, CoefLevel_, CoefPercents_, CoefAbs_})
    w->setEnabled(e.Coefficients);
}

void TFilterDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) UpdateEnabling();
  QDialog::changeEvent(event);
}

bool TFilterDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == DrawsLen_ || watched == LevelValue_)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys without text (arrows, shortcuts) are control keys.
    if (!text.isEmpty() && !IsFilterValueKey(text.at(0).unicode())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFilterDialog::accept() {
  const TFilterItem item = Read();
  const TFilterCheck check = CheckFilterItem(item);
  if (!check.Message.empty()) {
    ShowBox(this, TBoxKind::Warning, FromEngine(check.Message));
    QWidget* focus = Stat_;
    switch (check.Focus) {
      case TFilterField::DrawsLen: focus = DrawsLen_; break;
      case TFilterField::LevelMode: focus = LevelMode_; break;
      case TFilterField::LevelValue: focus = LevelValue_; break;
      case TFilterField::StopMode: focus = StopMode_; break;
      default: break;
    }
    focus->setFocus();
    return;
  }
  Result_ = item;
  QDialog::accept();
}

}  // namespace vexa::gui
