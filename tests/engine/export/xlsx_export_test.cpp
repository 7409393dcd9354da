// The written workbook, read back with unzip: cells, widths, alignments and
// the title block; a failed export keeps the previous file.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/error.h"
#include "export/xlsx_export.h"
#include "support/temp_dir.h"
#include "support/xlsx_sheet.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// One member of the zip, through Debian's unzip.
std::string Member(const std::filesystem::path& zip, const std::string& name, const TTempDir& dir) {
  const auto out = dir / "member.xml";
  const std::string cmd = "unzip -p '" + zip.string() + "' '" + name + "' > '" + out.string() + "'";
  const int raw = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << cmd;
  return ReadBytes(out);
}

// The text of cell `ref` ("A5"), or "<none>" when the sheet has no such cell.
std::string CellText(const std::string& sheet, const std::string& ref) {
  const auto cells = test::ReadSheetCells(sheet);
  const auto it = cells.find(ref);
  return it == cells.end() ? "<none>" : it->second.Text;
}

// The style index of cell `ref`.
int CellStyle(const std::string& sheet, const std::string& ref) {
  const auto cells = test::ReadSheetCells(sheet);
  const auto it = cells.find(ref);
  return it == cells.end() ? -1 : it->second.Style;
}

// The cell format `index` of styles.xml.
std::string Xf(const std::string& styles, int index) {
  const size_t start = styles.find("<cellXfs");
  std::vector<std::string> xfs;
  size_t at = start;
  while ((at = styles.find("<xf ", at + 1)) != std::string::npos && at < styles.find("</cellXfs>")) {
    const size_t end = styles.find("<xf ", at + 1);
    xfs.push_back(styles.substr(at, std::min(end, styles.find("</cellXfs>")) - at));
  }
  return index >= 0 && index < static_cast<int>(xfs.size()) ? xfs[static_cast<size_t>(index)] : "";
}

TExportTable Table() {
  TExportTable t;
  t.ControlName = "lvTest";
  t.TabCaption = "Тест";
  t.Columns = {{"Тираж", ExportAlignLeft, 54}, {"A", ExportAlignLeft, 24}, {"B", ExportAlignLeft, 24},
               {"C", ExportAlignLeft, 24}, {"Дата", ExportAlignLeft, 100}};
  t.RowCount = 3;
  t.Cell = [](int64_t row, int column) {
    return column == 3 && row == 1 ? std::string() : "r" + std::to_string(row) + "c" + std::to_string(column);
  };
  return t;
}

TEST(XlsxExport, TwoCheckedFieldsOneMovedToTheTopWithTitleBlock) {
  TTempDir dir;
  const TExportTable table = Table();
  TExportParams p = InitialExportParams(table);
  EXPECT_EQ(p.Fields[0].Width, "6.75");
  p.Notes = "Примечание";
  p.SheetName = "a/b:[c]?";
  p.PageOrientation = 2;
  p.BaseFontSize = 10;
  for (auto& f : p.Fields) f.Checked = f.SourceIndex == 1 || f.SourceIndex == 3;
  RestoreCheckedFirst(p.Fields);
  std::swap(p.Fields[0], p.Fields[1]);  // C moved above A
  p.Fields[0].Alignment = ExportAlignRight;
  p.Fields[0].Width = "300";
  p.Fields[1].Alignment = ExportAlignCenter;
  p.Fields[1].Width = "12,5";
  TSilentUserInterface ui;
  const auto file = dir / "out.xlsx";
  const TExportResult r = WriteXlsxExport(file, table, p, "Шапка", ui, "01.02.2026 10:11:12");
  EXPECT_EQ(r.Rows, 3);
  EXPECT_EQ(r.Columns, 2);
  EXPECT_EQ(r.CaptionRow, 7);  // q 2 + notes + time + 3

  const std::string sheet = Member(file, "xl/worksheets/sheet1.xml", dir);
  const std::string styles = Member(file, "xl/styles.xml", dir);
  const std::string book = Member(file, "xl/workbook.xml", dir);
  EXPECT_NE(book.find("<sheet name=\"a-b(c)\""), std::string::npos);
  EXPECT_NE(sheet.find("orientation=\"landscape\""), std::string::npos);
  EXPECT_EQ(CellText(sheet, "A1"), "Шапка");
  EXPECT_EQ(CellText(sheet, "A3"), "Тест");
  EXPECT_EQ(CellText(sheet, "A4"), "Примечание");
  EXPECT_EQ(CellText(sheet, "A5"), "Отчет построен: 01.02.2026 10:11:12.");
  EXPECT_EQ(CellText(sheet, "A7"), "C");
  EXPECT_EQ(CellText(sheet, "B7"), "A");
  EXPECT_EQ(CellText(sheet, "C7"), "<none>");
  EXPECT_EQ(CellText(sheet, "A8"), "r0c3");
  EXPECT_EQ(CellText(sheet, "B8"), "r0c1");
  EXPECT_EQ(CellText(sheet, "A9"), "");  // empty cell text: the cell is there, with its borders
  EXPECT_EQ(CellStyle(sheet, "A9"), CellStyle(sheet, "A8"));
  EXPECT_EQ(CellText(sheet, "B10"), "r2c1");
  EXPECT_EQ(CellText(sheet, "A11"), "<none>");
  // Widths as Excel stores them: 255 characters (300 capped), 12.5 characters.
  EXPECT_NE(sheet.find("<col min=\"1\" max=\"1\" width=\"255.7109375\""), std::string::npos);
  EXPECT_NE(sheet.find("<col min=\"2\" max=\"2\" width=\"13.28515625\""), std::string::npos);
  // Alignments, sizes and borders of the cell formats.
  const std::string a8 = Xf(styles, CellStyle(sheet, "A8"));
  EXPECT_NE(a8.find("horizontal=\"right\""), std::string::npos) << a8;
  EXPECT_NE(a8.find("vertical=\"center\""), std::string::npos) << a8;
  EXPECT_NE(Xf(styles, CellStyle(sheet, "B8")).find("horizontal=\"center\""), std::string::npos);
  EXPECT_NE(Xf(styles, CellStyle(sheet, "A7")).find("wrapText=\"1\""), std::string::npos);
  EXPECT_NE(styles.find("<sz val=\"14\"/>"), std::string::npos);  // title: base + 4
  EXPECT_NE(styles.find("<sz val=\"8\"/>"), std::string::npos);   // header: base - 2
  EXPECT_NE(styles.find("style=\"medium\""), std::string::npos);
  EXPECT_NE(styles.find("style=\"thin\""), std::string::npos);
}

