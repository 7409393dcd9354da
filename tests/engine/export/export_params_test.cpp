// Export parameters: stored form, loading rules, the checked-first order,
// width texts, sheet names and the row counts of the send modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/codec.h"
#include "core/ini_file.h"
#include "export/export_params.h"
#include "export/export_table.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TExportField Field(int source, const char* caption, bool checked = true) {
  TExportField f;
  f.SourceIndex = source;
  f.Caption = caption;
  f.PhysicalField = caption;
  f.Width = "10.00";
  f.Checked = checked;
  return f;
}

std::vector<TExportField> Five() {
  return {Field(0, "Тираж"), Field(1, "A"), Field(2, "B"), Field(3, "C"), Field(4, "Дата")};
}

std::string Order(const std::vector<TExportField>& fields) {
  std::string s;
  for (const auto& f : fields) s += std::to_string(f.SourceIndex) + (f.Checked ? "+" : "-");
  return s;
}

TExportParams Sample() {
  TExportParams p;
  p.Title = "Архив тиражей";
  p.Notes = "заметка";
  p.ShowCreateTime = false;
  p.SheetName = "Лист";
  p.PageOrientation = 2;
  p.BaseFontSize = 11;
  p.Fields = Five();
  p.Fields[1].Checked = false;
  p.Fields[2].Alignment = ExportAlignCenter;
  p.Fields[2].Width = "12.50";
  RestoreCheckedFirst(p.Fields);
  return p;
}

TEST(ExportParams, WritesTheKeysInOrderAsCp1251WithCrLf) {
  TTempDir dir;
  TIniFile ini(dir / "a.ini");
  WriteExportParams(ini, ExportSectionName("FormMain", "lvDraws"), Sample(), true);
  const std::string expected =
      "[EXPORT_EXCEL_FORMMAIN.LVDRAWS]\r\nRestoreParameters=1\r\nTitle=Архив тиражей\r\nNotes=заметка\r\n"
      "ShowCreateTime=0\r\nSheetName=Лист\r\nPageOrientation=2\r\nBaseFontSize=11\r\n"
      "Item_0=0;Тираж;Тираж;-1;0;10.00\r\nItem_1=2;B;B;-1;2;12.50\r\nItem_2=3;C;C;-1;0;10.00\r\n"
      "Item_3=4;Дата;Дата;-1;0;10.00\r\nItem_4=1;A;A;0;0;10.00\r\n";
  EXPECT_EQ(ini.Text(), Utf8ToCp1251(expected));
}

TEST(ExportParams, FileRoundTripRestoresOrderAndValuesAndKeepsOtherSections) {
  TTempDir dir;
  const auto file = dir / "p.exp";
  WriteBytes(file, "[OTHER]\r\nX=1\r\n");
  const TExportParams saved = Sample();
  SaveExportParams(file, "EXPORT_EXCEL_FORMMAIN.LVDRAWS", saved, false);
  const std::string bytes = ReadBytes(file);
  EXPECT_EQ(bytes.find("RestoreParameters"), std::string::npos);
  EXPECT_EQ(bytes.rfind("[OTHER]\r\nX=1\r\n", 0), 0u);

  TExportParams loaded;
  loaded.Title = "другой";
  loaded.Fields = Five();
  TSilentUserInterface ui;
  LoadExportParams(file, "EXPORT_EXCEL_FORMMAIN.LVDRAWS", loaded, ui);
  EXPECT_EQ(loaded.Title, saved.Title);  // file mode replaces a title
  EXPECT_EQ(loaded.Notes, saved.Notes);
  EXPECT_EQ(loaded.ShowCreateTime, saved.ShowCreateTime);
  EXPECT_EQ(loaded.SheetName, saved.SheetName);
  EXPECT_EQ(loaded.PageOrientation, 2);
  EXPECT_EQ(loaded.BaseFontSize, 11);
  EXPECT_EQ(loaded.Fields, saved.Fields);
  // Writing the loaded values again gives the same bytes.
  SaveExportParams(file, "EXPORT_EXCEL_FORMMAIN.LVDRAWS", loaded, false);
  EXPECT_EQ(ReadBytes(file), bytes);
}

TEST(ExportParams, RestoreModeKeepsTheTitleAndObeysRestoreParameters) {
  TTempDir dir;
  TIniFile ini(dir / "s.ini");
  TExportParams stored = Sample();
  WriteExportParams(ini, "S", stored, true);
  TSilentUserInterface ui;
  TExportParams p;
  p.Title = "Архив";
  p.Fields = Five();
  ReadExportParams(ini, "S", p, TExportLoadMode::Restore, ui);
  EXPECT_EQ(p.Title, "Архив");
  EXPECT_EQ(p.Notes, "заметка");
  EXPECT_EQ(Order(p.Fields), "0+2+3+4+1-");

  stored.SaveParameters = false;  // SaveCheckBox unchecked at the last export
  WriteExportParams(ini, "S", stored, true);
  TExportParams fresh;
  fresh.Fields = Five();
  ReadExportParams(ini, "S", fresh, TExportLoadMode::Restore, ui);
  EXPECT_FALSE(fresh.SaveParameters);
  EXPECT_EQ(Order(fresh.Fields), "0+1+2+3+4+");
  EXPECT_EQ(fresh.BaseFontSize, 8);
}

