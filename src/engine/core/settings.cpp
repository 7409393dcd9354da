#include "core/settings.h"

#include <algorithm>
#include <cmath>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr const char* Global = "GLOBAL";
constexpr const char* Stakes = "STAKES";
constexpr const char* CdlSection = "CDL";
constexpr const char* Shredding = "SHREDDING";
constexpr const char* Proxy = "PROXY";

int32_t ReadIntInRange(const TIniFile& ini, std::string_view section, std::string_view key, int32_t def, int32_t lo,
                       int32_t hi) {
  const int32_t v = ini.ReadInteger(section, key, def);
  return (v < lo || v > hi) ? def : v;
}

int64_t ReadMoney(const TIniFile& ini, std::string_view section, std::string_view key) {
  int64_t money = 0;
  return TryFloatToMoney(ini.ReadFloat(section, key, 0), money) ? money : 0;
}

// The first max characters of a UTF-8 text; in cp1251 every character is one byte.
std::string Utf8Left(std::string_view text, size_t max) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == max) return std::string(text.substr(0, i));
      ++chars;
    }
  }
  return std::string(text);
}

std::string RowKey(int row, const char* field) { return Format("Profit_%d_%s", {row, field}); }

// Runs read over the loaded settings file; a load failure becomes the read message.
template <class F>
void ReadSettingsFile(const std::filesystem::path& file, F&& read) {
  try {
    const TIniFile ini(file, SettingsFileMode);
    read(ini);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigReadErrorFormat, {std::string(e.what())}));
  }
}

// Load, change, store: any failure becomes the write message and the old file stays.
template <class F>
void ModifySettingsFile(const std::filesystem::path& file, F&& write) {
  try {
    TIniFile ini(file, SettingsFileMode);
    write(ini);
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
}

template <class F>
void ModifyWindowSettings(const std::filesystem::path& file, F&& write) {
  try {
    TIniFile ini(file);
    write(ini);
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(WindowSettingsWriteErrorFormat, {std::string(e.what())}));
  }
}

}  // namespace

// ---- Values ---------------------------------------------------------------

TMatrixSegments MatrixSegmentsFromText(std::string_view text) {
  const std::string bytes = Utf8ToCp1251(text);
  TMatrixSegments segments = DefaultMatrixSegments();
  for (size_t i = 0; i < segments.size() && i < bytes.size(); ++i)
    if (bytes[i] >= '0' && bytes[i] <= '9') segments[i] = static_cast<uint8_t>(bytes[i] - '0');
  return segments;
}

std::string MatrixSegmentsToText(const TMatrixSegments& segments) {
  std::string text;
  for (uint8_t v : segments) text.push_back(v <= 9 ? static_cast<char>('0' + v) : '1');
  return text;
}

int64_t MoneyAdd(int64_t a, int64_t b) {
  int64_t r = 0;
  if (!__builtin_add_overflow(a, b, &r)) return r;
  return b > 0 ? INT64_MAX : INT64_MIN;
}

int64_t MoneyMul(int64_t a, int64_t b) {
  int64_t r = 0;
  if (!__builtin_mul_overflow(a, b, &r)) return r;
  return (a < 0) == (b < 0) ? INT64_MAX : INT64_MIN;
}

bool TryFloatToMoney(long double value, int64_t& money) {
  const long double units = std::round(value * 10000.0L);
  // 2^63 is exact in long double; anything at or beyond it does not fit.
  constexpr long double limit = 9223372036854775808.0L;
  if (!(units >= -limit && units < limit)) return false;
  money = static_cast<int64_t>(units);
  return true;
}

long double MoneyToFloat(int64_t money) { return static_cast<long double>(money) / 10000.0L; }

// ---- Settings file ----------------------------------------------------------

