// The ratings window TFormScrRates ("Оценки пользователей"): the ratings of
// one library script in the sortable list lvRates. Its column widths and
// sort order are kept in the window settings file, section TFormScrRates.
#pragma once

#include <QDialog>

#include <vector>

#include "models/text_rows_model.h"

class QTableView;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TScriptRatesDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = 6;
  // rows: name, rating, date, program, version, notes.
  TScriptRatesDialog(TWorkspace& ws, std::vector<TTextRow> rows, QWidget* parent = nullptr);

  QTableView* View() const { return View_; }
  TTextRowsModel* Model() const { return Model_; }

  void done(int result) override;

 private:
  TWorkspace& Ws_;
  TTextRowsModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui
