// The online script library list lvOnlineScripts: one row per library
// script with its thirteen columns; public and private scripts have two
// different icons.
#pragma once

#include <cstdint>
#include <vector>

#include "models/text_rows_model.h"
#include "online/script_library.h"

namespace vexa::gui {

class TLibraryModel : public TTextRowsModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = LibraryColumns;
  static constexpr int RatingColumn = 7;
  static const int DefaultWidths[ColumnCount];

  explicit TLibraryModel(QObject* parent = nullptr);

  void SetScripts(const std::vector<TScriptInfo>& scripts);
  // The library id of a view row, -1 for none.
  int32_t IdAt(int viewRow) const;
  int ViewRowOf(int32_t id) const;
  // The engine's row (index into Library()) of a view row.
  int ScriptIndex(int viewRow) const { return SourceRow(viewRow); }
  static QIcon PublicIcon(bool isPublic);

 private:
  std::vector<int32_t> Ids_;
};

}  // namespace vexa::gui
