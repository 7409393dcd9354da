#include <ostream>

#include "acquire/draws_csv.h"
#include "cli/cli.h"
#include "core/dates.h"
#include "core/draws_archive.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa::cli {
namespace {

int List(TContext& ctx, TArgs& args) {
  bool hasLast = false;
  bool hasOffset = false;
  const std::string last = args.TakeOption("--last", hasLast);
  const std::string offset = args.TakeOption("--offset", hasOffset);
  const bool sortedFlag = args.TakeFlag("--sorted");
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды draws list");
  auto ws = OpenWorkspace(ctx);
  const TDrawsArchive& archive = ws->Archive();
  int rows = archive.Count();
  if (hasLast) {
    const int n = TArgs::ToInt(last, "--last");
    if (n < 0) throw EUsageError("--last: число должно быть не меньше 0");
    rows = std::min(rows, n);
  }
  if (hasOffset) ws->SetDrawsOffset(TArgs::ToInt(offset, "--offset"));
  // --sorted forces the ascending display; otherwise the stored setting decides.
  if (sortedFlag) ws->SetRunOverrides(TRunOverrides::SortedOnly());
  const bool sorted = ws->SortedDraws();
  ctx.Out << "Тираж\t1\t2\t3\t4\t5\t6\tE1\tE2\tS\tДата тиража\n";
  for (int row = 0; row < rows; ++row) {
    const TDraw d = archive.RowDraw(row, sorted);
    int sum = 0;
    ctx.Out << d.Number;
    for (uint8_t n : d.Nums) {
      ctx.Out << '\t' << static_cast<int>(n);
      sum += n;
    }
    for (uint8_t n : d.Supp) ctx.Out << '\t' << static_cast<int>(n);
    ctx.Out << '\t' << sum << '\t' << DrawDateText(d) << '\n';
  }
  const TDrawsStatus status = archive.Status();
  ctx.Err << status.Archive << '\n' << status.NextDraw << '\n' << status.NextNums << '\n';
  return ExitOk;
}

std::string OneFile(TArgs& args, const char* command) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError(std::string("draws ") + command + ": нужен один файл");
  return words[0];
}

int Import(TContext& ctx, TArgs& args) {
  const std::string file = OneFile(args, "import");
  auto ws = OpenWorkspace(ctx);
  const int added = ws->DrawsImport(file);
  ctx.Out << Format("Добавлено тиражей: %d", {added}) << '\n';
  return ExitOk;
}

int Export(TContext& ctx, TArgs& args) {
  const std::string file = OneFile(args, "export");
  auto ws = OpenWorkspace(ctx);
  if (ws->Archive().Empty()) throw EVexaError("Архив тиражей пуст!");
  const int written = ws->DrawsExport(file);
  ctx.Out << Format("Записано тиражей: %d", {written}) << '\n';
  return ExitOk;
}

int Add(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 3) throw EUsageError("draws add: нужны NUMBER DATE \"n1;...;s2\"");
  const int number = TArgs::ToInt(words[0], "NUMBER");
  const TDateTime date = DrawTextToDate(words[1]);
  if (date <= 0) throw EVexaError(Format("Некорректная дата: \"%s\"!", {words[1]}));
  TDraw draw;
  const std::string message = MakeEnteredDraw(number, words[2], date, draw);
  if (!message.empty()) throw EVexaError(message);
  auto ws = OpenWorkspace(ctx);
  ws->DrawsAdd(draw);
  ctx.Out << DrawToText(draw) << '\n';
  return ExitOk;
}

int Delete(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.empty()) throw EUsageError("draws delete: нужны номера тиражей");
  std::vector<int> numbers;
  for (const auto& w : words) numbers.push_back(TArgs::ToInt(w, "NUMBER"));
  auto ws = OpenWorkspace(ctx);
  for (int n : numbers)
    if (ws->Archive().IndexOfDrawNumber(n) < 0) throw EVexaError(Format("Тираж № %d в архиве не найден!", {n}));
  ws->DrawsDel(numbers);
  ctx.Out << Format("Удалено тиражей: %d", {static_cast<int>(numbers.size())}) << '\n';
  return ExitOk;
}

int Demo(TContext& ctx, TArgs& args) {
  bool hasCount = false;
  bool hasSeed = false;
  const std::string count = args.TakeOption("--count", hasCount);
  const std::string seed = args.TakeOption("--seed", hasSeed);
  const bool force = args.TakeFlag("--force");
  if (!hasCount || !args.Positional().empty()) throw EUsageError("draws demo --count N [--seed S] [--force]");
  const int n = TArgs::ToInt(count, "--count");
  if (n < 1) throw EUsageError("--count: число должно быть не меньше 1");
  const int s = hasSeed ? TArgs::ToInt(seed, "--seed") : 1;
  auto ws = OpenWorkspace(ctx);
  // A sample must never overwrite a real history by accident: --force says it may.
  ws->DrawsDemo(n, static_cast<uint64_t>(static_cast<uint32_t>(s)), force);
  ctx.Out << Format("Создан пример архива: %d тиражей (сгенерированные числа)", {n}) << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup DrawsCommands{
    "draws",
    {
        {"list", "[--last N] [--offset K] [--sorted]", "тиражи, новые первыми; итоги архива в stderr", List},
        {"import", "FILE", "добавить тиражи из CSV-файла", Import},
        {"export", "FILE", "записать архив в CSV-файл", Export},
        {"add", "NUMBER DATE \"n1;n2;n3;n4;n5;n6;s1;s2\"", "добавить тираж (DATE как \"5 Mar 2025\")", Add},
        {"delete", "NUMBER...", "удалить тиражи с этими номерами", Delete},
        {"demo", "--count N [--seed S] [--force]", "создать пример архива (случайные числа)", Demo},
        {"download", "[--base-url URL] [--yes|--no]",
         "новые тиражи с сайта результатов, по месяцам; --yes/--no:\n"
         "ответ на вопрос о повторе месяца с ошибкой (иначе вопрос\n"
         "в терминале; --yes повторяет месяц не более 3 раз)",
         RunDrawsDownload},
    }};

}  // namespace vexa::cli
