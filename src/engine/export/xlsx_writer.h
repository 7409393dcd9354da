// A minimal .xlsx (Office Open XML) workbook writer that streams its sheets.
//
// Sheets are written one after another, row by row, straight into the zip
// (TZipWriter): memory does not grow with the rows. Each row's cells stand
// in columns 1, 2, ... in the order written; every cell carries its
// reference ("C17"), which the format makes optional but some spreadsheet
// applications need. Text cells are inline strings; Value writes a plain
// integer as a number, which a spreadsheet shows exactly as the text, and
// anything else as text.
//
// Text is UTF-8: invalid bytes become U+FFFD, control characters the
// format's "_xHHHH_" escapes, and a cell keeps at most 32 767 characters,
// the most a spreadsheet cell holds.
//
// Not thread-safe. Every method throws EVexaError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "export/zip_writer.h"

namespace vexa {

class TXlsxWriter {
 public:
  enum class TAlign { General, Left, Right, Center };
  enum class TBorder { None, Thin, Medium };
  struct TStyle {
    int FontSize = 11;
    bool Bold = false;
    bool Italic = false;
    TAlign Horizontal = TAlign::General;
    bool VerticalCenter = false;
    bool Wrap = false;
    TBorder Border = TBorder::None;
    bool operator==(const TStyle&) const = default;
  };
  struct TColumn {
    double Width = 8.43;  // characters, as a spreadsheet's column width
    int Style = 0;
  };
  enum class TOrientation { Default, Portrait, Landscape };

  static constexpr int MaxCellChars = 32767;

  explicit TXlsxWriter(const std::filesystem::path& file, int threads = 0);

  // The style index for cells and columns; equal styles share one index.
  int AddStyle(const TStyle& style);
  // title: the workbook's title property.
  void SetTitle(std::string title) { Title_ = std::move(title); }

  // REQUIRES: no sheet open; name unique and at most 31 characters.
  void BeginSheet(const std::string& name, const std::vector<TColumn>& columns, TOrientation orientation);
  // row: from 1, increasing within a sheet.
  void BeginRow(int64_t row);
  void Text(std::string_view text, int style);
  // A plain integer ("0", "-12", at most 15 digits, no leading zero) as a
  // number; an empty text as an empty cell with its style; else text.
  void Value(std::string_view text, int style);
  void EndRow();
  // Markup bytes of the open sheet so far.
  uint64_t SheetBytes() const { return Zip_.EntryBytes() + Buffer_.size(); }
  void EndSheet();

  // The workbook's other parts, then the file is put in place.
  void Close();

 private:
  void Put(std::string_view s) { Buffer_.append(s); }
  // "<c r=\"C17\"" and the style attribute of the next cell of the row.
  void OpenCell(int style);
  void PutEscaped(std::string_view text, bool attribute);
  void Flush();
  void AddPart(std::string name, const std::string& xml);
  std::string StylesXml() const;

  TZipWriter Zip_;
  std::string Buffer_;
  std::vector<TStyle> Styles_;
  std::vector<std::string> StyleAttr_;  // ` s="N"` per style
  std::vector<std::string> SheetNames_;
  std::vector<std::string> ColumnRefs_;  // "<c r=\"A", "<c r=\"B", ...
  std::string RowText_;                  // the open row's number and quote
  size_t Column_ = 0;                    // cells written in the open row
  std::string Title_;
  TOrientation Orientation_ = TOrientation::Default;
  bool InSheet_ = false;
};

}  // namespace vexa
