// vexa update: the self-update of a portable copy from the command line.
// The configuration's address comes from --config, else from the settings
// file, key ConfigUrl of section [Update].
#include <unistd.h>

#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "update/update.h"

namespace vexa::cli {
namespace {

TUpdateEnvironment Environment(TContext& ctx) {
  TUpdateEnvironment env;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw EVexaError("Ошибка системы самообновления программы!", ec.message());
  env.ProgramFolder = self.parent_path();
  env.ProgramFileName = self.filename().string();
  env.RunningFile = self;
  env.RunningVersion = ProgramVersion();
  env.LanguageAbbreviation = "RUS";
  env.TrustedKeysPem = TrustedUpdateKeys(ctx.DataFile(SettingsFileExt));
  return env;
}

std::string ConfigAddress(TContext& ctx, TArgs& args) {
  bool found = false;
  std::string address = args.TakeOption("--config", found);
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды update");
  if (!found) {
    const TIniFile ini(ctx.DataFile(SettingsFileExt));
    address = ini.ReadString(UpdateSettingsSection, "ConfigUrl", "");
  }
  if (address.empty()) throw EUsageError("update: нужен --config URL (или [Update] ConfigUrl в настройках)");
  return address;
}

int Run(TContext& ctx, TArgs& args, bool install) {
  const std::string address = ConfigAddress(ctx, args);
  TUpdater updater(Environment(ctx), ctx.Ui);
  const int result = updater.CheckForUpdates(address, false, 1049, [&](const TUpdateOffer& offer) {
    ctx.Out << "Текущая версия программы:\t" << offer.CurrentVersion << '\n'
            << "Новая версия программы:\t" << offer.Description << '\n'
            << "Номер версии:\t" << offer.Info.VerId << '\n'
            << "Описание версии:\n";
    for (const std::string& line : offer.DescriptionLines) ctx.Out << line << '\n';
    return install;
  });
  if (result == UpdateInstalled) ctx.Out << "Обновление установлено; программа перезапускается командой restart\n";
  return result == UpdateError ? ExitFailed : ExitOk;
}

int Check(TContext& ctx, TArgs& args) { return Run(ctx, args, false); }
int Install(TContext& ctx, TArgs& args) { return Run(ctx, args, true); }

}  // namespace

const TCommandGroup UpdateCommands{
    "update",
    {
        {"check", "[--config URL]", "поиск обновлений: версия и описание найденного обновления", Check},
        {"install", "[--config URL]", "поиск и установка подписанного обновления в переносимую копию", Install},
    }};

}  // namespace vexa::cli
