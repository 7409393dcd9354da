// The spreadsheet export of the main window's tables.
#include <memory>

#include "core/error.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

// Default list column widths in pixels, as the window starts with them.
constexpr int DrawsNumberWidth = 54;
constexpr int DrawsNumWidth = 24;
constexpr int DrawsSumWidth = 30;
constexpr int DrawsDateWidth = 100;
constexpr int CombsRowWidth = 80;
constexpr int CombsNumWidth = 30;
constexpr int CombsSumWidth = 40;
constexpr int StatValueWidth = 120;
constexpr int StatColumnWidth = 80;
constexpr int RatingNameWidth = 150;
constexpr int RatingColumnWidth = 60;
constexpr int CardColumnWidth = 18;

TExportColumn Column(std::string caption, int width, int alignment = ExportAlignLeft) {
  return TExportColumn{std::move(caption), alignment, width};
}

}  // namespace

TExportTable TWorkspace::ExportDrawsTable() const {
  TExportTable t;
  t.ControlName = "lvDraws";
  t.TabCaption = "Архив тиражей";
  t.Columns.push_back(Column("Тираж", DrawsNumberWidth));
  for (int k = 1; k <= MainCount; ++k) t.Columns.push_back(Column(std::to_string(k), DrawsNumWidth));
  t.Columns.push_back(Column("E1", DrawsNumWidth));
  t.Columns.push_back(Column("E2", DrawsNumWidth));
  t.Columns.push_back(Column("S", DrawsSumWidth));
  t.Columns.push_back(Column("Дата тиража", DrawsDateWidth));
  t.RowCount = Archive_.Count();
  const bool sorted = SortedDraws();
  const TDrawsArchive* archive = &Archive_;
  t.Cell = [archive, sorted](int64_t row, int column) -> std::string {
    const TDraw d = archive->RowDraw(static_cast<int>(row), sorted);
    if (column == 0) return std::to_string(d.Number);
    if (column <= MainCount) return std::to_string(d.Nums[static_cast<size_t>(column - 1)]);
    if (column <= MainCount + SuppCount) return std::to_string(d.Supp[static_cast<size_t>(column - MainCount - 1)]);
    if (column == MainCount + SuppCount + 1) {
      int sum = 0;
      for (uint8_t n : d.Nums) sum += n;
      return std::to_string(sum);
    }
    if (column == MainCount + SuppCount + 2) return DrawDateText(d);
    return {};
  };
  return t;
}

TExportTable TWorkspace::ExportCombsTable() const {
  TExportTable t;
  t.ControlName = "lvCombs";
  t.TabCaption = "Комбинации";
  t.Columns.push_back(Column("№ п.п.", CombsRowWidth));
  for (int k = 1; k <= MainCount; ++k) t.Columns.push_back(Column(std::to_string(k), CombsNumWidth));
  t.Columns.push_back(Column("S", CombsSumWidth));
  t.RowCount = Combs_.Count();
  const TCombsList* combs = &Combs_;
  t.Cell = [combs](int64_t row, int column) -> std::string {
    if (column == 0) return std::to_string(row + 1);
    const TComb& c = (*combs)[static_cast<int>(row)];
    if (column <= MainCount) return std::to_string(c[static_cast<size_t>(column - 1)]);
    if (column == MainCount + 1) {
      int sum = 0;
      for (auto n : c) sum += n;
      return std::to_string(sum);
    }
    return {};
  };
  return t;
}

TExportTable TWorkspace::ExportStatsTable(int methodIndex, int windowLength) {
  auto rows = std::make_shared<TStatRows>(StatRecalculate(methodIndex, windowLength, Window_.PrefetchsEnabled));
  TExportTable t;
  t.ControlName = "lvDrawsStat";
  t.TabCaption = "Статистика";
  for (int c = 0; c < StatColumnCount; ++c) {
    int width = c == scValue ? StatValueWidth : StatColumnWidth;
    if (!rows->Comparison && (c == scExpected || c == scDeviation || c == scDeviationPercent)) width = 0;
    t.Columns.push_back(Column(StatColumnCaptions[static_cast<size_t>(c)], width));
  }
  t.RowCount = static_cast<int64_t>(rows->Rows.size());
  t.Cell = [rows](int64_t row, int column) -> std::string {
    if (column < 0 || column >= StatColumnCount) return {};
    return rows->Rows[static_cast<size_t>(row)].Texts[static_cast<size_t>(column)];
  };
  return t;
}

