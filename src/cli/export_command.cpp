// vexa export: a table of the main window into an .xlsx workbook, with the
// parameters stored for that table in the settings file, optionally those
// of an ".exp" file, and optionally the selected rows.
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

// ROWS: "N", "N-M" joined by ","; 1-based data rows.
std::vector<int64_t> ParseRows(const std::string& text) {
  std::vector<int64_t> rows;
  size_t i = 0;
  while (i <= text.size()) {
    const size_t j = text.find(',', i);
    const std::string part = text.substr(i, j == std::string::npos ? std::string::npos : j - i);
    const size_t dash = part.find('-');
    const int first = TArgs::ToInt(part.substr(0, dash), "--selected");
    const int last = dash == std::string::npos ? first : TArgs::ToInt(part.substr(dash + 1), "--selected");
    if (first < 1 || last < first) throw EUsageError("--selected: строки N или N-M от 1");
    for (int r = first; r <= last; ++r) rows.push_back(r);
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return rows;
}

int Export(TContext& ctx, TArgs& args, const std::string& what) {
  bool hasOut = false;
  bool hasParams = false;
  bool hasSelected = false;
  const std::string out = args.TakeOption("-o", hasOut);
  const std::string paramsFile = args.TakeOption("--params", hasParams);
  const std::string selected = args.TakeOption("--selected", hasSelected);
  std::vector<std::string> words = args.Positional();
  std::string code;
  if (what == "stats") {
    if (words.empty()) throw EUsageError("export stats: нужен код метода");
    code = words.front();
    words.erase(words.begin());
  }
  if (!words.empty()) throw EUsageError("лишние параметры команды export " + what);
  if (!hasOut || out.empty()) throw EUsageError("export " + what + ": нужен -o FILE.xlsx");
  const std::vector<int64_t> rows = hasSelected ? ParseRows(selected) : std::vector<int64_t>{};

  auto ws = OpenWorkspace(ctx, what == "combs");
  TExportTable table;
  if (what == "draws") table = ws->ExportDrawsTable();
  else if (what == "combs") table = ws->ExportCombsTable();
  else if (what == "stats") table = ws->ExportStatsTable(ws->StatMethodIndex(code));
  else if (what == "ratings") table = ws->ExportRatingsTable();
  else if (what == "stakes") table = ws->ExportStakesTable();
  else if (what == "card") table = ws->ExportCardTable();
  else table = ws->ExportLayoutTable(0);

  if (hasSelected) {
    const int64_t dataRows = table.Kind == TExportKind::List ? table.RowCount : table.RowCount - 1;
    for (int64_t r : rows)
      if (r > dataRows) throw EVexaError(Format("Нет строки %d в таблице (строк: %d)!", {static_cast<long long>(r), static_cast<long long>(dataRows)}));
    if (table.Kind == TExportKind::List) {
      for (int64_t r : rows) table.SelectedRows.push_back(r - 1);
    } else {
      for (size_t k = 1; k < rows.size(); ++k)
        if (rows[k] != rows[k - 1] + 1) throw EUsageError("--selected: в сетке выделяется один диапазон строк");
      table.SelectionTop = rows.front();
      table.SelectionBottom = rows.back();
    }
  }
  TExportParams params = ws->ExportParamsFor(table, true);
  if (hasParams) ws->ExportLoadParamsFile(paramsFile, table, params);
  params.SendMode = hasSelected ? ExportSendSelected : ExportSendAll;
  const TExportResult result = ws->ExportToXlsx(table, params, out);
  ctx.Out << Format("Записано строк: %d", {static_cast<long long>(result.Rows)}) << '\n';
  return ExitOk;
}

int Draws(TContext& ctx, TArgs& args) { return Export(ctx, args, "draws"); }
int Combs(TContext& ctx, TArgs& args) { return Export(ctx, args, "combs"); }
int Stats(TContext& ctx, TArgs& args) { return Export(ctx, args, "stats"); }
int Ratings(TContext& ctx, TArgs& args) { return Export(ctx, args, "ratings"); }
int Stakes(TContext& ctx, TArgs& args) { return Export(ctx, args, "stakes"); }
int Card(TContext& ctx, TArgs& args) { return Export(ctx, args, "card"); }
int Layout(TContext& ctx, TArgs& args) { return Export(ctx, args, "layout"); }

constexpr const char* Common = "-o FILE.xlsx [--params FILE.exp] [--selected ROWS]";

}  // namespace

const TCommandGroup ExportCommands{
    "export",
    {
        {"draws", Common, "архив тиражей в книгу .xlsx (ROWS: 1,3,5-9 от 1)", Draws},
        {"combs", Common, "список комбинаций в книгу .xlsx", Combs},
        {"stats", "CODE -o FILE.xlsx [--params FILE.exp] [--selected ROWS]", "список статистики метода CODE", Stats},
        {"ratings", Common, "рейтинг в книгу .xlsx", Ratings},
        {"stakes", Common, "ставки в книгу .xlsx (ROWS: один диапазон строк)", Stakes},
        {"card", Common, "карта тиражей в книгу .xlsx", Card},
        {"layout", Common, "схема выпадения номеров в книгу .xlsx", Layout},
    }};

}  // namespace vexa::cli
