#include "workspace/workspace.h"

#include <algorithm>

#include "acquire/demo_draws.h"
#include "acquire/draws_csv.h"
#include "combs/filter.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "stats/stat_info.h"
#include "stats/stat_rows.h"

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
    : DataDir_(std::move(dataDir)), Ui_(ui), Archive_(DataFile(DrawsFileExt)), Stats_(Archive_.Draws()) {
  // The wait window of the download: its text, and the proxy attempt under it.
  Connection_.OnWaitText = [this](const std::string& text) {
    if (text.empty()) return;
    const size_t sep = text.find("\r\r");
    TProgress p;
    p.Text = text.substr(0, sep);
    if (sep != std::string::npos) p.Detail = text.substr(sep + 2);
    Relay_.Progress(p);
  };
}

std::filesystem::path TWorkspace::DataFile(const std::string& ext) const {
  return DataDir_ / (std::string(ProgramBaseName) + ext);
}

void TWorkspace::SetStatus(const std::string& text) { Relay_.SetStatus(text); }

void TWorkspace::TRelay::Progress(const TProgress& progress) {
  Ws_.Status_ = progress.Text;
  Ws_.Ui_.Progress(progress);
}

// ---- Busy counter, operations, changes ------------------------------------------

TWorkspace::TBusy::TBusy(TWorkspace& ws) : Ws_(ws) {
  if (Ws_.Busy_.fetch_add(1) == 0) Ws_.Ui_.Changed(ChangeBusy);
}

TWorkspace::TBusy::~TBusy() {
  if (Ws_.Busy_.fetch_sub(1) == 1) {
    Ws_.SetStatus("");
    Ws_.Ui_.Changed(ChangeBusy);
  }
}

void TWorkspace::RequireIdle() const {
  std::lock_guard lock(OperationMutex_);
  if (OperationDepth_.load() > 0 && OperationThread_ != std::this_thread::get_id()) throw EBusyError();
}

TWorkspace::TOperation::TClaim::TClaim(TWorkspace& ws, TChanges changes) : Ws_(ws) {
  std::lock_guard lock(Ws_.OperationMutex_);
  if (Ws_.OperationDepth_.load() > 0 && Ws_.OperationThread_ != std::this_thread::get_id()) throw EBusyError();
  if (Ws_.OperationDepth_.load() == 0) Ws_.OperationThread_ = std::this_thread::get_id();
  Ws_.OperationDepth_.fetch_add(1);
  Ws_.PendingChanges_ |= changes;
}

TWorkspace::TOperation::TClaim::~TClaim() {
  TChanges changes = 0;
  {
    std::lock_guard lock(Ws_.OperationMutex_);
    if (Ws_.OperationDepth_.fetch_sub(1) == 1) {
      changes = Ws_.PendingChanges_;
      Ws_.PendingChanges_ = 0;
      Ws_.OperationThread_ = {};
    }
  }
  if (changes != 0) Ws_.Ui_.Changed(changes);
}

void TWorkspace::SetRunOverrides(const TRunOverrides& overrides) {
  TOperation op(*this, ChangeSettings);
  Overrides_ = overrides;
  if (overrides.ScriptSeed) ScriptRandom_.seed(*overrides.ScriptSeed);
}

TMainWindowSettings TWorkspace::RunSettings() const {
  TMainWindowSettings s = Window_;
  s.SortedDraws = SortedDraws();
  if (Overrides_.ScriptLogEnabled) s.ScriptLogEnabled = *Overrides_.ScriptLogEnabled;
  return s;
}

