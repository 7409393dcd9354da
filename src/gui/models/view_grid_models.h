// The models of the card "Карта" and the layout "Схема": thin windows on
// the engine's TDrawsCard and TLayoutGrid. The grids' fixed row and column
// are the view's headers, so model (row, column) is grid (row + 1,
// column + 1); every text and colour is read from the engine on demand.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "views/card.h"
#include "views/grid_selection.h"
#include "views/layout.h"

class QItemSelectionModel;

namespace vexa::gui {

inline QColor ToQColor(const TRgb& c) { return QColor(c.R, c.G, c.B); }

// The selection rectangle of a view over one of these models, in grid
// indexes; false without a selection.
bool SelectedGridRect(const QItemSelectionModel* selection, TGridRect& rect);

class TCardModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TCardModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetCard(TDrawsCard card);
  const TDrawsCard& Card() const { return Card_; }
  void SetOptions(const TCardColorOptions& options) { Options_ = options; }
  // The fill of model cell (row, column) before selection; invalid for the
  // grid's default background.
  QColor CellFill(int row, int column) const;
  // Text of a number column's cell without building a string per call.
  const QString& CellString(int row, int column) const;

 private:
  TDrawsCard Card_;
  TCardColorOptions Options_;
};

class TLayoutModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TLayoutModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetGrid(TLayoutGrid grid);
  const TLayoutGrid& Grid() const { return Grid_; }
  void SetGradient(bool gradient) { Gradient_ = gradient; }
  QColor CellFill(int row, int column) const;

 private:
  TLayoutGrid Grid_;
  bool Gradient_ = true;
};

// One comparison list: "Кол-во" and the numbers, sortable by the list rule.
class TCompareModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TCompareModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  void SetList(TCompareList list);
  const TCompareList& List() const { return List_; }
  // The texts of view row r: the count and the numbers.
  QString Text(int row, int column) const;

 private:
  void ApplySort();
  TCompareList List_;
  std::vector<std::array<std::string, 2>> Texts_;
  std::vector<int> Order_;
  int SortColumn_ = 0;
  bool Descending_ = true;
};

}  // namespace vexa::gui