void ReadConfig(const TIniFile& ini, TConfigData& config) {
  const TConfigData d;
  TConfigData c;
  c.MatrixCols = ReadIntInRange(ini, Global, "MatrixCols", d.MatrixCols, 1, MaxNumber);
  c.ChannelSize = ReadIntInRange(ini, Global, "ChannelSize", d.ChannelSize, 3, MaxNumber);
  c.MatrixSegments = MatrixSegmentsFromText(ini.ReadString(Global, "MatrixSegments", ""));
  c.Cost = ReadMoney(ini, Stakes, "Cost");
  c.MaxStake = ini.ReadInteger(Stakes, "MaxStake", d.MaxStake);
  const int32_t rows = std::clamp(ini.ReadInteger(Stakes, "Profits", 0), 0, MaxProfitRows);
  for (int i = 0; i < rows; ++i) {
    TProfitRow row;
    row.Overlap = static_cast<uint8_t>(ReadIntInRange(ini, Stakes, RowKey(i, "Overlap"), 0, 0, 255));
    row.Profit = ReadMoney(ini, Stakes, RowKey(i, "Profit"));
    c.Profits.push_back(row);
  }
  c.Cdl.Count = ini.ReadFloat(CdlSection, "Count", d.Cdl.Count);
  c.Cdl.Deviation = ini.ReadFloat(CdlSection, "Deviation", d.Cdl.Deviation);
  c.Cdl.Level = ini.ReadFloat(CdlSection, "Level", d.Cdl.Level);
  c.Cdl.UsePercents = ini.ReadInteger(CdlSection, "UsePercents", 0) > 0;
  c.Cdl.UseAbsValues = ini.ReadInteger(CdlSection, "UseAbsValues", 0) > 0;
  config = std::move(c);
}

void ReadConfig(const std::filesystem::path& file, TConfigData& config) {
  ReadSettingsFile(file, [&](const TIniFile& ini) { ReadConfig(ini, config); });
}

void WriteConfig(TIniFile& ini, const TConfigData& config) {
  ini.WriteInteger(Global, "MatrixCols", config.MatrixCols);
  ini.WriteString(Global, "MatrixSegments", MatrixSegmentsToText(config.MatrixSegments));
  ini.WriteInteger(Global, "ChannelSize", config.ChannelSize);
  ini.WriteFloat(Stakes, "Cost", MoneyToFloat(config.Cost));
  ini.WriteInteger(Stakes, "MaxStake", config.MaxStake);
  ini.WriteInteger(Stakes, "Profits", static_cast<int32_t>(config.Profits.size()));
  ini.WriteFloat(CdlSection, "Count", config.Cdl.Count);
  ini.WriteFloat(CdlSection, "Deviation", config.Cdl.Deviation);
  ini.WriteFloat(CdlSection, "Level", config.Cdl.Level);
  ini.WriteBool(CdlSection, "UsePercents", config.Cdl.UsePercents);
  ini.WriteBool(CdlSection, "UseAbsValues", config.Cdl.UseAbsValues);
  for (size_t i = 0; i < config.Profits.size(); ++i) {
    const int row = static_cast<int>(i);
    ini.WriteInteger(Stakes, RowKey(row, "Overlap"), config.Profits[i].Overlap);
    ini.WriteFloat(Stakes, RowKey(row, "Profit"), MoneyToFloat(config.Profits[i].Profit));
  }
}

void WriteConfig(const std::filesystem::path& file, const TConfigData& config) {
  ModifySettingsFile(file, [&](TIniFile& ini) { WriteConfig(ini, config); });
}

void ReadShredding(const TIniFile& ini, TShredding& shredding) {
  const TShredding d;
  TShredding s;
  for (size_t i = 0; i < s.Formulas.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    s.Formulas[i] = ini.ReadString(Shredding, Format("Formula%d", {n}), d.Formulas[i]);
    s.Digits[i] = static_cast<uint8_t>(ReadIntInRange(ini, Shredding, Format("Formula%dDigits", {n}), d.Digits[i], 1, 5));
  }
  shredding = std::move(s);
}

void ReadShredding(const std::filesystem::path& file, TShredding& shredding) {
  ReadSettingsFile(file, [&](const TIniFile& ini) { ReadShredding(ini, shredding); });
}

void WriteShredding(TIniFile& ini, const TShredding& shredding) {
  for (size_t i = 0; i < shredding.Formulas.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    ini.WriteString(Shredding, Format("Formula%d", {n}), shredding.Formulas[i]);
    ini.WriteInteger(Shredding, Format("Formula%dDigits", {n}), shredding.Digits[i]);
  }
}

void WriteShredding(const std::filesystem::path& file, const TShredding& shredding) {
  ModifySettingsFile(file, [&](TIniFile& ini) { WriteShredding(ini, shredding); });
}

void ReadGenerateParams(const TIniFile& ini, TGenerateParams& params) {
  TGenerateParams p;
  p.Mode = static_cast<uint8_t>(ReadIntInRange(ini, Global, "CombsGenerateMode", 0, 0, 255));
  p.Parameters = Utf8Left(ini.ReadString(Global, "CombsGenerateParameters", ""), GenerateParametersMaxLen);
  params = std::move(p);
}

