#include <algorithm>
#include <cctype>

#include <unistd.h>

#include "core/error.h"
#include "core/format.h"
#include "workspace/workspace.h"

namespace vexa {

namespace {

inline constexpr const char* SegmentCellErrorFormat = "Некорректное значение: %s!\r\rУкажите любое число от 1 до 9";

// Group bits of the full-set files that depend on a configuration field.
unsigned GroupBit(std::string_view id) {
  for (int g = 0; g < StatGroupCount; ++g)
    if (GroupId(g) == id) return 1u << g;
  return 0;
}

}  // namespace

void TWorkspace::ViewColorDraws() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ColorDraws", !Window_.ColorDraws, Window_.ColorDraws);
}

void TWorkspace::ViewColorCombs() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ColorCombs", !Window_.ColorCombs, Window_.ColorCombs);
}

void TWorkspace::AutoDownload(int mode) {
  TOperation op(*this, ChangeSettings);
  WriteWindowInt(DataFile(WindowSettingsFileExt), MainWindowSection, "DownloadDrawsOnStart", mode);
  Window_.DownloadDrawsOnStart = mode;
}

void TWorkspace::FirstRunDone() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("FirstRun", false, Window_.FirstRun);
}

std::string TWorkspace::CheckSegmentCell(std::string_view text, uint8_t& segment) {
  const std::string_view t = Trim(text);
  const bool digits = !t.empty() && t.size() <= 2 &&
                      std::all_of(t.begin(), t.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  const int value = digits ? StrToIntDef(t, 0) : 0;
  if (value < 1 || value > 9) {
    segment = 1;
    return Format(SegmentCellErrorFormat, {std::string(text)});
  }
  segment = static_cast<uint8_t>(value);
  return {};
}

void TWorkspace::EditConfig(const TConfigData& config) {
  if (config.MatrixCols < 1 || config.MatrixCols > MaxNumber)
    throw EVexaError("Некорректный размер матрицы: " + std::to_string(config.MatrixCols) + "!");
  if (config.ChannelSize < 3 || config.ChannelSize > MaxNumber)
    throw EVexaError("Некорректный размер канала: " + std::to_string(config.ChannelSize) + "!");
  if (config.Cost < 0) throw EVexaError("Некорректная стоимость ставки!");
  for (const TProfitRow& row : config.Profits)
    if (row.Profit < 0 || row.Overlap > MainCount) throw EVexaError("Некорректный размер выигрыша!");
  for (uint8_t s : config.MatrixSegments)
    if (s < 1 || s > 9) {
      uint8_t unused = 0;
      throw EVexaError(CheckSegmentCell(std::to_string(s), unused));  // the cell's own message
    }
  TOperation op(*this, ChangeSettings);
  const TConfigData previous = Stats_.Config;
  Stats_.Config = config;
  Stats_.SavedCdl = config.Cdl;
  SetStatus(ConfigSavingStatus);
  WriteConfig(DataFile(SettingsFileExt), config);
  unsigned groups = 0;
  if (previous.MatrixCols != config.MatrixCols) groups |= GroupBit("mtx");
  if (previous.ChannelSize != config.ChannelSize) groups |= GroupBit("grp");
  if (previous.MatrixSegments != config.MatrixSegments) groups |= GroupBit("sgm");
  if (groups != 0 && Window_.PrefetchsEnabled) RefreshFullSetFiles(false, groups);
}

TRestoredPlacement TWorkspace::WindowPlacement(const TScreenMetrics& screen) const {
  const TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  return RestoreWindowPlacement(frm, MainWindowSection, screen);
}

void TWorkspace::ReadListColumns(std::string_view list, TListColumns& columns) const {
  const TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  vexa::RestoreListColumns(frm, MainWindowSection, list, columns, false);
}

void TWorkspace::SaveWindowState(const TWindowExitState& state) {
  TOperation op(*this, 0);
  TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  SaveWindowPlacement(frm, MainWindowSection, state.Placement, state.Screen);
  Window_.LeftPanelWidth = state.LeftPanelWidth;
  Window_.FiltersHeight = state.FiltersHeight;
  WriteMainWindowExitSettings(frm, Window_);
  for (const auto& [name, columns] : state.Lists) {
    TListColumns stored = columns;
    // The ratings list keeps the ratings' sort order with its columns (read back by Open).
    if (name == "lvRatings") stored.Sort = std::array<int32_t, 2>{RatingsSortColumn_, RatingsSortDescending_ ? 1 : 0};
    SaveListColumns(frm, MainWindowSection, name, stored, false);
  }
  StoreWindowSettings(frm);
}

void TWorkspace::TabWeek() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("TabWeek", false, Window_.TabWeek);
}

TWorkspace::TWebPages TWorkspace::WebPages() const {
  const TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
  auto read = [&](const char* key) { return std::string(Trim(ini.ReadString("WEB", key, ""))); };
  TWebPages pages;
  pages.LotoSite = read("LotoSite");
  if (pages.LotoSite.empty()) pages.LotoSite = Http_.ResultsBaseUrl;
  pages.MainSite = read("MainSite");
  pages.Blog = read("Blog");
  pages.VideoBlog = read("VideoBlog");
  pages.Articles = read("Articles");
  pages.Vk = read("VK");
  pages.Ok = read("OK");
  pages.AuthorSite = read("AuthorSite");
  pages.Telegram = read("Telegram");
  return pages;
}

std::filesystem::path TWorkspace::ProgramDataDir(const std::string& option, const char* environment,
                                                 const std::filesystem::path& programFolder, const char* xdgDataHome,
                                                 const char* home) {
  if (!option.empty() || (environment != nullptr && *environment != '\0'))
    return ResolveDataDir(option, environment, programFolder);
  if (!programFolder.empty() && ::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  std::filesystem::path base;
  if (xdgDataHome != nullptr && *xdgDataHome == '/') {
    base = xdgDataHome;
  } else if (home != nullptr && *home != '\0') {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    throw EVexaError("Не удалось определить каталог данных программы!");
  }
  const std::filesystem::path dir = base / ProgramBaseName;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw EVexaError(Format("Ошибка создания каталога данных \"%s\"!", {dir.string()}), ec.message());
  return dir;
}

}  // namespace vexa
