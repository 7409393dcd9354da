// The seven spreadsheet export commands of the main window: the parameters
// dialog, the workbook written on the worker with progress and stop, then
// opened by the desktop's spreadsheet application.
#pragma once

#include <QString>

#include <functional>

#include "export/export_table.h"

class QAbstractItemView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;

// Opens a written workbook; false when nothing opens it (the window then
// says where the file is). Tests install their own.
using TWorkbookOpener = std::function<bool(const QString& file)>;
void SetWorkbookOpener(TWorkbookOpener opener);

// DrawsXlsExport, CombsXlsExport, DrawsStatExportToExcel, RatingsXlsExport,
// StakesXlsExport, CardXlsExport, LayoutXlsExport.
void RegisterExportCommands(TMainWindow& window, TQtUserInterface& ui);

// The table of a command as the window shows it now (widths, selection,
// order); false when the command has no table at the moment.
bool ExportTableOf(TMainWindow& window, const QString& commandId, TExportTable& table);

}  // namespace vexa::gui
