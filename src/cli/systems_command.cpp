// vexa systems / online: the systems catalogue, the local systems, system
// play, and the user identity the online services see.
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa::cli {
namespace {



std::string Option(TArgs& args, const std::string& name, bool required, const char* usage) {
  bool found = false;
  std::string value = args.TakeOption(name, found);
  if (required && !found) throw EUsageError(usage);
  return value;
}

void NoMoreWords(const TArgs& args, const char* command) {
  if (!args.Positional().empty()) throw EUsageError(std::string("лишние параметры команды ") + command);
}

int32_t IdOf(const std::string& text) { return TArgs::ToInt(text, "ID"); }

// The catalogue list as the tab loads it; a failure has been printed.
void Refresh(TWorkspace& ws) {
  if (!ws.SystemsRefresh()) throw EReported();
}

void RequireIdentity(const TWorkspace& ws) {
  if (!ws.HasUserIdentity())
    throw EVexaError("Не задано имя пользователя и адрес электронной почты!",
                     "vexa online identity NAME MAIL");
}

int SystemsList(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "systems list");
  auto ws = OpenWorkspace(ctx);
  const bool ok = ws->SystemsRefresh();
  PrintCells(ctx.Out, "ID", SystemColumnTitles());
  for (const TSystemInfo& info : ws->Systems()) PrintCells(ctx.Out, std::to_string(info.Id), SystemViewRow(info));
  return ok ? ExitOk : ExitFailed;
}

int SystemsDownload(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.empty()) throw EUsageError("systems download ID...");
  std::vector<int32_t> ids;
  for (const std::string& w : words) ids.push_back(IdOf(w));
  auto ws = OpenWorkspace(ctx);
  Refresh(*ws);
  const int stored = ws->SystemsDownload(ids);
  ctx.Out << "ID\tФайл\n";
  for (int32_t id : ids)
    for (const TSystemInfo& info : ws->Systems())
      if (info.Id == id && info.Downloaded)
        ctx.Out << id << '\t' << SystemFilePath(ws->DataDir(), info).filename().string() << '\n';
  return stored == static_cast<int>(ids.size()) ? ExitOk : ExitFailed;
}

int SystemsShow(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("systems show ID");
  auto ws = OpenWorkspace(ctx);
  Refresh(*ws);
  const TSystemData data = ws->SystemData(IdOf(words[0]));
  const TSystemForm form = SystemFormOf(data);
  ctx.Out << "Поле\tЗначение\n";
  ctx.Out << "Наименование\t" << form.Title << '\n' << "Автор\t" << form.Author << '\n';
  ctx.Out << "Числа\t" << form.Nums << '\n' << "Длина\t6\n" << "Блок\t" << form.Olap << '\n';
  ctx.Out << "Комбинаций\t" << form.CSize << '\n' << "Создана\t" << form.Created << '\n';
  ctx.Out << "Загрузок\t" << form.Downloads << '\n' << "Последняя\t" << form.LastDownload << '\n';
  ctx.Out << "Ссылка\t" << form.Url << '\n' << "Своя\t" << (data.Own ? "да" : "нет") << '\n';
  std::vector<std::string> lines;
  SplitLines(data.Descr, lines);
  for (const std::string& line : lines) ctx.Out << "Описание\t" << line << '\n';
  SplitLines(data.Combs, lines);
  for (const std::string& line : lines) ctx.Out << "Комбинация\t" << line << '\n';
  return ExitOk;
}

int SystemsPublish(TContext& ctx, TArgs& args) {
  const char* usage = "systems publish FILE --title TEXT --descr TEXT --block T [--url U] [--nums N]";
  TSystemForm form;
  form.Title = Option(args, "--title", true, usage);
  form.Descr = Option(args, "--descr", true, usage);
  form.Olap = Option(args, "--block", true, usage);
  form.Url = Option(args, "--url", false, usage);
  const std::string nums = Option(args, "--nums", false, usage);
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError(usage);
  auto ws = OpenWorkspace(ctx);
  RequireIdentity(*ws);
  // The dialog's box: normalised as when leaving it, N from the values unless given.
  const TNormalisedCombs combs = NormaliseSystemCombs(ReadWholeFile(words[0], 16u << 20));
  form.Combs = combs.Text;
  form.Nums = nums.empty() ? std::to_string(combs.Nums) : nums;
  const TSystemData fresh = ws->SystemNew();
  form.Author = fresh.Author;
  TSystemData data;
  const TSystemFormCheck check = AcceptSystemForm(form, fresh, data);
  if (!check.Message.empty()) throw EVexaError(check.Message);
  const int row = ws->SystemsAdd(data);
  ctx.Out << "ID\n" << ws->Systems()[static_cast<size_t>(row)].Id << '\n';
  return ExitOk;
}

