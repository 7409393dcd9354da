// A table as the export sees it: its columns, its rows as the window shows
// them, and the selection. Two kinds, which count "all" and "selected" rows
// differently:
//   list: rows 0 .. RowCount-1 are the items; the cell of column k is the
//         item caption (k = 0) or sub-item k, "" past the item's last one.
//   grid: row 0 holds the captions; rows 1 .. RowCount-1 are the data; the
//         selection is the rows SelectionTop .. SelectionBottom.
// The owner-drawn stakes grid is a grid whose cells come from a callback,
// which is what Cell is for every kind here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/export_params.h"

namespace vexa {

enum class TExportKind { List, Grid };

struct TExportColumn {
  std::string Caption;
  int Alignment = ExportAlignLeft;
  int WidthPixels = 64;
};

struct TExportTable {
  std::string FormName = "FormMain";
  std::string ControlName;  // "lvDraws"
  std::string TabCaption;   // "Архив тиражей": the sheet name and the title
  TExportKind Kind = TExportKind::List;
  std::vector<TExportColumn> Columns;
  int64_t RowCount = 0;  // list: items; grid: rows including row 0
  // REQUIRES: a row of the table (grid: 1 .. RowCount-1), 0 <= column.
  std::function<std::string(int64_t row, int column)> Cell;
  // List selection (view order); MultiSelect false: only the first counts.
  bool MultiSelect = true;
  std::vector<int64_t> SelectedRows;
  // Grid selection, grid rows.
  int64_t SelectionTop = 1;
  int64_t SelectionBottom = 1;

  std::string SectionName() const { return ExportSectionName(FormName, ControlName); }
};

// Row counts of the two send modes and the mode chosen at first.
struct TExportRowCounts {
  int64_t All = 0;
  int64_t Selected = 0;
  int Preselected = ExportSendAll;
  int64_t Of(int mode) const { return mode == ExportSendSelected ? Selected : All; }
};
TExportRowCounts ExportRowCounts(const TExportTable& table);
// The table row of the i-th exported row of a mode. REQUIRES: i < count.
int64_t ExportSourceRow(const TExportTable& table, int mode, int64_t i);

// One field per column, all checked: caption and physical field the column
// caption, width pixels / 8.
std::vector<TExportField> InitialExportFields(const TExportTable& table);
// The dialog's starting values: the tab caption as title and sheet name,
// orientation 0, font size 8, the preselected mode, the initial fields.
TExportParams InitialExportParams(const TExportTable& table, bool allowSave = true);

}  // namespace vexa
