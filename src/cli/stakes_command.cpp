// vexa stakes / ratings / tables: the stakes file, the ratings and the
// regular table stakes of the data folder.
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/list_compare.h"
#include "stakes/overlap_odds.h"

namespace vexa::cli {
namespace {

void PrintRow(std::ostream& out, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out << '\t';
    out << cells[i];
  }
  out << '\n';
}

std::string Required(TArgs& args, const std::string& name, const char* usage) {
  bool found = false;
  std::string value = args.TakeOption(name, found);
  if (!found) throw EUsageError(usage);
  return value;
}

void NoMoreWords(const TArgs& args, const char* command) {
  if (!args.Positional().empty()) throw EUsageError(std::string("лишние параметры команды ") + command);
}

void Refused(const std::string& message) {
  if (!message.empty()) throw EVexaError(message);
}

// ---- stakes -----------------------------------------------------------------------

int StakesList(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "stakes list");
  auto ws = OpenWorkspace(ctx);
  PrintRow(ctx.Out, std::vector<std::string>(StakeGridCaptions.begin(), StakeGridCaptions.end()));
  const TStakesFile& file = ws->Stakes();
  const int count = file.Count();
  constexpr int Chunk = 4096;
  for (int first = 0; first < count; first += Chunk) {
    for (const TStakeRec& stake : file.ReadStakes(first, Chunk)) {
      const auto cells = StakeGridCells(stake);
      PrintRow(ctx.Out, std::vector<std::string>(cells.begin(), cells.end()));
    }
  }
  ctx.Err << Format("Ставок: %d", {count}) << '\n';
  return ExitOk;
}

int StakesAdd(TContext& ctx, TArgs& args) {
  const char* usage = "stakes add --draw N --nums \"a;b;c;d;e;f\" --comment TEXT [--draws K]";
  TManualStakeInput input;
  input.DrawNumber = TArgs::ToInt(Required(args, "--draw", usage), "--draw");
  input.Numbers = Required(args, "--nums", usage);
  input.Comment = Required(args, "--comment", usage);
  bool hasDraws = false;
  const std::string draws = args.TakeOption("--draws", hasDraws);
  if (hasDraws) input.DrawsCount = TArgs::ToInt(draws, "--draws");
  NoMoreWords(args, "stakes add");
  // A stake records the size of the list it came from: the start-up list.
  auto ws = OpenWorkspace(ctx, true);
  const TStakeRec prefilled = ws->StakePrefill(nullptr);
  Refused(ws->StakeAdd(prefilled, input, 8).Message);
  ctx.Out << Format("Добавлено ставок: %d", {static_cast<int>(input.DrawsCount)}) << '\n';
  return ExitOk;
}

int StakesCheck(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "stakes check");
  auto ws = OpenWorkspace(ctx);
  const int checked = ws->StakesCheckManual();
  ctx.Out << Format("Проверено ставок: %d", {checked}) << '\n';
  return ExitOk;
}

TStakeCondition ParseCondition(const std::string& text, int& value) {
  const std::string_view t = Trim(text);
  // Two-character operators first, so ">=" is not read as ">".
  static const std::pair<const char*, TStakeCondition> ops[] = {{">=", TStakeCondition::NotLess},
                                                                {"<=", TStakeCondition::NotGreater},
                                                                {"=", TStakeCondition::Equal},
                                                                {">", TStakeCondition::Greater},
                                                                {"<", TStakeCondition::Less}};
  for (const auto& [op, condition] : ops) {
    const std::string_view o(op);
    if (t.substr(0, o.size()) != o) continue;
    int32_t v = 0;
    if (!TryStrToInt(t.substr(o.size()), v) || v < 0 || v > MainCount)
      throw EUsageError("--where: число совпадений должно быть от 0 до 6");
    value = v;
    return condition;
  }
  throw EUsageError("--where: условие \"OP VALUE\", OP одно из = > >= < <=");
}

int StakesDelete(TContext& ctx, TArgs& args) {
  int value = 0;
  const TStakeCondition condition =
      ParseCondition(Required(args, "--where", "stakes delete --where \"OP VALUE\""), value);
  NoMoreWords(args, "stakes delete");
  auto ws = OpenWorkspace(ctx);
  const int removed = ws->StakeFilter(condition, value);
  ctx.Out << Format("Удалено ставок: %d", {removed}) << '\n';
  return ExitOk;
}