int SystemsDelete(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 1) throw EUsageError("systems delete ID");
  TConfirmedUi ui(ctx.Ui);
  TContext confirmed{ctx.DataDir, ctx.Out, ctx.Err, ui};
  auto ws = OpenWorkspace(confirmed);
  Refresh(*ws);
  if (!ws->SystemsDel(IdOf(words[0]))) throw EVexaError(SystemDelErrorMessage, "Сервер не подтвердил удаление");
  ctx.Out << "Удалена система #" << words[0] << '\n';
  return ExitOk;
}

int SystemsPlay(TContext& ctx, TArgs& args) {
  const char* usage = "systems play [--filter] [--combs FILE.lcv] [--draw N] [--draws K] [--comment TEXT]";
  const bool filter = args.TakeFlag("--filter");
  const std::string combsFile = Option(args, "--combs", false, usage);
  const std::string draw = Option(args, "--draw", false, usage);
  const std::string draws = Option(args, "--draws", false, usage);
  bool hasComment = false;
  const std::string comment = args.TakeOption("--comment", hasComment);
  NoMoreWords(args, "systems play");
  auto ws = OpenWorkspace(ctx, true);
  if (!combsFile.empty() && !ws->CombsOpen(combsFile)) throw EReported();
  const TWorkspace::TSystemPlayDraft draft = ws->SystemPlayPrepare(filter);
  if (!draft.Ok) throw EReported();  // the message has been printed
  TMultiStakeInput input = draft.Input;
  if (!draw.empty()) input.DrawNumber = TArgs::ToInt(draw, "--draw");
  if (!draws.empty()) input.DrawsCount = TArgs::ToInt(draws, "--draws");
  if (hasComment) input.Comment = comment;
  int added = 0;
  const TStakeInputCheck check = ws->SystemPlay(draft, input, &added);
  if (!check.Message.empty()) throw EVexaError(check.Message);
  ctx.Out << "Система\tЧисел\tСтавок\n"
          << draft.System.File.stem().string() << '\t' << draft.Numbers.size() << '\t' << added << '\n';
  return ExitOk;
}

int OnlineIdentity(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 0 && words.size() != 2) throw EUsageError("online identity [NAME MAIL]");
  auto ws = OpenWorkspace(ctx);
  if (words.size() == 2) ws->SetUserIdentity(words[0], words[1]);
  ctx.Out << "Ключ\tЗначение\n"
          << "UserName\t" << ws->Online().UserName << '\n'
          << "UserMail\t" << ws->Online().UserMail << '\n';
  return ExitOk;
}

int OnlineShow(TContext& ctx, TArgs& args) {
  NoMoreWords(args, "online show");
  auto ws = OpenWorkspace(ctx);
  ctx.Out << "Ключ\tЗначение\n"
          << "CatalogueUrl\t" << ws->Online().CatalogueUrl << '\n'
          << "LibraryUrl\t" << ws->Online().LibraryUrl << '\n'
          << "UserName\t" << ws->Online().UserName << '\n'
          << "UserMail\t" << ws->Online().UserMail << '\n';
  return ExitOk;
}

}  // namespace

const TCommandGroup SystemsCommands{
    "systems",
    {
        {"list", "", "каталог систем (CatalogueUrl): ID и колонки вкладки \"Системы\"", SystemsList},
        {"download", "ID...", "загружает системы в папку Systems (одна система на N чисел)", SystemsDownload},
        {"show", "ID", "свойства системы и её комбинации", SystemsShow},
        {"publish", "FILE --title TEXT --descr TEXT --block T [--url U] [--nums N]",
         "публикует свою систему из файла комбинаций (6 позиций в строке)", SystemsPublish},
        {"delete", "ID", "удаляет свою систему из каталога и её файл", SystemsDelete},
        {"play", "[--filter] [--combs FILE.lcv] [--draw N] [--draws K] [--comment TEXT]",
         "системная игра по списку комбинаций: ставки из загруженной системы\n"
         "(--filter: только комбинации, которые есть в списке)",
         SystemsPlay},
    }};

const TCommandGroup OnlineCommands{
    "online",
    {
        {"show", "", "адреса online-сервисов и пользователь (раздел Online)", OnlineShow},
        {"identity", "[NAME MAIL]", "имя и e-mail пользователя для online-сервисов", OnlineIdentity},
    }};

}  // namespace vexa::cli
