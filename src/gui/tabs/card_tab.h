// The tab "Карта" (tsCard): the draws card sgCard over the whole archive,
// a virtual grid read from the engine's TDrawsCard, painted by a delegate
// in the card's colours; the selection rectangle is the card filter.
#pragma once

#include <QWidget>

class QTableView;

namespace vexa::gui {

class TMainWindow;
class TCardModel;

class TCardTab : public QWidget {
  Q_OBJECT

 public:
  TCardTab(TMainWindow& window, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TCardModel* Model() const { return Model_; }
  // Rebuilds while the tab is shown: forced, or when the card does not
  // hold a row per draw. Colours are read again in any case.
  void Refresh(bool force);
  // The switch TabCard as stored; showing rebuilds (forced).
  void ApplyVisibility();
  bool Shown() const;
  bool FilterEnabled() const;

 private:
  void Filter(bool del);

  TMainWindow& W_;
  TCardModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui
