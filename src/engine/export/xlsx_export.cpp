#include "export/xlsx_export.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <system_error>

#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

void Check(lxw_error error, const char* what) {
  if (error != LXW_NO_ERROR) throw EVexaError(ExportErrorText, std::string(what) + ": " + lxw_strerror(error));
}

uint8_t Align(int alignment) {
  switch (alignment) {
    case ExportAlignRight: return LXW_ALIGN_RIGHT;
    case ExportAlignCenter: return LXW_ALIGN_CENTER;
    default: return LXW_ALIGN_LEFT;
  }
}

lxw_format* TitleFormat(lxw_workbook* wb, int size, bool bold, bool italic) {
  lxw_format* f = workbook_add_format(wb);
  format_set_font_size(f, std::max(1, size));
  if (bold) format_set_bold(f);
  if (italic) format_set_italic(f);
  format_set_align(f, LXW_ALIGN_LEFT);
  format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
  return f;
}

// A sheet name of at most 31 characters with a " (n)" suffix.
std::string ContinuationName(const std::string& name, int n) {
  const std::string suffix = " (" + std::to_string(n) + ")";
  std::string base = name.empty() ? "Sheet" : name;
  size_t chars = 0;
  size_t cut = base.size();
  for (size_t i = 0; i < base.size(); ++i) {
    if ((static_cast<unsigned char>(base[i]) & 0xC0) == 0x80) continue;
    if (chars == 31 - suffix.size()) {
      cut = i;
      break;
    }
    ++chars;
  }
  return base.substr(0, cut) + suffix;
}

// Removes the temporary file unless the export got to its end.
struct TTempGuard {
  std::filesystem::path Path;
  bool Keep = false;
  ~TTempGuard() {
    std::error_code ignored;
    if (!Keep) std::filesystem::remove(Path, ignored);
  }
};

// A workbook abandoned by a failure is freed without writing it.
struct TWorkbookCloser {
  void operator()(lxw_workbook* wb) const {
    if (wb) lxw_workbook_free(wb);
  }
};

}  // namespace

std::string ExportTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
  return buf;
}

