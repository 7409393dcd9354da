// The ratings list lvRatings: the twenty columns of the engine's rating
// rows in the current efficiency mode, then "p". Rows are formatted on
// demand and kept, so that while the worker owns the ratings the list shows
// the rows it had formatted (empty cells elsewhere) until the refresh.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TRatingsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = 21;
  static const int DefaultWidths[ColumnCount];

  TRatingsModel(TWorkspace& ws, std::function<bool()> mayRead, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Refresh();
  // The 21 texts of a row (formatted when first asked for).
  const QStringList* Row(int row) const;

 private:
  TWorkspace& Ws_;
  std::function<bool()> MayRead_;
  int Rows_ = 0;
  int Mode_ = 1;
  mutable std::vector<std::optional<QStringList>> Cache_;
};

}  // namespace vexa::gui
