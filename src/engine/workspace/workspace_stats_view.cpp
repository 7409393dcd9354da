// The statistics tab's rules: its method list, the total line option, the
// favourites manager, the shredding formulas and the method help pages.
#include <algorithm>

#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/list_compare.h"
#include "stats/formula.h"
#include "stats/shredding_stats.h"
#include "workspace/workspace.h"

namespace vexa {

std::vector<int> TWorkspace::StatMethodList() const {
  std::vector<int> list;
  for (int i = 0; i < Stats_.Count(); ++i)
    if (Stats_.IsAvailable(i) && Stats_.IsFavourite(i)) list.push_back(i);
  if (Stats_.Ordered) {
    std::vector<std::string> captions(static_cast<size_t>(Stats_.Count()));
    for (int i : list) captions[static_cast<size_t>(i)] = Stats_.ListCaption(i, true);
    std::stable_sort(list.begin(), list.end(), [&](int a, int b) {
      return CompareTextNoCase(captions[static_cast<size_t>(a)], captions[static_cast<size_t>(b)]) < 0;
    });
  }
  return list;
}

void TWorkspace::DrawsStatShowTotalLine() {
  if (!Window_.PrefetchsEnabled)
    throw EVexaError("График идеального распределения строится только при сравнении с полным набором комбинаций!");
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ShowTotalLine", !Window_.ShowTotalLine, Window_.ShowTotalLine);
}

std::vector<TWorkspace::TFavouriteGroup> TWorkspace::FavouriteTree() const {
  std::vector<TFavouriteGroup> groups;
  for (int i = 0; i < Stats_.Count(); ++i) {
    if (!Stats_.IsAvailable(i)) continue;
    const std::string heading = GroupHeading(Stats_.Items(i).StatClass->Group);
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const TFavouriteGroup& x) { return CompareTextNoCase(x.Heading, heading) == 0; });
    if (g == groups.end()) g = groups.insert(groups.end(), TFavouriteGroup{heading, {}});
    g->Methods.push_back(i);
  }
  return groups;
}

namespace {

void ApplyNames(TStatList& stats, const std::vector<std::pair<int, std::string>>& names) {
  for (const auto& [i, text] : names) {
    if (i < 0 || i >= stats.Count()) continue;
    TStatMethod& m = stats.Items(i);
    m.CustomName = CompareTextNoCase(text, m.DefaultName()) == 0 ? std::string() : text;
  }
}

}  // namespace

void TWorkspace::RebuildStatLists() {
  // Registration again: the settings change the parameter ranges and captions.
  std::vector<std::pair<std::string, TStatMethod>> kept;
  for (int i = 0; i < Stats_.Count(); ++i) kept.emplace_back(Stats_.Items(i).Code(), Stats_.Items(i));
  // Registration resets the options too.
  const bool all = Stats_.AllFavourite, ordered = Stats_.Ordered, group = Stats_.ShowGroupName,
             flags = Stats_.ShowMethodFlags;
  Stats_.RegisterAll();
  Stats_.MarkAllFavourite();
  Stats_.AllFavourite = all;
  Stats_.Ordered = ordered;
  Stats_.ShowGroupName = group;
  Stats_.ShowMethodFlags = flags;
  for (const auto& [code, m] : kept) {
    const int i = Stats_.IndexOfCode(code);
    if (i < 0) continue;
    Stats_.Items(i).Favourite = m.Favourite;
    Stats_.Items(i).CustomName = m.CustomName;
  }
}

void TWorkspace::FavouritesApply(const TFavouritesEdit& edit) {
  TOperation op(*this, ChangeSettings);
  SetStatus("Подождите пожалуйста...");
  ApplyNames(Stats_, edit.Names);
  std::vector<bool> checked(static_cast<size_t>(Stats_.Count()), false);
  for (int i : edit.Checked)
    if (i >= 0 && i < Stats_.Count()) checked[static_cast<size_t>(i)] = true;
  bool allShown = true;
  for (int i = 0; i < Stats_.Count(); ++i)
    if (Stats_.IsAvailable(i) && !checked[static_cast<size_t>(i)]) allShown = false;
  // Methods the tree does not show follow "all checked", so that checking everything stays "all".
  for (int i = 0; i < Stats_.Count(); ++i)
    Stats_.Items(i).Favourite = Stats_.IsAvailable(i) ? checked[static_cast<size_t>(i)] : allShown;
  Stats_.NormaliseFavourites();
  Stats_.Ordered = edit.Ordered;
  Stats_.ShowGroupName = edit.ShowGroupName;
  Stats_.ShowMethodFlags = edit.ShowMethodFlags;
  Stats_.SaveFavourites(DataFile(FavouritesFileExt), true, false, Relay_);
  RebuildStatLists();
}

