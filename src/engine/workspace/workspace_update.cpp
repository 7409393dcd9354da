// The window's self-update and the file name of its spreadsheet exports.
#include <ctime>

#include "core/error.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "core/format.h"
#include "core/game.h"
#include "workspace/workspace.h"

namespace vexa {

std::filesystem::path TWorkspace::ExportWorkbookFile(const TExportParams& params) const {
  const std::filesystem::path folder = DataDir_ / "Excel";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw EVexaError(ExportErrorText, Format("Ошибка создания папки \"%s\"!", {folder.string()}));
  std::string name = CleanSheetName(params.SheetName);
  if (name.empty()) name = "Export";
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, " %Y-%m-%d %H-%M-%S", &tm);
  std::filesystem::path file = folder / (name + stamp + ".xlsx");
  for (int n = 2; std::filesystem::exists(file, ec); ++n)
    file = folder / (name + stamp + " (" + std::to_string(n) + ").xlsx");
  return file;
}

std::string TWorkspace::UpdateConfigAddress() const {
  const TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
  const std::string configUrl = ini.ReadString(UpdateSettingsSection, "ConfigUrl", "");
  const std::string address(Trim(configUrl));
  if (!address.empty()) return address;
  const std::string mainSite = ini.ReadString("WEB", "MainSite", "");
  std::string site(Trim(mainSite));
  if (site.empty()) return {};
  while (!site.empty() && site.back() == '/') site.pop_back();
  return site + UpdateConfigPath;
}

int TWorkspace::CheckForUpdates(const std::filesystem::path& programFile, bool silent, int languageId,
                                const std::function<bool(const TUpdateOffer&)>& confirm) {
  TBusy busy(*this);
  const std::string address = UpdateConfigAddress();
  if (address.empty()) {
    if (silent) return UpdateNothing;
    Relay_.Message(TMessageKind::Error, "Ошибка поиска обновлений!",
                   "Адрес сервера обновлений не задан (раздел [Update], ключ ConfigUrl файла настроек)");
    return UpdateError;
  }
  TUpdateEnvironment env;
  env.ProgramFolder = programFile.parent_path();
  env.ProgramFileName = programFile.filename().string();
  env.RunningFile = programFile;
  env.RunningVersion = ProgramVersion();
  env.LanguageAbbreviation = "RUS";
  try {
    env.TrustedKeysPem = TrustedUpdateKeys(DataFile(SettingsFileExt));
  } catch (const std::exception& e) {
    if (!silent) Relay_.Message(TMessageKind::Error, "Ошибка поиска обновлений!", e.what());
    return UpdateError;
  }
  TUpdater updater(std::move(env), Relay_);
  return updater.CheckForUpdates(address, silent, languageId, confirm);
}

void TWorkspace::AutoSelfUpdate() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("AutoUpdates", !Window_.AutoUpdates, Window_.AutoUpdates);
}

}  // namespace vexa