TEST(XlsxExport, SelectedGridRowsAndPlainTitleRows) {
  TTempDir dir;
  TExportTable table = Table();
  table.Kind = TExportKind::Grid;
  table.RowCount = 10;
  table.SelectionTop = 3;
  table.SelectionBottom = 7;
  TExportParams p = InitialExportParams(table);
  EXPECT_EQ(p.SendMode, ExportSendSelected);
  TSilentUserInterface ui;
  const auto file = dir / "g.xlsx";
  const TExportResult r = WriteXlsxExport(file, table, p, "", ui, "t");
  EXPECT_EQ(r.Rows, 5);
  EXPECT_EQ(r.CaptionRow, 4);  // no notes, time: title 1, date 2, captions 4
  const std::string sheet = Member(file, "xl/worksheets/sheet1.xml", dir);
  EXPECT_EQ(CellText(sheet, "A1"), "Тест");
  EXPECT_EQ(CellText(sheet, "A2"), "Отчет построен: t.");
  EXPECT_EQ(CellText(sheet, "E4"), "Дата");
  EXPECT_EQ(CellText(sheet, "A5"), "r3c0");
  EXPECT_EQ(CellText(sheet, "A9"), "r7c0");
  EXPECT_EQ(CellText(sheet, "A10"), "<none>");
}

TEST(XlsxExport, AFailedExportKeepsThePreviousFile) {
  TTempDir dir;
  const auto file = dir / "keep.xlsx";
  WriteBytes(file, "previous");
  TExportTable table = Table();
  table.Cell = [](int64_t row, int) -> std::string {
    if (row == 2) throw EVexaError("Сбой чтения строки!");
    return "x";
  };
  TSilentUserInterface ui;
  EXPECT_THROW(WriteXlsxExport(file, table, InitialExportParams(table), "", ui), EVexaError);
  EXPECT_EQ(ReadBytes(file), "previous");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);  // no temporary file left
}