void TWorkspace::FiltersReset() {
  TOperation op(*this, ChangeSettings);
  SetStatus("Подождите пожалуйста...");
  Stats_.MarkAllFavourite();
  Stats_.SaveFavourites(DataFile(FavouritesFileExt), true, false, Relay_);
  RebuildStatLists();
}

bool TWorkspace::FavouritesNamesImport(const std::filesystem::path& file) {
  TOperation op(*this, ChangeSettings);
  return Stats_.LoadFavourites(file, false, Relay_);
}

bool TWorkspace::FavouritesNamesExport(const std::filesystem::path& file,
                                       const std::vector<std::pair<int, std::string>>& names) {
  TOperation op(*this, 0);
  std::vector<std::string> before;
  for (int i = 0; i < Stats_.Count(); ++i) before.push_back(Stats_.Items(i).CustomName);
  ApplyNames(Stats_, names);
  const bool ok = Stats_.SaveFavourites(file, false, true, Relay_);
  // The names in memory are those of the favourites file again.
  for (int i = 0; i < Stats_.Count(); ++i) Stats_.Items(i).CustomName = before[static_cast<size_t>(i)];
  const std::filesystem::path own = DataFile(FavouritesFileExt);
  std::error_code ec;
  if (std::filesystem::exists(own, ec)) Stats_.LoadFavourites(own, false, Relay_);
  return ok;
}

std::string TWorkspace::CheckShreddingFormula(int number, std::string_view formula) {
  const std::string text(Trim(formula));
  const std::string head = Format("Формула %d: ", {number});
  if (text.empty()) return head + "не указана формула!";
  // A sample draw after another: the errors that depend on the numbers are the draw's, not the text's.
  TComb n{1, 2, 3, 4, 5, 6}, p{7, 8, 9, 10, 11, 12}, t{13, 14, 15, 16, 17, 18};
  const TFormula f(text);
  const TFormulaResult r = f.Evaluate(FormulaVars(n, p, t));
  if (r.Error == TFormulaError::Syntax || r.Error == TFormulaError::MissingParen)
    return head + FormulaErrorText(r.Error) + " (\"" + text + "\")";
  return {};
}

void TWorkspace::EditShredding(const TShredding& shredding) {
  for (int k = 0; k < 3; ++k) {
    const std::string message = CheckShreddingFormula(k + 1, shredding.Formulas[static_cast<size_t>(k)]);
    if (!message.empty()) throw EVexaError(message);
    const int digits = shredding.Digits[static_cast<size_t>(k)];
    if (digits < ShreddingMinDigits || digits > ShreddingMaxDigits)
      throw EVexaError(Format("Формула %d: количество знаков после запятой от %d до %d!",
                              {k + 1, ShreddingMinDigits, ShreddingMaxDigits}));
  }
  TOperation op(*this, ChangeSettings);
  TShredding trimmed = shredding;
  for (std::string& f : trimmed.Formulas) f = std::string(Trim(f));
  SetStatus("Сохранение файла конфигурации...");
  try {
    TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
    WriteShredding(ini, trimmed);
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
  Stats_.Shredding = trimmed;
  RebuildStatLists();
  unsigned shr = 0;
  for (int g = 0; g < StatGroupCount; ++g)
    if (GroupId(g) == "shr") shr = 1u << g;
  if (Window_.PrefetchsEnabled) RefreshFullSetFiles(false, shr);
}

void TWorkspace::SetHelpFolder(const std::filesystem::path& folder) {
  HelpFolder_ = folder;
  std::error_code ec;
  const std::filesystem::path guide = folder / "index.html";
  Stats_.HelpFile = !folder.empty() && std::filesystem::exists(guide, ec) ? guide.string() : std::string();
}

std::string TWorkspace::StatHelpPage(int methodIndex) const {
  if (HelpFolder_.empty() || methodIndex < 0 || methodIndex >= Stats_.Count()) return {};
  const TStatMethod& m = Stats_.Items(methodIndex);
  const std::filesystem::path page = HelpFolder_ / ("Filters_1049_" + HelpTopicFor(*m.StatClass, m.Param) + ".htm");
  std::error_code ec;
  return std::filesystem::exists(page, ec) ? page.string() : std::string();
}

}  // namespace vexa
