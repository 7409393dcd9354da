// vexa library: the online script library (LibraryUrl) and the working script.
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa::cli {
namespace {


// "Все, включая скрытые": every script the user may act on.
constexpr int EveryScriptIndex = 1;


std::string Option(TArgs& args, const std::string& name, bool& found) { return args.TakeOption(name, found); }

int32_t IdOf(const std::string& text) { return TArgs::ToInt(text, "ID"); }

void Refresh(TWorkspace& ws, int filterIndex) {
  if (!ws.ScriptLibraryRefresh(filterIndex)) throw EReported();
}

const TScriptInfo& RowOf(const TWorkspace& ws, int32_t id) {
  for (const TScriptInfo& info : ws.Library())
    if (info.Id == id) return info;
  throw EVexaError(Format("Сценарий #%d не найден в online-каталоге!", {id}));
}

void Refused(const TScriptDataCheck& check) {
  if (!check.Message.empty()) throw EVexaError(check.Message);
}

// --title, --descr, --author, --universal, --private over `data`.
void TakeData(TArgs& args, TScriptData& data, bool titleRequired) {
  bool found = false;
  const std::string title = Option(args, "--title", found);
  if (found) data.Title = title;
  else if (titleRequired) throw EUsageError("library publish --title TEXT --descr TEXT [--universal] [--private]");
  const std::string descr = Option(args, "--descr", found);
  if (found) data.Descr = descr;
  const std::string author = Option(args, "--author", found);
  if (found) data.Author = author;
  if (args.TakeFlag("--universal")) data.Universal = true;
  if (args.TakeFlag("--private")) data.Public = false;
  if (args.TakeFlag("--public")) data.Public = true;
}

int LibraryList(TContext& ctx, TArgs& args) {
  bool found = false;
  const std::string filter = Option(args, "--filter", found);
  if (!args.Positional().empty()) throw EUsageError("library list [--filter K]");
  auto ws = OpenWorkspace(ctx);
  int index = ws->ScriptLibraryFilterIndex();
  if (found) {
    index = TArgs::ToInt(filter, "--filter") + 1;
    if (index < 0 || index >= LibraryFilterCount) throw EUsageError("--filter: число от -1 до 6");
  }
  const bool ok = ws->ScriptLibraryRefresh(index);
  PrintCells(ctx.Out, "ID", LibraryColumnTitles());
  for (const TScriptInfo& info : ws->Library()) PrintCells(ctx.Out, std::to_string(info.Id), LibraryViewRow(info));
  return ok ? ExitOk : ExitFailed;
}

int LibraryDownload(TContext& ctx, TArgs& args) {
  bool toFile = false;
  const std::string file = Option(args, "-o", toFile);
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("library download ID [-o FILE]");
  auto ws = OpenWorkspace(ctx);
  Refresh(*ws, EveryScriptIndex);
  if (toFile) {
    ws->ScriptLibraryDownloadTo(IdOf(words[0]), file);
    ctx.Out << "Записан файл " << file << '\n';
  } else {
    ws->ScriptLibraryDownload(IdOf(words[0]));
    ctx.Out << "Строк в сценарии: " << ws->ScriptLines().size() << '\n';
  }
  return ExitOk;
}

int LibraryPublish(TContext& ctx, TArgs& args) {
  auto ws = OpenWorkspace(ctx);
  if (!ws->HasUserIdentity())
    throw EVexaError("Не задано имя пользователя и адрес электронной почты!", "vexa online identity NAME MAIL");
  TScriptData data = ws->ScriptLibraryNewData();
  TakeData(args, data, true);
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды library publish");
  const TScriptDataCheck check = ws->ScriptLibraryUpload(data);
  Refused(check);
  ctx.Out << "ID\n" << check.Id << '\n';
  return ExitOk;
}

int LibraryReplace(TContext& ctx, TArgs& args) {
  const std::string idText = args.TakeFirst();
  if (idText.empty()) throw EUsageError("library replace ID [--title TEXT] [--descr TEXT] [--universal] [--private]");
  auto ws = OpenWorkspace(ctx);
  Refresh(*ws, EveryScriptIndex);
  TScriptData data = ScriptDataOf(RowOf(*ws, IdOf(idText)));
  TakeData(args, data, false);
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды library replace");
  const TScriptDataCheck check = ws->ScriptLibraryReplace(data);
  Refused(check);
  ctx.Out << "ID\n" << check.Id << '\n';
  return ExitOk;
}

int LibraryDelete(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("library delete ID");
  TConfirmedUi ui(ctx.Ui);
  TContext confirmed{ctx.DataDir, ctx.Out, ctx.Err, ui};
  auto ws = OpenWorkspace(confirmed);
  Refresh(*ws, EveryScriptIndex);
  ws->ScriptLibraryDelete(IdOf(words[0]));
  ctx.Out << "Удалён сценарий #" << words[0] << '\n';
  return ExitOk;
}

int LibraryRate(TContext& ctx, TArgs& args) {
  bool found = false;
  const std::string notes = Option(args, "--notes", found);
  const auto words = args.Positional();
  if (words.size() != 2) throw EUsageError("library rate ID VALUE [--notes TEXT]");
  const int value = TArgs::ToInt(words[1], "VALUE");
  if (value < -1 || value > 5) throw EUsageError("VALUE: 1..5 оценка, 0 удалить оценку, -1 скрыть сценарий");
  auto ws = OpenWorkspace(ctx);
  ws->ScriptLibraryRate(IdOf(words[0]), value, notes);
  ctx.Out << "Оценка отправлена\n";
  return ExitOk;
}

int LibraryRates(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("library rates ID");
  auto ws = OpenWorkspace(ctx);
  const TScriptRates rates = ws->ScriptLibraryRates(IdOf(words[0]));
  const auto& titles = LibraryRateColumnTitles();
  for (size_t i = 0; i < titles.size(); ++i) ctx.Out << (i > 0 ? "\t" : "") << titles[i];
  ctx.Out << '\n';
  for (const TScriptRate& r : rates.Rows)
    ctx.Out << r.Name << '\t' << r.Rate << '\t' << r.Created << '\t' << r.Program << '\t' << r.Version << '\t'
            << r.Notes << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup LibraryCommands{
    "library",
    {
        {"list", "[--filter K]",
         "online-каталог сценариев (LibraryUrl); K: -1 скрытые, 0 все, 1 все кроме скрытых,\n"
         "2 только мои, 3 публичные, 4 с моими оценками, 5 без моих оценок, 6 новые",
         LibraryList},
        {"download", "ID [-o FILE]", "сценарий из каталога в рабочий сценарий (или в файл FILE)", LibraryDownload},
        {"publish", "--title TEXT --descr TEXT [--universal] [--private] [--author NAME]",
         "публикует рабочий сценарий", LibraryPublish},
        {"replace", "ID [--title TEXT] [--descr TEXT] [--universal] [--private]",
         "заменяет свой сценарий рабочим", LibraryReplace},
        {"delete", "ID", "удаляет свой сценарий из каталога", LibraryDelete},
        {"rate", "ID VALUE [--notes TEXT]", "оценка 1..5, 0 удалить оценку, -1 скрыть сценарий", LibraryRate},
        {"rates", "ID", "оценки пользователей", LibraryRates},
    }};

}  // namespace vexa::cli
