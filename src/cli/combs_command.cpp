// vexa combs: the combinations list of one command run. The list lives
// only while the command runs; commands chain through ".lcv" files.
#include <ostream>

#include "cli/cli.h"
#include "combs/combs_list.h"
#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "stats/stat_rows.h"

namespace vexa::cli {
namespace {

struct TGenerateArgs {
  bool HasMode = false;
  std::string Mode;
  bool HasParams = false;
  std::string Params;
};

TGenerateArgs TakeGenerateArgs(TArgs& args) {
  TGenerateArgs g;
  g.Mode = args.TakeOption("--mode", g.HasMode);
  g.Params = args.TakeOption("--params", g.HasParams);
  if (g.HasMode) {
    const int m = TArgs::ToInt(g.Mode, "--mode");
    if (m < 0 || m >= GenerateModeCount) throw EUsageError("--mode: режим от 0 до 4");
  }
  return g;
}

// The settings' default parameters with the options given on top.
TGenerateParams GenerateParamsOf(const TGenerateArgs& g, const TWorkspace& ws) {
  TGenerateParams p = ws.Stats().Generate;
  if (g.HasMode) p.Mode = static_cast<uint8_t>(TArgs::ToInt(g.Mode, "--mode"));
  if (g.HasParams) p.Parameters = g.Params;
  return p;
}

void WriteOutput(TWorkspace& ws, bool hasOut, const std::string& out) {
  if (hasOut && !ws.CombsSave(out)) throw EReported();
}

int Generate(TContext& ctx, TArgs& args) {
  const TGenerateArgs g = TakeGenerateArgs(args);
  bool hasOut = false;
  const std::string out = args.TakeOption("-o", hasOut);
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды combs generate");
  auto ws = OpenWorkspace(ctx);
  if (!ws->CombsGen(GenerateParamsOf(g, *ws))) throw EReported();
  ctx.Out << ws->Combs().Count() << '\n';
  WriteOutput(*ws, hasOut, out);
  return ExitOk;
}

// A card or layout selection as text: columns separated by "|", the cells
// of a column by ";" (cells as the grid holds them, "" for an empty one).
TGridCells ParseGridCells(const std::string& text) {
  TGridCells cells(1);
  std::string cell;
  for (char c : text) {
    if (c == '|' || c == ';') {
      cells.back().push_back(cell);
      cell.clear();
      if (c == '|') cells.emplace_back();
    } else {
      cell += c;
    }
  }
  cells.back().push_back(cell);
  return cells;
}

int Filter(TContext& ctx, TArgs& args) {
  bool hasIn = false;
  bool hasWindow = false;
  bool hasOffset = false;
  bool hasOut = false;
  const std::string in = args.TakeOption("--in", hasIn);
  const std::string window = args.TakeOption("--window", hasWindow);
  const std::string offset = args.TakeOption("--offset", hasOffset);
  const std::string out = args.TakeOption("-o", hasOut);
  const bool sortedFlag = args.TakeFlag("--sorted");
  const bool keep = args.TakeFlag("--keep");
  const bool del = args.TakeFlag("--delete");
  bool hasCard = false;
  bool hasLayout = false;
  const std::string card = args.TakeOption("--card", hasCard);
  const std::string layout = args.TakeOption("--layout", hasLayout);
  const auto words = args.Positional();
  if (keep == del) throw EUsageError("combs filter: нужен ровно один из --keep и --delete");
  const bool grid = hasCard || hasLayout;
  if (grid && ((hasCard && hasLayout) || !words.empty() || hasWindow))
    throw EUsageError("combs filter: --card или --layout без METHOD, значений и --window");
  if (!grid && words.size() < 2) throw EUsageError("combs filter: нужны METHOD и хотя бы одно значение");
  int length = 0;
  if (hasWindow) {
    length = TArgs::ToInt(window, "--window");
    if (length < 1) throw EUsageError("--window: число должно быть не меньше 1");
  }
  const int k = hasOffset ? TArgs::ToInt(offset, "--offset") : 0;

  // Without --in the list is the one the program has after start-up.
  auto ws = OpenWorkspace(ctx, !hasIn);
  const int method = grid ? -1 : ws->StatMethodIndex(words[0]);
  ws->SetDrawsOffset(k);
  // --sorted applies to this run only; the stored setting stays.
  if (sortedFlag) ws->SetRunOverrides(TRunOverrides::SortedOnly());
  if (hasIn && !ws->CombsOpen(in)) throw EReported();
  if (grid) {
    if (hasCard)
      ws->CardFilterCells(ParseGridCells(card), del);
    else
      ws->LayoutFilterCells(ParseGridCells(layout), del);
    const TLogRow& row = ws->Combs().Log().back();
    ctx.Out << row.Name << '\t' << row.Values << '\t' << row.Count << '\n';
    WriteOutput(*ws, hasOut, out);
    return ExitOk;
  }

  const TStatRows rows = ws->StatRecalculate(method, length, false);
  const TStatDrawArray values =
      ws->StatSelectValues(method, rows, std::vector<std::string>(words.begin() + 1, words.end()));
  if (del)
    ws->StatFilter_Exclude(method, values);
  else
    ws->StatFilter_Include(method, values);
  const TLogRow& row = ws->Combs().Log().back();
  ctx.Out << row.Name << '\t' << row.Values << '\t' << row.Count << '\n';
  WriteOutput(*ws, hasOut, out);
  return ExitOk;
}

int Find(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("combs find: нужна одна комбинация \"n1 n2 n3 n4 n5 n6\"");
  const TComb comb = TextToComb(words[0]);
  auto ws = OpenWorkspace(ctx);
  const std::vector<std::string> lines = FindCombInDraws(ws->Archive().Draws(), comb);
  for (const std::string& line : lines) ctx.Out << line << '\n';
  if (lines.empty()) ctx.Err << FindInDrawsMessage(lines) << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup CombsCommands{
    "combs",
    {
        {"generate", "[--mode M] [--params TEXT] [-o FILE.lcv]",
         "создать список комбинаций (по умолчанию из настроек),\nвывести их количество", Generate},
        {"filter", "[--in FILE.lcv] METHOD [--window N] [--offset K] [--sorted]\n(--keep|--delete) VALUE... [-o FILE.lcv]",
         "оставить или удалить комбинации со значениями метода;\nвывести фильтр, значения и количество комбинаций\n"
         "(вместо METHOD и значений: --card CELLS или --layout CELLS -\nвыделение карты или схемы: столбцы через \"|\", ячейки через \";\")",
         Filter},
        {"find", "\"n1 n2 n3 n4 n5 n6\"", "тиражи, в которых выпадала комбинация", Find},
    }};

}  // namespace vexa::cli
