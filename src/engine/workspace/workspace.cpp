#include "workspace/workspace.h"

#include "acquire/draws_csv.h"
#include "combs/filter.h"
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
  Try(ConfigReadErrorFormat, [&] {
    ReadHttpSettings(DataFile(SettingsFileExt), Http_);
    Connection_.Client.Options.Tls = TlsOptionsOf(Http_, DataDir_);
    Connection_.ProxyListUrl = Http_.ProxyListUrl;
  });

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
  // Held until the workspace goes; a second copy in this folder stops here.
  if (!OpenStakes()) return Failures_;
  Try("Ошибка инициализации программы!\r\r%s", [&] { Archive_.LoadDraws(Relay_); });
  LoadStakesData();
  LoadScriptData();
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

// ---- Combinations ------------------------------------------------------------------

void TWorkspace::CombsInit() {
  TBusy busy(*this);
  Combs_.Reserve(static_cast<size_t>(Binomial(MaxNumber, MainCount)));
  Combs_.Generate(true, Stats_.Generate);
}

bool TWorkspace::CombsGen(const TGenerateParams& params, bool makeDefault) {
  TBusy busy(*this);
  if (makeDefault) {
    Stats_.Generate = params;
    // The list is made from these parameters even when they cannot be stored.
    try {
      WriteGenerateParams(DataFile(SettingsFileExt), params);
    } catch (const std::exception& e) {
      Ui_.Message(TMessageKind::Error, e.what());
    }
  }
  Combs_.SaveUndo(true);
  return Combs_.Generate(true, params);
}

bool TWorkspace::CombsOpen(const std::filesystem::path& file) {
  TBusy busy(*this);
  Combs_.SaveUndo(false);
  SetStatus(Format(CombsOpenStatus, {file.string()}));
  const bool ok = Combs_.ReadCombsFile(file);
  if (ok) {
    Combs_.ClearLog();
  } else {
    Combs_.RestoreUndo(false);
  }
  Combs_.DiscardUndo();
  return ok;
}

bool TWorkspace::CombsSave(const std::filesystem::path& file) {
  TBusy busy(*this);
  SetStatus(Format(CombsSaveStatus, {file.string()}));
  return Combs_.WriteCombsFile(file);
}

bool TWorkspace::CombsPaste(std::string_view text) {
  TBusy busy(*this);
  return Combs_.Paste(text);
}

void TWorkspace::CombsDelSelected(const std::vector<int>& rows) {
  if (Combs_.Count() == 0 || rows.empty()) return;
  TBusy busy(*this);
  Combs_.SaveUndo(true);
  Combs_.DelSelected(rows);
}

void TWorkspace::CombsDelExists(int n) {
  TBusy busy(*this);
  Combs_.SaveUndo(true);
  Combs_.RemoveDrawn(n, Archive_.Draws(), Archive_.DrawsOffset());
}

void TWorkspace::CombsUndo() {
  if (Combs_.UndoCount() == 0) return;
  TBusy busy(*this);
  Combs_.RestoreUndo(true);
  Combs_.RemoveLastLog();
}

std::vector<std::string> TWorkspace::CombsFindInDraws(const TComb& comb) {
  TBusy busy(*this);
  SetStatus(FindInDrawsStatus);
  std::vector<std::string> lines = FindCombInDraws(Archive_.Draws(), comb);
  Ui_.Message(TMessageKind::Information, FindInDrawsMessage(lines));
  return lines;
}

int TWorkspace::CombsCheckNums() {
  const int count = Combs_.DistinctNumbers();
  Ui_.Message(TMessageKind::Information, CheckNumsMessage(count));
  return count;
}

void TWorkspace::StatFilter(int methodIndex, const TStatDrawArray& rows, bool del) {
  TBusy busy(*this);
  if (methodIndex < 0 || methodIndex >= Stats_.Count())
    throw EVexaError(Format(NoMethodSelectedFormat, {StatKindListName}));
  Combs_.SaveUndo(true);
  if (rows.empty()) return;
  const std::unique_ptr<TCustomStat> stat = Stats_.CreateStat(methodIndex);
  std::string description;
  for (const TStatDraw& row : rows) AppendDescription(description, stat->ValueToText(row));
  ApplyFilter(Combs_, *stat, rows, del, Stats_.ListCaption(methodIndex, true), description,
              FilterLastIndex(Archive_.Count(), Archive_.DrawsOffset()), SortedDraws(), Relay_);
}

// ---- Full-set files ------------------------------------------------------------------

std::optional<TFullSet> TWorkspace::OpenFullSetFile(int methodIndex) {
  TBusy busy(*this);
  const TFullSetPlace place = FullSetPlace();
  const bool enabled = Window_.PrefetchsEnabled;
  if (enabled && Stats_.IsFullSetComputable(methodIndex) &&
      !FullSetFileExists(place.FileOf(Stats_.Items(methodIndex).Code()))) {
    TFullListScope full(Combs_);
    return vexa::OpenFullSetFile(Stats_, methodIndex, place, enabled, Relay_);
  }
  return vexa::OpenFullSetFile(Stats_, methodIndex, place, enabled, Relay_);
}

std::vector<TFullSetCreated> TWorkspace::RefreshFullSetFiles(bool force, unsigned groups) {
  TBusy busy(*this);
  const TFullSetPlace place = FullSetPlace();
  const bool enabled = Window_.PrefetchsEnabled;
  if (!force && !enabled) return {};
  bool counting = false;
  for (int i = 0; i < Stats_.Count() && !counting; ++i) {
    if (!Stats_.IsFullSetComputable(i)) continue;
    const int group = Stats_.Items(i).StatClass->Group;
    const bool recreate = group >= 0 && group < StatGroupCount && ((groups >> group) & 1u) != 0;
    counting = recreate || !FullSetFileExists(place.FileOf(Stats_.Items(i).Code()));
  }
  if (!counting) return vexa::RefreshFullSetFiles(Stats_, place, force, groups, enabled, Relay_);
  TFullListScope full(Combs_);
  return vexa::RefreshFullSetFiles(Stats_, place, force, groups, enabled, Relay_);
}

TDownloadResult TWorkspace::DrawsDownload(TDownloadOptions options) {
  if (options.BaseUrl.empty()) options.BaseUrl = Http_.ResultsBaseUrl;
  if (options.BaseUrl.empty())
    throw EVexaError("Не задан адрес сайта результатов тиражей (ключ ResultsBaseUrl раздела HTTP файла настроек)!");
  TBusy busy(*this);
  const std::string status = Status_;
  Connection_.ShowWait(DownloadWaitText);
  SetStatus(DownloadWaitText);
  TDrawsDownloader downloader(Archive_, Connection_, Relay_, std::move(options));
  struct TAfter {
    TWorkspace& Ws;
    std::string Status;
    ~TAfter() {
      Ws.CheckStakesAfterDownload();
      Ws.SetStatus(Status);
      Ws.Connection_.ShowWait("");
    }
  } after{*this, status};
  downloader.DownloadDraws();
  return downloader.Result();
}

bool TWorkspace::EditProxy(const TProxy& values) {
  TBusy busy(*this);
  return Connection_.EditProxy(values);
}

}  // namespace vexa
