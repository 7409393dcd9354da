#include "stats/stat_list.h"

#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/list_compare.h"

namespace vexa {
namespace {

bool SameCode(std::string_view a, std::string_view b) { return CompareTextNoCase(a, b) == 0; }

}  // namespace

std::string TStatMethod::FullName() const {
  const std::string name = DisplayName();
  if (StatClass->Group != 12) return name;
  try {
    return Format(name, {Formula});
  } catch (const EVexaError&) {
    return name;  // a custom name with a stray "%" stays as typed
  }
}

int TStatList::IndexOfCode(std::string_view code) const {
  for (int i = 0; i < Count(); ++i)
    if (SameCode(Items(i).Code(), code)) return i;
  return -1;
}

void TStatList::RegisterAll() {
  Ordered = false;
  ShowGroupName = true;
  ShowMethodFlags = true;
  AllFavourite = true;
  Methods_.clear();
  for (const TStatTableEntry& entry : StatClassTable()) {
    const TStatClass* cls = entry.Class;
    if (cls == nullptr || !cls->Available) continue;
    int low = 0;
    int high = 0;
    ParamRangeOf(*cls, *this, low, high);
    if (!cls->HasParam) low = high = 0;
    for (int p = low; p <= high; ++p) {
      TStatMethod m;
      m.StatClass = cls;
      m.Param = p;
      if (cls->Group == 12 && p >= 1 && p <= 3) m.Formula = Shredding.Formulas[static_cast<size_t>(p - 1)];
      Methods_.push_back(std::move(m));
    }
  }
}

std::string TStatList::ListCaption(int i, bool withFlags) const {
  const TStatMethod& m = Items(i);
  std::string text = m.FullName();
  if (ShowGroupName) text = Format("{ %1:s } %0:s", {text, GroupId(m.StatClass->Group)});
  if (withFlags && ShowMethodFlags) {
    const std::string letters = KindMarks(StatFlags(*m.StatClass));
    if (!letters.empty()) text = Format("%0:s [ %1:s ]", {text, letters});
  }
  return text;
}

void TStatList::MarkAllFavourite() {
  AllFavourite = true;
  for (auto& m : Methods_) m.Favourite = true;
}

void TStatList::NormaliseFavourites() {
  bool allSame = true;
  for (const auto& m : Methods_)
    if (m.Favourite != Methods_.front().Favourite) allSame = false;
  AllFavourite = allSame;
  // An empty selection means all.
  if (allSame && !Methods_.empty() && !Methods_.front().Favourite)
    for (auto& m : Methods_) m.Favourite = true;
}

std::string TStatList::FavouritesText() const {
  if (AllFavourite) return "";
  std::string text;
  for (const auto& m : Methods_) {
    if (!m.Favourite) continue;
    if (!text.empty()) text += ",";
    text += m.Code();
  }
  return text;
}

void TStatList::SetFavouritesText(std::string_view text) {
  if (Trim(text).empty()) {
    MarkAllFavourite();
    return;
  }
  AllFavourite = false;
  // Words are runs between commas of the untrimmed text: "NUMS, POS1" has
  // the word " POS1", which is no code.
  std::vector<std::string_view> words;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      if (i > start) words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  for (auto& m : Methods_) {
    const std::string code = m.Code();
    m.Favourite = false;
    for (std::string_view w : words)
      if (SameCode(code, w)) m.Favourite = true;
  }
}

bool TStatList::LoadFavourites(const std::filesystem::path& file, bool withOptions, TUserInterface& ui) {
  try {
    const TIniFile ini(file);
    if (withOptions) {
      SetFavouritesText(ini.ReadString(FavouritesSection, "Favorites", FavouritesText()));
      Ordered = ini.ReadBool(FavouritesSection, "Ordered", Ordered);
      ShowGroupName = ini.ReadBool(FavouritesSection, "ShowGroupName", ShowGroupName);
      ShowMethodFlags = ini.ReadBool(FavouritesSection, "ShowMethodFlags", ShowMethodFlags);
    }
    const std::string section = StringsSection();
    for (auto& m : Methods_) m.CustomName = std::string(Trim(ini.ReadString(section, m.Code(), "")));
    return true;
  } catch (const std::exception& e) {
    ui.Message(TMessageKind::Error, Format(FavouritesLoadErrorFormat, {std::string(e.what())}));
    return false;
  }
}

bool TStatList::SaveFavourites(const std::filesystem::path& file, bool withOptions, bool allNames,
                               TUserInterface& ui) {
  try {
    TIniFile ini(file);
    if (withOptions) {
      ini.WriteString(FavouritesSection, "Favorites", FavouritesText());
      ini.WriteBool(FavouritesSection, "Ordered", Ordered);
      ini.WriteBool(FavouritesSection, "ShowGroupName", ShowGroupName);
      ini.WriteBool(FavouritesSection, "ShowMethodFlags", ShowMethodFlags);
    }
    const std::string section = StringsSection();
    ini.EraseSection(section);
    for (const auto& m : Methods_) {
      if (allNames)
        ini.WriteString(section, m.Code(), m.DisplayName());
      else if (!m.CustomName.empty())
        ini.WriteString(section, m.Code(), m.CustomName);
    }
    ini.UpdateFile();
    return true;
  } catch (const std::exception& e) {
    ui.Message(TMessageKind::Error, Format(FavouritesSaveErrorFormat, {std::string(e.what())}));
    return false;
  }
}

}  // namespace vexa
