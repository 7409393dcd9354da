#include "models/script_model.h"

#include "scripts/script_text.h"
#include "workspace/workspace.h"

namespace vexa::gui {

const int TScriptModel::DefaultWidths[ColumnCount] = {150, 200, 180, 180, 180, 180, 180, 180, 180};

TScriptModel::TScriptModel(TWorkspace& ws, QObject* parent) : QAbstractTableModel(parent), Ws_(ws) { Refresh(); }

int TScriptModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int TScriptModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TScriptModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
    return Rows_[static_cast<size_t>(index.row())].value(index.column());
  return {};
}

QVariant TScriptModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QStringLiteral("Комментарии");
  if (section == 1) return QStringLiteral("Опции");
  return QStringLiteral("Фильтр %1").arg(section - 1);
}

void TScriptModel::Refresh() {
  beginResetModel();
  const std::vector<std::string>& lines = Ws_.ScriptLines();
  Rows_.clear();
  Separators_.clear();
  Rows_.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    QStringList cells;
    for (const std::string& cell : Ws_.ScriptViewRow(static_cast<int>(i))) cells << QString::fromUtf8(cell.c_str());
    Rows_.push_back(std::move(cells));
    Separators_.push_back(IsScriptSeparator(lines[i]));
  }
  endResetModel();
}

bool TScriptModel::IsSeparator(int row) const {
  return row < 0 || row >= static_cast<int>(Separators_.size()) || Separators_[static_cast<size_t>(row)];
}

}  // namespace vexa::gui