TEST(ExportParams, BadItemsAreSkipped) {
  TTempDir dir;
  const auto file = dir / "b.ini";
  WriteBytes(file, Utf8ToCp1251("[S]\r\n"
                                     "Item_0=4;Дата;на;звание;-1;1;5\r\n"  // caption with ";": 7 parts
                                     "Item_1=3;C;;0;1;5\r\n"               // empty caption: 5 parts
                                     "Item_2=2;другое;X;0;1;5\r\n"         // physical field differs
                                     "Item_3=9;A;X;0;1;5\r\n"              // no such source
                                     "Item_4=1;a;Новое;0;x;  7,5 \r\n"));  // case-insensitive match
  const TIniFile ini(file);
  TExportParams p;
  p.Fields = Five();
  TSilentUserInterface ui;
  ReadExportParams(ini, "S", p, TExportLoadMode::File, ui);
  EXPECT_EQ(Order(p.Fields), "0+2+3+4+1-");
  EXPECT_EQ(p.Fields[4].Caption, "Новое");
  EXPECT_EQ(p.Fields[4].Alignment, ExportAlignLeft);  // unreadable keeps it
  EXPECT_EQ(p.Fields[4].Width, "7,5");
}

TEST(ExportParams, CheckedFirstAfterTogglesAndMoves) {
  auto f = Five();
  EXPECT_EQ(ToggleExportField(f, 1), 4);  // unchecked goes behind the checked ones
  EXPECT_EQ(Order(f), "0+2+3+4+1-");
  EXPECT_EQ(ToggleExportField(f, 0), 3);
  EXPECT_EQ(Order(f), "2+3+4+0-1-");
  EXPECT_EQ(MoveExportField(f, 2, -1), 1);  // 4 above 3
  EXPECT_EQ(Order(f), "2+4+3+0-1-");
  EXPECT_EQ(MoveExportField(f, 4, -1), 3);  // among the unchecked ones
  EXPECT_EQ(Order(f), "2+4+3+1-0-");
  EXPECT_EQ(MoveExportField(f, 3, -1), 3);  // an unchecked field cannot climb over a checked one
  EXPECT_EQ(Order(f), "2+4+3+1-0-");
  EXPECT_EQ(ToggleExportField(f, 4), 3);  // checked again: behind the checked run
  EXPECT_EQ(Order(f), "2+4+3+0+1-");
  EXPECT_EQ(MoveExportField(f, 0, -1), 0);  // first: no move
}

TEST(ExportParams, LenientWidthText) {
  const struct {
    const char* Text;
    double Width;
  } cases[] = {{"12,5", 12.5}, {"12.5", 12.5}, {" 1 2,5 см", 12.5}, {"абв", 10}, {"", 10},
               {"300.00", 300}, {"-3", -3},    {"1.2.3", 10}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadExportWidth(c.Text), c.Width) << c.Text;
  EXPECT_EQ(ExportWidthFromPixels(100), "12.50");
  EXPECT_EQ(ExportWidthFromPixels(54), "6.75");
}

TEST(ExportParams, SheetNameCleaning) {
  EXPECT_EQ(CleanSheetName("a/b:[c]?"), "a-b(c)");
  EXPECT_EQ(CleanSheetName("\"Архив\" 'x' *"), "Архив x");
  EXPECT_EQ(CleanSheetName("Ставки за последний год по всем таблицам"), "Ставки за последний год по всем");
  EXPECT_EQ(CleanSheetName("123456789012345678901234567890 X"), "123456789012345678901234567890");
}

TEST(ExportTable, RowCountsOfListsAndGrids) {
  struct TCase {
    TExportKind Kind;
    bool Multi;
    std::vector<int64_t> Selected;
    int64_t Top, Bottom;
    int64_t All, Sel;
    int Pre;
  };
  const TCase cases[] = {
      {TExportKind::List, true, {4, 7, 9}, 1, 1, 20, 3, ExportSendSelected},
      {TExportKind::List, true, {4}, 1, 1, 20, 1, ExportSendAll},
      {TExportKind::List, false, {4, 7}, 1, 1, 20, 1, ExportSendAll},
      {TExportKind::Grid, true, {}, 3, 7, 19, 5, ExportSendSelected},
      {TExportKind::Grid, true, {}, 1, 4, 19, 4, ExportSendAll},
      {TExportKind::Grid, true, {}, 5, 5, 19, 1, ExportSendAll},
  };
  for (const TCase& c : cases) {
    TExportTable t;
    t.Kind = c.Kind;
    t.RowCount = 20;
    t.MultiSelect = c.Multi;
    t.SelectedRows = c.Selected;
    t.SelectionTop = c.Top;
    t.SelectionBottom = c.Bottom;
    const TExportRowCounts n = ExportRowCounts(t);
    EXPECT_EQ(n.All, c.All);
    EXPECT_EQ(n.Selected, c.Sel);
    EXPECT_EQ(n.Preselected, c.Pre);
    if (c.Kind == TExportKind::Grid) {
      EXPECT_EQ(ExportSourceRow(t, ExportSendAll, 0), 1);
      EXPECT_EQ(ExportSourceRow(t, ExportSendSelected, 0), c.Top);
    } else if (!c.Selected.empty()) {
      EXPECT_EQ(ExportSourceRow(t, ExportSendSelected, 0), c.Selected[0]);
    }
  }
}

}  // namespace
}  // namespace vexa
