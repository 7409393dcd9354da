// vexa script: the working script of the data folder and script files.
#include <ostream>

#include "cli/cli.h"
#include "core/format.h"
#include "scripts/script_list.h"
#include "scripts/script_text.h"

namespace vexa::cli {
namespace {

template <typename Cells>
void PrintCells(std::ostream& out, const Cells& cells) {
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) out << '\t';
    out << cell;
    first = false;
  }
  out << '\n';
}

std::string OneWord(const TArgs& args, const char* usage) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError(usage);
  return words[0];
}

int ScriptShow(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() > 1) throw EUsageError("script show [FILE]");
  auto ws = OpenWorkspace(ctx);
  const std::vector<std::string> lines = words.empty() ? ws->ScriptLines() : ReadScriptFile(words[0]);
  PrintCells(ctx.Out, ScriptColumnCaptions);
  for (const std::string& line : lines) PrintCells(ctx.Out, ScriptRow(line, ws->Stats()));
  ctx.Err << ScriptCountText(static_cast<int>(lines.size())) << '\n';
  return ExitOk;
}

int ScriptAddCommand(TContext& ctx, TArgs& args) {
  const std::string line = OneWord(args, "script add LINE");
  auto ws = OpenWorkspace(ctx);
  const int index = ws->ScriptAdd(line);
  PrintCells(ctx.Out, ws->ScriptViewRow(index));
  return ExitOk;
}

int ScriptLoadCommand(TContext& ctx, TArgs& args) {
  const std::string file = OneWord(args, "script load FILE");
  auto ws = OpenWorkspace(ctx);
  const int added = ws->ScriptLoad(file);
  ctx.Out << Format("Добавлено строк: %d", {added}) << '\n';
  return ExitOk;
}

int ScriptOpenCommand(TContext& ctx, TArgs& args) {
  const std::string file = OneWord(args, "script open FILE");
  auto ws = OpenWorkspace(ctx);
  ws->ScriptOpen(file);
  ctx.Out << ScriptCountText(ws->Scripts().Count()) << '\n';
  return ExitOk;
}

int ScriptSaveCommand(TContext& ctx, TArgs& args) {
  const std::string file = OneWord(args, "script save FILE");
  auto ws = OpenWorkspace(ctx);
  ws->ScriptSave(file);
  ctx.Out << Format("Записано строк: %d", {ws->Scripts().Count()}) << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup ScriptCommands{
    "script",
    {
        {"show", "[FILE]", "строки сценария (или файла сценария): комментарий,\nопции, фильтры 1-7", ScriptShow},
        {"add", "LINE", "добавить строку в конец сценария", ScriptAddCommand},
        {"load", "FILE", "добавить файл сценария в конец (через разделитель)", ScriptLoadCommand},
        {"open", "FILE", "заменить сценарий файлом", ScriptOpenCommand},
        {"save", "FILE", "записать сценарий в файл", ScriptSaveCommand},
        {"run", "[--offset K] [--log] [--seed S]",
         "прогноз по сценарию (на смещении K); --log: журнал\nвыполнения; --seed: начало случайных выборов (RAND)",
         RunScriptRun},
        {"test", "--tests N [--log] [--seed S] [--no-speedups]",
         "тест сценария на смещениях N ... 1\n(--no-speedups: без ускорений, для сравнения результатов)\n"
         "(Ctrl+C останавливает выполнение)",
         RunScriptTest},
    }};

}  // namespace vexa::cli
