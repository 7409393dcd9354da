// The stakes grid sgStakes: a virtual list over the stakes file. It holds
// the row count and a page of records read in one go around the rows asked
// for; while an operation runs on the worker it reads nothing and shows
// what its page holds (empty cells elsewhere) until the refresh.
#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <vector>

#include "stakes/stake_record.h"

namespace vexa {
class TStakesFile;
}

namespace vexa::gui {

class TStakesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = StakeGridColumns;
  static constexpr int PageSize = 256;
  // Set on the numbers of columns 2 and 4: the matched numbers (bold, blue).
  static constexpr int MatchedRole = Qt::UserRole + 1;
  static constexpr int NumbersRole = Qt::UserRole + 2;

  // mayRead: false while the worker owns the file.
  TStakesModel(const TStakesFile& file, std::function<bool()> mayRead, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // After the file changed: the new count, the page read again.
  void Refresh();
  // The record of a row, read when needed; nullptr when not available.
  const TStakeRec* Record(int row) const;

 private:
  const TStakesFile& File_;
  std::function<bool()> MayRead_;
  int Rows_ = 0;
  mutable int PageFirst_ = -1;
  mutable std::vector<TStakeRec> Page_;
};

}  // namespace vexa::gui
