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

// Start-up failures (a broken settings file, say) are reported on stderr
// and the command goes on with what was read, as the program does.
void OpenWorkspace(TWorkspace& ws) { ws.Open(); }

int MethodIndex(const TStatList& list, const std::string& code) {
  if (code.empty()) throw EUsageError("нужен код метода расчета статистики");
  const int i = list.IndexOfCode(code);
  if (i < 0) throw EVexaError(Format("Метод расчета статистики \"%s\" не найден!", {code}));
  return i;
}

std::string OneCode(TArgs& args, const char* command) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError(std::string("stats ") + command + ": нужен один код метода");
  return words[0];
}

int TakeWindow(TArgs& args) {
  bool found = false;
  const std::string text = args.TakeOption("--window", found);
  if (!found) return 1000;
  const int n = TArgs::ToInt(text, "--window");
  if (n < 1) throw EUsageError("--window: число должно быть не меньше 1");
  return n;
}

// The --offset value; checked against the archive by ApplyOffset.
int TakeOffset(TArgs& args) {
  bool found = false;
  const std::string text = args.TakeOption("--offset", found);
  return found ? TArgs::ToInt(text, "--offset") : 0;
}

// Checked as `draws list` checks it.
void ApplyOffset(TWorkspace& ws, int offset) {
  const int count = ws.Archive().Count();
  if (offset < 0 || (offset > 0 && offset >= count))
    throw EVexaError(Format("Смещение %d вне архива (0 … %d)!", {offset, std::max(count - 1, 0)}));
  ws.SetDrawsOffset(offset);
}

void RequireDraws(const TWorkspace& ws) {
  if (ws.Archive().Empty()) throw EVexaError("Архив тиражей пуст!");
}

TFullSetPlace PlaceOf(const TWorkspace& ws) { return TFullSetPlace{ws.DataDir(), ProgramBaseName}; }

int Methods(TContext& ctx, TArgs& args) {
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды stats methods");
  TWorkspace ws(ctx.DataDir, ctx.Ui);
  OpenWorkspace(ws);
  const TStatList& list = ws.Stats();
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
  TStatRowsParams params;
  params.WindowLength = TakeWindow(args);
  params.Sorted = args.TakeFlag("--sorted");
  const bool prefetch = args.TakeFlag("--prefetch");
  params.DrawsOffset = TakeOffset(args);
  const std::string code = OneCode(args, "show");
  TWorkspace ws(ctx.DataDir, ctx.Ui);
  OpenWorkspace(ws);
  const int method = MethodIndex(ws.Stats(), code);
  RequireDraws(ws);
  ApplyOffset(ws, params.DrawsOffset);
  const TStatRows rows = RecalculateStat(ws.Stats(), method, params, PlaceOf(ws), prefetch, ctx.Ui);
  for (int c = 0; c < StatColumnCount; ++c) ctx.Out << (c > 0 ? "\t" : "") << StatColumnCaptions[static_cast<size_t>(c)];
  ctx.Out << '\n';
  for (const TStatRow& row : rows.Rows) {
    for (int c = 0; c < StatColumnCount; ++c) ctx.Out << (c > 0 ? "\t" : "") << row.Texts[static_cast<size_t>(c)];
    ctx.Out << '\n';
  }
  return ExitOk;
}

int Graph(TContext& ctx, TArgs& args) {
  const int window = TakeWindow(args);
  const bool sorted = args.TakeFlag("--sorted");
  const int offset = TakeOffset(args);
  const std::string code = OneCode(args, "graph");
  TWorkspace ws(ctx.DataDir, ctx.Ui);
  OpenWorkspace(ws);
  const TStatList& list = ws.Stats();
  const int method = MethodIndex(list, code);
  if (!list.HasGraph(method))
    throw EVexaError(Format("У метода расчета статистики \"%s\" нет графика!", {list.Items(method).Code()}));
  RequireDraws(ws);
  ApplyOffset(ws, offset);
  const int last = ws.Archive().Count() - 1 - offset;
  const int first = std::max(0, last - window + 1);
  const auto stat = list.CreateStat(method);
  ctx.Out << "Тираж\tЗначение\n";
  for (int i = first; i <= last; ++i)
    ctx.Out << ws.Archive().Draws()[static_cast<size_t>(i)].Number << '\t' << stat->GraphValueOfDraw(i, last, sorted)
            << '\n';
  return ExitOk;
}

