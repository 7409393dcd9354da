// The script list lvScript: one row per line, the cells as the engine
// formats them ("Комментарии", "Опции", "Фильтр 1" .. "Фильтр 7"). The rows
// are copied at every refresh, so a run on the worker never races the view.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TScriptModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = 9;
  static const int DefaultWidths[ColumnCount];

  explicit TScriptModel(TWorkspace& ws, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Refresh();
  bool IsSeparator(int row) const;

 private:
  TWorkspace& Ws_;
  std::vector<QStringList> Rows_;
  std::vector<bool> Separators_;
};

}  // namespace vexa::gui
