// The systems catalogue list lvSystems: one row per catalogue system with
// its eleven columns and one of six icons (downloaded or not, the user's
// own, someone else's, no author mail); the placeholder row has none.
#pragma once

#include <cstdint>
#include <vector>

#include "models/text_rows_model.h"
#include "online/systems_catalogue.h"

namespace vexa::gui {

class TSystemsModel : public TTextRowsModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = 11;
  static constexpr int NumsColumn = 2;
  static const int DefaultWidths[ColumnCount];

  explicit TSystemsModel(QObject* parent = nullptr);

  void SetSystems(const std::vector<TSystemInfo>& systems);
  // The catalogue id of a view row, -1 for none or the placeholder.
  int32_t IdAt(int viewRow) const;
  int ViewRowOf(int32_t id) const;
  // The engine's row (index into Systems()) of a view row.
  int SystemIndex(int viewRow) const { return SourceRow(viewRow); }
  // The icon of one of the engine's six states (TSystemIcon).
  static QIcon StateIcon(int state);

 private:
  std::vector<int32_t> Ids_;
};

}  // namespace vexa::gui