TComb ParseComb(const std::string& text) {
  TComb comb = TextToComb(text);
  std::array<bool, MaxNumber + 1> seen{};
  for (uint8_t n : comb) {
    if (n < 1 || n > MaxNumber || seen[n]) throw EVexaError(Format("Некорректная комбинация: \"%s\"!", {text}));
    seen[n] = true;
  }
  return comb;
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
  TWorkspace ws(ctx.DataDir, ctx.Ui);
  OpenWorkspace(ws);
  ApplyOffset(ws, offset);
  TStatInfo info;
  if (hasDraw) {
    const int number = TArgs::ToInt(drawText, "--draw");
    const int index = ws.Archive().IndexOfDrawNumber(number);
    if (index < 0) throw EVexaError(Format("Тираж № %d в архиве не найден!", {number}));
    info = DrawInfo(ws.Stats(), index, sorted);
  } else {
    info = CombinationInfo(ws.Stats(), ParseComb(combText), offset, sorted);
  }
  ctx.Out << StatInfoPropertyColumn << '\t' << StatInfoValueColumn << '\n';
  for (const TStatInfoItem& item : info) ctx.Out << item.Caption << '\t' << item.Value << '\n';
  return ExitOk;
}

int Build(TContext& ctx, TArgs& args) {
  const bool force = args.TakeFlag("--force");
  const auto codes = args.Positional();
  TWorkspace ws(ctx.DataDir, ctx.Ui);
  OpenWorkspace(ws);
  const TStatList& list = ws.Stats();
  const TFullSetPlace place = PlaceOf(ws);
  std::vector<TFullSetCreated> made;
  if (codes.empty()) {
    made = RefreshFullSetFiles(list, place, true, force ? AllStatGroups : 0u, true, ctx.Ui);
  } else {
    std::vector<int> methods;
    for (const auto& code : codes) {
      const int i = MethodIndex(list, code);
      if (!list.IsFullSetComputable(i))
        throw EVexaError(Format("Метод расчета статистики \"%s\" не участвует в сравнении с полным набором комбинаций!",
                                {list.Items(i).Code()}));
      if (std::find(methods.begin(), methods.end(), i) == methods.end()) methods.push_back(i);
    }
    for (int i : methods) {
      const auto file = place.FileOf(list.Items(i).Code());
      if (!force && FullSetFileExists(file)) continue;
      const auto set = CreateFullSetFile(list, i, place, ctx.Ui);
      made.push_back(TFullSetCreated{i, file, !set.has_value(), set ? static_cast<int>(set->Records.size()) : 0});
    }
  }
  int created = 0;
  int failed = 0;
  for (const TFullSetCreated& m : made) {
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

int RunStats(TContext& ctx, TArgs args) {
  const std::string sub = args.TakeFirst();
  if (sub == "methods") return Methods(ctx, args);
  if (sub == "show") return Show(ctx, args);
  if (sub == "graph") return Graph(ctx, args);
  if (sub == "info") return Info(ctx, args);
  throw EUsageError(sub.empty() ? "stats: нужна подкоманда" : "stats: неизвестная подкоманда " + sub);
}

int RunFullSet(TContext& ctx, TArgs args) {
  const std::string sub = args.TakeFirst();
  if (sub == "build") return Build(ctx, args);
  throw EUsageError(sub.empty() ? "fullset: нужна подкоманда" : "fullset: неизвестная подкоманда " + sub);
}

}  // namespace vexa::cli
