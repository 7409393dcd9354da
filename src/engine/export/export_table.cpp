#include "export/export_table.h"

namespace vexa {

TExportRowCounts ExportRowCounts(const TExportTable& t) {
  TExportRowCounts c;
  if (t.Kind == TExportKind::List) {
    c.All = t.RowCount;
    const auto selected = static_cast<int64_t>(t.SelectedRows.size());
    if (t.MultiSelect && selected > 1) {
      c.Selected = selected;
      c.Preselected = ExportSendSelected;
    } else {
      c.Selected = t.RowCount > 0 ? 1 : 0;  // the focused item; an empty list has none
    }
  } else {
    c.All = t.RowCount > 0 ? t.RowCount - 1 : 0;
    c.Selected = t.SelectionBottom - t.SelectionTop + 1;
    if (t.SelectionBottom > t.SelectionTop && t.SelectionTop > 1) c.Preselected = ExportSendSelected;
  }
  return c;
}

int64_t ExportSourceRow(const TExportTable& t, int mode, int64_t i) {
  if (t.Kind == TExportKind::List) {
    if (mode != ExportSendSelected) return i;
    return t.SelectedRows.empty() ? 0 : t.SelectedRows[static_cast<size_t>(t.MultiSelect ? i : 0)];
  }
  return mode == ExportSendSelected ? t.SelectionTop + i : 1 + i;
}

std::vector<TExportField> InitialExportFields(const TExportTable& t) {
  std::vector<TExportField> fields;
  for (size_t k = 0; k < t.Columns.size(); ++k) {
    const TExportColumn& c = t.Columns[k];
    TExportField f;
    f.Caption = c.Caption;
    f.PhysicalField = c.Caption;
    f.Alignment = t.Kind == TExportKind::List ? c.Alignment : ExportAlignLeft;
    f.Width = ExportWidthFromPixels(c.WidthPixels);
    f.SourceIndex = static_cast<int>(k);
    f.Checked = true;
    fields.push_back(std::move(f));
  }
  return fields;
}

TExportParams InitialExportParams(const TExportTable& t, bool allowSave) {
  TExportParams p;
  p.Title = t.TabCaption;
  p.SheetName = t.TabCaption;
  p.PageOrientation = 0;
  p.BaseFontSize = 8;
  p.SaveParameters = allowSave;
  p.SendMode = ExportRowCounts(t).Preselected;
  p.Fields = InitialExportFields(t);
  return p;
}

}  // namespace vexa
