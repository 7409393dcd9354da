// Writes one table into an .xlsx workbook: the sheet named after the
// parameters, the title block, the captions of the checked fields in list
// order, then the rows of the chosen send mode as texts.
//
// Layout (rows from 1): q = 2 with a header line, else 0; r = notes shown +
// creation time shown; header in row 1 (size base - 2, italic), title in row
// q + 1 (base + 4, bold), notes in row q + 2 (base, bold), "Отчет
// построен: %s." in row q + r + 1 (base, italic); captions in row
// p = q + r + 3 (centred, wrapped, medium borders); the data from p + 1
// (thin borders). Columns: the field's width (at most 255), the base font
// size, its alignment, vertically centred.
//
// A sheet holds at most 1 048 576 rows; longer tables go on into further
// sheets "<name> (2)", ... which start with the caption row.
//
// The workbook is streamed (constant memory) into a temporary file beside
// the target and renamed over it at the end, so a failed export leaves a
// previous file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/user_interface.h"
#include "export/export_params.h"
#include "export/export_table.h"

namespace vexa {

inline constexpr const char* ExportErrorText = "Ошибка экспорта данных в Microsoft Excel!";
inline constexpr const char* ExportCreateTimeFormat = "Отчет построен: %s.";
inline constexpr int64_t XlsxMaxRows = 1048576;
inline constexpr int ExportMaxColumnWidth = 255;

struct TExportResult {
  int64_t Rows = 0;    // data rows written
  int Columns = 0;     // checked fields
  int Sheets = 0;
  int CaptionRow = 0;  // p, from 1
};

// "dd.mm.yyyy hh:mm:ss" of the local time now.
std::string ExportTimeNow();

// timeText: the creation time as shown ("" uses ExportTimeNow()). Throws
// EVexaError(ExportErrorText, cause).
TExportResult WriteXlsxExport(const std::filesystem::path& file, const TExportTable& table,
                              const TExportParams& params, const std::string& header, TUserInterface& ui,
                              const std::string& timeText = {});

}  // namespace vexa
