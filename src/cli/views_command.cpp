// vexa views: the analysis views as tables: the draws card, the number
// layout, the comparison lists, the repeats analysis and the sums
// distribution. Everything shown is computed by the workspace.
#include <algorithm>
#include <map>
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/settings.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

// "--name N" with N >= low, or `def` without the option.
int TakeCount(TArgs& args, const std::string& name, int def, int low = 1) {
  bool found = false;
  const std::string text = args.TakeOption(name, found);
  if (!found) return def;
  const int n = TArgs::ToInt(text, name);
  if (n < low) throw EUsageError(name + ": число должно быть не меньше " + std::to_string(low));
  return n;
}

void NoMoreWords(const TArgs& args, const char* command) {
  if (!args.Positional().empty()) throw EUsageError(std::string("лишние параметры команды views ") + command);
}

void ApplyOffset(TWorkspace& ws, int k) { ws.SetDrawsOffset(k); }

// Rows 0 .. rows - 1 of a grid, cells joined by tabs.
template <typename Grid, typename Cell>
void WriteGrid(std::ostream& out, const Grid& grid, int rows, Cell cell) {
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      if (c > 0) out << '\t';
      out << cell(r, c);
    }
    out << '\n';
  }
}

int Card(TContext& ctx, TArgs& args) {
  const int last = TakeCount(args, "--last", -1);
  const bool colors = args.TakeFlag("--colors");
  NoMoreWords(args, "card");
  auto ws = OpenWorkspace(ctx);
  const TDrawsCard card = ws->BuildCard();
  const TCardColorOptions options = ws->CardColorOptions();
  const int rows = last < 0 ? card.RowCount() : std::min(card.RowCount(), last + 1);
  WriteGrid(ctx.Out, card, rows, [&](int r, int c) {
    std::string text = r == 0 && c == 0 ? "Тираж" : card.CellText(r, c);
    if (colors && r > 0 && c > 0) text += ":" + CardColorName(card.CellColor(r, c, options));
    return text;
  });
  return ExitOk;
}

int Layout(TContext& ctx, TArgs& args) {
  bool hasWindow = false;
  const std::string window = args.TakeOption("--window", hasWindow);
  const int offset = TakeCount(args, "--offset", 0, 0);
  NoMoreWords(args, "layout");
  auto ws = OpenWorkspace(ctx);
  int length = ws->Window().LayoutLen;
  if (hasWindow) {
    length = TArgs::ToInt(window, "--window");
    if (length < 1) throw EUsageError("--window: число должно быть не меньше 1");
  }
  ApplyOffset(*ws, offset);
  const TLayoutGrid grid = ws->BuildLayout(length);
  WriteGrid(ctx.Out, grid, grid.RowCount(), [&](int r, int c) { return grid.CellText(r, c); });
  return ExitOk;
}

TCompareLengths ParseWindows(const std::string& text) {
  TCompareLengths lengths{};
  size_t k = 0;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (k == lengths.size()) throw EUsageError("--windows: нужно 5 длин окон через запятую");
    lengths[k] = TArgs::ToInt(word, "--windows");
    if (lengths[k] < 1) throw EUsageError("--windows: число должно быть не меньше 1");
    ++k;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (k != lengths.size()) throw EUsageError("--windows: нужно 5 длин окон через запятую");
  return lengths;
}

int Compare(TContext& ctx, TArgs& args) {
  bool hasWindows = false;
  const std::string windows = args.TakeOption("--windows", hasWindows);
  const int offset = TakeCount(args, "--offset", 0, 0);
  NoMoreWords(args, "compare");
  const TCompareLengths given = hasWindows ? ParseWindows(windows) : TCompareLengths{};
  auto ws = OpenWorkspace(ctx);
  const TMainWindowSettings& s = ws->Window();
  const TCompareLengths lengths = hasWindows ? given
                                             : TCompareLengths{s.LayoutCompareLen1, s.LayoutCompareLen2,
                                                               s.LayoutCompareLen3, s.LayoutCompareLen4,
                                                               s.LayoutCompareLen5};
  ApplyOffset(*ws, offset);
  for (const TCompareList& list : ws->BuildCompareLists(lengths)) {
    ctx.Out << CompareCountCaption << '\t' << list.Caption << '\n';
    for (const TCompareRow& row : list.Rows) ctx.Out << row.Count << '\t' << row.Numbers << '\n';
  }
  return ExitOk;
}

