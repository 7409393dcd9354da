#include "export/xlsx_export.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "core/error.h"
#include "core/format.h"
#include "export/xlsx_writer.h"

namespace vexa {
namespace {

// A sheet whose markup passes this goes on into the next sheet like one of
// too many rows: every zip member stays below the 4 GiB a plain entry holds.
// No table of the window comes near it.
constexpr uint64_t XlsxMaxSheetBytes = uint64_t{3} << 30;

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

TXlsxWriter::TAlign Align(int alignment) {
  switch (alignment) {
    case ExportAlignRight: return TXlsxWriter::TAlign::Right;
    case ExportAlignCenter: return TXlsxWriter::TAlign::Center;
    default: return TXlsxWriter::TAlign::Left;
  }
}

TXlsxWriter::TStyle TitleStyle(int size, bool bold, bool italic) {
  TXlsxWriter::TStyle s;
  s.FontSize = std::max(1, size);
  s.Bold = bold;
  s.Italic = italic;
  s.Horizontal = TXlsxWriter::TAlign::Left;
  s.VerticalCenter = true;
  return s;
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

  try {
    TXlsxWriter book(file);
    step("Создание рабочей книги...");

    TExportResult result;
    result.Columns = static_cast<int>(checked.size());
    const int base = std::clamp(params.BaseFontSize, ExportMinFontSize, ExportMaxFontSize);
    const std::string sheetName = CleanSheetName(params.SheetName);
    book.SetTitle(params.Title);

    // Columns carry the base size and alignment; the data cells add thin
    // borders, the captions medium ones.
    std::vector<TXlsxWriter::TColumn> columns;
    std::vector<int> dataStyles;
    for (const TExportField* f : checked) {
      TXlsxWriter::TStyle s;
      s.FontSize = base;
      s.Horizontal = Align(f->Alignment);
      s.VerticalCenter = true;
      const double width = std::clamp(ReadExportWidth(f->Width), 0.0, double{ExportMaxColumnWidth});
      columns.push_back({width, book.AddStyle(s)});
      s.Border = TXlsxWriter::TBorder::Thin;
      dataStyles.push_back(book.AddStyle(s));
    }
    TXlsxWriter::TStyle caption;
    caption.FontSize = base;
    caption.Horizontal = TXlsxWriter::TAlign::Center;
    caption.VerticalCenter = true;
    caption.Wrap = true;
    caption.Border = TXlsxWriter::TBorder::Medium;
    const int captionStyle = book.AddStyle(caption);
    const auto orientation = params.PageOrientation == 1   ? TXlsxWriter::TOrientation::Portrait
                             : params.PageOrientation == 2 ? TXlsxWriter::TOrientation::Landscape
                                                           : TXlsxWriter::TOrientation::Default;

    const bool hasHeader = !header.empty();
    const bool hasNotes = !Trim(params.Notes).empty();
    const int q = hasHeader ? 2 : 0;
    const int r = (hasNotes ? 1 : 0) + (params.ShowCreateTime ? 1 : 0);
    const int p = q + r + 3;
    result.CaptionRow = p;

    auto writeCaptions = [&](int64_t row) {
      book.BeginRow(row);
      for (const TExportField* f : checked) book.Text(f->Caption, captionStyle);
      book.EndRow();
    };
    auto titleRow = [&](int64_t row, const std::string& text, const TXlsxWriter::TStyle& style) {
      book.BeginRow(row);
      book.Text(text, book.AddStyle(style));
      book.EndRow();
    };

    book.BeginSheet(sheetName.empty() ? "Sheet1" : sheetName, columns, orientation);
    result.Sheets = 1;
    step("Создание листа...");
    step("Форматирование листа...");
    for (int64_t i = 0; i < fieldCount; ++i) step("Форматирование листа...");

    if (hasHeader) titleRow(1, header, TitleStyle(base - 2, false, true));
    titleRow(q + 1, params.Title, TitleStyle(base + 4, true, false));
    if (hasNotes) titleRow(q + 2, params.Notes, TitleStyle(base, true, false));
    if (params.ShowCreateTime)
      titleRow(q + r + 1, Format(ExportCreateTimeFormat, {timeText.empty() ? ExportTimeNow() : timeText}),
               TitleStyle(base, false, true));
    step("Форматирование листа...");
    writeCaptions(p);
    for (int64_t i = 0; i < fieldCount; ++i) step("Форматирование листа...");

    int64_t row = p + 1;
    constexpr int64_t ProgressEvery = 65536;
    for (int64_t i = 0; i < rows; ++i) {
      if (row > XlsxMaxRows || book.SheetBytes() > XlsxMaxSheetBytes) {
        ++result.Sheets;
        book.BeginSheet(ContinuationName(sheetName, result.Sheets), columns, orientation);
        writeCaptions(1);
        row = 2;
      }
      const int64_t source = ExportSourceRow(table, mode, i);
      book.BeginRow(row);
      for (size_t k = 0; k < checked.size(); ++k) book.Value(table.Cell(source, checked[k]->SourceIndex), dataStyles[k]);
      book.EndRow();
      ++row;
      ++done;
      if ((i + 1) % ProgressEvery == 0 || i + 1 == rows) {
        ui.SetProgress("Подготовка данных для экспорта...", done, total);
        ThrowIfStopped(ui);
      }
    }
    result.Rows = rows;
    step("Передача данных в Microsoft Excel...");
    book.Close();
    return result;
  } catch (const EStopped&) {
    throw;
  } catch (const EVexaError& e) {
    if (e.Message() == ExportErrorText) throw;
    throw EVexaError(ExportErrorText, e.Cause().empty() ? e.Message() : e.Message() + " " + e.Cause());
  }
}

}  // namespace vexa