int StakesClear(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "stakes clear");
  TConfirmedUi ui(ctx.Ui);
  TContext confirmed{ctx.DataDir, ctx.Out, ctx.Err, ui};
  auto ws = OpenWorkspace(confirmed);
  const int count = ws->Stakes().Count();
  ws->StakeClear();
  ctx.Out << Format("Удалено ставок: %d", {count}) << '\n';
  return ExitOk;
}

// ---- ratings ----------------------------------------------------------------------

int RatingsList(TContext& ctx, TArgs& args) {
  bool hasMode = false;
  const std::string modeText = args.TakeOption("--mode", hasMode);
  NoMoreWords(args, "ratings list");
  int mode = -1;
  if (hasMode) {
    mode = TArgs::ToInt(modeText, "--mode");
    if (mode < 0 || mode >= RatingModes) throw EUsageError("--mode: 0, 1 или 2");
  }
  auto ws = OpenWorkspace(ctx);
  if (mode < 0) mode = ws->Window().RatingsEffMode;
  std::vector<std::string> header(RatingColumnCaptions.begin(), RatingColumnCaptions.end());
  header.push_back(RatingPValueCaption);
  PrintRow(ctx.Out, header);
  for (const TRating& rating : ws->Ratings().Items()) {
    TListRow row = RatingRow(rating, mode);
    row.resize(RatingColumns);
    row.push_back(RatingPValueText(rating));
    PrintRow(ctx.Out, row);
  }
  ctx.Err << Format("Рейтинг: %d", {ws->Ratings().Count()}) << '\n';
  return ExitOk;
}

int RatingsExportCommand(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("ratings export: нужен один файл");
  auto ws = OpenWorkspace(ctx);
  ws->RatingsExport(words[0]);
  ctx.Out << Format("Записано строк рейтинга: %d", {ws->Ratings().Count()}) << '\n';
  return ExitOk;
}

int RatingsRefreshCommand(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "ratings refresh");
  TConfirmedUi ui(ctx.Ui);
  TContext confirmed{ctx.DataDir, ctx.Out, ctx.Err, ui};
  auto ws = OpenWorkspace(confirmed);
  ws->RatingsRefresh();
  ctx.Out << Format("Рейтинг: %d", {ws->Ratings().Count()}) << '\n';
  return ExitOk;
}

// ---- tables -----------------------------------------------------------------------

std::unique_ptr<TWorkspace> OpenTables(TContext& ctx, bool withCombs = false) {
  auto ws = OpenWorkspace(ctx, withCombs);
  if (!ws->Window().TabTables)
    throw EVexaError("Вкладка \"Регуляры\" скрыта (TabTables=0 в разделе TFormMain файла Korvane_6x45.frm)!");
  return ws;
}

int TableIndex(const TWorkspace& ws, const std::string& name) {
  const TTablesArray& tables = ws.Tables();
  for (size_t i = 0; i < tables.size(); ++i)
    if (CompareTextNoCase(tables[i].Comment, name) == 0) return static_cast<int>(i);
  throw EVexaError(Format("Регулярная ставка \"%s\" не найдена!", {name}));
}

int TablesList(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "tables list");
  auto ws = OpenTables(ctx);
  PrintRow(ctx.Out, std::vector<std::string>(TableColumnCaptions.begin(), TableColumnCaptions.end()));
  for (const TTableRec& t : ws->Tables()) {
    const auto cells = TableRow(t);
    PrintRow(ctx.Out, std::vector<std::string>(cells.begin(), cells.end()));
  }
  return ExitOk;
}