TExportTable TWorkspace::ExportRatingsTable() const {
  TExportTable t;
  t.ControlName = "lvRatings";
  t.TabCaption = "Рейтинг";
  for (size_t c = 0; c < RatingColumnCaptions.size(); ++c)
    t.Columns.push_back(Column(RatingColumnCaptions[c], c == 0 ? RatingNameWidth : RatingColumnWidth));
  t.RowCount = Ratings_.Count();
  const TRatings* ratings = &Ratings_;
  const int mode = Window_.RatingsEffMode;
  t.Cell = [ratings, mode](int64_t row, int column) -> std::string {
    const TListRow texts = RatingRow(ratings->Items()[static_cast<size_t>(row)], mode);
    return column >= 0 && column < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(column)] : std::string();
  };
  return t;
}

TExportTable TWorkspace::ExportStakesTable() const {
  TExportTable t;
  t.ControlName = "sgStakes";
  t.TabCaption = "Ставки";
  t.Kind = TExportKind::Grid;
  for (int c = 0; c < StakeGridColumns; ++c)
    t.Columns.push_back(Column(StakeGridCaptions[static_cast<size_t>(c)], StakeGridWidths[static_cast<size_t>(c)]));
  t.RowCount = Stakes_.Count() + 1;
  // The grid's cell callback reads the file a chunk at a time.
  struct TChunk {
    int First = -1;
    std::vector<std::array<std::string, StakeGridColumns>> Cells;
  };
  auto chunk = std::make_shared<TChunk>();
  const TStakesFile* stakes = &Stakes_;
  t.Cell = [chunk, stakes](int64_t row, int column) -> std::string {
    if (row == 0) return column >= 0 && column < StakeGridColumns ? StakeGridCaptions[static_cast<size_t>(column)] : "";
    constexpr int Size = 4096;
    const int index = static_cast<int>(row - 1);
    if (chunk->First < 0 || index < chunk->First || index >= chunk->First + static_cast<int>(chunk->Cells.size())) {
      chunk->First = index / Size * Size;
      chunk->Cells.clear();
      for (const TStakeRec& s : stakes->ReadStakes(chunk->First, Size)) chunk->Cells.push_back(StakeGridCells(s));
    }
    const size_t at = static_cast<size_t>(index - chunk->First);
    if (at >= chunk->Cells.size() || column < 0 || column >= StakeGridColumns) return {};
    return chunk->Cells[at][static_cast<size_t>(column)];
  };
  return t;
}

namespace {

// A card or layout grid as a table of its cell texts; row 0 holds the captions.
template <typename Grid>
TExportTable GridTable(Grid grid, const char* control, const char* caption, int firstWidth, int width) {
  auto shared = std::make_shared<Grid>(std::move(grid));
  TExportTable t;
  t.ControlName = control;
  t.TabCaption = caption;
  t.Kind = TExportKind::Grid;
  for (int c = 0; c < shared->ColumnCount(); ++c)
    t.Columns.push_back(Column(shared->CellText(0, c), c == 0 ? firstWidth : width));
  t.RowCount = shared->RowCount();
  t.Cell = [shared](int64_t row, int column) { return shared->CellText(static_cast<int>(row), column); };
  return t;
}

}  // namespace

TExportTable TWorkspace::ExportCardTable() {
  return GridTable(BuildCard(), "sgCard", "Карта", DrawsNumberWidth, CardColumnWidth);
}

TExportTable TWorkspace::ExportLayoutTable(int length) {
  return GridTable(BuildLayout(length > 0 ? length : Window_.LayoutLen), "sgLayout", "Схема", LayoutFirstColumnWidth,
                   LayoutColumnWidth);
}

TExportParams TWorkspace::ExportParamsFor(const TExportTable& table, bool allowSave) {
  TExportParams params = InitialExportParams(table, allowSave);
  if (allowSave) {
    const TIniFile ini(DataFile(SettingsFileExt));
    ReadExportParams(ini, table.SectionName(), params, TExportLoadMode::Restore, Relay_);
  }
  RestoreCheckedFirst(params.Fields);
  return params;
}

void TWorkspace::ExportStoreParams(const TExportTable& table, const TExportParams& params) {
  TOperation op(*this, ChangeSettings);
  SaveExportParams(DataFile(SettingsFileExt), table.SectionName(), params, true);
}

void TWorkspace::ExportLoadParamsFile(const std::filesystem::path& file, const TExportTable& table,
                                      TExportParams& params) {
  LoadExportParams(file, table.SectionName(), params, Relay_);
}

void TWorkspace::ExportSaveParamsFile(const std::filesystem::path& file, const TExportTable& table,
                                      const TExportParams& params) {
  SaveExportParams(file, table.SectionName(), params, false);
}

TExportResult TWorkspace::ExportToXlsx(const TExportTable& table, const TExportParams& params,
                                       const std::filesystem::path& file, const std::string& header) {
  TBusy busy(*this);
  return WriteXlsxExport(file, table, params, header, Relay_);
}

}  // namespace vexa