// Texts reach the sheet as they are, and read back so; only plain integers
// become numbers (a spreadsheet shows them exactly as the text).
TEST(XlsxExport, CellTextsAndNumbers) {
  struct TCase {
    std::string Text;
    std::string ReadBack;
    bool Number;
  };
  const std::string longText(40000, 'z');
  const std::vector<TCase> cases = {
      {"0", "0", true},
      {"-12", "-12", true},
      {"8145060", "8145060", true},
      {"123456789012345", "123456789012345", true},
      {"1234567890123456", "1234567890123456", false},  // past a double's exact digits
      {"007", "007", false},
      {"-0", "-0", false},
      {"12,5", "12,5", false},
      {"1 5 12", "1 5 12", false},
      {"a<b>&\"c\"", "a<b>&\"c\"", false},
      {" lead", " lead", false},
      {"tab\tline\nend", "tab\tline\nend", false},
      {"bell\x07", "bell\x07", false},
      {"_x0041_", "_x0041_", false},
      {"Кириллица", "Кириллица", false},
      {"bad\xFF\xC3", "bad\xEF\xBF\xBD\xEF\xBF\xBD", false},
      {longText, longText.substr(0, 32767), false},
  };
  TTempDir dir;
  TExportTable table;
  table.ControlName = "lvTest";
  table.TabCaption = "Тексты";
  table.Columns = {{"Текст", ExportAlignLeft, 80}};
  table.RowCount = static_cast<int64_t>(cases.size());
  table.Cell = [&](int64_t row, int) { return cases[static_cast<size_t>(row)].Text; };
  TExportParams p = InitialExportParams(table);
  p.ShowCreateTime = false;
  p.SheetName = "Q&A\t<1>";
  TSilentUserInterface ui;
  const auto file = dir / "texts.xlsx";
  const TExportResult r = WriteXlsxExport(file, table, p, "", ui);
  EXPECT_NE(Member(file, "xl/workbook.xml", dir).find("<sheet name=\"Q&amp;A_x0009_&lt;1&gt;\""), std::string::npos);
  const auto cells = test::ReadSheetCells(Member(file, "xl/worksheets/sheet1.xml", dir));
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto it = cells.find(test::CellRef(1, r.CaptionRow + 1 + static_cast<int64_t>(i)));
    ASSERT_NE(it, cells.end()) << i;
    EXPECT_EQ(it->second.Text, cases[i].ReadBack) << i;
    EXPECT_EQ(it->second.Number, cases[i].Number) << i;
  }
  // The workbook as a whole passes the zip check (every member's CRC).
  const int raw = std::system(("unzip -tq '" + file.string() + "' >/dev/null").c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
}

// A table longer than a sheet goes on into "<name> (2)", which starts with
// the caption row; no row is lost or repeated.
TEST(XlsxExport, LongTablesContinueOnAnotherSheet) {
  TTempDir dir;
  TExportTable table;
  table.ControlName = "lvCombs";
  table.TabCaption = "Комбинации";
  table.Columns = {{"№", ExportAlignRight, 80}};
  table.RowCount = XlsxMaxRows + 10;
  table.Cell = [](int64_t row, int) { return std::to_string(row + 1); };
  TExportParams p = InitialExportParams(table);
  p.ShowCreateTime = false;
  TSilentUserInterface ui;
  const auto file = dir / "long.xlsx";
  const TExportResult r = WriteXlsxExport(file, table, p, "", ui);
  EXPECT_EQ(r.Sheets, 2);
  EXPECT_EQ(r.CaptionRow, 3);
  EXPECT_NE(Member(file, "xl/workbook.xml", dir).find("<sheet name=\"Комбинации (2)\""), std::string::npos);
  const auto first = test::ReadSheetCells(Member(file, "xl/worksheets/sheet1.xml", dir));
  const int64_t onFirst = XlsxMaxRows - r.CaptionRow;
  EXPECT_EQ(first.at(test::CellRef(1, 4)).Text, "1");
  EXPECT_EQ(first.at(test::CellRef(1, XlsxMaxRows)).Text, std::to_string(onFirst));
  EXPECT_EQ(first.size(), static_cast<size_t>(XlsxMaxRows - 1));  // title, captions, data
  const auto second = test::ReadSheetCells(Member(file, "xl/worksheets/sheet2.xml", dir));
  EXPECT_EQ(second.at("A1").Text, "№");
  EXPECT_EQ(second.at("A2").Text, std::to_string(onFirst + 1));
  EXPECT_EQ(second.size(), static_cast<size_t>(1 + table.RowCount - onFirst));
  EXPECT_EQ(second.at(test::CellRef(1, 1 + table.RowCount - onFirst)).Text, std::to_string(table.RowCount));
}

// A stop between rows leaves no file and no temporary behind.
TEST(XlsxExport, AStoppedExportWritesNothing) {
  TTempDir dir;
  TExportTable table = Table();
  table.RowCount = 200000;
  struct TStopAtOnce : TSilentUserInterface {
    bool StopRequested() override { return true; }
  } ui;
  EXPECT_THROW(WriteXlsxExport(dir / "stopped.xlsx", table, InitialExportParams(table), "", ui), EStopped);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace vexa