void ReadGenerateParams(const std::filesystem::path& file, TGenerateParams& params) {
  ReadSettingsFile(file, [&](const TIniFile& ini) { ReadGenerateParams(ini, params); });
}

void WriteGenerateParams(TIniFile& ini, const TGenerateParams& params) {
  ini.WriteInteger(Global, "CombsGenerateMode", params.Mode);
  ini.WriteString(Global, "CombsGenerateParameters", Utf8Left(params.Parameters, GenerateParametersMaxLen));
}

void WriteGenerateParams(const std::filesystem::path& file, const TGenerateParams& params) {
  ModifySettingsFile(file, [&](TIniFile& ini) { WriteGenerateParams(ini, params); });
}

void ReadProxy(const TIniFile& ini, TProxy& proxy) {
  const TProxy d;
  TProxy p;
  p.Server = ini.ReadString(Proxy, "ProxyServer", d.Server);
  p.Port = ini.ReadInteger(Proxy, "ProxyPort", d.Port);
  p.Username = ini.ReadString(Proxy, "ProxyUsername", d.Username);
  p.Password = ini.ReadString(Proxy, "ProxyPassword", d.Password);
  if (ini.ValueExists(Proxy, "ProxyMode")) {
    p.Mode = ReadIntInRange(ini, Proxy, "ProxyMode", ProxyModeNone, ProxyModeNone, ProxyModeManual);
  } else {
    // Files from before the mode existed: a given server meant "use it".
    p.Mode = p.Server.empty() ? ProxyModeNone : ProxyModeManual;
  }
  proxy = std::move(p);
}

void ReadProxy(const std::filesystem::path& file, TProxy& proxy) {
  ReadSettingsFile(file, [&](const TIniFile& ini) { ReadProxy(ini, proxy); });
}

void WriteProxy(TIniFile& ini, const TProxy& proxy) {
  ini.WriteInteger(Proxy, "ProxyMode", proxy.Mode);
  ini.WriteString(Proxy, "ProxyServer", proxy.Server);
  ini.WriteInteger(Proxy, "ProxyPort", proxy.Port);
  ini.WriteString(Proxy, "ProxyUsername", proxy.Username);
  ini.WriteString(Proxy, "ProxyPassword", proxy.Password);
}

void WriteProxy(const std::filesystem::path& file, const TProxy& proxy) {
  ModifySettingsFile(file, [&](TIniFile& ini) { WriteProxy(ini, proxy); });
}

// ---- Window settings file ---------------------------------------------------

TIniFile LoadWindowSettings(const std::filesystem::path& file) {
  try {
    return TIniFile(file);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(WindowSettingsReadErrorFormat, {std::string(e.what())}));
  }
}

void StoreWindowSettings(const TIniFile& ini) {
  try {
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(WindowSettingsWriteErrorFormat, {std::string(e.what())}));
  }
}

bool ReadWindowBool(const std::filesystem::path& file, std::string_view window, std::string_view key, bool def) {
  return LoadWindowSettings(file).ReadBool(window, key, def);
}

int32_t ReadWindowInt(const std::filesystem::path& file, std::string_view window, std::string_view key,
                      int32_t def) {
  return LoadWindowSettings(file).ReadInteger(window, key, def);
}

void WriteWindowBool(const std::filesystem::path& file, std::string_view window, std::string_view key, bool value) {
  ModifyWindowSettings(file, [&](TIniFile& ini) { ini.WriteBool(window, key, value); });
}

void WriteWindowInt(const std::filesystem::path& file, std::string_view window, std::string_view key,
                    int32_t value) {
  ModifyWindowSettings(file, [&](TIniFile& ini) { ini.WriteInteger(window, key, value); });
}

