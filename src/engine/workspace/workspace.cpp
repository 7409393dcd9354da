#include "workspace/workspace.h"

#include "acquire/draws_csv.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {

std::filesystem::path ResolveDataDir(const std::string& option, const char* environment,
                                     const std::filesystem::path& programFolder) {
  if (!option.empty()) return option;
  if (environment != nullptr && *environment != '\0') return environment;
  return programFolder;
}

TMatchTable ComputeMatchTable() {
  TMatchTable table{};
  for (int k = 0; k <= MainCount; ++k) {
    table[static_cast<size_t>(k)].Count = CountWithMatches(k);
    table[static_cast<size_t>(k)].Probability =
        static_cast<long double>(table[static_cast<size_t>(k)].Count) / AllCombsCount;
  }
  return table;
}

TWorkspace::TWorkspace(std::filesystem::path dataDir, TUserInterface& ui)
    : DataDir_(std::move(dataDir)), Ui_(ui), Archive_(DataFile(DrawsFileExt)), Stats_(Archive_.Draws()) {}

std::filesystem::path TWorkspace::DataFile(const std::string& ext) const {
  return DataDir_ / (std::string(ProgramBaseName) + ext);
}

void TWorkspace::SetStatus(const std::string& text) { Relay_.SetStatus(text); }

void TWorkspace::TRelay::SetStatus(std::string_view text) {
  Ws_.Status_ = text;
  Ws_.Ui_.SetStatus(text);
}

template <typename Step>
void TWorkspace::Try(const char* format, Step step) {
  try {
    step();
  } catch (const std::exception& e) {
    ++Failures_;
    // The engine's messages already name what failed; others get the step's message.
    const auto* own = dynamic_cast<const EVexaError*>(&e);
    const std::string text = e.what();
    const bool named = own != nullptr && text.find("!\r\r") != std::string::npos;
    Ui_.Message(TMessageKind::Error, named ? text : Format(format, {text}));
  }
}

int TWorkspace::Open(const TStartSwitches& switches) {
  Switches_ = switches;
  Failures_ = 0;
  TBusy busy(*this);

  // Window settings; a failure leaves the defaults.
  Try(WindowSettingsReadErrorFormat, [&] {
    TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
    ReadMainWindowSettings(frm, Window_);
    if (!Window_.PrefetchsInit) {
      Window_.PrefetchsInit = true;
      frm.WriteBool(MainWindowSection, "PrefetchsInit", true);
      frm.WriteBool(MainWindowSection, "PrefetchsEnabled", Window_.PrefetchsEnabled);
      StoreWindowSettings(frm);
    }
  });

  // Configuration; a failure leaves the defaults.
  SetStatus(ConfigLoadingStatus);
  Try(ConfigReadErrorFormat, [&] {
    const TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
    TConfigData config;
    TShredding shredding;
    TGenerateParams generate;
    ReadConfig(ini, config);
    ReadShredding(ini, shredding);
    ReadGenerateParams(ini, generate);
    Stats_.Config = config;
    Stats_.SavedCdl = config.Cdl;
    Stats_.Shredding = shredding;
    Stats_.Generate = generate;
  });
  Try(ConfigReadErrorFormat, [&] { ReadProxy(DataFile(SettingsFileExt), Proxy_); });

  // The statistics registry reads the archive array directly.
  Try("Ошибка запуска программы!\r\r%s", [&] {
    Stats_.SetDraws(Archive_.Draws());
    Stats_.RegisterAll();
    if (!Stats_.LoadFavourites(DataFile(FavouritesFileExt), true, Relay_)) ++Failures_;
  });

  // The initial run.
  SetStatus("Инициализация...");
  Try("Ошибка инициализации программы!\r\r%s", [&] {
    MatchTable_ = ComputeMatchTable();
    Archive_.SetDrawsOffset(0);
  });
  Try("Ошибка инициализации программы!\r\r%s", [&] { Archive_.LoadDraws(Relay_); });
  return Failures_;
}

void TWorkspace::DrawsSorted() {
  TBusy busy(*this);
  const bool value = !Window_.SortedDraws;
  WriteWindowBool(DataFile(WindowSettingsFileExt), MainWindowSection, "SortedDraws", value);
  Window_.SortedDraws = value;
}

void TWorkspace::DrawsAdd(const TDraw& draw) {
  TBusy busy(*this);
  vexa::DrawsAdd(Archive_, draw, Relay_);
}

void TWorkspace::DrawsEdit(int row, const TDraw& draw) {
  TBusy busy(*this);
  vexa::DrawsEdit(Archive_, row, draw, Relay_);
}

void TWorkspace::DrawsDel(const std::vector<int>& numbers) {
  TBusy busy(*this);
  vexa::DrawsDel(Archive_, numbers, Relay_);
}

int TWorkspace::DrawsImport(const std::filesystem::path& file) {
  TBusy busy(*this);
  return vexa::DrawsImport(Archive_, file, Relay_);
}

int TWorkspace::DrawsExport(const std::filesystem::path& file) {
  TBusy busy(*this);
  return vexa::DrawsExport(Archive_, file, Relay_);
}

}  // namespace vexa