int Repeats(TContext& ctx, TArgs& args) {
  bool hasDraws = false, hasDeep = false, hasSeed = false;
  const std::string draws = args.TakeOption("--draws", hasDraws);
  const std::string deep = args.TakeOption("--deep", hasDeep);
  const std::string seed = args.TakeOption("--seed", hasSeed);
  NoMoreWords(args, "repeats");
  auto ws = OpenWorkspace(ctx);
  // The dialog's last lengths, as the repeats window keeps them.
  TRepeatsWindowSettings settings;
  ReadRepeatsWindowSettings(LoadWindowSettings(ws->DataFile(WindowSettingsFileExt)), settings);
  const auto length = [](const std::string& text, const char* name) {
    const int n = TArgs::ToInt(text, name);
    if (n < 1) throw EUsageError(std::string(name) + ": число должно быть не меньше 1");
    return n;
  };
  const int drawsLength = hasDraws ? length(draws, "--draws") : settings.DrawsLength;
  const int deepLength = hasDeep ? length(deep, "--deep") : settings.DrawsDeep;
  if (hasSeed) ws->SeedViewsRandom(static_cast<uint64_t>(TArgs::ToInt(seed, "--seed")));
  const TRepeatsAnalysis r = ws->AnalyzeRepeats(drawsLength, deepLength);
  ctx.Out << "Тираж\tСовпадений\tКол-во повторов\tСписок тиражей\n";
  for (const TRepeatsRow& row : r.Rows)
    ctx.Out << row.Draw << '\t' << row.Matches << '\t' << row.Repeats << '\t' << row.Draws << '\n';
  return ExitOk;
}

int Sums(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "sums");
  auto ws = OpenWorkspace(ctx);
  const TSumsDistribution d = ws->TotalSumCombs();
  // Sums of both tables; a count that is not there stays empty.
  std::map<int32_t, std::pair<std::string, std::string>> rows;
  for (const TStatSimple& p : d.Theoretical) rows[p.Key].first = std::to_string(p.Count);
  for (const TStatSimple& p : d.Actual) rows[p.Key].second = std::to_string(p.Count);
  ctx.Out << "Сумма\tКомбинаций\tТиражей\n";
  for (const auto& [sum, counts] : rows) ctx.Out << sum << '\t' << counts.first << '\t' << counts.second << '\n';
  ctx.Out << "\nДиапазон\tУровень\tОт\tДо\n";
  static constexpr const char* Fractions[] = {"1/3", "1/2", "2/3"};
  for (size_t f = 0; f < d.Levels.size(); ++f)
    ctx.Out << Fractions[f] << '\t' << d.Levels[f].Level << '\t' << d.Levels[f].Low << '\t' << d.Levels[f].High
            << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup ViewsCommands{
    "views",
    {
        {"card", "[--last N] [--colors]", "карта тиражей: номер, 45 ячеек, E1, E2 (--colors: цвет\nячейки после \":\")",
         Card},
        {"layout", "[--window L] [--offset K]", "схема выпадения номеров: количество x последний тираж", Layout},
        {"compare", "[--windows 50,100,200,300,400] [--offset K]",
         "пять списков сравнения: \"Кол-во\", тиражи окна; строки", Compare},
        {"repeats", "[--draws N] [--deep D] [--seed S]", "количество повторов в зависимости от тиража", Repeats},
        {"sums", "", "распределение сумм тиражей и всех комбинаций, диапазоны", Sums},
    }};

}  // namespace vexa::cli