namespace {

std::string FourText(const std::array<int32_t, 4>& v) { return Format("%d,%d,%d,%d", {v[0], v[1], v[2], v[3]}); }

// "a,b,..." with exactly n integers.
template <size_t N>
std::optional<std::array<int32_t, N>> ParseInts(std::string_view text) {
  std::array<int32_t, N> v{};
  size_t start = 0;
  for (size_t i = 0; i < N; ++i) {
    const size_t comma = text.find(',', start);
    const bool last = i + 1 == N;
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    const std::string_view field = text.substr(start, last ? std::string_view::npos : comma - start);
    if (!TryStrToInt(field, v[i])) return std::nullopt;
    start = comma + 1;
  }
  return v;
}

std::string SizedKey(const char* key, const TScreenMetrics& screen) {
  return Format("%s_%dx%d", {key, screen.Width, screen.Height});
}

std::optional<std::array<int32_t, 4>> ReadFour(const TIniFile& ini, std::string_view window, const char* key,
                                               const TScreenMetrics& screen) {
  if (auto v = ParseInts<4>(ini.ReadString(window, SizedKey(key, screen), ""))) return v;
  return ParseInts<4>(ini.ReadString(window, key, ""));
}

std::string ColumnKey(std::string_view list, size_t column) {
  return Format("%s.Column%d", {list, static_cast<int>(column)});
}

std::string ListKey(std::string_view list, const char* what) { return Format("%s.%s", {list, what}); }

// The main window's keys, in the order they are written.
struct TIntKey {
  const char* Name;
  int32_t TMainWindowSettings::*Field;
  bool AtExit;
};

struct TBoolKey {
  const char* Name;
  bool TMainWindowSettings::*Field;
};

using M = TMainWindowSettings;

constexpr TIntKey MainIntKeys[] = {
    {"LeftPanelWidth", &M::LeftPanelWidth, true},
    {"DrawsExclude", &M::DrawsExclude, true},
    {"DrawsStatLen", &M::DrawsStatLen, true},
    {"DrawsStatHeight", &M::DrawsStatHeight, true},
    {"DrawsGraphLen", &M::DrawsGraphLen, true},
    {"FiltersHeight", &M::FiltersHeight, true},
    {"LayoutLen", &M::LayoutLen, true},
    {"LayoutCompareLen1", &M::LayoutCompareLen1, true},
    {"LayoutCompareLen2", &M::LayoutCompareLen2, true},
    {"LayoutCompareLen3", &M::LayoutCompareLen3, true},
    {"LayoutCompareLen4", &M::LayoutCompareLen4, true},
    {"LayoutCompareLen5", &M::LayoutCompareLen5, true},
    {"WeekLen", &M::WeekLen, true},
    {"WeekHeight", &M::WeekHeight, true},
    {"LayoutCompareHeight", &M::LayoutCompareHeight, true},
    {"ScriptLibraryHeight", &M::ScriptLibraryHeight, true},
    {"ScriptLibraryFilter", &M::ScriptLibraryFilter, true},
    {"WeekChartMode", &M::WeekChartMode, false},
    {"DownloadDrawsOnStart", &M::DownloadDrawsOnStart, false},
    {"RatingsEffMode", &M::RatingsEffMode, false},
    {"Language", &M::Language, false},
};

constexpr TBoolKey MainBoolKeys[] = {
    {"WeekChartType", &M::WeekChartType},
    {"AutoUpdates", &M::AutoUpdates},
    {"ScriptLogEnabled", &M::ScriptLogEnabled},
    {"StakesLogEnabled", &M::StakesLogEnabled},
    {"StakesScrollEnabled", &M::StakesScrollEnabled},
    {"StakesCheckOnLine", &M::StakesCheckOnLine},
    {"ColorDraws", &M::ColorDraws},
    {"ColorCombs", &M::ColorCombs},
    {"ColorCard", &M::ColorCard},
    {"ColorCardSequences", &M::ColorCardSequences},
    {"LayoutGradient", &M::LayoutGradient},
    {"SortedDraws", &M::SortedDraws},
    {"PrefetchsEnabled", &M::PrefetchsEnabled},
    {"PrefetchsInit", &M::PrefetchsInit},
    {"ShowTotalLine", &M::ShowTotalLine},
    {"ScriptLibraryOn", &M::ScriptLibraryOn},
    {"SystemsEnabled", &M::SystemsEnabled},
    {"TabGraphs", &M::TabGraphs},
    {"TabCard", &M::TabCard},
    {"TabLayout", &M::TabLayout},
    {"TabWeek", &M::TabWeek},
    {"TabTables", &M::TabTables},
    {"FirstRun", &M::FirstRun},
};

}  // namespace

TShowState ShowStateOf(int32_t showCmd) {
  switch (showCmd) {
    case 2:
    case 6:
    case 7:
      return TShowState::Minimised;
    case 3:
      return TShowState::Maximised;
    default:
      return TShowState::Normal;
  }
}

void SaveWindowPlacement(TIniFile& ini, std::string_view window, const TWindowPlacement& placement,
                         const TScreenMetrics& screen) {
  ini.WriteInteger(window, "Flags", placement.Flags);
  ini.WriteInteger(window, "ShowCmd", placement.ShowCmd);
  ini.WriteInteger(window, "PixelsPerInch", placement.PixelsPerInch);
  ini.WriteString(window, "MinMaxPos", FourText(placement.MinMaxPos));
  ini.WriteString(window, SizedKey("MinMaxPos", screen), FourText(placement.MinMaxPos));
  ini.WriteString(window, "NormPos", FourText(placement.NormPos));
  ini.WriteString(window, SizedKey("NormPos", screen), FourText(placement.NormPos));
}

