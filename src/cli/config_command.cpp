#include <ostream>
#include <set>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/list_compare.h"
#include "core/settings.h"

namespace vexa::cli {
namespace {

int Show(TContext& ctx, TArgs& args) {
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды config show");
  auto ws = OpenWorkspace(ctx);
  ctx.Out << "Раздел\tКлюч\tЗначение\n";
  for (const TConfigRow& row : ws->ConfigRows()) ctx.Out << row[0] << '\t' << row[1] << '\t' << row[2] << '\n';
  return ExitOk;
}

// Held like every other command: refused while another copy works in the folder.
int Set(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 3) throw EUsageError("config set: нужны SECTION KEY VALUE");
  auto ws = OpenWorkspace(ctx);
  ws->ConfigSet(words[0], words[1], words[2]);
  ctx.Out << words[0] << '\t' << words[1] << '\t' << words[2] << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup ConfigCommands{
    "config",
    {
        {"show", "", "все ключи файла настроек с действующими значениями", Show},
        {"set", "SECTION KEY VALUE", "записать один ключ файла настроек", Set},
    }};

}  // namespace vexa::cli