void TWorkspace::WriteWindowFlag(const char* key, bool value, bool& field) {
  WriteWindowBool(DataFile(WindowSettingsFileExt), MainWindowSection, key, value);
  field = value;
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
  TOperation op(*this, ChangeArchive | ChangeOffset | ChangeCombs | ChangeStakes | ChangeRatings | ChangeTables | ChangeScript | ChangeSettings);

  // Window settings; a failure leaves the defaults.
  Try(WindowSettingsReadErrorFormat, [&] {
    TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
    ReadMainWindowSettings(frm, Window_);
    // The ratings view's sort order, kept with the window's list settings.
    TListColumns columns;
    columns.Sort = std::array<int32_t, 2>{RatingDefaultSortColumn, 1};
    RestoreListColumns(frm, MainWindowSection, "lvRatings", columns, false);
    RatingsSortColumn_ = (*columns.Sort)[0];
    RatingsSortDescending_ = (*columns.Sort)[1] != 0;
    if (!Window_.PrefetchsInit) {
      Window_.PrefetchsInit = true;
      frm.WriteBool(MainWindowSection, "PrefetchsInit", true);
      frm.WriteBool(MainWindowSection, "PrefetchsEnabled", Window_.PrefetchsEnabled);
      StoreWindowSettings(frm);
    }
  });

  // Configuration; a failure leaves the defaults.
  SetStatus(ConfigLoadingStatus);
  // The file is read once: a failure to read it is reported once.
  Try(ConfigReadErrorFormat, [&] {
    const TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
    TConfigData config;
    TShredding shredding;
    TGenerateParams generate;
    TProxy proxy;
    THttpSettings http;
    TOnlineSettings online;
    ReadConfig(ini, config);
    ReadShredding(ini, shredding);
    ReadGenerateParams(ini, generate);
    ReadProxy(ini, proxy);
    ReadHttpSettings(ini, http);
    ReadOnlineSettings(ini, online);
    Stats_.Config = config;
    Stats_.SavedCdl = config.Cdl;
    Stats_.Shredding = shredding;
    Stats_.Generate = generate;
    Proxy_ = proxy;
    Http_ = http;
    Online_ = online;
  });
  Try(ConfigReadErrorFormat, [&] {
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
  // With the folder ours, what killed copies left of their writes can go.
  RemoveStaleTemporaries(DataDir_, ProgramBaseName);
  Try("Ошибка инициализации программы!\r\r%s", [&] { Archive_.LoadDraws(Relay_); });
  LoadStakesData();
  LoadScriptData();
  return Failures_;
}

void TWorkspace::SetDrawsOffset(int offset) {
  TOperation op(*this, ChangeOffset);
  const int count = Archive_.Count();
  if (offset < 0 || (offset > 0 && offset >= count))
    throw EVexaError(Format("Смещение %d вне архива (0 … %d)!", {offset, std::max(count - 1, 0)}));
  Archive_.SetDrawsOffset(offset);
}

void TWorkspace::DrawsSorted() {
  TOperation op(*this, ChangeOffset | ChangeSettings);
  WriteWindowFlag("SortedDraws", !Window_.SortedDraws, Window_.SortedDraws);
}

void TWorkspace::DrawsDemo(int count, uint64_t seed, bool force) {
  TOperation op(*this, ChangeArchive | ChangeOffset);
  if (count < 1) throw EVexaError("Количество тиражей должно быть не меньше 1!");
  if (!Archive_.Empty() && !force)
    throw EVexaError(Format("Архив тиражей уже содержит %d тиражей: пример архива его не заменит!", {Archive_.Count()}));
  TDrawsArray previous = Archive_.Draws();
  Archive_.SetDraws(GenerateDemoDraws(count, seed));
  try {
    Archive_.SaveDraws(Relay_);
  } catch (...) {
    // Memory and file must not disagree.
    Archive_.SetDraws(std::move(previous));
    throw;
  }
  Archive_.SetDrawsOffset(0);
}

void TWorkspace::DrawsAdd(const TDraw& draw) {
  TOperation op(*this, ChangeArchive | ChangeOffset);
  vexa::DrawsAdd(Archive_, draw, Relay_);
}

void TWorkspace::DrawsEdit(int row, const TDraw& draw) {
  TOperation op(*this, ChangeArchive | ChangeOffset);
  vexa::DrawsEdit(Archive_, row, draw, Relay_);
}

void TWorkspace::DrawsDel(const std::vector<int>& numbers) {
  TOperation op(*this, ChangeArchive | ChangeOffset);
  vexa::DrawsDel(Archive_, numbers, Relay_);
}

int TWorkspace::DrawsImport(const std::filesystem::path& file) {
  TOperation op(*this, ChangeArchive | ChangeOffset);
  return vexa::DrawsImport(Archive_, file, Relay_);
}

int TWorkspace::DrawsExport(const std::filesystem::path& file) {
  TOperation op(*this, 0);
  return vexa::DrawsExport(Archive_, file, Relay_);
}

// ---- Combinations ------------------------------------------------------------------

void TWorkspace::CombsInit() {
  TOperation op(*this, ChangeCombs);
  Combs_.Reserve(static_cast<size_t>(Binomial(MaxNumber, MainCount)));
  Combs_.Generate(true, Stats_.Generate);
}

bool TWorkspace::CombsGen(const TGenerateParams& params, bool makeDefault) {
  TOperation op(*this, ChangeCombs);
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
  TOperation op(*this, ChangeCombs);
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
  TOperation op(*this, 0);
  SetStatus(Format(CombsSaveStatus, {file.string()}));
  return Combs_.WriteCombsFile(file);
}

bool TWorkspace::CombsPaste(std::string_view text) {
  TOperation op(*this, ChangeCombs);
  return Combs_.Paste(text);
}

void TWorkspace::CombsDelSelected(const std::vector<int>& rows) {
  if (Combs_.Count() == 0 || rows.empty()) return;
  TOperation op(*this, ChangeCombs);
  Combs_.SaveUndo(true);
  Combs_.DelSelected(rows);
}

void TWorkspace::CombsDelExists(int n) {
  TOperation op(*this, ChangeCombs);
  Combs_.SaveUndo(true);
  Combs_.RemoveDrawn(n, Archive_.Draws(), Archive_.DrawsOffset());
}

void TWorkspace::CombsUndo() {
  if (Combs_.UndoCount() == 0) return;
  TOperation op(*this, ChangeCombs);
  Combs_.RestoreUndo(true);
  Combs_.RemoveLastLog();
}

std::vector<std::string> TWorkspace::CombsFindInDraws(const TComb& comb) {
  TOperation op(*this, 0);
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
  TOperation op(*this, ChangeCombs);
  if (methodIndex < 0 || methodIndex >= Stats_.Count())
    throw EVexaError(Format(NoMethodSelectedFormat, {StatKindListName}));
  Combs_.SaveUndo(true);
  if (rows.empty()) return;
  const std::unique_ptr<TCustomStat> stat = Stats_.CreateStat(methodIndex);
  std::string description;
  for (const TStatDraw& row : rows) AppendDescription(description, stat->ValueToText(row));
  try {
    ApplyFilter(Combs_, *stat, rows, del, Stats_.ListCaption(methodIndex, true), description,
                FilterLastIndex(Archive_.Count(), Archive_.DrawsOffset()), SortedDraws(), Relay_);
  } catch (const EStopped&) {
    // The list as it was; the undo copy holds the same list now.
    Combs_.RestoreUndo(false);
    throw;
  }
}

// ---- Full-set files ------------------------------------------------------------------

std::optional<TFullSet> TWorkspace::OpenFullSetFile(int methodIndex) {
  TOperation op(*this, ChangeCombs);
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
  TOperation op(*this, ChangeCombs);
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
  TOperation op(*this, ChangeArchive | ChangeOffset | ChangeStakes | ChangeRatings);
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
  TOperation op(*this, ChangeSettings);
  return Connection_.EditProxy(values);
}

}  // namespace vexa