int TablesAddCommand(TContext& ctx, TArgs& args) {
  TTableInput input;
  bool hasStart = false;
  bool hasStep = false;
  bool hasComment = false;
  input.Start = args.TakeOption("--start", hasStart);
  const std::string step = args.TakeOption("--step", hasStep);
  const std::string comment = args.TakeOption("--comment", hasComment);
  input.UseLastDraw = args.TakeFlag("--last-draw");
  NoMoreWords(args, "tables add");
  if (!hasStart && !input.UseLastDraw)
    throw EUsageError("tables add --start \"a;b;c;d;e;f\" | --last-draw [--step S] [--comment TEXT]");
  if (hasStep) input.Step = TArgs::ToInt(step, "--step");
  if (hasComment) input.Comment = comment;
  // The start field stands for one selected combination of the list.
  TCombsArray selected;
  if (hasStart) {
    TNumList numbers;
    Refused(ParseStakeNumbers(input.Start, MainCount, MainCount, numbers));
    TComb comb{};
    std::copy(numbers.Nums.begin(), numbers.Nums.begin() + MainCount, comb.begin());
    selected.push_back(comb);
  }
  auto ws = OpenTables(ctx);
  Refused(ws->TablesAdd(input, selected, {0}).Message);
  const auto cells = TableRow(ws->Tables().back());
  PrintRow(ctx.Out, std::vector<std::string>(cells.begin(), cells.end()));
  return ExitOk;
}

int TablesStakeCommand(TContext& ctx, TArgs& args) {
  bool hasDraws = false;
  const std::string draws = args.TakeOption("--draws", hasDraws);
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("tables stake NAME [--draws K]");
  auto ws = OpenTables(ctx, true);
  const TWorkspace::TTableStakeDraft draft = ws->TablesStakePrepare(TableIndex(*ws, words[0]));
  TManualStakeInput input;
  input.DrawNumber = draft.Stake.DrawNumber;
  input.Numbers = NumListToText(draft.Stake.Numbers, ";");
  input.Comment = StakeOrigin(draft.Stake);
  if (hasDraws) input.DrawsCount = TArgs::ToInt(draws, "--draws");
  Refused(ws->TablesStakeAdd(draft, input).Message);
  ctx.Out << Format("Тираж № %d: %s", {draft.Stake.DrawNumber, input.Numbers}) << '\n';
  return ExitOk;
}

int TablesTestCommand(TContext& ctx, TArgs& args) {
  const int n = TArgs::ToInt(Required(args, "--draws", "tables test --draws N NAME..."), "--draws");
  const auto names = args.Positional();
  if (names.empty()) throw EUsageError("tables test --draws N NAME...");
  if (n < 1) throw EUsageError("--draws: число должно быть не меньше 1");
  auto ws = OpenTables(ctx, true);
  std::vector<int> indexes;
  for (const std::string& name : names) indexes.push_back(TableIndex(*ws, name));
  const int made = ws->TablesStakeTest(indexes, n);
  ctx.Out << Format("Создано ставок: %d", {made}) << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup StakesCommands{
    "stakes",
    {
        {"list", "", "ставки: 9 столбцов таблицы ставок", StakesList},
        {"add", "--draw N --nums \"a;b;c;d;e;f[;g[;h]]\" --comment TEXT [--draws K]",
         "ставка вручную (на K тиражей с N), затем проверка ставок", StakesAdd},
        {"check", "", "проверить ставки по архиву тиражей", StakesCheck},
        {"delete", "--where \"OP VALUE\"", "удалить проверенные ставки по числу совпадений\n(OP: = > >= < <=)",
         StakesDelete},
        {"clear", "", "удалить все ставки и пересчитать рейтинг", StakesClear},
    }};

const TCommandGroup RatingsCommands{
    "ratings",
    {
        {"list", "[--mode 0|1|2]", "рейтинг: 20 столбцов и p (вероятность случайно угадать\nне меньше)", RatingsList},
        {"export", "FILE.csv", "записать рейтинг в CSV-файл", RatingsExportCommand},
        {"refresh", "", "пересчитать рейтинг по текущим ставкам", RatingsRefreshCommand},
    }};

const TCommandGroup TablesCommands{
    "tables",
    {
        {"list", "", "регулярные ставки", TablesList},
        {"add", "(--start \"a;b;c;d;e;f\" | --last-draw) [--step S] [--comment TEXT]", "добавить регулярную ставку",
         TablesAddCommand},
        {"stake", "NAME [--draws K]", "ставка по регуляру на следующий тираж", TablesStakeCommand},
        {"test", "--draws N NAME...", "тест регуляров на N прошлых тиражах", TablesTestCommand},
    }};

}  // namespace vexa::cli
