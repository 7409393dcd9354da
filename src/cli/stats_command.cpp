#include <algorithm>
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "stats/full_set.h"
#include "stats/stat_info.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

std::string OneCode(TArgs& args, const char* command) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError(std::string("stats ") + command + ": нужен один код метода");
  return words[0];
}

// 0 for the default window of the command (1000 draws).
int TakeWindow(TArgs& args) {
  bool found = false;
  const std::string text = args.TakeOption("--window", found);
  if (!found) return 1000;
  const int n = TArgs::ToInt(text, "--window");
  if (n < 1) throw EUsageError("--window: число должно быть не меньше 1");
  return n;
}

// --offset and --sorted, for this run only.
void ApplyView(TWorkspace& ws, int offset, bool sorted) {
  ws.SetDrawsOffset(offset);
  if (sorted) ws.SetRunOverrides(TRunOverrides::SortedOnly());
}

int TakeOffset(TArgs& args) {
  bool found = false;
  const std::string text = args.TakeOption("--offset", found);
  return found ? TArgs::ToInt(text, "--offset") : 0;
}

int Methods(TContext& ctx, TArgs& args) {
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды stats methods");
  auto ws = OpenWorkspace(ctx);
  const TStatList& list = ws->Stats();
  ctx.Out << "№\tКод\tГруппа\tФлаги\tНазвание\tИзбранный\n";
  for (int i = 0; i < list.Count(); ++i) {
    const TStatMethod& m = list.Items(i);
    ctx.Out << i + 1 << '\t' << m.Code() << '\t' << GroupId(m.StatClass->Group) << '\t'
            << KindMarks(StatFlags(*m.StatClass)) << '\t' << list.ListCaption(i, true) << '\t'
            << (list.IsFavourite(i) ? "yes" : "no") << '\n';
  }
  return ExitOk;
}

int Show(TContext& ctx, TArgs& args) {
  const int window = TakeWindow(args);
  const bool sorted = args.TakeFlag("--sorted");
  const bool prefetch = args.TakeFlag("--prefetch");
  const int offset = TakeOffset(args);
  const std::string code = OneCode(args, "show");
  auto ws = OpenWorkspace(ctx);
  const int method = ws->StatMethodIndex(code);
  if (ws->Archive().Empty()) throw EVexaError("Архив тиражей пуст!");
  ApplyView(*ws, offset, sorted);
  const TStatRows rows = ws->StatRecalculate(method, window, prefetch);
  for (int c = 0; c < StatColumnCount; ++c) ctx.Out << (c > 0 ? "\t" : "") << StatColumnCaptions[static_cast<size_t>(c)];
  ctx.Out << '\n';
  for (const TStatRow& row : rows.Rows) {
    for (int c = 0; c < StatColumnCount; ++c) ctx.Out << (c > 0 ? "\t" : "") << row.Texts[static_cast<size_t>(c)];
    ctx.Out << '\n';
  }
  return rows.FullSetFailed ? ExitFailed : ExitOk;
}

int Graph(TContext& ctx, TArgs& args) {
  const int window = TakeWindow(args);
  const bool sorted = args.TakeFlag("--sorted");
  const int offset = TakeOffset(args);
  const std::string code = OneCode(args, "graph");
  auto ws = OpenWorkspace(ctx);
  const int method = ws->StatMethodIndex(code);
  if (!ws->Stats().HasGraph(method))
    throw EVexaError(Format("У метода расчета статистики \"%s\" нет графика!", {ws->Stats().Items(method).Code()}));
  if (ws->Archive().Empty()) throw EVexaError("Архив тиражей пуст!");
  ApplyView(*ws, offset, sorted);
  ctx.Out << "Тираж\tЗначение\n";
  for (const auto& [number, value] : ws->StatGraph(method, window)) ctx.Out << number << '\t' << value << '\n';
  return ExitOk;
}

int Info(TContext& ctx, TArgs& args) {
  bool hasDraw = false;
  bool hasComb = false;
  const std::string drawText = args.TakeOption("--draw", hasDraw);
  const std::string combText = args.TakeOption("--comb", hasComb);
  const bool sorted = args.TakeFlag("--sorted");
  const int offset = TakeOffset(args);
  if (hasDraw == hasComb) throw EUsageError("stats info: нужен ровно один из параметров --draw или --comb");
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды stats info");
  auto ws = OpenWorkspace(ctx);
  ApplyView(*ws, offset, sorted);
  const TStatInfo info = hasDraw ? ws->DrawsInfo(TArgs::ToInt(drawText, "--draw")) : ws->CombsInfo(TextToComb(combText));
  ctx.Out << StatInfoPropertyColumn << '\t' << StatInfoValueColumn << '\n';
  for (const TStatInfoItem& item : info) ctx.Out << item.Caption << '\t' << item.Value << '\n';
  return ExitOk;
}

int Build(TContext& ctx, TArgs& args) {
  const bool force = args.TakeFlag("--force");
  const auto codes = args.Positional();
  auto ws = OpenWorkspace(ctx);
  std::vector<int> methods;
  for (const auto& code : codes) methods.push_back(ws->StatMethodIndex(code));
  int created = 0;
  int failed = 0;
  for (const TFullSetCreated& m : ws->FullSetBuild(methods, force)) {
    if (m.Failed) {
      ++failed;
      continue;
    }
    ++created;
    ctx.Out << m.File.string() << '\t' << m.Records << '\n';
  }
  ctx.Err << Format("Создано файлов: %d", {created}) << '\n';
  return failed > 0 ? ExitFailed : ExitOk;
}

}  // namespace

const TCommandGroup StatsCommands{
    "stats",
    {
        {"methods", "", "методы расчета статистики: №, код, группа, флаги,\nназвание, избранный (yes/no)", Methods},
        {"show", "CODE [--window N] [--offset K] [--sorted] [--prefetch]",
         "таблица статистики (окно 1000 тиражей по умолчанию);\n--prefetch: сравнение с полным набором комбинаций",
         Show},
        {"graph", "CODE [--window N] [--offset K] [--sorted]", "значение графика метода для каждого тиража окна",
         Graph},
        {"info", "(--draw NUMBER | --comb \"n1 n2 n3 n4 n5 n6\") [--offset K] [--sorted]",
         "подробная информация о тираже или комбинации", Info},
    }};

const TCommandGroup FullSetCommands{
    "fullset",
    {
        {"build", "[--force] [CODE...]",
         "создать недостающие файлы полного набора комбинаций\n(--force: создать заново)", Build},
    }};

}  // namespace vexa::cli