TExportResult WriteXlsxExport(const std::filesystem::path& file, const TExportTable& table,
                              const TExportParams& params, const std::string& header, TUserInterface& ui,
                              const std::string& timeText) {
  std::vector<const TExportField*> checked;
  for (const TExportField& f : params.Fields)
    if (f.Checked) checked.push_back(&f);
  const TExportRowCounts counts = ExportRowCounts(table);
  const int mode = params.SendMode;
  const int64_t rows = counts.Of(mode);
  const int64_t fieldCount = static_cast<int64_t>(params.Fields.size());
  const int64_t total = 2 * fieldCount + rows + 5;
  int64_t done = 0;
  auto step = [&](const char* text) { ui.SetProgress(text, ++done, total); };
  ui.SetProgress("Вызов Microsoft Excel...", done, total);

  const std::filesystem::path temp = file.string() + ".tmp" + std::to_string(::getpid());
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_TRUE;
  std::string tmpdir = file.parent_path().empty() ? std::string(".") : file.parent_path().string();
  options.tmpdir = tmpdir.data();
  TTempGuard guard{temp};
  std::unique_ptr<lxw_workbook, TWorkbookCloser> wb(workbook_new_opt(temp.c_str(), &options));
  if (!wb) throw EVexaError(ExportErrorText, "Ошибка создания книги Microsoft Excel!");
  step("Создание рабочей книги...");

  TExportResult result;
  result.Columns = static_cast<int>(checked.size());
  const int base = std::clamp(params.BaseFontSize, ExportMinFontSize, ExportMaxFontSize);
  const std::string sheetName = CleanSheetName(params.SheetName);

  // Formats: one per alignment for the columns and for the data. The
  // library looks a duplicate format up in its hash table on every cell
  // written with it, so equal formats are never created twice.
  std::array<lxw_format*, 3> columnByAlign{};
  std::array<lxw_format*, 3> dataByAlign{};
  std::vector<lxw_format*> columnFormats;
  std::vector<lxw_format*> dataFormats;
  for (const TExportField* f : checked) {
    const size_t a = f->Alignment == ExportAlignRight ? 1 : f->Alignment == ExportAlignCenter ? 2 : 0;
    if (!columnByAlign[a]) {
      lxw_format* c = workbook_add_format(wb.get());
      format_set_font_size(c, base);
      format_set_align(c, Align(f->Alignment));
      format_set_align(c, LXW_ALIGN_VERTICAL_CENTER);
      columnByAlign[a] = c;
      lxw_format* d = workbook_add_format(wb.get());
      format_set_font_size(d, base);
      format_set_align(d, Align(f->Alignment));
      format_set_align(d, LXW_ALIGN_VERTICAL_CENTER);
      format_set_border(d, LXW_BORDER_THIN);
      dataByAlign[a] = d;
    }
    columnFormats.push_back(columnByAlign[a]);
    dataFormats.push_back(dataByAlign[a]);
  }
  lxw_format* captionFormat = workbook_add_format(wb.get());
  format_set_font_size(captionFormat, base);
  format_set_align(captionFormat, LXW_ALIGN_CENTER);
  format_set_align(captionFormat, LXW_ALIGN_VERTICAL_CENTER);
  format_set_text_wrap(captionFormat);
  format_set_border(captionFormat, LXW_BORDER_MEDIUM);

  const bool hasHeader = !header.empty();
  const bool hasNotes = !Trim(params.Notes).empty();
  const int q = hasHeader ? 2 : 0;
  const int r = (hasNotes ? 1 : 0) + (params.ShowCreateTime ? 1 : 0);
  const int p = q + r + 3;
  result.CaptionRow = p;

  auto addSheet = [&](const std::string& name) {
    lxw_worksheet* ws = workbook_add_worksheet(wb.get(), name.empty() ? nullptr : name.c_str());
    if (!ws) throw EVexaError(ExportErrorText, "Ошибка создания листа Microsoft Excel!");
    if (params.PageOrientation == 1) worksheet_set_portrait(ws);
    if (params.PageOrientation == 2) worksheet_set_landscape(ws);
    for (size_t k = 0; k < checked.size(); ++k) {
      const double width = std::clamp(ReadExportWidth(checked[k]->Width), 0.0, double{ExportMaxColumnWidth});
      Check(worksheet_set_column(ws, static_cast<lxw_col_t>(k), static_cast<lxw_col_t>(k), width, columnFormats[k]),
            "ColumnWidth");
    }
    ++result.Sheets;
    return ws;
  };
  auto writeCaptions = [&](lxw_worksheet* ws, lxw_row_t row) {
    for (size_t k = 0; k < checked.size(); ++k)
      Check(worksheet_write_string(ws, row, static_cast<lxw_col_t>(k), checked[k]->Caption.c_str(), captionFormat),
            "Captions");
  };

  lxw_worksheet* ws = addSheet(sheetName);
  step("Создание листа...");
  step("Форматирование листа...");
  for (int64_t i = 0; i < fieldCount; ++i) step("Форматирование листа...");

  if (hasHeader)
    Check(worksheet_write_string(ws, 0, 0, header.c_str(), TitleFormat(wb.get(), base - 2, false, true)), "Header");
  Check(worksheet_write_string(ws, static_cast<lxw_row_t>(q), 0, params.Title.c_str(),
                               TitleFormat(wb.get(), base + 4, true, false)),
        "Title");
  if (hasNotes)
    Check(worksheet_write_string(ws, static_cast<lxw_row_t>(q + 1), 0, params.Notes.c_str(),
                                 TitleFormat(wb.get(), base, true, false)),
          "Notes");
  if (params.ShowCreateTime) {
    const std::string line = Format(ExportCreateTimeFormat, {timeText.empty() ? ExportTimeNow() : timeText});
    Check(worksheet_write_string(ws, static_cast<lxw_row_t>(q + r), 0, line.c_str(),
                                 TitleFormat(wb.get(), base, false, true)),
          "CreateTime");
  }
  step("Форматирование листа...");
  writeCaptions(ws, static_cast<lxw_row_t>(p - 1));
  for (int64_t i = 0; i < fieldCount; ++i) step("Форматирование листа...");

  lxw_row_t row = static_cast<lxw_row_t>(p);
  std::string cell;
  constexpr int64_t ProgressEvery = 65536;
  for (int64_t i = 0; i < rows; ++i) {
    if (row >= XlsxMaxRows) {
      ws = addSheet(ContinuationName(sheetName, result.Sheets + 1));
      writeCaptions(ws, 0);
      row = 1;
    }
    const int64_t source = ExportSourceRow(table, mode, i);
    for (size_t k = 0; k < checked.size(); ++k) {
      cell = table.Cell(source, checked[k]->SourceIndex);
      if (cell.empty()) {
        Check(worksheet_write_blank(ws, row, static_cast<lxw_col_t>(k), dataFormats[k]), "Data");
      } else {
        Check(worksheet_write_string(ws, row, static_cast<lxw_col_t>(k), cell.c_str(), dataFormats[k]), "Data");
      }
    }
    ++row;
    ++done;
    if ((i + 1) % ProgressEvery == 0 || i + 1 == rows) {
      ui.SetProgress("Подготовка данных для экспорта...", done, total);
      ThrowIfStopped(ui);
    }
  }
  result.Rows = rows;
  step("Передача данных в Microsoft Excel...");

  const lxw_error closed = workbook_close(wb.release());
  if (closed != LXW_NO_ERROR) throw EVexaError(ExportErrorText, lxw_strerror(closed));
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) throw EVexaError(ExportErrorText, ec.message());
  guard.Keep = true;
  return result;
}

}  // namespace vexa
