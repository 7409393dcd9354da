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

void WriteOutput(const TCombsList& combs, bool hasOut, const std::string& out) {
  if (hasOut && !combs.WriteCombsFile(out)) throw EReported();
}

int Generate(TContext& ctx, TArgs& args) {
  const TGenerateArgs g = TakeGenerateArgs(args);
  bool hasOut = false;
  const std::string out = args.TakeOption("-o", hasOut);
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды combs generate");
  auto ws = OpenWorkspace(ctx);
  TCombsList& combs = ws->Combs();
  if (!combs.Generate(false, GenerateParamsOf(g, *ws))) throw EReported();
  ctx.Out << combs.Count() << '\n';
  WriteOutput(combs, hasOut, out);
  return ExitOk;
}

// The rows a VALUE selects: those whose value text it is; failing that, for
// a method that takes typed values, those whose value TextToValue reads
// from it, when it is a plain integer or the start of that value's text
// (so that a word that reads as nothing does not pick value 0).
void SelectRows(const TCustomStat& stat, const std::vector<TStatRow>& rows, const std::string& value,
                std::vector<bool>& selected) {
  bool found = false;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].Texts[scValue] != value) continue;
    selected[r] = true;
    found = true;
  }
  if (!found && stat.Class().AcceptsValueList) {
    const int32_t typed = stat.TextToValue(value);
    int32_t plain = 0;
    const bool isInteger = TryStrToInt(value, plain);
    for (size_t r = 0; r < rows.size(); ++r) {
      const TStatKey4& key = rows[r].Rec.Key;
      if (Key32(key, 1) != typed || Key32(key, 2) != 0) continue;
      if (!isInteger && rows[r].Texts[scValue].rfind(std::string(Trim(value)), 0) != 0) continue;
      selected[r] = true;
      found = true;
    }
  }
  if (!found) throw EVexaError(Format("Значение \"%s\" не найдено среди значений метода %s!", {value, stat.Class().Code}));
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
  if (hasCard || hasLayout) {
    if ((hasCard && hasLayout) || !words.empty() || hasWindow)
      throw EUsageError("combs filter: --card или --layout без METHOD, значений и --window");
    auto ws = OpenWorkspace(ctx);
    const int k = hasOffset ? TArgs::ToInt(offset, "--offset") : 0;
    if (k < 0 || (k > 0 && k >= ws->Archive().Count()))
      throw EVexaError(Format("Смещение %d вне архива (0 … %d)!", {k, std::max(ws->Archive().Count() - 1, 0)}));
    ws->SetDrawsOffset(k);
    if (sortedFlag) ws->Window().SortedDraws = true;
    TCombsList& combs = ws->Combs();
    if (!(hasIn ? combs.ReadCombsFile(in) : combs.Generate(false, ws->Stats().Generate))) throw EReported();
    if (hasCard)
      ws->CardFilterCells(ParseGridCells(card), del);
    else
      ws->LayoutFilterCells(ParseGridCells(layout), del);
    const TLogRow& row = combs.Log().back();
    ctx.Out << row.Name << '\t' << row.Values << '\t' << row.Count << '\n';
    WriteOutput(combs, hasOut, out);
    return ExitOk;
  }
  if (words.size() < 2) throw EUsageError("combs filter: нужны METHOD и хотя бы одно значение");
  int length = 0;
  if (hasWindow) {
    length = TArgs::ToInt(window, "--window");
    if (length < 1) throw EUsageError("--window: число должно быть не меньше 1");
  }
  const int k = hasOffset ? TArgs::ToInt(offset, "--offset") : 0;

  auto ws = OpenWorkspace(ctx);
  const int method = ws->Stats().IndexOfCode(words[0]);
  if (method < 0) throw EVexaError(Format("Метод расчета статистики %s не найден!", {words[0]}));
  TDrawsArchive& archive = ws->Archive();
  if (k < 0 || (k > 0 && k >= archive.Count()))
    throw EVexaError(Format("Смещение %d вне архива (0 … %d)!", {k, std::max(archive.Count() - 1, 0)}));
  archive.SetDrawsOffset(k);
  // --sorted applies to this run only; the stored setting stays.
  if (sortedFlag) ws->Window().SortedDraws = true;

  TCombsList& combs = ws->Combs();
  const bool started = hasIn ? combs.ReadCombsFile(in) : combs.Generate(false, ws->Stats().Generate);
  if (!started) throw EReported();

  TStatRowsParams params;
  params.WindowLength = hasWindow ? length : ws->Window().DrawsStatLen;
  params.DrawsOffset = k;
  params.Sorted = ws->SortedDraws();
  const std::unique_ptr<TCustomStat> stat = ws->Stats().CreateStat(method);
  const TStatRows rows = RecalculateStat(*stat, ws->Stats().Config.Cdl, params, nullptr);
  std::vector<bool> selected(rows.Rows.size(), false);
  for (size_t w = 1; w < words.size(); ++w) SelectRows(*stat, rows.Rows, words[w], selected);
  TStatDrawArray values;
  for (size_t r = 0; r < rows.Rows.size(); ++r)
    if (selected[r]) values.push_back(rows.Rows[r].Rec);

  if (del)
    ws->StatFilter_Exclude(method, values);
  else
    ws->StatFilter_Include(method, values);
  const TLogRow& row = combs.Log().back();
  ctx.Out << row.Name << '\t' << row.Values << '\t' << row.Count << '\n';
  WriteOutput(combs, hasOut, out);
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

int RunCombs(TContext& ctx, TArgs args) {
  const std::string sub = args.TakeFirst();
  if (sub == "generate") return Generate(ctx, args);
  if (sub == "filter") return Filter(ctx, args);
  if (sub == "find") return Find(ctx, args);
  throw EUsageError(sub.empty() ? "combs: не указана команда" : "combs: неизвестная команда " + sub);
}

}  // namespace vexa::cli