TRestoredPlacement RestoreWindowPlacement(const TIniFile& ini, std::string_view window,
                                          const TScreenMetrics& screen) {
  TRestoredPlacement r;
  if (!ini.ValueExists(window, "ShowCmd")) return r;
  r.Found = true;
  r.Flags = ini.ReadInteger(window, "Flags", r.Flags);
  r.ShowCmd = ini.ReadInteger(window, "ShowCmd", r.ShowCmd);
  // Positions of another resolution would put the window in the wrong place.
  if (ini.ReadInteger(window, "PixelsPerInch", 0) != screen.PixelsPerInch) return r;
  r.MinMaxPos = ReadFour(ini, window, "MinMaxPos", screen);
  r.NormPos = ReadFour(ini, window, "NormPos", screen);
  return r;
}

void SaveListColumns(TIniFile& ini, std::string_view window, std::string_view list, const TListColumns& columns,
                     bool withFlags) {
  for (size_t i = 0; i < columns.Widths.size(); ++i) ini.WriteInteger(window, ColumnKey(list, i), columns.Widths[i]);
  if (columns.Sort)
    ini.WriteString(window, ListKey(list, "SortType"), Format("%d,%d", {(*columns.Sort)[0], (*columns.Sort)[1]}));
  if (withFlags) {
    ini.WriteBool(window, ListKey(list, "GridLines"), columns.GridLines);
    ini.WriteBool(window, ListKey(list, "MultiSelect"), columns.MultiSelect);
  }
}

void RestoreListColumns(const TIniFile& ini, std::string_view window, std::string_view list, TListColumns& columns,
                        bool withFlags) {
  for (size_t i = 0; i < columns.Widths.size(); ++i)
    columns.Widths[i] = ini.ReadInteger(window, ColumnKey(list, i), columns.Widths[i]);
  if (columns.Sort) {
    if (auto sort = ParseInts<2>(ini.ReadString(window, ListKey(list, "SortType"), ""))) columns.Sort = sort;
  }
  if (withFlags) {
    columns.GridLines = ini.ReadBool(window, ListKey(list, "GridLines"), columns.GridLines);
    columns.MultiSelect = ini.ReadBool(window, ListKey(list, "MultiSelect"), columns.MultiSelect);
  }
}

void ReadMainWindowSettings(const TIniFile& ini, TMainWindowSettings& settings) {
  const TMainWindowSettings d;
  TMainWindowSettings s;
  for (const TIntKey& k : MainIntKeys) s.*k.Field = ini.ReadInteger(MainWindowSection, k.Name, d.*k.Field);
  for (const TBoolKey& k : MainBoolKeys) s.*k.Field = ini.ReadBool(MainWindowSection, k.Name, d.*k.Field);
  settings = s;
}

TMainWindowSettings ReadMainWindowSettings(const std::filesystem::path& file) {
  TMainWindowSettings s;
  ReadMainWindowSettings(LoadWindowSettings(file), s);
  return s;
}

void WriteMainWindowExitSettings(TIniFile& ini, const TMainWindowSettings& settings) {
  for (const TIntKey& k : MainIntKeys)
    if (k.AtExit) ini.WriteInteger(MainWindowSection, k.Name, settings.*k.Field);
}

void ReadRepeatsWindowSettings(const TIniFile& ini, TRepeatsWindowSettings& settings) {
  const TRepeatsWindowSettings d;
  settings.GraphHeight = ini.ReadInteger(RepeatsWindowSection, "GraphHeight", d.GraphHeight);
  settings.DrawsLength = ini.ReadInteger(RepeatsWindowSection, "DrawsLength", d.DrawsLength);
  settings.DrawsDeep = ini.ReadInteger(RepeatsWindowSection, "DrawsDeep", d.DrawsDeep);
}

void WriteRepeatsWindowSettings(TIniFile& ini, const TRepeatsWindowSettings& settings) {
  ini.WriteInteger(RepeatsWindowSection, "GraphHeight", settings.GraphHeight);
  ini.WriteInteger(RepeatsWindowSection, "DrawsLength", settings.DrawsLength);
  ini.WriteInteger(RepeatsWindowSection, "DrawsDeep", settings.DrawsDeep);
}

}  // namespace vexa
